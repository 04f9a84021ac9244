// Update mode: stop the agent, install the files that a check prepared in the
// temp folder, start the agent again.
#pragma once

#include <boost/filesystem/path.hpp>

// Returns the exit code: 0 installed and the agent started again, 1 otherwise.
int runUpdateMode(const boost::filesystem::path& tempFolder);
