#include "command_line.h"

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/algorithm/string/trim.hpp>
#include <locale>

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isOption(const std::string& arg, const char* option) {
    size_t i = 0;
    for (; option[i] != '\0'; ++i) {
        if (i >= arg.size() || asciiLower(arg[i]) != option[i]) return false;
    }
    return i == arg.size();
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    const size_t count = args.size();
    size_t i = 0;
    while (i < count) {
        const std::string& arg = args[i];
        if (isOption(arg, "-check") || isOption(arg, "-version")) {
            if (i + 1 >= count) break;
            if (result.mode != RunMode::update) {
                (isOption(arg, "-check") ? result.url : result.version) = args[i + 1];
                result.mode = RunMode::check;
            }
            i += 2;
        } else if (isOption(arg, "-update")) {
            if (result.mode == RunMode::none) result.mode = RunMode::update;
            i += 2;
        } else if (isOption(arg, "-log")) {
            if (i + 1 >= count) break;
            result.logLevel = args[i + 1];
            i += 2;
        } else if (isOption(arg, "-v")) {
            result.showVersion = true;
            return result;
        } else {
            ++i;
        }
    }
    boost::algorithm::trim(result.url, std::locale::classic());
    boost::algorithm::trim(result.version, std::locale::classic());
    return result;
}

bool isRunnable(const CommandLine& commandLine) {
    switch (commandLine.mode) {
        case RunMode::update:
            return true;
        case RunMode::check:
            return !commandLine.url.empty() && !commandLine.version.empty();
        default:
            return false;
    }
}

plog::Severity severityFromLevel(const std::string& level) {
    const std::string upper = boost::algorithm::to_upper_copy(level, std::locale::classic());
    switch (upper.empty() ? '\0' : upper[0]) {
        case 'F':
            return plog::fatal;
        case 'E':
            return plog::error;
        case 'W':
            return plog::warning;
        case 'I':
            return plog::info;
        case 'D':
            return plog::debug;
        case 'V':
            return plog::verbose;
        default:
            return plog::none;
    }
}
