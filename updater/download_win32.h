// HTTP download over WinINet.
#pragma once

#include <boost/filesystem/path.hpp>
#include <cstdint>
#include <limits>
#include <string>

#include "speed_limit.h"

// How long the server may stay silent, while connecting, sending the request
// or sending the body, before a download fails.
constexpr unsigned long kNetworkTimeoutMs = 30000;

// Fetches url (http or https) and stores the body as folder\fileName. Always
// from the server, never from a cache. True when the server answered with a
// status below 400, the whole announced body was stored, it held no more than
// maxBytes, its rate never stayed under the speed limit for the limit's whole
// window, and every handle closed cleanly. Failures print one line on
// standard error: a label, a number (the Windows error code, the HTTP status
// or a size) and a ".". Error responses, bodies over maxBytes and downloads
// ended for their speed are not stored.
bool downloadFile(std::string url, boost::filesystem::path folder, std::string fileName,
                  uint64_t maxBytes = std::numeric_limits<uint64_t>::max(), SpeedLimit speedLimit = SpeedLimit());
