#include "test_support.h"

#include <algorithm>
#include <boost/filesystem/operations.hpp>
#include <mutex>
#include <stdexcept>

#include "file_handle.h"
#include "plog/Init.h"
#include "plog/Log.h"

namespace fs = boost::filesystem;

ScratchFolder::ScratchFolder() : m_path(fs::temp_directory_path() / fs::unique_path("updater-test-%%%%-%%%%-%%%%")) {
    fs::create_directories(m_path);
}

ScratchFolder::~ScratchFolder() {
    boost::system::error_code ignored;
    fs::remove_all(m_path, ignored);
}

void writeFile(const fs::path& file, const std::string& bytes) {
    UniqueFile out = openFile(file, "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size() || !closeFile(out)) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

Seal sealOf(const fs::path& tempFolder, const std::string& version) {
    if (!writeSeal(tempFolder, version)) throw std::runtime_error("cannot seal " + tempFolder.string());
    std::string text = readFile(tempFolder / kSealFileName);
    fs::remove(tempFolder / kSealFileName);
    const std::optional<Seal> seal = parseSeal(text);
    if (!seal) throw std::runtime_error("the seal written for " + tempFolder.string() + " does not parse");
    return *seal;
}

std::string readFile(const fs::path& file) {
    UniqueFile in = openFile(file, "rb");
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::string bytes;
    char buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) bytes.append(buffer, count);
    return bytes;
}

std::vector<std::string> treeOf(const fs::path& root) {
    std::vector<std::string> tree;
    for (fs::recursive_directory_iterator it(root), end; it != end; ++it) {
        tree.push_back(fs::relative(it->path(), root).generic_string());
    }
    std::sort(tree.begin(), tree.end());
    return tree;
}

namespace {

class CaptureAppender : public plog::IAppender {
public:
    void write(const plog::Record& record) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records.push_back({record.getSeverity(), record.getFunc(), record.getMessage()});
    }
    std::vector<LoggedRecord> records() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_records;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records.clear();
    }

private:
    std::mutex m_mutex;
    std::vector<LoggedRecord> m_records;
};

CaptureAppender& capture() {
    static CaptureAppender appender;
    static const bool installed = (plog::init(plog::verbose, &appender), true);
    (void)installed;
    return appender;
}

}  // namespace

void RecordCapture::clear() {
    capture().clear();
}

std::vector<LoggedRecord> RecordCapture::records() {
    return capture().records();
}

bool RecordCapture::has(plog::Severity severity, const std::string& function, const std::string& message) {
    const auto all = records();
    return std::any_of(all.begin(), all.end(), [&](const LoggedRecord& r) {
        return r.severity == severity && r.function == function && r.message == message;
    });
}

std::string RecordCapture::dump() {
    std::string text;
    for (const LoggedRecord& r : records()) {
        text += std::string(plog::severityToString(r.severity)) + " [" + r.function + "] " + r.message + "\n";
    }
    return text;
}
