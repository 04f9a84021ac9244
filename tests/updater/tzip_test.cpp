#include "tzip.h"

#include <gtest/gtest.h>
#include <unzip.h>

#include <boost/filesystem/operations.hpp>
#include <tuple>
#include <utility>
#include <vector>

#include "temp_folder.h"
#include "test_support.h"
#include "zip_builder.h"

namespace fs = boost::filesystem;

namespace {

// Each test works in its own folder: the archive lies in it and is unpacked
// into its "temp" subfolder, so anything written beside "temp" escaped.
class Extraction : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directory(destination()); }
    fs::path archive() const { return folder.path() / "package.zip"; }
    fs::path destination() const { return folder.path() / "temp"; }
    int extract() { return tZip().extract(archive().string(), destination().string(), ""); }

    ScratchFolder folder;
};

TEST_F(Extraction, WritesFilesAndCreatesTheirFolders) {
    writeZip(archive(), {{"a.dll", "alpha", false}, {"sub/b.txt", std::string(100000, 'b')}, {"deep/er/c", "c"}});
    const fs::path before = fs::current_path();
    ASSERT_EQ(extract(), 0);
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_EQ(treeOf(destination()),
              (std::vector<std::string>{"a.dll", "deep", "deep/er", "deep/er/c", "sub", "sub/b.txt"}));
    EXPECT_EQ(readFile(destination() / "a.dll"), "alpha");
    EXPECT_EQ(readFile(destination() / "sub" / "b.txt"), std::string(100000, 'b'));
}

TEST_F(Extraction, CreatesFolderEntriesAndOverwritesFiles) {
    writeFile(destination() / "a.dll", "old content that is longer");
    writeZip(archive(), {{"empty/", "", false}, {"a.dll", "new"}});
    ASSERT_EQ(extract(), 0);
    EXPECT_TRUE(fs::is_directory(destination() / "empty"));
    EXPECT_EQ(readFile(destination() / "a.dll"), "new");
}

TEST_F(Extraction, ArchiveOfOneFolderSucceedsWithOnlyThatFolder) {
    writeZip(archive(), {{"only/", "", false}});
    ASSERT_EQ(extract(), 0);
    EXPECT_EQ(treeOf(destination()), std::vector<std::string>{"only"});
}

TEST_F(Extraction, ArchiveWithoutEntriesSucceedsAndWritesNothing) {
    writeZip(archive(), {});
    ASSERT_EQ(extract(), 0);
    EXPECT_TRUE(fs::is_empty(destination()));
    // An end record that claims entries is no empty archive.
    std::string bytes = readFile(archive());
    ASSERT_EQ(bytes.size(), 22u);
    bytes[8] = 1;
    writeFile(archive(), bytes);
    EXPECT_NE(extract(), 0);
}

TEST_F(Extraction, HostileArchivesAreRefusedWholeBeforeAnythingIsWritten) {
    const char* hostile[] = {"../evil.txt", "..\\evil.txt", "sub/../../evil.txt", "/abs-evil.txt",
                             "C:/evil.txt", "C:evil.txt",   "sub/... /evil.txt", "line\nbreak.txt",
                             "prepared.seal"};
    for (const char* name : hostile) {
        writeZip(archive(), {{"first.txt", "harmless"}, {name, "evil"}});
        const fs::path before = fs::current_path();
        EXPECT_EQ(extract(), kZipRefused) << name;
        EXPECT_EQ(fs::current_path(), before);
        EXPECT_EQ(treeOf(folder.path()), (std::vector<std::string>{"package.zip", "temp"})) << name;
    }
}

TEST_F(Extraction, NamesThatDoNotFitTheNameBufferAreRefused) {
    writeZip(archive(), {{std::string(256, 'n'), "x"}});
    EXPECT_EQ(extract(), kZipRefused);
    writeZip(archive(), {{std::string("a\0b", 3), "x"}});
    EXPECT_EQ(extract(), kZipRefused);
    EXPECT_TRUE(fs::is_empty(destination()));
    writeZip(archive(), {{std::string(255, 'n'), "fits"}});
    EXPECT_EQ(extract(), 0);
}

// The library checks an entry's CRC only after the whole entry is written:
// the damaged file must not stay behind as if it were part of the package.
TEST_F(Extraction, WrongCrcEndsWithTheLibrarysCodeAndDeletesTheEntry) {
    writeZip(archive(), {{"good.txt", "good"}, {"bad.txt", "bad content", true, true}, {"after.txt", "after"}});
    RecordCapture::clear();
    EXPECT_EQ(extract(), UNZ_CRCERROR);
    EXPECT_EQ(readFile(destination() / "good.txt"), "good");
    EXPECT_FALSE(fs::exists(destination() / "bad.txt"));
    EXPECT_FALSE(fs::exists(destination() / "after.txt"));
    EXPECT_TRUE(
        RecordCapture::has(plog::error, "extractEntry", "Entry \"bad.txt\" of the archive is damaged (zip error -105)"))
        << RecordCapture::dump();
}

// Folders are made whole, the levels above them too; one that cannot be made
// fails nothing, since only the files written matter.
TEST_F(Extraction, FoldersAreMadeWholeAndOnlyFilesMatter) {
    writeZip(archive(), {{"a/b/", "", false}, {"c/d/e/f.txt", "f"}, {"g", "g"}, {"g/", ""}, {"h.txt", "h"}});
    RecordCapture::clear();
    const fs::path before = fs::current_path();
    ASSERT_EQ(extract(), 0) << RecordCapture::dump();
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_EQ(treeOf(destination()), (std::vector<std::string>{"a", "a/b", "c", "c/d", "c/d/e", "c/d/e/f.txt", "g",
                                                                "h.txt"}));
    EXPECT_TRUE(RecordCapture::has(plog::debug, "createFolder", "Could not create folder \"g/\""))
        << RecordCapture::dump();
}

// An entry that cannot be written ends the extraction with a record naming
// it; a package that lacks a file is no package.
TEST_F(Extraction, AnEntryThatCannotBeCreatedFailsTheExtraction) {
    struct Case {
        const char* title;
        std::vector<ZipEntry> entries;
        std::string recordStart;
    };
    const Case cases[] = {
        {"file where a folder is", {{"a.txt", "a"}, {"x/", ""}, {"x", "file"}}, "Could not create \"x\": "},
        {"file inside a file", {{"f", "file"}, {"f/inner.txt", "inner"}}, "Could not create \"f/inner.txt\": "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove_all(destination());
        fs::create_directory(destination());
        writeZip(archive(), c.entries);
        RecordCapture::clear();
        EXPECT_EQ(extract(), kZipUnwritable);
        const auto records = RecordCapture::records();
        ASSERT_EQ(records.size(), 1u) << RecordCapture::dump();
        EXPECT_EQ(records[0].severity, plog::error);
        EXPECT_EQ(records[0].message.rfind(c.recordStart, 0), 0u) << records[0].message;
        EXPECT_FALSE(fs::exists(destination() / "g"));
    }
}

// A kilobyte that announces 100 GB: more than the upper bound (and than most
// volumes hold) is refused before anything is written.
TEST_F(Extraction, AZipBombIsRefusedBeforeAnythingIsWritten) {
    writeZip(archive(), {{"first.txt", "harmless"}, {"bomb.bin", std::string(1024, '\0'), true, false, 100ull << 30}});
    RecordCapture::clear();
    EXPECT_EQ(extract(), kZipTooLarge);
    EXPECT_TRUE(fs::is_empty(destination()));
    const auto records = RecordCapture::records();
    ASSERT_EQ(records.size(), 1u) << RecordCapture::dump();
    // The figure is the one minizip reads; Debian's native build of it does
    // not read zip64 sizes and sees 4294967295.
    EXPECT_NE(records[0].message.find("entry \"bomb.bin\" announces "), std::string::npos) << records[0].message;
}

TEST_F(Extraction, TheEntriesMayAddUpToTheLimitExactly) {
    writeZip(archive(), {{"a", std::string(600, 'a')}, {"b", std::string(400, 'b'), false}});
    EXPECT_EQ(tZip().extractWithin(archive().string(), destination().string(), "", 999), kZipTooLarge);
    EXPECT_TRUE(fs::is_empty(destination()));
    EXPECT_EQ(tZip().extractWithin(archive().string(), destination().string(), "", 1000), 0);
    EXPECT_EQ(treeOf(destination()), (std::vector<std::string>{"a", "b"}));
}

// An entry that announces less than it holds is read no further than its
// announcement, so the limit holds; the cut entry then fails its CRC check.
TEST_F(Extraction, AnEntryWritesNoMoreThanItAnnounces) {
    writeZip(archive(), {{"liar.bin", std::string(100000, 'x'), true, false, 10}});
    EXPECT_EQ(tZip().extractWithin(archive().string(), destination().string(), "", 10), UNZ_CRCERROR);
    EXPECT_TRUE(fs::is_empty(destination()));
}

TEST_F(Extraction, UnreadableArchivesAndFoldersFail) {
    EXPECT_EQ(extract(), kZipFailed);
    writeFile(archive(), "PK not really a zip");
    EXPECT_EQ(extract(), kZipFailed);
    writeZip(archive(), {{"a", "a"}});
    const fs::path before = fs::current_path();
    EXPECT_EQ(tZip().extract(archive().string(), (folder.path() / "missing").string(), ""), kZipFailed);
    EXPECT_EQ(fs::current_path(), before);
}

// Told of every file written directly into the destination whose name no
// other entry could stand for, piece by piece, each piece in the file by the
// time it is told of, and of whether the file ended whole.
TEST_F(Extraction, TellsOfTheFilesThatMayCarryADigest) {
    struct Told {
        std::string name;
        uint64_t size;
        std::string data;
        bool whole;
        bool operator==(const Told& o) const {
            return std::tie(name, size, data, whole) == std::tie(o.name, o.size, o.data, o.whole);
        }
    };
    struct Recorder final : WrittenFiles {
        explicit Recorder(fs::path into) : folder(std::move(into)), lent(kPieceSize) {}
        void begin(const std::string& name, uint64_t size) override { told.push_back({name, size, "", false}); }
        char* piece() override { return lent.data(); }
        void written(size_t count) override {
            told.back().data.append(lent.data(), count);
            EXPECT_EQ(readFile(folder / told.back().name), told.back().data);
        }
        void ended(bool whole) override { told.back().whole = whole; }
        fs::path folder;
        std::vector<char> lent;
        std::vector<Told> told;
    };
    std::string c(2 * kPieceSize + 17, 'c');
    c.front() = 'C';
    writeZip(archive(), {{"a.dll", "alpha"},
                         {"sub/b.dll", "b"},
                         {"Twice.dll", "1"},
                         {"c.dll", c, false},
                         {"twice.DLL", "2"},
                         {"d.dll", "delta"},
                         {"folder/", ""},
                         {"e.dll", ""}});
    Recorder recorder(destination());
    ASSERT_EQ(tZip().extractWithin(archive().string(), destination().string(), "", 1 << 20, &recorder), 0);
    EXPECT_EQ(recorder.told, (std::vector<Told>{{"a.dll", 5, "alpha", true},
                                                {"c.dll", c.size(), c, true},
                                                {"d.dll", 5, "delta", true},
                                                {"e.dll", 0, "", true}}));

    // One that fails its check ends, not whole.
    writeZip(archive(), {{"a.dll", "alpha"}, {"f.dll", "failed", true, true}});
    Recorder failed(destination());
    EXPECT_EQ(tZip().extractWithin(archive().string(), destination().string(), "", 1 << 20, &failed), UNZ_CRCERROR);
    EXPECT_EQ(failed.told, (std::vector<Told>{{"a.dll", 5, "alpha", true}, {"f.dll", 6, "failed", false}}));

    // One name beyond ASCII anywhere in the package: no file may carry a digest.
    writeZip(archive(), {{"a.dll", "alpha"}, {"sub/caf\xc3\xa9.dll", "x"}});
    Recorder none(destination());
    ASSERT_EQ(tZip().extractWithin(archive().string(), destination().string(), "", 1 << 20, &none), 0);
    EXPECT_TRUE(none.told.empty());
}

TEST_F(Extraction, ListGivesNamesInArchiveOrder) {
    writeZip(archive(), {{"z", "1"}, {"a/", ""}, {"a/m", "2"}});
    std::vector<std::string> names{"stale"};
    ASSERT_EQ(tZip().list(archive().string(), names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"z", "a/", "a/m"}));
}

TEST_F(Extraction, ExtractPackageDeletesTheArchiveWhateverHappens) {
    const fs::path package = destination() / "output.zip";
    writeZip(package, {{"a.dll", "a"}});
    EXPECT_TRUE(extractPackage(destination()));
    EXPECT_EQ(treeOf(destination()), std::vector<std::string>{"a.dll"});

    writeZip(package, {{"../escape.dll", "a"}});
    EXPECT_FALSE(extractPackage(destination()));
    EXPECT_FALSE(fs::exists(package));
    EXPECT_FALSE(fs::exists(folder.path() / "escape.dll"));

    writeFile(package, "garbage");
    EXPECT_FALSE(extractPackage(destination()));
    EXPECT_FALSE(fs::exists(package));

    EXPECT_FALSE(extractPackage(destination()));
}

TEST(MakeDir, CreatesEveryLevel) {
    ScratchFolder folder;
    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    EXPECT_EQ(makeDir("a/b/c/"), 1);
    EXPECT_EQ(makeDir("a/b"), 1);
    EXPECT_EQ(makeDir(""), 0);
    EXPECT_EQ(makeDir("/"), 0);
    writeFile("file", "");
    EXPECT_EQ(makeDir("file/x/y"), 0);
    fs::current_path(before);
    EXPECT_TRUE(fs::is_directory(folder.path() / "a" / "b" / "c"));
}

}  // namespace
