// Our addition to plog's interface: records written together. While a
// RecordBatch lives on a thread (the outermost of nested ones counts), the
// records that thread writes to a file are held and reach the file together,
// in one write per file, when the batch ends. An operation that writes many
// records then costs one write instead of one per record; a batch that grows
// past 64 KiB is written out at once. Meant for short operations: the records
// of a batch that never ends (a crash inside it) are lost.
#pragma once

#include <string>

namespace plog {

namespace util {
// A writer that can take the held records of a batch.
class BatchTarget {
public:
    // Must not throw: it is called when a batch ends, from a destructor.
    virtual void writeBatch(const std::string& bytes) noexcept = 0;

protected:
    ~BatchTarget() = default;
};

// Inside a batch on this thread: takes `bytes` (leaving it empty) to be
// written to `target` when the batch ends, and returns true. Outside, or when
// there is no memory to hold them (the records held so far are then written
// at once, so that the order stays): false, and `bytes` is untouched.
bool holdForBatch(BatchTarget* target, std::string& bytes) noexcept;
}  // namespace util

class RecordBatch {
public:
    RecordBatch();
    ~RecordBatch();
    RecordBatch(const RecordBatch&) = delete;
    RecordBatch& operator=(const RecordBatch&) = delete;

    struct Held;

private:
    Held* m_owned;
};

}  // namespace plog
