// Fuzz target: the update manifest as the download leaves it. The input is
// the installed version, a line break and the manifest's bytes.
#include <unistd.h>

#include <boost/filesystem/operations.hpp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "manifest.h"

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
    const std::string manifest = lineEnd == std::string::npos ? std::string() : input.substr(lineEnd + 1);

    const fs::path file = folder.path() / "update.json";
    std::FILE* out = std::fopen(file.c_str(), "wb");
    Require(out && std::fwrite(manifest.data(), 1, manifest.size(), out) == manifest.size() && std::fclose(out) == 0,
            "the manifest is written for the check (an environment fault, not the updater's)");

    std::string packageUrl = "left over";
    PackageClaims claims;
    claims.sha512 = "left over";
    const bool due = checkJSON(folder.path(), installed, packageUrl, &claims);
    Require(!fs::exists(file), "the manifest is deleted on every path");
    if (!due) {
        Require(packageUrl.empty() && !claims.sha512 && !claims.size && !claims.signature,
                "a manifest that asks for nothing leaves no package behind");
    }
    return 0;
}
