// HTTP download over WinINet.
#pragma once

#include <boost/filesystem/path.hpp>
#include <string>

// Fetches url and stores the body as folder\fileName. True when the server
// answered with a status below 400, the whole announced body was stored and
// every handle closed cleanly. Failures print one line on standard error: a
// label, a number (the Windows error code, or the HTTP status) and a ".".
// Error responses are not stored.
bool downloadFile(std::string url, boost::filesystem::path folder, std::string fileName);
