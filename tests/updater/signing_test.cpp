// Check runs against manifests that describe their package: its size and
// SHA-512, and its signature for an updater that carries the publisher's key
// (the signed fixture, built with the public half of test_signing_key.pem).
#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include "signing_support.h"
#include "updater_process.h"

namespace fs = boost::filesystem;

namespace {

class PackageClaimsRun : public UpdaterProcess {
protected:
    // Serves package under a manifest with the given members (JSON text
    // after the required ones) and runs a check with program.
    RunResult check(const std::string& package, const std::string& members,
                    const fs::path& program = binFolder() / "quorvelant_updater.exe") {
        const std::string text = manifest("1.2.4");
        server.script("/update.json", {200, text.substr(0, text.size() - 1) + members + "}"});
        server.script("/output.zip", {200, package});
        fs::remove(install() / "quorvelant_updater.log");
        return finish(launch(checkArgs("1.2.3"), "", program));
    }
    static std::string member(const std::string& name, const std::string& value) {
        return ", \"" + name + "\": \"" + value + "\"";
    }
    static std::string sizeMember(size_t size) { return ", \"size\": " + std::to_string(size); }

    void expectRefused(const RunResult& result, const std::string& record) {
        EXPECT_EQ(result.exitCode, kExitMinusOne) << logDump();
        EXPECT_TRUE(loggedPrefix(record)) << logDump();
        EXPECT_TRUE(logged(plog::error, "main", "Error verifying file " + server.url("/output.zip"))) << logDump();
        EXPECT_TRUE(fs::is_empty(temp())) << "a refused package left something to install";
    }

    fs::path signedUpdater() const { return binFolder() / "signed_fixture" / "quorvelant_updater.exe"; }
    const TestKey publisher = TestKey::fromPemFile(binFolder() / "test_signing_key.pem");
};

TEST_F(PackageClaimsRun, SizeAndDigestMustMatch) {
    const std::string package = zipBytes({{"a.dll", "new a"}});
    EXPECT_EQ(check(package, member("sha512", sha512Hex(package)) + sizeMember(package.size())).exitCode, 0u)
        << logDump();
    EXPECT_EQ(treeOf(temp()), std::vector<std::string>{"a.dll"});

    expectRefused(check(package, member("sha512", sha512Hex(package + "x"))), "The package's SHA-512 is ");
    expectRefused(check(package, sizeMember(package.size() + 1)), "The package has ");
    // A package larger than announced is cut off as it downloads.
    const RunResult larger = check(package, sizeMember(package.size() - 1));
    EXPECT_EQ(larger.exitCode, kExitMinusOne);
    EXPECT_EQ(larger.err.rfind("Body too large: ", 0), 0u) << larger.err;
    EXPECT_TRUE(fs::is_empty(temp()));
}

TEST_F(PackageClaimsRun, ASignedUpdaterInstallsOnlyWhatThePublisherSigned) {
    const std::string package = zipBytes({{"a.dll", "new a"}});
    const std::string signature = publisher.sign(package);
    EXPECT_EQ(check(package, member("signature", signature), signedUpdater()).exitCode, 0u) << logDump();
    EXPECT_EQ(readFile(temp() / "a.dll"), "new a");

    const std::string refused = "The package's signature does not verify with this updater's key";
    std::string changed = package;
    changed[changed.size() / 2] ^= 1;
    expectRefused(check(changed, member("signature", signature), signedUpdater()), refused);
    expectRefused(check(package, member("signature", TestKey::generate().sign(package)), signedUpdater()), refused);
    expectRefused(check(package, "", signedUpdater()), "The manifest has no \"signature\"");
    expectRefused(
        check(package, member("sha512", sha512Hex(package + "x")) + member("signature", signature), signedUpdater()),
        "The package's SHA-512 is ");
}

TEST_F(PackageClaimsRun, AnUpdaterWithoutAKeyAsksForNoSignature) {
    const std::string package = zipBytes({{"a.dll", "new a"}});
    EXPECT_EQ(check(package, "").exitCode, 0u) << logDump();
    EXPECT_EQ(check(package, member("signature", "not checked")).exitCode, 0u) << logDump();
    EXPECT_FALSE(loggedPrefix("Verifying file")) << logDump();
}

}  // namespace
