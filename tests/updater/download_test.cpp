// Downloads as check runs see them: always fresh from the server, bounded in
// time and, for the manifest, in size.
#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>
#include <cstdio>
#include <regex>

#include "download_win32.h"
#include "updater_process.h"

namespace fs = boost::filesystem;

namespace {

// Headers that let any cache keep the answer for an hour.
const char kCacheable[] =
    "Cache-Control: public, max-age=3600\r\n"
    "Last-Modified: Mon, 01 Jan 2024 00:00:00 GMT\r\n"
    "Expires: Thu, 01 Jan 2037 00:00:00 GMT\r\n";

// Whether a request asked every cache on its way to pass it on to the server.
bool asksPastCaches(const std::string& head) {
    return std::regex_search(head, std::regex("\r\nPragma: *no-cache", std::regex::icase));
}

TEST_F(UpdaterProcess, AManifestTheServerChangedIsReadAnew) {
    server.script("/update.json", {200, manifest("1.2.4"), false, 0, false, kCacheable});
    server.script("/output.zip", {200, zipBytes({{"a.dll", "new a"}}), false, 0, false, kCacheable});
    EXPECT_EQ(run(checkArgs("1.2.3")).exitCode, 0u) << logDump();

    server.script("/update.json", {200, manifest("1.2.3"), false, 0, false, kCacheable});
    EXPECT_EQ(run(checkArgs("1.2.3")).exitCode, kExitMinusOne) << logDump();
    EXPECT_TRUE(logged(plog::verbose, "checkJSON", "Update version: 1.2.3")) << logDump();
    EXPECT_EQ(server.requestsFor("/update.json"), 2);
    EXPECT_TRUE(asksPastCaches(server.lastRequestFor("/update.json"))) << server.lastRequestFor("/update.json");
}

TEST_F(UpdaterProcess, APackageTheServerChangedIsReadAnew) {
    server.script("/update.json", {200, manifest("1.2.4"), false, 0, false, kCacheable});
    server.script("/output.zip", {200, zipBytes({{"a.dll", "first a"}}), false, 0, false, kCacheable});
    EXPECT_EQ(run(checkArgs("1.2.3")).exitCode, 0u) << logDump();
    EXPECT_EQ(readFile(temp() / "a.dll"), "first a");

    server.script("/output.zip", {200, zipBytes({{"a.dll", "second a"}}), false, 0, false, kCacheable});
    EXPECT_EQ(run(checkArgs("1.2.3")).exitCode, 0u) << logDump();
    EXPECT_EQ(readFile(temp() / "a.dll"), "second a");
    EXPECT_EQ(server.requestsFor("/output.zip"), 2);
    EXPECT_TRUE(asksPastCaches(server.lastRequestFor("/output.zip"))) << server.lastRequestFor("/output.zip");
}

// The server announces the whole package, sends half and then nothing: the
// check must end, with the read's error on standard error.
TEST_F(UpdaterProcess, AServerThatStallsMidBodyFailsTheDownload) {
    server.script("/update.json", {200, manifest("1.2.4")});
    server.script("/output.zip", {200, zipBytes({{"a.dll", std::string(200000, 'a')}}), false, 0, true});
    const RunResult result = run(checkArgs("1.2.3"));
    EXPECT_EQ(result.exitCode, kExitMinusOne);
    EXPECT_TRUE(std::regex_match(result.err, std::regex("InternetReadFile\\(\\): [0-9]+\\.\r\n"))) << result.err;
    EXPECT_TRUE(logged(plog::error, "main", "Error downloading file " + server.url("/output.zip"))) << logDump();
    EXPECT_TRUE(fs::is_empty(temp()));
}

// Without a length to refuse up front, the manifest is measured as it comes.
TEST_F(UpdaterProcess, AManifestWithoutALengthIsCutAtOneMebibyte) {
    server.script("/update.json", {200, manifest("1.2.4") + std::string(1024 * 1024, ' '), false, 0, false, "", true});
    const RunResult result = run(checkArgs("1.2.3"));
    EXPECT_EQ(result.exitCode, kExitMinusOne);
    EXPECT_EQ(result.err, "Body too large: more than 1048576 bytes.\r\n");
    EXPECT_TRUE(logged(plog::error, "main", "Error downloading file " + server.url("/update.json"))) << logDump();
    EXPECT_TRUE(fs::is_empty(temp()));

    server.script("/update.json", {200, manifest("1.2.4"), false, 0, false, "", true});
    server.script("/output.zip", {200, zipBytes({{"a.dll", "new a"}}), false, 0, false, "", true});
    EXPECT_EQ(run(checkArgs("1.2.3")).exitCode, 0u) << logDump();
}

// A body that flows faster than it is read is read in whole buffers: every
// byte arrives once, in its place, with and without an announced length, in
// chunks, and whether or not it ends on a buffer's end.
TEST_F(UpdaterProcess, AFastBodyArrivesWhole) {
    fs::create_directory(temp());
    for (const size_t size : {size_t{3 * 1024 * 1024 + 777}, size_t{2 * 1024 * 1024}}) {
        std::string body(size, '\0');
        for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>((i * 2654435761u) >> 13);
        std::string chunked;
        for (size_t at = 0; at < body.size(); at += 100000) {
            const std::string piece = body.substr(at, 100000);
            char length[16];
            std::snprintf(length, sizeof length, "%zx\r\n", piece.size());
            chunked += length + piece + "\r\n";
        }
        chunked += "0\r\n\r\n";
        server.script("/announced", {200, body});
        server.script("/unannounced", {200, body, false, 0, false, "", true});
        server.script("/chunked", {200, chunked, false, 0, false, "Transfer-Encoding: chunked\r\n", true});
        for (const char* path : {"/announced", "/unannounced", "/chunked"}) {
            ASSERT_TRUE(downloadFile(server.url(path), temp(), "body.bin", body.size())) << path << " " << size;
            EXPECT_TRUE(readFile(temp() / "body.bin") == body) << path << " " << size;
        }
    }
}

// A package that has moved is fetched from where the server points, and the
// body stored is the one found there.
TEST_F(UpdaterProcess, ARedirectIsFollowed) {
    server.script("/moved", {302, "", false, 0, false, "Location: " + server.url("/package") + "\r\n"});
    server.script("/package", {200, "the package"});
    fs::create_directory(temp());
    ASSERT_TRUE(downloadFile(server.url("/moved"), temp(), "moved.bin"));
    EXPECT_EQ(readFile(temp() / "moved.bin"), "the package");
    EXPECT_EQ(server.requestsFor("/package"), 1);
}

// The low-speed limit, with a short window: a server that drips its body
// slower than the limit ends the download once a whole window has passed so
// slowly; one that keeps above the limit, however slowly, is waited for.
TEST_F(UpdaterProcess, ADownloadSlowerThanTheLimitForAWholeWindowEnds) {
    const SpeedLimit limit{20, std::chrono::milliseconds(1500)};
    server.script("/drip", {200, std::string(100, 'd'), false, 0, false, "", false, 200});
    server.script("/slow-but-steady", {200, std::string(90, 's'), false, 0, false, "", false, 25});
    fs::create_directory(temp());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(downloadFile(server.url("/drip"), temp(), "drip.bin", 1000, limit));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Too slow: under 20 bytes a second for 1.5 s.\n");
    EXPECT_FALSE(fs::exists(temp() / "drip.bin"));
    EXPECT_TRUE(downloadFile(server.url("/slow-but-steady"), temp(), "steady.bin", 1000, limit));
    EXPECT_EQ(readFile(temp() / "steady.bin"), std::string(90, 's'));

    // Fast first, then a drip: the drip is measured as it comes, not after
    // a read that waits for more than has arrived.
    Reply fastThenDrip{200, std::string(300000, 'f'), false, 0, false, "", false, 100};
    fastThenDrip.dripAfter = 299000;
    server.script("/fast-then-drip", fastThenDrip);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(downloadFile(server.url("/fast-then-drip"), temp(), "drip.bin", 400000, limit));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Too slow: under 20 bytes a second for 1.5 s.\n");
}

}  // namespace
