#include "file_hashing.h"

#include <boost/filesystem/operations.hpp>
#include <utility>

#include "links.h"

namespace fs = boost::filesystem;

FileHashing::FileHashing(fs::path installFolder, fs::path tempFolder, PackageDigests& digests)
    : m_installFolder(std::move(installFolder)), m_tempFolder(std::move(tempFolder)), m_digests(digests) {
    m_thread = std::thread([this] {
        while (runOne(true)) {
        }
    });
}

void FileHashing::written(const std::string& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_jobs.push_back(name);
    m_wake.notify_one();
}

void FileHashing::finish() {
    while (runOne(false)) {
    }
    close();
}

void FileHashing::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.clear();
    }
    close();
}

// Hashes the next file, waiting for one when `wait` until the hashing is
// closed; false when there was none.
bool FileHashing::runOne(bool wait) {
    std::string name;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (wait) m_wake.wait(lock, [this] { return m_closed || !m_jobs.empty(); });
        if (m_jobs.empty()) return false;
        name = std::move(m_jobs.front());
        m_jobs.pop_front();
    }
    hash(name);
    return true;
}

void FileHashing::hash(const std::string& name) {
    const fs::path prepared = m_tempFolder / name;
    const fs::path installed = m_installFolder / name;
    boost::system::error_code error;
    if (isLink(prepared) || !fs::is_regular_file(prepared, error)) return;
    const uint64_t preparedSize = fs::file_size(prepared, error);
    if (error) return;
    const bool compare = !isLink(installed) && fs::is_regular_file(installed, error) &&
                         fs::file_size(installed, error) == preparedSize && !error;
    FileDigest digest;
    bool same = false;
    const bool hashed = compare ? sha512Comparing(prepared, installed, digest.sha512, digest.size, same)
                                : sha512Of(prepared, digest.sha512, &digest.size);
    if (!hashed) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_digests.prepared[name] = digest;
    // Compared, the installed file had the size the prepared one had then.
    if (compare) m_digests.installed[name] = Comparison{digest.size, preparedSize, same};
}

void FileHashing::close() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}
