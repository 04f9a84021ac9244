// Stopping and starting the agent through the command interpreter.
#pragma once

// Ends every running "quorvelant.exe"; true when the interpreter reported success
// (it does not when no agent was running).
bool stopAgent();

// Starts the agent found through the working directory without waiting for it;
// true when the interpreter reported success.
bool startAgent();
