#include "temp_folder.h"

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include "log_text.h"
#include "seal.h"
#include "test_support.h"

namespace fs = boost::filesystem;

namespace {

class CheckTempFolder : public ::testing::Test {
protected:
    void SetUp() override { RecordCapture::clear(); }
    fs::path temp() const { return install.path() / "temp"; }
    ScratchFolder install;
};

TEST_F(CheckTempFolder, CreatesAMissingFolder) {
    EXPECT_TRUE(checkTempFolder(temp()));
    EXPECT_TRUE(fs::is_directory(temp()));
    EXPECT_TRUE(RecordCapture::has(plog::debug, "checkTempFolder", "Creating folder " + logText(temp()) + " ..."));
}

TEST_F(CheckTempFolder, AcceptsAnEmptyFolderSilently) {
    fs::create_directory(temp());
    EXPECT_TRUE(checkTempFolder(temp()));
    EXPECT_TRUE(RecordCapture::records().empty()) << RecordCapture::dump();
}

TEST_F(CheckTempFolder, RemovesFilesAndFoldersWithTheirRecords) {
    fs::create_directories(temp() / "sub" / "deeper");
    writeFile(temp() / "stale.dll", "x");
    writeFile(temp() / "sub" / "deeper" / "f", "y");
    EXPECT_TRUE(checkTempFolder(temp()));
    EXPECT_TRUE(fs::is_empty(temp()));
    EXPECT_TRUE(
        RecordCapture::has(plog::debug, "checkTempFolder", "Removing file " + logText(temp() / "stale.dll") + " ..."));
    EXPECT_TRUE(
        RecordCapture::has(plog::debug, "checkTempFolder", "Removing folder " + logText(temp() / "sub") + " ..."));
    EXPECT_TRUE(fs::exists(install.path()));
}

TEST_F(CheckTempFolder, AFileNamedTempIsAFailure) {
    writeFile(temp(), "not a folder");
    EXPECT_FALSE(checkTempFolder(temp()));
    const auto records = RecordCapture::records();
    ASSERT_EQ(records.size(), 1u) << RecordCapture::dump();
    EXPECT_EQ(records[0].severity, plog::error);
    EXPECT_EQ(records[0].message.rfind("Boost Exception: ", 0), 0u);
}

TEST_F(CheckTempFolder, AMissingParentIsAFailure) {
    EXPECT_FALSE(checkTempFolder(install.path() / "no" / "temp"));
    EXPECT_EQ(RecordCapture::records().size(), 2u) << RecordCapture::dump();
}

TEST_F(CheckTempFolder, DiscardingEmptiesTheFolderQuietly) {
    fs::create_directories(temp() / "sub" / "deeper");
    writeFile(temp() / "a.dll", "x");
    writeFile(temp() / "sub" / "deeper" / "f", "y");
    EXPECT_TRUE(discardTempFolder(temp()));
    EXPECT_TRUE(fs::is_empty(temp()));
    EXPECT_TRUE(RecordCapture::records().empty()) << RecordCapture::dump();
    fs::remove(temp());
    EXPECT_TRUE(discardTempFolder(temp()));
}

// The seal of an earlier check goes before anything else of it.
TEST_F(CheckTempFolder, TheSealGoesFirst) {
    fs::create_directory(temp());
    writeFile(temp() / "a.dll", "prepared");
    ASSERT_TRUE(writeSeal(temp(), "2.0"));
    EXPECT_TRUE(checkTempFolder(temp()));
    EXPECT_TRUE(fs::is_empty(temp()));
    EXPECT_FALSE(RecordCapture::has(plog::debug, "checkTempFolder",
                                    "Removing file " + logText(temp() / kSealFileName) + " ..."))
        << "deleted before the cleaning proper";
}

#ifndef _WIN32
// Links are never followed: neither the temp folder as a link nor a link in
// it leads the cleaning to what it points to.
TEST_F(CheckTempFolder, LinksGoThemselvesAndWhatTheyPointToStays) {
    ScratchFolder elsewhere;
    writeFile(elsewhere.path() / "precious.dat", "keep");
    fs::create_directory_symlink(elsewhere.path(), temp());
    EXPECT_TRUE(checkTempFolder(temp()));
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(temp()))) << "a real folder in the link's place";
    EXPECT_EQ(readFile(elsewhere.path() / "precious.dat"), "keep");
    EXPECT_TRUE(RecordCapture::has(plog::error, "checkTempFolder",
                                   logText(temp()) + " is a link; removing the link itself ..."));

    fs::create_directory_symlink(elsewhere.path(), temp() / "folder-link");
    fs::create_symlink(elsewhere.path() / "precious.dat", temp() / "file-link");
    EXPECT_TRUE(checkTempFolder(temp()));
    EXPECT_TRUE(fs::is_empty(temp()));
    EXPECT_EQ(treeOf(elsewhere.path()), std::vector<std::string>{"precious.dat"});
}
#endif

}  // namespace
