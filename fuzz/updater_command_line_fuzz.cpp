// Fuzz target: the updater's command line. The input is the arguments after
// the program name, each ended by a NUL (an argument never holds one).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"
#include "fuzz_support.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool Trimmed(const std::string& text) {
    return text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\0') {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    if (args.back().empty()) args.pop_back();

    const CommandLine commandLine = parseCommandLine(args);
    // "-v" ends the scan and the program: its values are never used.
    if (!commandLine.showVersion) {
        Require(Trimmed(commandLine.url) && Trimmed(commandLine.version), "the URL and the version are trimmed");
    }
    Require(!isRunnable(commandLine) || commandLine.mode == RunMode::update ||
                (!commandLine.url.empty() && !commandLine.version.empty()),
            "a runnable check has a URL and a version");
    const plog::Severity severity = severityFromLevel(commandLine.logLevel);
    Require(severity >= plog::none && severity <= plog::verbose, "the log level is a severity");
    return 0;
}
