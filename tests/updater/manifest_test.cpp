#include "manifest.h"

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include "log_text.h"
#include "test_support.h"

namespace fs = boost::filesystem;

namespace {

TEST(CompareVersions, OrdersDottedVersionsNumerically) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"1.2.4", "1.2.3", 1},
        {"1.2.3", "1.2.3", 0},
        {"1.2.2", "1.2.3", -1},
        {"1.10", "1.9", 1},
        {"1.9", "1.10", -1},
        {"1.2", "1.2.0.0", 0},
        {"1.2.", "1.2", 0},
        {"1..2", "1.0.2", 0},
        {"1.02", "1.2", 0},
        {"", "0", 0},
        {"", "", 0},
        {"2", "1.99.99", 1},
        {"1.2.3.1", "1.2.3", 1},
        // Each character adds its code minus '0': 'a' is 49.
        {"1.a", "1.49", 0},
        // Parts past 32 bits still compare as numbers.
        {"1.4294967296", "1.4294967295", 1},
        {"1.99999999999", "1.100000000000", -1},
        // Parts past 64 bits saturate instead of overflowing.
        {"1.99999999999999999999999", "1.99999999999999999999998", 0},
        {"1.99999999999999999999999", "1.9", 1},
        {"1.\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", "1.0", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compareVersions(c.a, c.b), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(compareVersions(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
    }
}

struct ManifestCase {
    const char* title;
    std::string manifest;
    std::string installed;
    bool due;
    std::string url;
    std::string record;  // a debug record of checkJSON that starts with this, if not empty
};

class CheckJson : public ::testing::TestWithParam<ManifestCase> {
protected:
    ScratchFolder temp;
};

std::string manifestOf(const std::string& version, const std::string& force) {
    return R"({"latest-version": ")" + version + R"(", "force-update": )" + force +
           R"(, "download-url": "http://host/pkg.zip", "extra": [1, 2]})";
}

TEST_P(CheckJson, DecidesAndAlwaysDeletesTheManifest) {
    const ManifestCase& c = GetParam();
    writeFile(temp.path() / "update.json", c.manifest);
    RecordCapture::clear();
    std::string url = "stale";
    EXPECT_EQ(checkJSON(temp.path(), c.installed, url), c.due) << RecordCapture::dump();
    EXPECT_EQ(url, c.url);
    EXPECT_FALSE(fs::exists(temp.path() / "update.json"));
    if (!c.record.empty()) {
        bool found = false;
        for (const LoggedRecord& r : RecordCapture::records()) {
            found |= r.severity == plog::debug && r.function == "checkJSON" && r.message.rfind(c.record, 0) == 0;
        }
        EXPECT_TRUE(found) << RecordCapture::dump();
    }
}

const ManifestCase kManifestCases[] = {
    {"newer", manifestOf("1.2.4", "false"), "1.2.3", true, "http://host/pkg.zip", ""},
    {"equal", manifestOf("1.2.3", "false"), "1.2.3", false, "", ""},
    {"older", manifestOf("1.2.2", "false"), "1.2.3", false, "", ""},
    {"forced_downgrade", manifestOf("1.2.2", "true"), "1.2.3", true, "http://host/pkg.zip", ""},
    {"forced_equal", manifestOf("1.2.3", "true"), "1.2.3", false, "", ""},
    {"forced_equal_longer", manifestOf("1.2.0.0", "true"), "1.2", false, "", ""},
    {"ten_after_nine", manifestOf("1.10", "false"), "1.9", true, "http://host/pkg.zip", ""},
    {"byte_order_mark", "\xEF\xBB\xBF" + manifestOf("2.0", "false"), "1.0", true, "http://host/pkg.zip", ""},
    {"force_as_string", manifestOf("2.0", "\"true\""), "1.0", false, "", "JSON Exception: "},
    {"force_as_number", manifestOf("2.0", "1"), "1.0", false, "", "JSON Exception: "},
    {"version_as_number", R"({"latest-version": 2, "force-update": false, "download-url": "u"})", "1.0", false, "",
     "JSON Exception: "},
    {"missing_force", R"({"latest-version": "2.0", "download-url": "u"})", "1.0", false, "", "JSON Exception: "},
    {"missing_url_when_due", R"({"latest-version": "2.0", "force-update": false})", "1.0", false, "",
     "JSON Exception: "},
    {"missing_url_not_due", R"({"latest-version": "1.0", "force-update": false})", "1.0", false, "", ""},
    {"array", R"(["latest-version", "2.0"])", "1.0", false, "", "JSON Exception: "},
    {"null", "null", "1.0", false, "", "JSON Exception: "},
    {"empty", "", "1.0", false, "", "JSON Exception: "},
    {"trailing_garbage", manifestOf("2.0", "false") + "x", "1.0", false, "", "JSON Exception: "},
    {"truncated", manifestOf("2.0", "false").substr(0, 30), "1.0", false, "", "JSON Exception: "},
};

INSTANTIATE_TEST_SUITE_P(Cases, CheckJson, ::testing::ValuesIn(kManifestCases),
                         [](const auto& testCase) { return std::string(testCase.param.title); });

TEST(CheckJsonRecords, WritesVersionsAndFlagAtVerbose) {
    ScratchFolder temp;
    writeFile(temp.path() / "update.json", manifestOf("1.3", "true"));
    RecordCapture::clear();
    std::string url;
    ASSERT_TRUE(checkJSON(temp.path(), "1.2", url));
    EXPECT_TRUE(RecordCapture::has(plog::verbose, "checkJSON", "Current version: 1.2"));
    EXPECT_TRUE(RecordCapture::has(plog::verbose, "checkJSON", "Update version: 1.3"));
    EXPECT_TRUE(RecordCapture::has(plog::verbose, "checkJSON", "Force update: 1"));
}

TEST(CheckJsonRecords, MissingManifestIsNoUpdate) {
    ScratchFolder temp;
    RecordCapture::clear();
    std::string url = "stale";
    EXPECT_FALSE(checkJSON(temp.path(), "1.0", url));
    EXPECT_EQ(url, "");
    const auto records = RecordCapture::records();
    ASSERT_EQ(records.size(), 1u) << RecordCapture::dump();
    EXPECT_EQ(records[0].message, "Could not read file " + logText(temp.path() / "update.json"));
}

// What the manifest says of the package: "sha512", "size", "signature" and
// "expires"; present, each must have its type.
TEST(CheckJsonClaims, ReadsWhatTheManifestSaysOfThePackage) {
    const std::string head = R"({"latest-version": "2.0", "force-update": false, "download-url": "u")";
    struct Case {
        const char* title;
        std::string members;
        bool due;
        PackageClaims claims;
    };
    const Case cases[] = {
        {"none", "", true, {}},
        {"all", R"(, "sha512": "ab12", "size": 1234, "signature": "c2ln", "expires": "2027-01-31T00:00:00Z")", true,
         {"ab12", 1234, "c2ln", "2027-01-31T00:00:00Z"}},
        {"size_past_32_bits", R"(, "size": 5000000000)", true, {std::nullopt, 5000000000u, std::nullopt, std::nullopt}},
        {"size_zero", R"(, "size": 0)", true, {std::nullopt, 0, std::nullopt, std::nullopt}},
        {"sha512_as_number", R"(, "sha512": 12)", false, {}},
        {"size_as_text", R"(, "size": "1234")", false, {}},
        {"size_negative", R"(, "size": -1)", false, {}},
        {"size_fraction", R"(, "size": 12.5)", false, {}},
        {"signature_null", R"(, "signature": null)", false, {}},
        {"expires_as_number", R"(, "expires": 2027)", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ScratchFolder temp;
        writeFile(temp.path() / "update.json", head + c.members + "}");
        RecordCapture::clear();
        std::string url;
        Manifest manifest;
        manifest.claims = {"stale", 1, "stale", "stale"};
        EXPECT_EQ(checkJSON(temp.path(), "1.0", url, &manifest), c.due) << RecordCapture::dump();
        EXPECT_EQ(manifest.claims.sha512, c.claims.sha512);
        EXPECT_EQ(manifest.claims.size, c.claims.size);
        EXPECT_EQ(manifest.claims.signature, c.claims.signature);
        EXPECT_EQ(manifest.claims.expires, c.claims.expires);
        if (!c.due) {
            // A claim of the wrong type makes the manifest none: it fails as it is parsed.
            ASSERT_EQ(RecordCapture::records().size(), 1u) << RecordCapture::dump();
            EXPECT_EQ(RecordCapture::records()[0].message.rfind("JSON Exception: ", 0), 0u);
        }
    }
}

// The manifest as a value: what it says, and whether it makes an update due.
TEST(ManifestValue, ParsesAndDecidesWithoutFiles) {
    const Manifest manifest = parseManifest(
        R"({"latest-version": "1.2.4", "force-update": true, "download-url": "http://h/p.zip", "size": 7})");
    EXPECT_EQ(manifest.latestVersion, "1.2.4");
    EXPECT_TRUE(manifest.forceUpdate);
    EXPECT_EQ(packageUrl(manifest), "http://h/p.zip");
    EXPECT_EQ(manifest.claims.size, 7u);
    EXPECT_TRUE(updateDue(manifest, "1.2.3"));
    EXPECT_TRUE(updateDue(manifest, "1.3")) << "forced: a downgrade";
    EXPECT_FALSE(updateDue(manifest, "1.2.4.0"));
    const Manifest withoutUrl = parseManifest(R"({"latest-version": "1.0", "force-update": false})");
    EXPECT_THROW(packageUrl(withoutUrl), nlohmann::json::type_error) << "read only once an update is due";
    EXPECT_THROW(parseManifest("[1, 2]"), nlohmann::json::exception);
    EXPECT_THROW(parseManifest(R"({"latest-version": 1, "force-update": false})"), nlohmann::json::type_error);
}

// Texts from the manifest go into the log escaped: a line break in them starts
// no record of its own.
TEST(CheckJsonLog, ControlCharactersOfTheManifestAreEscaped) {
    ScratchFolder temp;
    writeFile(temp.path() / "update.json",
              R"({"latest-version": "1.0\n2026-01-01 00:00:00.000 INFO  [1] [main@1] forged", "force-update": false})");
    RecordCapture::clear();
    std::string url;
    EXPECT_FALSE(checkJSON(temp.path(), "1.0\r", url));
    EXPECT_TRUE(RecordCapture::has(plog::verbose, "checkJSON",
                                   "Update version: 1.0\\x0A2026-01-01 00:00:00.000 INFO  [1] [main@1] forged"))
        << RecordCapture::dump();
    EXPECT_TRUE(RecordCapture::has(plog::verbose, "checkJSON", "Current version: 1.0\\x0D"));
}

TEST(ReadWholeFile, ReadsEveryByteAndFailsOnFolders) {
    ScratchFolder folder;
    std::string bytes(70000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    writeFile(folder.path() / "f", bytes);
    std::string read;
    ASSERT_TRUE(readWholeFile(folder.path() / "f", read));
    EXPECT_EQ(read, bytes);
    EXPECT_FALSE(readWholeFile(folder.path() / "missing", read));
    EXPECT_FALSE(readWholeFile(folder.path(), read));
}

}  // namespace
