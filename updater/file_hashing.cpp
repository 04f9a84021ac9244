#include "file_hashing.h"

#include <algorithm>
#include <boost/filesystem/operations.hpp>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "file_handle.h"
#include "links.h"

namespace fs = boost::filesystem;

namespace {

// 4 MiB in flight: enough that neither thread waits for the other at every
// piece, little beside the memory any process has.
constexpr size_t kPieces = 16;
// Begun files that the thread has yet to take up, for a package of many
// empty files, which lend no piece.
constexpr size_t kMostFilesQueued = 64;
// Jobs queued before a waiting thread is woken to do them.
constexpr size_t kJobsToWakeFor = kPieces / 2;

}  // namespace

// The file under way on the thread, from its beginning to its end. While it
// holds the same bytes as the installed file, nothing is hashed: a file that
// turns out the same is deleted by the check and needs no digest, and the
// files of an update mostly are the same. At the first difference, the bytes
// before it are hashed, from the pieces still held when they are few, else
// read back once, and the rest as it comes.
class FileHashing::Hasher {
public:
    explicit Hasher(FileHashing& hashing) : m_hashing(hashing) {}
    ~Hasher() { abandon(); }
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;

    // Whether the job's piece is kept, to be given back later.
    bool handle(const Job& job) {
        switch (job.kind) {
            case Job::Kind::begin:
                begin(job.name, job.size);
                return false;
            case Job::Kind::piece:
                return take(job.piece, static_cast<size_t>(job.size));
            case Job::Kind::end:
                if (job.whole && m_underWay) record();
                abandon();
                return false;
        }
        return false;
    }

    // The file under way, abandoned: it gets no digest.
    void abandon() {
        m_underWay = false;
        m_digest.reset();
        m_installed.reset();
        giveBackHeld();
    }

private:
    // Pieces held while the file is the same as the installed one; a longer
    // stretch of sameness is read back if a difference follows.
    static constexpr size_t kMostHeld = kPieces / 4;

    void begin(const std::string& name, uint64_t size) {
        abandon();
        m_underWay = true;
        m_name = name;
        m_size = 0;
        m_allHeld = true;
        const fs::path installed = m_hashing.m_installFolder / name;
        boost::system::error_code error;
        m_compared = !isLink(installed) && fs::is_regular_file(installed, error) &&
                     fs::file_size(installed, error) == size && !error;
        if (m_compared) {
            m_installedSize = size;
            m_installed = openFile(installed, "rb");
            if (m_installed) std::setvbuf(m_installed.get(), nullptr, _IONBF, 0);
        }
        // An installed file that cannot be read is not the same.
        m_same = static_cast<bool>(m_installed);
        if (!m_same) m_digest.emplace();
    }

    bool take(size_t piece, size_t count) {
        if (!m_underWay) return false;
        const char* bytes = m_hashing.m_pieces[piece].get();
        if (m_same) {
            m_buffer.resize(kPieceSize);
            m_same = std::fread(m_buffer.data(), 1, count, m_installed.get()) == count &&
                     std::memcmp(m_buffer.data(), bytes, count) == 0;
            if (m_same) {
                m_size += count;
                if (m_allHeld && m_held.size() < kMostHeld) {
                    m_held.push_back({piece, count});
                    return true;
                }
                m_allHeld = false;
                giveBackHeld();
                return false;
            }
            if (!hashSoFar()) {
                abandon();
                return false;
            }
        }
        m_size += count;
        if (!m_digest->add(bytes, count)) abandon();
        return false;
    }

    // Hashes the bytes that were the same as the installed file's.
    bool hashSoFar() {
        m_digest.emplace();
        if (m_allHeld) {
            for (const auto& [piece, count] : m_held) m_digest->add(m_hashing.m_pieces[piece].get(), count);
            giveBackHeld();
            return true;
        }
        UniqueFile written = openFile(m_hashing.m_tempFolder / m_name, "rb");
        if (!written) return false;
        m_buffer.resize(kPieceSize);
        for (uint64_t left = m_size; left > 0;) {
            const size_t count = static_cast<size_t>(std::min<uint64_t>(left, m_buffer.size()));
            if (std::fread(m_buffer.data(), 1, count, written.get()) != count) return false;
            if (!m_digest->add(m_buffer.data(), count)) return false;
            left -= count;
        }
        return true;
    }

    void giveBackHeld() {
        for (const auto& held : m_held) m_hashing.giveBack(held.first);
        m_held.clear();
    }

    void record() {
        // Not one byte more than the file written.
        char more = 0;
        if (m_same) m_same = std::fread(&more, 1, 1, m_installed.get()) == 0 && !std::ferror(m_installed.get());
        if (!m_same && !m_digest && !hashSoFar()) return;
        FileDigest digest;
        if (m_digest && !m_digest->final(digest.sha512, digest.size)) return;
        // What was learnt stands for the file only if the file is what was read.
        const fs::path prepared = m_hashing.m_tempFolder / m_name;
        boost::system::error_code error;
        if (isLink(prepared) || !fs::is_regular_file(prepared, error) || fs::file_size(prepared, error) != m_size ||
            error) {
            return;
        }
        if (m_digest) m_hashing.m_digests.prepared[m_name] = digest;
        if (m_compared) m_hashing.m_digests.installed[m_name] = Comparison{m_size, m_installedSize, m_same};
    }

    FileHashing& m_hashing;
    bool m_underWay = false;
    std::string m_name;
    uint64_t m_size = 0;  // bytes of the file so far
    bool m_compared = false;
    uint64_t m_installedSize = 0;
    UniqueFile m_installed;
    bool m_same = false;                            // so far
    std::vector<std::pair<size_t, size_t>> m_held;  // pieces and their counts, while the same
    bool m_allHeld = true;                          // every byte so far is in m_held
    std::optional<Sha512Digest> m_digest;           // from the first byte that differs, or of every byte
    std::vector<char> m_buffer;
};

FileHashing::FileHashing(fs::path installFolder, fs::path tempFolder, PackageDigests& digests)
    : m_installFolder(std::move(installFolder)), m_tempFolder(std::move(tempFolder)), m_digests(digests) {
    for (size_t i = 0; i < kPieces; ++i) {
        m_pieces.push_back(std::make_unique<char[]>(kPieceSize));
        m_free.push_back(i);
    }
    m_thread = std::thread([this] { run(); });
}

void FileHashing::begin(const std::string& name, uint64_t size) {
    Job job{Job::Kind::begin, name, size};
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_filesQueued == kMostFilesQueued) waitForRoom(lock);
    ++m_filesQueued;
    queue(std::move(job));
}

char* FileHashing::piece() {
    if (m_lent == kNoPiece) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_free.empty()) waitForRoom(lock);
        m_lent = m_free.back();
        m_free.pop_back();
    }
    return m_pieces[m_lent].get();
}

void FileHashing::written(size_t count) {
    // A count that no piece holds is never hashed: the file's size then
    // differs from what was hashed, and it gets no digest.
    if (m_lent == kNoPiece || count > kPieceSize) return;
    push(Job{Job::Kind::piece, std::string(), count, m_lent});
    m_lent = kNoPiece;
}

void FileHashing::ended(bool whole) {
    if (m_lent != kNoPiece) giveBack(std::exchange(m_lent, kNoPiece));
    push(Job{Job::Kind::end, std::string(), 0, 0, whole});
}

void FileHashing::finish() {
    close(false);
}

void FileHashing::stop() {
    close(true);
}

void FileHashing::push(Job job) {
    std::lock_guard<std::mutex> lock(m_mutex);
    queue(std::move(job));
}

// Every wait and every wake is a call into the system, dear under Wine: a
// thread that waits is woken only once there is enough for it to do, and the
// one who wakes it says so by clearing its flag, so that no second call wakes
// it again before it has run.
void FileHashing::queue(Job job) {
    m_jobs.push_back(std::move(job));
    if (m_hasherWaits && m_jobs.size() >= kJobsToWakeFor) wakeHasher();
}

void FileHashing::wakeHasher() {
    m_hasherWaits = false;
    m_jobsToDo.notify_one();
}

bool FileHashing::roomMade() const {
    return m_free.size() >= kPieces / 2 && m_filesQueued <= kMostFilesQueued / 2;
}

// Waits until the thread has made room for half the pieces and files, not
// just one, waking it first, whatever it waited for: all that is queued is
// then its to do.
void FileHashing::waitForRoom(std::unique_lock<std::mutex>& lock) {
    if (m_hasherWaits) wakeHasher();
    m_unpackerWaits = true;
    while (m_unpackerWaits) m_roomMade.wait(lock);
}

void FileHashing::giveBack(size_t piece) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_free.push_back(piece);
    wakeUnpackerWhenRoom();
}

void FileHashing::wakeUnpackerWhenRoom() {
    if (!m_unpackerWaits || !roomMade()) return;
    m_unpackerWaits = false;
    m_roomMade.notify_one();
}

void FileHashing::run() {
    Hasher hasher(*this);
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_jobs.empty() && !m_closed) {
                m_hasherWaits = true;
                while (m_hasherWaits) m_jobsToDo.wait(lock);
            }
            if (m_jobs.empty()) return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            if (job.kind == Job::Kind::begin) --m_filesQueued;
            wakeUnpackerWhenRoom();
        }
        bool kept = false;
        try {
            kept = hasher.handle(job);
        } catch (const std::exception&) {
            hasher.abandon();
        }
        if (job.kind == Job::Kind::piece && !kept) giveBack(job.piece);
    }
}

void FileHashing::close(bool discard) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (discard) {
            for (const Job& job : m_jobs) {
                if (job.kind == Job::Kind::piece) m_free.push_back(job.piece);
            }
            m_jobs.clear();
            m_filesQueued = 0;
        }
        m_closed = true;
        m_hasherWaits = false;
    }
    m_jobsToDo.notify_all();
    if (m_thread.joinable()) m_thread.join();
}
