#include "package_check.h"

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include <functional>
#include <vector>

#include "signing_support.h"
#include "statement.h"
#include "test_support.h"

namespace fs = boost::filesystem;

namespace {

// Expects exactly one error record, starting with recordStart.
void expectOneError(const std::string& recordStart) {
    const auto records = RecordCapture::records();
    ASSERT_EQ(records.size(), 1u) << RecordCapture::dump();
    EXPECT_EQ(records[0].severity, plog::error);
    EXPECT_EQ(records[0].message.rfind(recordStart, 0), 0u) << records[0].message;
}

class PackageCheck : public ::testing::Test {
protected:
    void SetUp() override { RecordCapture::clear(); }
    fs::path package() const { return folder.path() / "output.zip"; }
    void expectRefused(const PackageClaims& claims, const std::string& recordStart) {
        RecordCapture::clear();
        EXPECT_FALSE(checkPackage(package(), claims));
        expectOneError(recordStart);
    }
    ScratchFolder folder;
};

TEST_F(PackageCheck, SizeAndDigestAreCheckedWhenTheManifestGivesThem) {
    const std::string bytes = "package bytes";
    writeFile(package(), bytes);
    const std::string digest = sha512Hex(bytes);
    std::string upper = digest;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(checkPackage(package(), {}));
    EXPECT_TRUE(checkPackage(package(), {digest, bytes.size(), std::nullopt, std::nullopt}));
    EXPECT_TRUE(checkPackage(package(), {upper, std::nullopt, std::nullopt, std::nullopt}));
    EXPECT_TRUE(RecordCapture::records().empty()) << RecordCapture::dump();

    expectRefused({std::nullopt, bytes.size() + 1, std::nullopt, std::nullopt}, "The package has 13 bytes; the manifest's \"size\" says 14");
    expectRefused({sha512Hex("other bytes"), std::nullopt, std::nullopt, std::nullopt}, "The package's SHA-512 is " + digest + "; the manifest's \"sha512\" says ");
    expectRefused({"not hex\nat all", std::nullopt, std::nullopt, std::nullopt}, "The package's SHA-512 is " + digest + "; the manifest's \"sha512\" says not hex\\x0Aat all");
    expectRefused({std::nullopt, 1, std::nullopt, std::nullopt}, "The package has 13 bytes");
    fs::remove(package());
    expectRefused({std::nullopt, 1, std::nullopt, std::nullopt}, "Could not measure ");
    expectRefused({sha512Hex(""), std::nullopt, std::nullopt, std::nullopt}, "Could not read ");
}

// A release as its publisher states it, and the attacks on it: every member
// the statement covers, changed on the way, makes it fail.
class Statement : public ::testing::Test {
protected:
    void SetUp() override {
        RecordCapture::clear();
        release.latestVersion = "1.3.0";
        release.forceUpdate = false;
        release.claims.sha512 = sha512Hex("release 1.3.0");
        release.claims.size = 13;
        sign(release);
    }
    void sign(Manifest& manifest) const {
        manifest.claims.signature = publisher.sign(*updateStatement(manifest, nullptr));
    }
    void expectRefused(const Manifest& manifest, const std::string& recordStart, std::time_t now = kNow) {
        RecordCapture::clear();
        EXPECT_FALSE(checkStatement(manifest, publisher.publicKey(), now));
        expectOneError(recordStart);
    }

    static constexpr std::time_t kNow = 1796083200;  // 2026-12-01T00:00:00Z
    const TestKey publisher = TestKey::generate();
    Manifest release;
};

TEST_F(Statement, HasExactlyTheDocumentedBytes) {
    Manifest manifest = release;
    manifest.claims.sha512 = std::string(64, 'A') + std::string(64, '0');
    manifest.claims.expires = "2027-01-31T00:00:00Z";
    EXPECT_EQ(*updateStatement(manifest, nullptr),
              "KAVRO Quorvelant update statement 1\n"
              "latest-version=1.3.0\n"
              "force-update=false\n"
              "sha512=" + std::string(64, 'a') + std::string(64, '0') + "\n"
              "size=13\n"
              "expires=2027-01-31T00:00:00Z\n");
    manifest.claims.expires.reset();
    manifest.forceUpdate = true;
    EXPECT_NE(updateStatement(manifest, nullptr)->find("force-update=true\nsha512="), std::string::npos);
    EXPECT_NE(updateStatement(manifest, nullptr)->find("size=13\nexpires=\n"), std::string::npos);
}

TEST_F(Statement, OnlyWhatThePublisherSignedPasses) {
    EXPECT_TRUE(checkStatement(release, publisher.publicKey(), kNow)) << RecordCapture::dump();
    const std::string notSigned = "The update statement of version ";

    // An older release's signed package, announced as a newer version.
    Manifest replayed = release;
    replayed.latestVersion = "1.4.0";
    expectRefused(replayed, notSigned + "1.4.0 is not signed");
    // The force flag flipped, to make a downgrade due.
    Manifest forced = release;
    forced.forceUpdate = true;
    expectRefused(forced, notSigned + "1.3.0 is not signed");
    // Another package, or the same one claimed at another size.
    Manifest otherPackage = release;
    otherPackage.claims.sha512 = sha512Hex("something else");
    expectRefused(otherPackage, notSigned);
    Manifest otherSize = release;
    otherSize.claims.size = 14;
    expectRefused(otherSize, notSigned);
    // An expiry added or moved on the way.
    Manifest expiryAdded = release;
    expiryAdded.claims.expires = "2099-01-01T00:00:00Z";
    expectRefused(expiryAdded, notSigned);
    // Another publisher's key.
    RecordCapture::clear();
    EXPECT_FALSE(checkStatement(release, TestKey::generate().publicKey(), kNow));
}

TEST_F(Statement, AnExpiredStatementIsRefused) {
    Manifest expiring = release;
    expiring.claims.expires = "2026-12-01T00:00:01Z";
    sign(expiring);
    EXPECT_TRUE(checkStatement(expiring, publisher.publicKey(), kNow));
    expectRefused(expiring, "The update statement of version 1.3.0 expired at 2026-12-01T00:00:01Z", kNow + 1);
    expectRefused(expiring, "The update statement of version 1.3.0 expired at", kNow + 86400);
}

TEST_F(Statement, AManifestThatMakesNoStatementIsRefused) {
    const std::string none = "The manifest makes no update statement that could be signed: ";
    Manifest unsigned_ = release;
    unsigned_.claims.signature.reset();
    expectRefused(unsigned_, "The manifest has no \"signature\"");
    for (const auto& [why, change] : std::vector<std::pair<std::string, std::function<void(Manifest&)>>>{
             {"\"latest-version\" holds a control character", [](Manifest& m) { m.latestVersion = "1.3\n"; }},
             {"the manifest has no \"sha512\"", [](Manifest& m) { m.claims.sha512.reset(); }},
             {"the manifest has no \"sha512\"", [](Manifest& m) { m.claims.size.reset(); }},
             {"\"sha512\" is not 128 hex digits", [](Manifest& m) { m.claims.sha512 = std::string(128, 'g'); }},
             {"\"sha512\" is not 128 hex digits", [](Manifest& m) { m.claims.sha512 = std::string(127, 'a'); }},
             {"\"expires\" is not a UTC time", [](Manifest& m) { m.claims.expires = "2027-01-31"; }},
         }) {
        Manifest manifest = release;
        change(manifest);
        expectRefused(manifest, none + why);
    }
    const std::string notSignature = "The manifest's \"signature\" is not the Base64 text";
    for (const std::string& signature : {std::string(), release.claims.signature->substr(4),
                                         "!" + release.claims.signature->substr(1)}) {
        Manifest manifest = release;
        manifest.claims.signature = signature;
        expectRefused(manifest, notSignature);
    }
}

TEST(UtcTime, OnlyTheOneFormAndRealDates) {
    EXPECT_EQ(parseUtcTime("1970-01-01T00:00:00Z"), std::time_t{0});
    EXPECT_EQ(parseUtcTime("2026-12-01T00:00:00Z"), std::time_t{1796083200});
    EXPECT_EQ(parseUtcTime("2024-02-29T23:59:59Z"), std::time_t{1709251199});
    for (const char* bad : {"2023-02-29T00:00:00Z", "2026-13-01T00:00:00Z", "2026-12-01T24:00:00Z",
                            "2026-12-01T00:00:00", "2026-12-01 00:00:00Z", "2026-12-01T00:00:00+00:00",
                            "2026-1-01T00:00:00Z", " 2026-12-01T00:00:00Z", "2026-12-01T00:60:00Z", ""}) {
        EXPECT_FALSE(parseUtcTime(bad)) << bad;
    }
}

}  // namespace
