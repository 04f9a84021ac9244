// Hashing the package's files and the installed files they would replace on
// two threads while the package is unpacked.
#pragma once

#include <boost/filesystem/path.hpp>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "file_digest.h"
#include "tzip.h"

// What unpacking a package learnt on the way: the digests of the files it
// wrote directly into the temp folder, and of the installed files of the same
// names, taken on two threads meanwhile.
struct PackageDigests {
    FileDigests prepared;
    FileDigests installed;
};

// A thread of its own hashes the installed files that the package's files
// would replace, then each file of the package as soon as it is written whole,
// read back while it is still in the file cache. The unpacking itself hashes
// nothing: it is the longer task of the two, and once it is done, the
// caller's thread takes its share of what is left, so that both processors
// hash to the end. The comparison that follows then reads neither side again.
// A link or anything but a regular file gets no digest, nor does a file that
// cannot be read, nor an installed file of another size than its package
// entry announces: it cannot be the same, and the comparison learns that from
// the sizes alone.
class FileHashing final : public WrittenFiles {
public:
    // Starts the thread. Throws std::system_error when there is no thread to
    // be had.
    FileHashing(boost::filesystem::path installFolder, boost::filesystem::path tempFolder, PackageDigests& digests);
    ~FileHashing() { stop(); }
    FileHashing(const FileHashing&) = delete;
    FileHashing& operator=(const FileHashing&) = delete;

    // Hashes the installed files of these names.
    void unpacking(const std::vector<PackageFile>& topLevelFiles) override;
    void written(const std::string& name) override;

    // Hashes alongside the other thread until every file is hashed.
    void finish();
    // Hashes no further file, and waits for the one under way.
    void stop();

private:
    struct Job {
        boost::filesystem::path file;
        std::string name;
        FileDigests* into;
        std::optional<uint64_t> size;  // the only size worth hashing
    };

    bool runOne(bool wait);
    void close();

    const boost::filesystem::path m_installFolder;
    const boost::filesystem::path m_tempFolder;
    PackageDigests& m_digests;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_closed = false;
    std::thread m_thread;  // last: it starts once the rest is there
};
