#include "links.h"

#include <boost/filesystem/operations.hpp>

bool isLink(const boost::filesystem::path& path) {
    boost::system::error_code error;
    const boost::filesystem::file_status status = boost::filesystem::symlink_status(path, error);
    return !error && (boost::filesystem::is_symlink(status) || status.type() == boost::filesystem::reparse_file);
}
