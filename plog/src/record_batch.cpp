#include "plog/RecordBatch.h"

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

    void flush() {
        std::vector<Bytes> out = std::move(files);
        files.clear();
        size = 0;
        for (const Bytes& file : out) file.target->writeBatch(file.bytes);
    }
};

namespace {

constexpr size_t kMaxHeld = 64 * 1024;

// A plain pointer: a thread-local with a destructor would outlive an unloaded
// library on a thread that keeps running.
thread_local RecordBatch::Held* t_held = nullptr;

}  // namespace

RecordBatch::RecordBatch() : m_owned(nullptr) {
    // Without memory the records are simply written one by one.
    if (!t_held) t_held = m_owned = new (std::nothrow) Held;
}

RecordBatch::~RecordBatch() {
    if (!m_owned) return;
    t_held = nullptr;
    try {
        m_owned->flush();
    } catch (...) {
        // Records that cannot be written are lost, as a failed write loses them.
    }
    delete m_owned;
}

namespace util {

bool holdForBatch(BatchTarget* target, std::string& bytes) {
    RecordBatch::Held* held = t_held;
    if (!held) return false;
    held->size += bytes.size();
    if (held->files.empty() || held->files.back().target != target) {
        held->files.push_back({target, std::move(bytes)});
    } else {
        held->files.back().bytes += bytes;
    }
    bytes.clear();
    if (held->size > kMaxHeld) held->flush();
    return true;
}

}  // namespace util
}  // namespace plog
