// Stopping and starting the agent through the command interpreter.
#pragma once

#include <chrono>

// Ends every running "quorvelant.exe"; true when the interpreter reported success
// (it does not when no agent was running).
bool stopAgent();

// Waits until no "quorvelant.exe" runs any more, at most `limit`: a process
// that was told to end may hold its files a little longer. True when none runs.
bool waitForAgentToEnd(std::chrono::milliseconds limit);

// Starts the agent found through the working directory without waiting for it;
// true when the interpreter reported success.
bool startAgent();
