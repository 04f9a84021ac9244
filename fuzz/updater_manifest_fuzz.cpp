// Fuzz target: the update manifest as the download leaves it, and the update
// statement it makes. The input is the installed version, a line break and
// the manifest's bytes.
#include <unistd.h>

#include <boost/filesystem/operations.hpp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <algorithm>

#include "fuzz_support.h"
#include "manifest.h"
#include "statement.h"

namespace fs = boost::filesystem;

namespace {

// A folder of this process's own for the manifest, removed at exit.
class ScratchFolder {
public:
    ScratchFolder() {
        const fs::path shared = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        path_ = shared / ("manifest-fuzz-" + std::to_string(getpid()));
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        boost::system::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const LoggedRun run;
    static const ScratchFolder folder;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t lineEnd = input.find('\n');
    const std::string installed = input.substr(0, lineEnd);
    const std::string bytes = lineEnd == std::string::npos ? std::string() : input.substr(lineEnd + 1);

    const fs::path file = folder.path() / "update.json";
    std::FILE* out = std::fopen(file.c_str(), "wb");
    Require(out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fclose(out) == 0,
            "the manifest is written for the check (an environment fault, not the updater's)");

    std::string packageUrl = "left over";
    Manifest manifest;
    manifest.claims.sha512 = "left over";
    const bool due = checkJSON(folder.path(), installed, packageUrl, &manifest);
    Require(!fs::exists(file), "the manifest is deleted on every path");
    if (!due) {
        Require(packageUrl.empty() && !manifest.claims.sha512 && !manifest.claims.size && !manifest.claims.signature,
                "a manifest that asks for nothing leaves no package behind");
        return 0;
    }
    // The statement's six lines stay six, whatever the members hold: no
    // member can add a line or move another's.
    if (const std::optional<std::string> statement = updateStatement(manifest, nullptr)) {
        Require(std::count(statement->begin(), statement->end(), '\n') == 6 && statement->back() == '\n',
                "an update statement has its six lines");
    }
    // No manifest of the fuzzer's is signed with this key.
    static const PublicKey key{1, 2, 3, 4, 5, 6, 7, 8};
    Require(!checkStatement(manifest, key, 0), "only a statement signed with the key passes");
    return 0;
}
