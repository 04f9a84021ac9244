// Reducing the unpacked package to the files that change the installation,
// and moving them over the installed ones. The installation folder is the
// temp folder's parent; only files lying directly in it are ever replaced.
#pragma once

#include <boost/filesystem/path.hpp>
#include <string>

#include "file_digest.h"
#include "seal.h"

// Deletes from tempFolder every entry that would not change an installed file
// (folders, links, files the installation lacks, files with the same
// content), except "output.zip" and the seal. True when at least one file is
// left and nothing failed. Digests already taken of the prepared files, and
// comparisons already made with the installed ones, by file name, spare
// reading them again while both files keep the sizes they had then.
bool checkUpdate(const boost::filesystem::path& tempFolder, const FileDigests* prepared = nullptr,
                 const Comparisons* installed = nullptr);

// Moves each prepared file of tempFolder that seal lists, in name order, over
// the installed file of the same name, keeping the old one as name + "." +
// makeTimestamp(). Each file is checked against the seal right before it
// moves; a file the seal does not list, and a link, is deleted, never
// installed. An installed file is never missing, not even for an instant; one
// that cannot be replaced because it is in use (a running program) moves
// aside to its backup name instead. All or nothing: when any step fails,
// every file replaced so far is put back, its backup goes, and the prepared
// files are back in tempFolder. True when at least one file was replaced and
// nothing failed.
bool makeUpdate(const boost::filesystem::path& tempFolder, const Seal& seal);

// True when both files can be read and their SHA-512 digests are equal. Reads
// in fixed chunks, so memory does not grow with the files; files of different
// sizes are different without being read.
bool sameFileContent(const boost::filesystem::path& first, const boost::filesystem::path& second);

// Local time now as "%Y%m%d%H%M%S".
std::string makeTimestamp();
