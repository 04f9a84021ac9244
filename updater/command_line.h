// The updater's command line: which mode to run, with which values, and how
// much to log. Portable, so it is tested natively.
#pragma once

#include <string>
#include <vector>

#include "plog/Severity.h"

enum class RunMode { none = 0, check = 1, update = 2 };

struct CommandLine {
    RunMode mode = RunMode::none;
    bool showVersion = false;  // "-v" was met: print the banner and stop.
    std::string url;           // manifest URL, trimmed
    std::string version;       // installed agent version, trimmed
    std::string logLevel = "verbose";
};

// Reads the arguments that follow the program name. Options are matched whole
// and regardless of ASCII case; unknown arguments are ignored; the first mode
// named wins; "-v" ends the scan at once.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// Update mode is always runnable; check mode needs both a URL and a version.
bool isRunnable(const CommandLine& commandLine);

// The first letter of the level word, upper-cased, picks the severity
// (F, E, W, I, D, V); anything else, an empty word included, logs nothing.
plog::Severity severityFromLevel(const std::string& level);
