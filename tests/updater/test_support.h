// Helpers shared by the updater's test runners: scratch folders, whole-file
// reads and writes, and the log records the code under test wrote.
#pragma once

#include <boost/filesystem/path.hpp>
#include <string>
#include <vector>

#include "plog/Severity.h"
#include "seal.h"

// A fresh empty folder, removed with its content at the end of the test.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const boost::filesystem::path& path() const { return m_path; }

private:
    boost::filesystem::path m_path;
};

void writeFile(const boost::filesystem::path& file, const std::string& bytes);

// The seal a check would write for the files now in tempFolder, without
// leaving the seal's file there.
Seal sealOf(const boost::filesystem::path& tempFolder, const std::string& version = "2.0");
std::string readFile(const boost::filesystem::path& file);

// Every file and folder beneath root, as generic relative paths, sorted.
std::vector<std::string> treeOf(const boost::filesystem::path& root);

struct LoggedRecord {
    plog::Severity severity;
    std::string function;
    std::string message;
};

// The records written through plog since the last clear(). The first use
// installs the capture as the process's logger, at verbose level.
class RecordCapture {
public:
    static void clear();
    static std::vector<LoggedRecord> records();
    // Whether some record has this severity, function and message.
    static bool has(plog::Severity severity, const std::string& function, const std::string& message);
    // All messages, one a line, for failure output.
    static std::string dump();
};
