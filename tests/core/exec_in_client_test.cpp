// ExecInClientDLL over a scripted table of operations: what each command asks
// of the library, what the client gets back, and what stays untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "client_command.h"
#include "client_faces.h"
#include "failure.h"
#include "operation_guard.h"
#include "plog/Log.h"

namespace {

// The operations' script and what they were asked.
struct Script {
    const char* capture = "CAPTURED";  // null: FK_Capture returns no text
    int32_t verify = 1;
    std::vector<int32_t> matches;    // results of successive FK_VerifyMatch calls
    std::vector<std::string> calls;  // "capture(<input>,<mode>)", "verify(<kind>,<text>)", "match(...)"
    // Whether another thread could start an operation during each comparison.
    std::vector<bool> othersEntered;
};
Script g_script;

std::string Arg(const char* text) {
    return text ? text : "<null>";
}

// A text as the operations hand theirs out: the caller frees it.
char* CopyOf(const char* text) {
    char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
    if (copy) std::strcpy(copy, text);
    return copy;
}

char* Capture(const char* input, int32_t mode) {
    g_script.calls.push_back("capture(" + Arg(input) + "," + std::to_string(mode) + ")");
    return g_script.capture ? CopyOf(g_script.capture) : nullptr;
}
int32_t Verify(const char* kind, const char* stored) {
    g_script.calls.push_back("verify(" + Arg(kind) + "," + Arg(stored) + ")");
    return g_script.verify;
}
int32_t VerifyMatch(const char* tpStored, const char* FkStored, const char* tpVerify, const char* ToVerify,
                    BioStatus* status) {
    const size_t n = g_script.calls.size();
    g_script.calls.push_back("match(" + Arg(tpStored) + "," + Arg(FkStored) + "," + Arg(tpVerify) + "," +
                             Arg(ToVerify) + ") status " + std::to_string(status->operation) + "," +
                             std::to_string(status->error) + ",'" + status->message + "'");
    // As the library does: its own message buffer takes the caller's place.
    status->message = static_cast<char*>(std::calloc(kBioMessageSize, 1));
    if (status->message) std::snprintf(status->message, kBioMessageSize, "message %zu", n);
    std::thread other([] { g_script.othersEntered.push_back(OperationGuard().entered()); });
    other.join();
    return g_script.matches.at(n);
}
int32_t Unused(uint8_t, BioStatus*) {
    return 0;
}

const ClientFaceTraits kFaces = {
    {Unused, [](int32_t) { return 0; }, [](int32_t) {}, Capture, [] { return Capture(nullptr, 0); }, Verify,
     VerifyMatch},
    false,
};

class ExecInClient : public ::testing::Test {
protected:
    void SetUp() override {
        g_script = Script{};
        InstallClientFaces(&kFaces);
    }
    void TearDown() override { InstallClientFaces(nullptr); }

    struct Outcome {
        int32_t returned;
        std::string result;  // what lies in the result buffer up to the untouched bytes
        int32_t length;
        std::string line;
    };
    // Runs `line` with a result buffer of the room a client provides, filled
    // with '~' so that untouched bytes show.
    static Outcome Run(const std::string& line) {
        std::vector<char> command(line.begin(), line.end());
        command.push_back('\0');
        std::vector<char> room(kClientResultRoom + 1, '~');
        int32_t length = -5;
        const int32_t returned = ExecInClientDLL(0, command.data(), 0, room.data(), &length);
        EXPECT_EQ(room.back(), '~') << "nothing past the client's room";
        const std::string written(room.data(), std::find(room.begin(), room.end(), '~') - room.begin());
        return {returned, written, length, std::string(command.begin(), command.end() - 1)};
    }
};

using Calls = std::vector<std::string>;

// A command line of these fields, joined by the separator.
std::string Line(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& field : fields) line += (&field == fields.begin() ? "" : "\x01") + field;
    return line;
}

TEST_F(ExecInClient, EnrollAndCapturarCaptureWithTheirMode) {
    const Outcome enroll = Run(Line({"Enrollment", "x"}));
    EXPECT_EQ(enroll.returned, 1);
    EXPECT_EQ(enroll.result, "CAPTURED");
    EXPECT_EQ(enroll.length, 8);
    const Outcome capturar = Run("capturar");
    EXPECT_EQ(capturar.result, "CAPTURED");
    EXPECT_EQ(g_script.calls, (Calls{"capture(<null>,1)", "capture(<null>,2)"}));
}

TEST_F(ExecInClient, CaptureWithoutTextGivesAnEmptyResult) {
    g_script.capture = nullptr;
    const Outcome outcome = Run("ENROLL");
    EXPECT_EQ(outcome.returned, 1);
    EXPECT_EQ(outcome.result, "");
    EXPECT_EQ(outcome.length, 0);
}

TEST_F(ExecInClient, VerificarPassesPairZero) {
    const struct {
        std::string line;
        int32_t verify;
        std::string call, result;
    } cases[] = {
        {Line({"VERIFICAR", "Z", "stored"}), 1, "verify(Z,stored)", "1"},
        {Line({"verificar", "stored"}), 0, "verify(<null>,stored)", "0"},
        // Without a separator there is no template: the operation refuses it.
        {"VERIFICAR", 0, "verify(<null>,<null>)", "0"},
        {Line({"VERIFICAR", "Z", "stored", ""}), -3, "verify(Z,stored)", "-3"},
    };
    for (const auto& c : cases) {
        g_script = Script{};
        g_script.verify = c.verify;
        const Outcome outcome = Run(c.line);
        EXPECT_EQ(outcome.returned, 1) << c.line;
        EXPECT_EQ(g_script.calls, Calls{c.call}) << c.line;
        EXPECT_EQ(outcome.result, c.result) << c.line;
        EXPECT_EQ(outcome.length, static_cast<int32_t>(c.result.size())) << c.line;
    }
}

TEST_F(ExecInClient, MatchStopsAtTheFirstMatchingCandidate) {
    g_script.matches = {0, 1, 1};
    const Outcome outcome = Run(Line({"MATCH", "Z", "s", "Z", "a", "N", "b", "Z", "c"}));
    EXPECT_EQ(outcome.returned, 1);
    EXPECT_EQ(outcome.result, "12");
    EXPECT_EQ(outcome.length, 2);
    // One status for the whole command, fresh at the start.
    EXPECT_EQ(g_script.calls, (Calls{"match(Z,s,Z,a) status 0,0,''", "match(Z,s,N,b) status 0,0,'message 0'"}));
}

// A whole command is one operation: no other thread's operation starts between
// its comparisons, and a command that finds another operation running is
// refused whole, saying so, without calling anything.
TEST_F(ExecInClient, OneCommandIsOneOperation) {
    g_script.matches = {0, 0, 1};
    EXPECT_EQ(Run(Line({"MATCH", "Z", "s", "Z", "a", "Z", "b", "Z", "c"})).result, "13");
    EXPECT_EQ(g_script.othersEntered, (std::vector<bool>{false, false, false}));

    std::mutex mutex;
    std::condition_variable changed;
    bool held = false, done = false;
    std::thread other([&] {
        const OperationGuard guard;
        std::unique_lock<std::mutex> lock(mutex);
        held = guard.entered();
        changed.notify_all();
        changed.wait(lock, [&] { return done; });
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return held; });
    }
    g_script = Script{};
    const std::string busy = kBusy.text;
    EXPECT_EQ(Run(Line({"MATCH", "Z", "s", "Z", "a"})).result, "00" + busy);
    EXPECT_EQ(Run("ENROLL").result, busy);
    EXPECT_EQ(Run(Line({"CAPTURAR"})).result, busy);
    EXPECT_EQ(Run(Line({"VERIFICAR", "Z", "s"})).result, "0" + busy);
    EXPECT_EQ(Run(Line({"MATCH", "lone"})).returned, -1) << "a command without an operation is answered as ever";
    EXPECT_TRUE(g_script.calls.empty());
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    changed.notify_all();
    other.join();
}

TEST_F(ExecInClient, MatchWithoutMatchGivesTheLastMessage) {
    g_script.matches = {0, 0};
    EXPECT_EQ(Run(Line({"MATCH", "Z", "s", "Z", "a", "Z", "b"})).result, "00message 1");
    g_script.calls.clear();
    EXPECT_EQ(Run("MATCH\x01Z\x01s").result, "00") << "pair 0 alone compares nothing";
    EXPECT_TRUE(g_script.calls.empty());
}

TEST_F(ExecInClient, MatchWithoutPairIsRefused) {
    for (const std::string& line : {Line({"match", "lone"}), Line({"MATCH"}), Line({"matchbox", ""})}) {
        const std::string word = line.substr(0, line.find('\x01'));
        const Outcome outcome = Run(line);
        EXPECT_EQ(outcome.returned, -1) << line;
        std::string upper = word;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(outcome.result, "ERROR - Invalid parameters : '" + upper + "'");
        EXPECT_EQ(outcome.length, static_cast<int32_t>(outcome.result.size()));
    }
    EXPECT_TRUE(g_script.calls.empty());
}

// Candidates past the ninth do not fit the pair tables and are never compared.
TEST_F(ExecInClient, MatchComparesNineCandidatesAtMost) {
    std::string line = Line({"MATCH", "Z", "s"});
    for (int candidate = 1; candidate <= 11; ++candidate) line += Line({"", "Z", "c" + std::to_string(candidate)});
    g_script.matches.assign(11, 0);
    g_script.matches[10] = 1;
    EXPECT_EQ(Run(line).result, "00message 8");
    EXPECT_EQ(g_script.calls.size(), 9u);
}

TEST_F(ExecInClient, UnknownWordWritesNothing) {
    const Outcome outcome = Run(Line({"delete", "Z", "s"}));
    EXPECT_EQ(outcome.returned, 1);
    EXPECT_EQ(outcome.result, "");
    EXPECT_EQ(outcome.length, -5);
    EXPECT_EQ(outcome.line, std::string("DELETE\0Z\0s", 10));
    EXPECT_TRUE(g_script.calls.empty());
}

// A result longer than the room a client provides is cut there: only an
// "Invalid parameters" text with a long word can be that long.
TEST_F(ExecInClient, ResultNeverExceedsTheClientsRoom) {
    const Outcome outcome = Run("MATCH" + std::string(8000, 'X'));
    EXPECT_EQ(outcome.returned, -1);
    EXPECT_EQ(outcome.length, kClientResultRoom);
    EXPECT_EQ(outcome.result.substr(0, 36), "ERROR - Invalid parameters : 'MATCHX");
}

TEST_F(ExecInClient, NullArgumentsAreRefusedUntouched) {
    char line[] = "enroll";
    char result[4] = {'~', '~', '~', '~'};
    int32_t length = -5;
    EXPECT_EQ(ExecInClientDLL(0, nullptr, 0, result, &length), -1);
    EXPECT_EQ(ExecInClientDLL(0, line, 0, nullptr, &length), -1);
    EXPECT_EQ(ExecInClientDLL(0, line, 0, result, nullptr), -1);
    EXPECT_STREQ(line, "enroll");
    EXPECT_EQ(std::string(result, 4), "~~~~");
    EXPECT_EQ(length, -5);
    EXPECT_TRUE(g_script.calls.empty());
}

// The Executar records: the leading value, the line's address and the trailing
// value, then at the end also both result addresses; without separators.
TEST_F(ExecInClient, WritesBeginAndEndRecords) {
    struct Collect : plog::IAppender {
        void write(const plog::Record& record) override {
            lines.push_back(std::string(record.getFunc()) + ": " + record.getMessage());
        }
        std::vector<std::string> lines;
    } collect;
    plog::Logger<0> logger(plog::debug);
    logger.addAppender(&collect);
    char line[] = "ENROLL";
    char result[16];
    int32_t length = 0;
    ASSERT_EQ(ExecInClientDLL(-7, line, 42, result, &length), 1);
    const auto address = [](const void* p) {
        std::ostringstream text;
        text << p;
        return text.str();
    };
    EXPECT_EQ(collect.lines,
              (Calls{"Executar: Begin Executar(-7" + address(line) + "42)",
                     "Executar: End Executar(-7" + address(line) + "42" + address(result) + address(&length) + ")"}));
}

}  // namespace
