// What every fuzz target shares: the properties it checks, and the operation
// log that the code under test writes to.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "plog/Init.h"
#include "plog/RecordBatch.h"

// A property that must hold for every input: when it does not, the input is a
// finding, reported with `what`.
inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

// For targets whose records carry what the input says: one input runs as an
// operation of the programs does, with the log on at its most verbose and the
// records of the run batched. The log is /dev/null, so that every record is
// made, laid out and written, and then gone. (Records of fixed texts would
// only slow the other targets down.)
class LoggedRun {
public:
    LoggedRun() {
        static const bool logging = StartLog();
        (void)logging;
    }

private:
    static bool StartLog() {
        static plog::RollingFileAppender<plog::TxtFormatter> nowhere("/dev/null");
        plog::init<0>(plog::verbose, &nowhere);
        return true;
    }

    plog::RecordBatch m_batch;
};
