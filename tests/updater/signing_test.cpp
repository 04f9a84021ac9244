// Check runs against manifests that describe their package: its size and
// SHA-512 and, for an updater that carries the publisher's key (the signed
// fixture, built with the public half of test_signing_key.pem), the signed
// update statement of the release.
#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>
#include <optional>

#include "signing_support.h"
#include "statement.h"
#include "updater_process.h"

namespace fs = boost::filesystem;

namespace {

// A release as its publisher states it.
struct Release {
    std::string version = "1.2.4";
    bool force = false;
    std::string package;
    std::optional<std::string> expires;
};

class PackageClaimsRun : public UpdaterProcess {
protected:
    // Serves package under a manifest with the given members (JSON text
    // after the required ones) and runs a check of installed with program.
    RunResult check(const std::string& package, const std::string& members, const fs::path& program = unkeyedUpdater(),
                    const std::string& version = "1.2.4", bool force = false, const std::string& installed = "1.2.3") {
        const std::string text = manifest(version, force);
        server.script("/update.json", {200, text.substr(0, text.size() - 1) + members + "}"});
        server.script("/output.zip", {200, package});
        fs::remove(install() / "quorvelant_updater.log");
        return finish(launch(checkArgs(installed), "", program));
    }
    static std::string member(const std::string& name, const std::string& value) {
        return ", \"" + name + "\": \"" + value + "\"";
    }
    static std::string sizeMember(size_t size) { return ", \"size\": " + std::to_string(size); }

    // The members that state release, signed by the publisher.
    std::string statedMembers(const Release& release) const {
        Manifest stated;
        stated.latestVersion = release.version;
        stated.forceUpdate = release.force;
        stated.claims.sha512 = sha512Hex(release.package);
        stated.claims.size = release.package.size();
        stated.claims.expires = release.expires;
        return member("sha512", *stated.claims.sha512) + sizeMember(release.package.size()) +
               (release.expires ? member("expires", *release.expires) : std::string()) +
               member("signature", publisher.sign(*updateStatement(stated, nullptr)));
    }

    void expectRefused(const RunResult& result, const std::string& record, const std::string& failure) {
        EXPECT_EQ(result.exitCode, kExitMinusOne) << logDump();
        EXPECT_TRUE(loggedPrefix(record)) << logDump();
        EXPECT_TRUE(logged(plog::error, "main", failure)) << logDump();
        EXPECT_TRUE(fs::is_empty(temp())) << "a refused release left something to install";
    }

    fs::path signedUpdater() const { return binFolder() / "signed_fixture" / "quorvelant_updater.exe"; }
    const TestKey publisher = TestKey::fromPemFile(binFolder() / "test_signing_key.pem");
};

TEST_F(PackageClaimsRun, SizeAndDigestMustMatch) {
    const std::string package = zipBytes({{"a.dll", "new a"}});
    EXPECT_EQ(check(package, member("sha512", sha512Hex(package)) + sizeMember(package.size())).exitCode, 0u)
        << logDump();
    EXPECT_EQ(treeOf(temp()), (std::vector<std::string>{"a.dll", kSealFileName}));

    const std::string failure = "Error verifying file " + server.url("/output.zip");
    expectRefused(check(package, member("sha512", sha512Hex(package + "x"))), "The package's SHA-512 is ", failure);
    expectRefused(check(package, sizeMember(package.size() + 1)), "The package has ", failure);
    // A package larger than announced is cut off as it downloads.
    const RunResult larger = check(package, sizeMember(package.size() - 1));
    EXPECT_EQ(larger.exitCode, kExitMinusOne);
    EXPECT_EQ(larger.err.rfind("Body too large: ", 0), 0u) << larger.err;
    EXPECT_TRUE(fs::is_empty(temp()));
}

// The signed updater prepares a release only as its publisher stated it. A
// manifest changed on the way (a replayed older package under a newer
// version, a flipped force flag, an expired statement) costs no download.
TEST_F(PackageClaimsRun, ASignedUpdaterPreparesOnlyWhatThePublisherStated) {
    Release release;
    release.package = zipBytes({{"a.dll", "new a"}});
    EXPECT_EQ(check(release.package, statedMembers(release), signedUpdater()).exitCode, 0u) << logDump();
    EXPECT_EQ(readFile(temp() / "a.dll"), "new a");
    EXPECT_TRUE(logged(plog::debug, "main", "Verifying the update statement of version 1.2.4")) << logDump();
    const int downloads = server.requestsFor("/output.zip");

    const std::string notSigned = "The update statement of version ";
    const std::string failure = "Error verifying the update statement of " + server.url("/update.json");
    // The package of 1.2.4, announced as 1.2.9.
    expectRefused(check(release.package, statedMembers(release), signedUpdater(), "1.2.9"),
                  notSigned + "1.2.9 is not signed", failure);
    // 1.2.4 forced onto 1.2.5, a downgrade its publisher never asked for.
    expectRefused(check(release.package, statedMembers(release), signedUpdater(), "1.2.4", true, "1.2.5"),
                  notSigned + "1.2.4 is not signed", failure);
    Release expired = release;
    expired.expires = "2020-01-31T00:00:00Z";
    expectRefused(check(release.package, statedMembers(expired), signedUpdater()),
                  notSigned + "1.2.4 expired at 2020-01-31T00:00:00Z", failure);
    expectRefused(check(release.package, sizeMember(release.package.size()), signedUpdater()),
                  "The manifest has no \"signature\"", failure);
    EXPECT_EQ(server.requestsFor("/output.zip"), downloads) << "no refused statement led to a download";

    // The statement as signed, another package behind it on the server.
    std::string changed = release.package;
    changed[changed.size() / 2] ^= 1;
    expectRefused(check(changed, statedMembers(release), signedUpdater()), "The package's SHA-512 is ",
                  "Error verifying file " + server.url("/output.zip"));

    // The publisher's own downgrade, and a statement that has not expired yet.
    Release downgrade = release;
    downgrade.force = true;
    downgrade.expires = "2099-01-31T00:00:00Z";
    EXPECT_EQ(check(release.package, statedMembers(downgrade), signedUpdater(), "1.2.4", true, "1.2.5").exitCode, 0u)
        << logDump();
}

// Without a key, every check says that nothing is authenticated, and a
// signature is neither asked for nor looked at.
TEST_F(PackageClaimsRun, AnUpdaterWithoutAKeyWarnsAtEveryCheck) {
    const std::string package = zipBytes({{"a.dll", "new a"}});
    const std::string warning =
        "This quorvelant_updater carries no publisher key: the packages it installs are not authenticated";
    EXPECT_EQ(check(package, "").exitCode, 0u) << logDump();
    EXPECT_TRUE(logged(plog::warning, "main", warning)) << logDump();
    EXPECT_EQ(check(package, member("signature", "not checked"), unkeyedUpdater(), "1.2.3").exitCode, kExitMinusOne)
        << "no update due";
    EXPECT_TRUE(logged(plog::warning, "main", warning)) << logDump();
    EXPECT_FALSE(loggedPrefix("Verifying")) << logDump();
    EXPECT_EQ(check(package, "", signedUpdater()).exitCode, kExitMinusOne);
    EXPECT_FALSE(logged(plog::warning, "main", warning)) << "a signed updater has nothing to warn of";
}

}  // namespace
