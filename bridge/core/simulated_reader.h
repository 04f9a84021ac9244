// Our simulated readers say what they are in their version blocks. A bridge
// running over one says so too, in a warning record of its operation log, so
// that a test reader left on a production machine cannot go unseen.
#pragma once

// What the FileDescription of every simulated SDK library says.
constexpr char kSimulatedReaderMark[] = "simulated reader, for tests";

// At an operation's start: the first time in the process, looks whether the
// reader SDK `sdkFile` (a library the bridge imports) is a simulated reader
// and, when it is, writes "<sdkFile> is a simulated reader, for tests only".
// Later calls do nothing.
void WarnIfSimulatedReader(const char* sdkFile);
