#include "plog/RecordBatch.h"

#include "plog/ThreadValue.h"

#include <new>
#include <utility>
#include <vector>

namespace plog {

struct RecordBatch::Held {
    struct Bytes {
        util::BatchTarget* target;
        std::string bytes;
    };
    std::vector<Bytes> files;
    size_t size = 0;

    void flush() noexcept {
        for (const Bytes& file : files) {
            if (!file.bytes.empty()) file.target->writeBatch(file.bytes);
        }
        // The last file keeps its buffer for the records still to come: a long
        // batch would otherwise grow a new one after every write, and under
        // Wine fresh large blocks cost more than the records laid into them.
        if (files.size() > 1) files.erase(files.begin(), files.end() - 1);
        if (!files.empty()) files.back().bytes.clear();
        size = 0;
    }
};

namespace {

constexpr size_t kMaxHeld = 64 * 1024;
constexpr size_t kFirstHold = 4 * 1024;

// A plain pointer: a thread-local with a destructor would outlive an unloaded
// library on a thread that keeps running.
util::ThreadValue<RecordBatch::Held*> t_held;

}  // namespace

RecordBatch::RecordBatch() : m_owned(nullptr) {
    // Without memory the records are simply written one by one.
    if (!t_held.get()) {
        m_owned = new (std::nothrow) Held;
        t_held.set(m_owned);
    }
}

RecordBatch::~RecordBatch() {
    if (!m_owned) return;
    t_held.set(nullptr);
    m_owned->flush();
    delete m_owned;
}

namespace util {

bool holdForBatch(BatchTarget* target, AppendHeld append, const void* context) noexcept {
    RecordBatch::Held* held = t_held.get();
    if (!held) return false;
    std::string* bytes = nullptr;
    size_t before = 0;
    try {
        if (held->files.empty() || held->files.back().target != target) {
            held->files.reserve(held->files.size() + 1);
            held->files.push_back({target, std::string()});
            // An operation's records usually fit: one allocation for all of them.
            held->files.back().bytes.reserve(kFirstHold);
        }
        bytes = &held->files.back().bytes;
        before = bytes->size();
        append(*bytes, context);
    } catch (...) {
        // Whatever the record had added goes: the batch holds whole records.
        if (bytes) bytes->resize(before);
        held->flush();
        return false;
    }
    const size_t added = bytes->size() - before;
    held->size += added;
    if (held->size > kMaxHeld) held->flush();
    return true;
}

}  // namespace util
}  // namespace plog
