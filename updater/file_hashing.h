// Hashing the package's files, and comparing them with the installed files
// they would replace, on a thread of its own while the package is unpacked.
#pragma once

#include <boost/filesystem/path.hpp>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "file_digest.h"
#include "tzip.h"

// What unpacking a package learnt on the way: the digests of the files it
// wrote directly into the temp folder, but for those found the same as the
// installed files, which the check deletes; and how they compare with the
// installed files of the same names.
struct PackageDigests {
    FileDigests prepared;
    Comparisons installed;
};

// A thread of its own takes each file of the package from the very pieces the
// unpacking writes, as they are written, so that it keeps pace with the
// unpacking from the first piece of the first file. It compares them with the
// installed file of the same name, when that has the size the entry
// announces: a comparison of bytes costs a read, a digest of the installed
// file would cost as much as the package's own. It hashes a file from its
// first byte when there is nothing to compare, or from the first difference,
// taking what came before from the pieces it still holds or, after many,
// reading it back once. The unpacking hashes nothing: the two
// are about as long, and each has a processor. The check that follows then
// reads neither side again. A file that is not written whole, or that is not
// a regular file of the size taken once written (a link in its place), gets
// nothing; an installed file of another size is not read: the sizes alone
// tell that it differs.
//
// The pieces in flight are few: the unpacking waits for one to come free when
// the hashing falls behind, and for the hashing to take up the files it was
// told of when they are many and small.
class FileHashing final : public WrittenFiles {
public:
    // Starts the thread. Throws std::system_error when there is no thread to
    // be had, std::bad_alloc when there is no memory for the pieces.
    FileHashing(boost::filesystem::path installFolder, boost::filesystem::path tempFolder, PackageDigests& digests);
    ~FileHashing() { stop(); }
    FileHashing(const FileHashing&) = delete;
    FileHashing& operator=(const FileHashing&) = delete;

    void begin(const std::string& name, uint64_t size) override;
    char* piece() override;
    void written(size_t count) override;
    void ended(bool whole) override;

    // Waits until every file told of is hashed; the digests are complete
    // once it returns.
    void finish();
    // Hashes nothing further, and waits for the thread.
    void stop();

private:
    struct Job {
        enum class Kind { begin, piece, end } kind;
        std::string name;    // begin
        uint64_t size = 0;   // begin: as announced; piece: bytes held
        size_t piece = 0;    // piece
        bool whole = false;  // end
    };
    class Hasher;

    void push(Job job);
    void queue(Job job);
    void wakeHasher();
    bool roomMade() const;
    void waitForRoom(std::unique_lock<std::mutex>& lock);
    void giveBack(size_t piece);
    void wakeUnpackerWhenRoom();
    void run();
    void close(bool discard);

    static constexpr size_t kNoPiece = static_cast<size_t>(-1);

    const boost::filesystem::path m_installFolder;
    const boost::filesystem::path m_tempFolder;
    PackageDigests& m_digests;
    std::vector<std::unique_ptr<char[]>> m_pieces;
    size_t m_lent = kNoPiece;  // the unpacking's alone
    std::mutex m_mutex;
    std::condition_variable m_jobsToDo;
    std::condition_variable m_roomMade;
    std::deque<Job> m_jobs;
    std::vector<size_t> m_free;  // pieces not lent nor queued
    size_t m_filesQueued = 0;    // begun and not yet taken up
    bool m_hasherWaits = false;
    bool m_unpackerWaits = false;
    bool m_closed = false;
    std::thread m_thread;  // last: it starts once the rest is there
};
