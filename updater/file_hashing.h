// Hashing the package's files, and comparing them with the installed files
// they would replace, on two threads while the package is unpacked.
#pragma once

#include <boost/filesystem/path.hpp>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "file_digest.h"
#include "tzip.h"

// What unpacking a package learnt on the way: the digests of the files it
// wrote directly into the temp folder, and how they compare with the installed
// files of the same names.
struct PackageDigests {
    FileDigests prepared;
    Comparisons installed;
};

// A thread of its own hashes each file of the package as soon as it is written
// whole, read back while it is still in the file cache, and reads the
// installed file of the same name beside it when that has the same size: a
// comparison of bytes costs a read, a digest of the installed file would cost
// as much as the package's own. The unpacking itself hashes nothing: it is
// the longer task of the two, and once it is done, the caller's thread takes
// its share of what is left, so that both processors work to the end. The
// check that follows then reads neither side again. A link or anything but a
// regular file gets no digest, nor does a file that cannot be read; an
// installed file of another size is not read: the sizes alone tell that it
// differs.
class FileHashing final : public WrittenFiles {
public:
    // Starts the thread. Throws std::system_error when there is no thread to
    // be had.
    FileHashing(boost::filesystem::path installFolder, boost::filesystem::path tempFolder, PackageDigests& digests);
    ~FileHashing() { stop(); }
    FileHashing(const FileHashing&) = delete;
    FileHashing& operator=(const FileHashing&) = delete;

    void written(const std::string& name) override;

    // Works alongside the other thread until every file is hashed.
    void finish();
    // Hashes no further file, and waits for the one under way.
    void stop();

private:
    bool runOne(bool wait);
    void hash(const std::string& name);
    void close();

    const boost::filesystem::path m_installFolder;
    const boost::filesystem::path m_tempFolder;
    PackageDigests& m_digests;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::string> m_jobs;  // names of files written
    bool m_closed = false;
    std::thread m_thread;  // last: it starts once the rest is there
};
