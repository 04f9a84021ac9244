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

void FileHashing::unpacking(const std::vector<PackageFile>& topLevelFiles) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const PackageFile& file : topLevelFiles) {
        m_jobs.push_back({m_installFolder / file.name, file.name, &m_digests.installed, file.size});
    }
    m_wake.notify_one();
}

void FileHashing::written(const std::string& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_jobs.push_back({m_tempFolder / name, name, &m_digests.prepared, std::nullopt});
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
    Job job;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (wait) m_wake.wait(lock, [this] { return m_closed || !m_jobs.empty(); });
        if (m_jobs.empty()) return false;
        job = std::move(m_jobs.front());
        m_jobs.pop_front();
    }
    boost::system::error_code error;
    if (isLink(job.file) || !fs::is_regular_file(job.file, error)) return true;
    if (job.size && fs::file_size(job.file, error) != *job.size) return true;
    FileDigest digest;
    if (!sha512Of(job.file, digest.sha512, &digest.size)) return true;
    std::lock_guard<std::mutex> lock(m_mutex);
    (*job.into)[job.name] = digest;
    return true;
}

void FileHashing::close() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}
