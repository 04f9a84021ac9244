// A fresh empty folder that is the current directory for one test.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class ScopedTempDir {
public:
    ScopedTempDir() : m_previous(std::filesystem::current_path()) {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() / ("fpb-test-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
        std::filesystem::current_path(m_path);
    }
    ~ScopedTempDir() {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};
