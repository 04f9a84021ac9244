// The debug trace: "biolog.txt" in the current directory, written only while the
// exported debug switch is on.
#pragma once

#include <cstdint>

extern "C" {
// Stores `value` in the debug switch and returns it; zero switches the trace off.
int32_t __SetKavroBioDebug(uint8_t value);
}

// Whether the debug switch is on.
bool DebugTraceOn();

// printf-style trace line "HH:MM:SS - message". The first line of a process
// empties "biolog.txt" and writes the date header "DD/MM/YYYY - HH:MM:SS". When
// the file cannot be opened the message goes to standard output, without time.
void BioDebugLog(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Closes the trace file (library unload); the next traced line opens it afresh.
void CloseDebugTrace();
