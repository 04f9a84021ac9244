#include "file_update.h"

#include <gtest/gtest.h>

#include <atomic>
#include <boost/filesystem/operations.hpp>
#include <cstring>
#include <map>
#include <optional>
#include <regex>
#include <thread>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "file_digest.h"
#include "file_hashing.h"
#include "log_text.h"
#include "signing_support.h"
#include "temp_folder.h"
#include "test_support.h"
#include "tzip.h"
#include "zip_builder.h"

namespace fs = boost::filesystem;

namespace {

TEST(SameFileContent, EqualExactlyWhenContentsAreEqual) {
    ScratchFolder folder;
    const fs::path f = folder.path();
    const std::string big(3 * 1024 * 1024 + 17, 'q');
    std::string bigChangedAtEnd = big;
    bigChangedAtEnd.back() = 'r';
    writeFile(f / "a", "content");
    writeFile(f / "a2", "content");
    writeFile(f / "b", "contenT");
    writeFile(f / "short", "conten");
    writeFile(f / "empty", "");
    writeFile(f / "empty2", "");
    writeFile(f / "big", big);
    writeFile(f / "big2", big);
    writeFile(f / "bigChanged", bigChangedAtEnd);
    fs::create_directory(f / "dir");
    struct Case {
        const char* first;
        const char* second;
        bool same;
    };
    const Case cases[] = {
        {"a", "a2", true},
        {"a", "a", true},
        {"a", "b", false},
        {"a", "short", false},
        {"empty", "empty2", true},
        {"big", "big2", true},
        {"big", "bigChanged", false},
        {"a", "missing", false},
        {"missing", "missing", false},
        {"dir", "dir", false},
        {"a", "dir", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sameFileContent(f / c.first, f / c.second), c.same) << c.first << " vs " << c.second;
    }
}

TEST(MakeTimestamp, IsFourteenDigitsOfTheCurrentYear) {
    const std::string stamp = makeTimestamp();
    ASSERT_TRUE(std::regex_match(stamp, std::regex("20[0-9]{2}(0[1-9]|1[0-2])[0-3][0-9]([01][0-9]|2[0-3])[0-5][0-9]"
                                                   "[0-6][0-9]")))
        << stamp;
}

// An installation folder with its temp folder, as check and update runs see them.
class Installation : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(temp());
        RecordCapture::clear();
    }
    fs::path root() const { return install.path(); }
    fs::path temp() const { return install.path() / "temp"; }
    std::vector<std::string> backupsOf(const std::string& name) const {
        std::vector<std::string> backups;
        for (const std::string& entry : treeOf(root())) {
            if (std::regex_match(entry, std::regex(name + "\\.[0-9]{14}"))) backups.push_back(entry);
        }
        return backups;
    }
    ScratchFolder install;
};

TEST_F(Installation, CheckUpdateKeepsOnlyChangedInstalledFiles) {
    writeFile(root() / "changed.dll", "old");
    writeFile(root() / "same.txt", "same");
    writeFile(temp() / "changed.dll", "new");
    writeFile(temp() / "same.txt", "same");
    writeFile(temp() / "new.dll", "not installed");
    writeFile(temp() / "output.zip", "archive");
    fs::create_directories(temp() / "sub");
    writeFile(temp() / "sub" / "changed.dll", "nested");
    EXPECT_TRUE(checkUpdate(temp()));
    EXPECT_EQ(treeOf(temp()), (std::vector<std::string>{"changed.dll", "output.zip"}));
    const std::string t = logText(temp());
    const std::string r = logText(root());
    const auto path = [&](const char* name) { return logText(temp() / name); };
    EXPECT_TRUE(
        RecordCapture::has(plog::debug, "checkUpdate", "Checking " + quotedLogText(temp() / "same.txt") + " ..."));
    EXPECT_TRUE(RecordCapture::has(plog::debug, "checkUpdate", "changed.dll can be updated!"));
    EXPECT_TRUE(RecordCapture::has(plog::error, "checkUpdate",
                                   path("same.txt") + " is equals to " + logText(root() / "same.txt") + ". Deleting " +
                                       path("same.txt") + " ..."));
    EXPECT_TRUE(RecordCapture::has(plog::error, "checkUpdate",
                                   "new.dll does not exists in " + r + ". Deleting " + path("new.dll") + " ..."));
    EXPECT_TRUE(RecordCapture::has(plog::error, "checkUpdate",
                                   path("sub") + " is not a file. Deleting " + path("sub") + " ..."));
    for (const LoggedRecord& record : RecordCapture::records()) {
        EXPECT_EQ(record.message.find("output.zip"), std::string::npos) << record.message;
    }
    EXPECT_EQ(readFile(root() / "changed.dll"), "old");
}

// Unpacking hashes the package's files as it writes them and compares them
// with the installed ones; the check and the seal then come to what reading
// the files again would give, and read again whatever changed size meanwhile.
TEST_F(Installation, DigestsTakenWhileUnpackingServeTheComparisonAndTheSeal) {
    writeFile(root() / "same.dll", "same");
    writeFile(root() / "changed.dll", "old");
    writeFile(root() / "grown.dll", "old");
    writeZip(temp() / "output.zip", {{"same.dll", "same"}, {"changed.dll", "new"}, {"grown.dll", "new"},
                                     {"new.dll", "n"}, {"sub/inner.dll", "i"}, {"Twice.dll", "a"}, {"twice.DLL", "b"}});
    PackageDigests digests;
    ASSERT_TRUE(extractPackage(temp(), &digests)) << RecordCapture::dump();
    const auto keys = [](const auto& map) {
        std::vector<std::string> names;
        for (const auto& [name, digest] : map) names.push_back(name);
        return names;
    };
    // Files directly in the folder only, and no name that another could stand
    // for; a file the same as the installed one is deleted and needs none.
    EXPECT_EQ(keys(digests.prepared), (std::vector<std::string>{"changed.dll", "grown.dll", "new.dll"}));
    EXPECT_EQ(keys(digests.installed), (std::vector<std::string>{"changed.dll", "grown.dll", "same.dll"}));
    for (const auto& [name, digest] : digests.prepared) {
        Sha512 read{};
        uint64_t size = 0;
        ASSERT_TRUE(sha512Of(temp() / name, read, &size));
        EXPECT_EQ(hexText(digest.sha512), hexText(read)) << name;
        EXPECT_EQ(digest.size, size) << name;
    }
    for (const auto& [name, comparison] : digests.installed) {
        EXPECT_EQ(comparison.same, name == "same.dll") << name;
        EXPECT_EQ(comparison.installedSize, fs::file_size(root() / name)) << name;
    }

    writeFile(temp() / "grown.dll", "old, then grown");
    EXPECT_TRUE(checkUpdate(temp(), &digests.prepared, &digests.installed));
    EXPECT_EQ(treeOf(temp()), (std::vector<std::string>{"changed.dll", "grown.dll"}));
    ASSERT_TRUE(writeSeal(temp(), "2.0", &digests.prepared));
    EXPECT_TRUE(readVerifiedSeal(temp())) << RecordCapture::dump();
}

// Each file is hashed from the pieces the unpacking writes and compared with
// the installed file of the same size, byte for byte to the end of both. A
// file the same as the installed one gets no digest; one that differs only
// after some pieces is hashed whole, from the pieces held or, after many,
// read back. Many files, and files of many pieces, make each side wait for
// the other.
TEST_F(Installation, UnpackingHashesAndComparesThePiecesWritten) {
    const auto changedAt = [](std::string text, size_t at) {
        text[at] = 'x';
        return text;
    };
    const std::string big(3 * kPieceSize + 5, 'b');
    const std::string huge(20 * kPieceSize, 'h');
    const struct {
        std::string name;
        std::string prepared;
        std::optional<std::string> installed;
        std::optional<bool> same;  // none: not compared
        uint64_t announced = 0;    // by the entry's headers, when not the size of prepared
    } cases[] = {
        {"same.dll", "content", "content", true},
        {"changed.dll", "content", "CONTENT", false},
        {"resized.dll", "content", "content, longer", std::nullopt},
        {"alone.dll", "content", std::nullopt, std::nullopt},
        {"empty.dll", "", "", true},
        {"big.dll", big, big, true},
        {"bigchangedfirst.dll", big, changedAt(big, 0), false},
        {"bigchangedlast.dll", big, changedAt(big, big.size() - 1), false},
        {"hugechanged.dll", huge, changedAt(huge, huge.size() - kPieceSize), false},
        // Holds less than it announces: no more than the start of the installed file.
        {"short.dll", "content", "content!", false, 8},
    };
    std::vector<ZipEntry> entries;
    for (const auto& c : cases) {
        entries.push_back({c.name, c.prepared, true, false, c.announced});
        if (c.installed) writeFile(root() / c.name, *c.installed);
    }
    for (int i = 0; i < 150; ++i) entries.push_back({"many" + std::to_string(i) + ".dll", std::to_string(i)});
    writeZip(temp() / "output.zip", entries);
    PackageDigests digests;
    ASSERT_TRUE(extractPackage(temp(), &digests)) << RecordCapture::dump();
    for (const ZipEntry& entry : entries) {
        const auto found = digests.prepared.find(entry.name);
        const bool same = digests.installed.count(entry.name) > 0 && digests.installed[entry.name].same;
        ASSERT_EQ(found == digests.prepared.end(), same) << entry.name;
        if (same) continue;
        Sha512 read{};
        uint64_t size = 0;
        ASSERT_TRUE(sha512Of(temp() / entry.name, read, &size));
        EXPECT_EQ(hexText(found->second.sha512), hexText(read)) << entry.name;
        EXPECT_EQ(found->second.size, size) << entry.name;
    }
    for (const auto& c : cases) {
        const auto found = digests.installed.find(c.name);
        ASSERT_EQ(found != digests.installed.end(), c.same.has_value()) << c.name;
        if (!c.same) continue;
        EXPECT_EQ(found->second.same, *c.same) << c.name;
        EXPECT_EQ(found->second.preparedSize, c.prepared.size()) << c.name;
        EXPECT_EQ(found->second.installedSize, c.installed->size()) << c.name;
    }
}

// Told out of order, the hashing neither fails nor records a digest for what
// it did not see whole: a piece written that was not lent, one larger than a
// piece, an end without a beginning. A file of many pieces after them comes
// through whole.
TEST_F(Installation, HashingToldOutOfOrderRecordsOnlyWhatItSawWhole) {
    const std::string many(40 * kPieceSize, 'm');
    writeFile(temp() / "a.dll", "abc");
    writeFile(root() / "a.dll", "abc");
    writeFile(temp() / "many.dll", many);
    PackageDigests digests;
    FileHashing hashing(root(), temp(), digests);
    hashing.written(3);
    hashing.ended(true);
    hashing.begin("a.dll", 3);
    std::memcpy(hashing.piece(), "abc", 3);
    hashing.written(kPieceSize + 1);
    hashing.ended(true);
    hashing.begin("many.dll", many.size());
    for (size_t at = 0; at < many.size(); at += kPieceSize) {
        std::memcpy(hashing.piece(), many.data() + at, kPieceSize);
        hashing.written(kPieceSize);
    }
    hashing.ended(true);
    hashing.finish();
    ASSERT_EQ(digests.prepared.size(), 1u);
    Sha512 read{};
    ASSERT_TRUE(sha512Of(temp() / "many.dll", read));
    EXPECT_EQ(hexText(digests.prepared["many.dll"].sha512), hexText(read));
}

// A package that fails part way stops the hashing too: the call ends, fails,
// and leaves no archive behind, nor the large entry that failed its check.
TEST_F(Installation, AFailedUnpackingWithDigestsEndsAndFails) {
    std::vector<ZipEntry> entries;
    for (int i = 0; i < 8; ++i) entries.push_back({"big" + std::to_string(i) + ".dll", "new"});
    entries.front().data = std::string(8 << 20, 'n');
    entries.front().wrongCrc = true;
    writeZip(temp() / "output.zip", entries);
    PackageDigests digests;
    EXPECT_FALSE(extractPackage(temp(), &digests));
    EXPECT_FALSE(fs::exists(temp() / "output.zip"));
    EXPECT_FALSE(fs::exists(temp() / "big0.dll"));
    EXPECT_TRUE(digests.prepared.empty());
}

TEST_F(Installation, NoDigestsAreNotedForAPackageWithNamesBeyondAscii) {
    writeFile(root() / "a.dll", "old");
    writeZip(temp() / "output.zip", {{"a.dll", "new"}, {"caf\xc3\xa9.dll", "x"}});
    PackageDigests digests;
    ASSERT_TRUE(extractPackage(temp(), &digests));
    EXPECT_TRUE(digests.prepared.empty());
    EXPECT_TRUE(digests.installed.empty());
}

TEST_F(Installation, CheckUpdateWithNothingChangedIsNotReady) {
    writeFile(root() / "same.txt", "same");
    writeFile(temp() / "same.txt", "same");
    EXPECT_FALSE(checkUpdate(temp()));
    EXPECT_TRUE(fs::is_empty(temp()));
    EXPECT_FALSE(checkUpdate(temp()));
}

TEST_F(Installation, CheckUpdateCountsAnUnreadableTargetAsDifferent) {
    fs::create_directory(root() / "folder.dll");
    writeFile(temp() / "folder.dll", "file");
    EXPECT_TRUE(checkUpdate(temp()));
}

TEST_F(Installation, CheckUpdateWithoutTempFolderIsABoostError) {
    fs::remove(temp());
    EXPECT_FALSE(checkUpdate(temp()));
    ASSERT_EQ(RecordCapture::records().size(), 1u);
    EXPECT_EQ(RecordCapture::records()[0].message.rfind("Boost Exception: ", 0), 0u);
}

TEST_F(Installation, MakeUpdateReplacesWithBackups) {
    writeFile(root() / "a.dll", "old a");
    writeFile(root() / "b.txt", "old b");
    writeFile(temp() / "a.dll", "new a");
    writeFile(temp() / "b.txt", "new b");
    writeFile(temp() / "lost.dll", "not installed");
    writeFile(temp() / "output.zip", "archive");
    fs::create_directories(temp() / "sub");
    EXPECT_TRUE(makeUpdate(temp(), sealOf(temp())));
    EXPECT_EQ(readFile(root() / "a.dll"), "new a");
    EXPECT_EQ(readFile(root() / "b.txt"), "new b");
    const auto backupsA = backupsOf("a.dll");
    const auto backupsB = backupsOf("b.txt");
    ASSERT_EQ(backupsA.size(), 1u);
    ASSERT_EQ(backupsB.size(), 1u);
    EXPECT_EQ(readFile(root() / backupsA[0]), "old a");
    EXPECT_EQ(backupsA[0].substr(6), backupsB[0].substr(6));
    EXPECT_EQ(treeOf(temp()), std::vector<std::string>{"output.zip"});
    EXPECT_FALSE(fs::exists(root() / "lost.dll"));
    EXPECT_TRUE(RecordCapture::has(plog::debug, "makeUpdate", "Updating file a.dll ..."));
    EXPECT_TRUE(RecordCapture::has(plog::debug, "makeUpdate", "File \"a.dll\" updated!"));
    EXPECT_TRUE(RecordCapture::has(plog::error, "makeUpdate",
                                   "lost.dll does not exists in " + logText(root()) + ". Deleting..."));
    EXPECT_TRUE(RecordCapture::has(plog::error, "makeUpdate", logText(temp() / "sub") + " is not a file. Deleting..."));
}

// Every file of the installation with its content, backups included.
std::map<std::string, std::string> contentOf(const fs::path& folder) {
    std::map<std::string, std::string> content;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (fs::is_regular_file(entry.status())) content[entry.path().filename().string()] = readFile(entry.path());
    }
    return content;
}

// The Nth of five files cannot get its backup (the installed "file" is a
// folder, which cannot be copied): the files before it are already replaced
// when that happens, and must all come back.
TEST_F(Installation, MakeUpdateFailingAtAnyFileChangesNothing) {
    for (int failing = 1; failing <= 5; ++failing) {
        SCOPED_TRACE("failing file " + std::to_string(failing));
        fs::remove_all(root());
        fs::create_directories(temp());
        for (int i = 1; i <= 5; ++i) {
            const std::string name = "f" + std::to_string(i) + ".dll";
            if (i == failing) {
                fs::create_directory(root() / name);
            } else {
                writeFile(root() / name, "old " + name);
            }
            writeFile(temp() / name, "new " + name);
        }
        const auto installedBefore = contentOf(root());
        const auto preparedBefore = contentOf(temp());
        RecordCapture::clear();
        EXPECT_FALSE(makeUpdate(temp(), sealOf(temp())));
        EXPECT_EQ(contentOf(root()), installedBefore) << RecordCapture::dump();
        EXPECT_EQ(contentOf(temp()), preparedBefore);
        EXPECT_TRUE(fs::is_directory(root() / ("f" + std::to_string(failing) + ".dll")));
        EXPECT_EQ(treeOf(root()).size(), 11u) << "something was left beside the installed files";
        for (int i = 1; i < failing; ++i) {
            EXPECT_TRUE(RecordCapture::has(plog::debug, "restoreFiles",
                                           "Restoring file \"f" + std::to_string(i) + ".dll\" ..."));
        }
    }
}

// A program that starts while an update runs must find every file: there is
// no moment in which an installed file exists under its backup name only.
TEST_F(Installation, MakeUpdateNeverLeavesTheInstalledFileMissing) {
    writeFile(root() / "a.dll", "installed");
    std::atomic<bool> stop{false};
    std::atomic<int> missing{0};
    std::atomic<long> looks{0};
    std::thread watcher([&] {
        while (!stop) {
            boost::system::error_code error;
            if (!fs::exists(root() / "a.dll", error)) ++missing;
            ++looks;
        }
    });
    for (int run = 0; run < 200; ++run) {
        writeFile(temp() / "a.dll", "update " + std::to_string(run));
        if (!makeUpdate(temp(), sealOf(temp()))) break;
    }
    stop = true;
    watcher.join();
    EXPECT_EQ(readFile(root() / "a.dll"), "update 199");
    EXPECT_EQ(missing, 0) << "in " << looks << " looks";
}

TEST_F(Installation, MakeUpdateWithNothingPreparedIsFalse) {
    EXPECT_FALSE(makeUpdate(temp(), sealOf(temp())));
    writeFile(temp() / "output.zip", "archive");
    EXPECT_FALSE(makeUpdate(temp(), sealOf(temp())));
    fs::remove_all(temp());
    RecordCapture::clear();
    EXPECT_FALSE(makeUpdate(temp(), Seal()));
    ASSERT_EQ(RecordCapture::records().size(), 1u);
    EXPECT_EQ(RecordCapture::records()[0].message.rfind("Boost Exception: ", 0), 0u);
}

#ifndef _WIN32
// A temp folder on another file system makes the second move fail (rename
// does not cross devices), after the installed file went to its backup.
TEST_F(Installation, MakeUpdatePutsTheBackupBackWhenTheNewFileCannotMove) {
    ScratchFolder elsewhere;
    const fs::path shm("/dev/shm");
    if (!fs::is_directory(shm)) GTEST_SKIP() << "no /dev/shm";
    const fs::path otherTemp = shm / fs::unique_path("updater-test-%%%%-%%%%");
    fs::create_directory(otherTemp);
    struct Cleanup {
        fs::path path;
        ~Cleanup() {
            boost::system::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } cleanup{otherTemp};
    struct stat rootStat {};
    struct stat otherStat {};
    ::stat(root().c_str(), &rootStat);
    ::stat(otherTemp.c_str(), &otherStat);
    if (rootStat.st_dev == otherStat.st_dev) GTEST_SKIP() << "/dev/shm is on the same device";
    fs::remove(temp());
    fs::create_directory_symlink(otherTemp, temp());
    writeFile(root() / "a.dll", "old a");
    writeFile(temp() / "a.dll", "new a");
    EXPECT_FALSE(makeUpdate(temp(), sealOf(temp())));
    EXPECT_EQ(readFile(root() / "a.dll"), "old a");
    EXPECT_TRUE(backupsOf("a.dll").empty());
    EXPECT_EQ(readFile(temp() / "a.dll"), "new a");
    // Updating, moving the installed file aside as for a file in use, failing.
    ASSERT_EQ(RecordCapture::records().size(), 3u) << RecordCapture::dump();
    EXPECT_EQ(RecordCapture::records()[2].message.rfind("Boost Exception: ", 0), 0u);
}
#endif

// The seal: a check seals what it prepared, update mode installs only what the
// seal lists, unchanged. A check killed before its seal, a prepared file
// changed or added afterwards: nothing of it is installed.
TEST_F(Installation, OnlyASealedUnchangedPackageIsInstalled) {
    writeFile(root() / "a.dll", "old a");
    writeFile(root() / "b.dll", "old b");
    writeFile(temp() / "a.dll", "new a");
    writeFile(temp() / "b.dll", "new b");
    EXPECT_FALSE(readVerifiedSeal(temp())) << "a check killed before its seal prepared nothing";
    EXPECT_TRUE(RecordCapture::has(plog::error, "readVerifiedSeal",
                                   "No seal in " + logText(temp()) + ": no check prepared this package whole"));
    ASSERT_TRUE(writeSeal(temp(), "2.0\n"));
    std::optional<Seal> seal = readVerifiedSeal(temp());
    ASSERT_TRUE(seal) << RecordCapture::dump();
    EXPECT_EQ(seal->version, "2.0\\x0A");
    ASSERT_EQ(seal->files.size(), 2u);
    EXPECT_EQ(seal->files[0].size, 5u);

    // Changed after the check, or cut short: no longer the sealed package.
    writeFile(temp() / "b.dll", "NEW b");
    RecordCapture::clear();
    EXPECT_FALSE(readVerifiedSeal(temp()));
    EXPECT_TRUE(RecordCapture::has(plog::error, "readVerifiedSeal",
                                   logText(temp() / "b.dll") + " is not the file that was prepared and sealed"));
    EXPECT_FALSE(makeUpdate(temp(), *seal)) << "nor while it is installed";
    EXPECT_EQ(readFile(root() / "a.dll"), "old a");
    EXPECT_EQ(readFile(root() / "b.dll"), "old b");

    // A file added after the check is not installed.
    writeFile(temp() / "b.dll", "new b");
    writeFile(root() / "c.dll", "old c");
    writeFile(temp() / "c.dll", "unsealed c");
    EXPECT_TRUE(readVerifiedSeal(temp()));
    RecordCapture::clear();
    EXPECT_TRUE(makeUpdate(temp(), *seal));
    EXPECT_EQ(readFile(root() / "a.dll"), "new a");
    EXPECT_EQ(readFile(root() / "c.dll"), "old c");
    EXPECT_TRUE(RecordCapture::has(plog::error, "makeUpdate",
                                   "c.dll was not prepared by the check that sealed this package. Deleting..."));

    for (const std::string& text :
         {std::string(), std::string("KAVRO Quorvelant prepared package 1\nversion=1"),
          std::string("KAVRO Quorvelant prepared package 1\nversion=1\nfile=5 ") + std::string(128, 'a') + " \n",
          std::string("KAVRO Quorvelant prepared package 1\nversion=1\nfile=5 ") + std::string(128, 'a') + " x/y\n",
          std::string("KAVRO Quorvelant prepared package 2\nversion=1\n")}) {
        EXPECT_FALSE(parseSeal(text)) << text;
    }
}

#ifndef _WIN32
// A link in the temp folder is never compared, installed or followed: it goes
// itself, and what it points to stays as it is.
TEST_F(Installation, LinksAreNeverComparedOrInstalled) {
    ScratchFolder elsewhere;
    writeFile(elsewhere.path() / "payload.exe", "someone else's program");
    writeFile(root() / "quorvelant.exe", "the agent");
    fs::create_symlink(elsewhere.path() / "payload.exe", temp() / "quorvelant.exe");
    EXPECT_FALSE(checkUpdate(temp()));
    EXPECT_TRUE(fs::is_empty(temp()));
    EXPECT_EQ(readFile(elsewhere.path() / "payload.exe"), "someone else's program");

    fs::create_symlink(elsewhere.path() / "payload.exe", temp() / "quorvelant.exe");
    Seal seal;
    seal.files.push_back({"quorvelant.exe", 22, sha512Hex("someone else's program")});
    EXPECT_FALSE(makeUpdate(temp(), seal));
    EXPECT_EQ(readFile(root() / "quorvelant.exe"), "the agent");
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(root() / "quorvelant.exe")));
    EXPECT_TRUE(fs::exists(elsewhere.path() / "payload.exe"));

    fs::create_symlink(elsewhere.path() / "payload.exe", temp() / kSealFileName);
    EXPECT_FALSE(readVerifiedSeal(temp()));
}
#endif

}  // namespace
