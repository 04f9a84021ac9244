#include "package_check.h"

#include <gtest/gtest.h>

#include "signing_support.h"
#include "test_support.h"

namespace fs = boost::filesystem;

namespace {

class PackageCheck : public ::testing::Test {
protected:
    void SetUp() override { RecordCapture::clear(); }
    fs::path package() const { return folder.path() / "output.zip"; }
    // Checks the package and expects the one error record to start with recordStart.
    void expectRefused(const PackageClaims& claims, const std::optional<PublicKey>& key,
                       const std::string& recordStart) {
        RecordCapture::clear();
        EXPECT_FALSE(checkPackage(package(), claims, key));
        const auto records = RecordCapture::records();
        ASSERT_EQ(records.size(), 1u) << RecordCapture::dump();
        EXPECT_EQ(records[0].severity, plog::error);
        EXPECT_EQ(records[0].message.rfind(recordStart, 0), 0u) << records[0].message;
    }
    ScratchFolder folder;
};

TEST_F(PackageCheck, SizeAndDigestAreCheckedWhenTheManifestGivesThem) {
    const std::string bytes = "package bytes";
    writeFile(package(), bytes);
    const std::string digest = sha512Hex(bytes);
    std::string upper = digest;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(checkPackage(package(), {}, std::nullopt));
    EXPECT_TRUE(checkPackage(package(), {digest, bytes.size(), std::nullopt}, std::nullopt));
    EXPECT_TRUE(checkPackage(package(), {upper, std::nullopt, std::nullopt}, std::nullopt));
    EXPECT_TRUE(RecordCapture::records().empty()) << RecordCapture::dump();

    expectRefused({std::nullopt, bytes.size() + 1, std::nullopt}, std::nullopt,
                  "The package has 13 bytes; the manifest's \"size\" says 14");
    expectRefused({sha512Hex("other bytes"), std::nullopt, std::nullopt}, std::nullopt,
                  "The package's SHA-512 is " + digest + "; the manifest's \"sha512\" says ");
    expectRefused({"not hex at all", std::nullopt, std::nullopt}, std::nullopt, "The package's SHA-512 is ");
    // Without a key, a signature is not asked for and not looked at.
    EXPECT_TRUE(checkPackage(package(), {std::nullopt, std::nullopt, "garbage"}, std::nullopt));
}

TEST_F(PackageCheck, WithAKeyOnlyAPackageSignedWithItPasses) {
    const TestKey publisher = TestKey::generate();
    const TestKey stranger = TestKey::generate();
    std::string bytes(3 * 1024 * 1024 + 5, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 + (i >> 12));
    writeFile(package(), bytes);
    const std::string signature = publisher.sign(bytes);
    const PublicKey key = publisher.publicKey();

    EXPECT_TRUE(checkPackage(package(), {std::nullopt, std::nullopt, signature}, key));
    EXPECT_TRUE(checkPackage(package(), {sha512Hex(bytes), bytes.size(), signature}, key));

    const std::string refused = "The package's signature does not verify with this updater's key";
    expectRefused({std::nullopt, std::nullopt, stranger.sign(bytes)}, key, refused);
    expectRefused({std::nullopt, std::nullopt, signature}, stranger.publicKey(), refused);
    expectRefused({std::nullopt, std::nullopt, std::nullopt}, key, "The manifest has no \"signature\"");
    const std::string notSignature = "The manifest's \"signature\" is not the Base64 text";
    expectRefused({std::nullopt, std::nullopt, ""}, key, notSignature);
    expectRefused({std::nullopt, std::nullopt, signature.substr(4)}, key, notSignature);
    expectRefused({std::nullopt, std::nullopt, "!" + signature.substr(1)}, key, notSignature);
    // The digest is checked before the signature.
    expectRefused({sha512Hex("other"), std::nullopt, signature}, key, "The package's SHA-512 is ");

    // One changed byte, anywhere.
    for (size_t at : {size_t{0}, bytes.size() / 2, bytes.size() - 1}) {
        std::string changed = bytes;
        changed[at] ^= 1;
        writeFile(package(), changed);
        expectRefused({std::nullopt, std::nullopt, signature}, key, refused);
    }
}

TEST_F(PackageCheck, AnEmptyPackageCanBeSigned) {
    const TestKey publisher = TestKey::generate();
    writeFile(package(), "");
    EXPECT_TRUE(checkPackage(package(), {std::nullopt, 0, publisher.sign("")}, publisher.publicKey()));
    expectRefused({std::nullopt, std::nullopt, publisher.sign("x")}, publisher.publicKey(),
                  "The package's signature does not verify");
}

TEST_F(PackageCheck, AMissingPackageIsRefused) {
    const TestKey publisher = TestKey::generate();
    expectRefused({std::nullopt, 1, std::nullopt}, std::nullopt, "Could not measure ");
    expectRefused({sha512Hex(""), std::nullopt, std::nullopt}, std::nullopt, "Could not read ");
    expectRefused({std::nullopt, std::nullopt, publisher.sign("")}, publisher.publicKey(), "Could not read ");
}

}  // namespace
