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

// Adds a record's bytes to the end of `held`, or throws.
using AppendHeld = void (*)(std::string& held, const void* context);

// Inside a batch on this thread: has `append` add its bytes straight to those
// held for `target`, to be written when the batch ends, and returns true.
// Outside, or when `append` throws (no memory: the records held so far are
// then written at once, so that the order stays): false, and nothing of the
// record is held.
bool holdForBatch(BatchTarget* target, AppendHeld append, const void* context) noexcept;
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
