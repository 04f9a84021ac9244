// One operation at a time: a call that reaches a library while one of its
// operations runs, from another thread or from the host's own code called back
// inside the running operation's window loop, is refused at once with its
// failure form, and the running operation goes on undisturbed.
#include <atomic>
#include <random>
#include <thread>

#include "bio_status.h"
#include "faces_fixture.h"
#include "failure.h"
#include "operation_guard.h"

namespace {

using OneAtATime = FacesTest;

// What the host's timer got from the library inside the capture's loop.
struct Reentry {
    HMODULE library = nullptr;
    std::string stored, live;
    std::vector<std::string> outcomes;
};
Reentry* g_reentry = nullptr;

std::string Outcome(int32_t result, const BioStatus& status) {
    return std::to_string(result) + " " + std::to_string(status.error) + " " +
           (status.message ? status.message : "<no buffer>");
}

void CALLBACK CallBackIntoTheLibrary(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    Reentry& r = *g_reentry;
    auto text = [](char* t) {
        const std::string s = t ? t : "<null>";
        std::free(t);
        return s;
    };
    r.outcomes.push_back(text(Export<char* (*)(const char*, int32_t)>(r.library, "FK_Capture")(nullptr, 1)));
    r.outcomes.push_back(text(Export<char* (*)()>(r.library, "FK_VerifyServer")()));
    BioStatus status{};
    using VerifyMatch = int32_t (*)(const char*, const char*, const char*, const char*, BioStatus*);
    const int32_t matched = Export<VerifyMatch>(r.library, "FK_VerifyMatch")("Z", r.stored.c_str(), "Z",
                                                                             r.live.c_str(), &status);
    r.outcomes.push_back(Outcome(matched, status));
    Export<void (*)(char*)>(r.library, "FK_FreeText")(status.message);
    r.outcomes.push_back(
        std::to_string(Export<int32_t (*)(const char*, const char*)>(r.library, "FK_Verify")("Z", r.stored.c_str())));
    r.outcomes.push_back(std::to_string(Export<int32_t (*)(uint8_t, void*)>(r.library, "FK_Init")(1, nullptr)));
    std::string line = "MATCH\x01Z\x01" + r.stored + "\x01Z\x01" + r.live;
    std::vector<char> result(kBioMessageSize, '\0');
    int32_t length = 0;
    using Exec = int32_t (*)(int32_t, char*, int32_t, char*, int32_t*);
    const int32_t returned = Export<Exec>(r.library, "ExecInClientDLL")(0, line.data(), 0, result.data(), &length);
    r.outcomes.push_back(std::to_string(returned) + " " + std::string(result.data(), static_cast<size_t>(length)));
}

TEST_P(OneAtATime, CallsFromInsideARunningCaptureAreRefused) {
    Reentry reentry{library(), templateOf(2, true), templateOf(2, false), {}};
    g_reentry = &reentry;
    bridge().resetReader();
    script(std::string("finger=2;") + bridge().slowCapture);
    ASSERT_NE(SetTimer(nullptr, 0, 50, CallBackIntoTheLibrary), 0u);
    const std::string captured = fkCapture();
    g_reentry = nullptr;

    const std::string busy = kBusy.text;
    const bool dpfp = bridge().nativeRecords;
    const std::vector<std::string> refused = {
        busy,
        dpfp ? "ERROR - 998 - The reader is busy with another operation." : busy,
        "0 998 " + busy,
        "0",
        "998",
        "1 00" + busy,
    };
    EXPECT_EQ(reentry.outcomes, refused);
    EXPECT_EQ(captured.rfind("ERROR", 0), std::string::npos) << "the running capture goes on: " << captured;
    std::string message;
    EXPECT_EQ(fkVerifyMatch("Z", reentry.stored.c_str(), "Z", templateOf(2, false).c_str(), &message), 1)
        << "and the library serves the next caller: " << message;
}

// Two threads call every operation of the library at random for a while. Each
// call either runs fully or is refused in its failure form; a pair of two
// fingers never matches; nothing is left open.
TEST_P(OneAtATime, TwoThreadsCallingEveryExportAtOnce) {
    const std::string stored = templateOf(4, true), live = templateOf(4, false), other = templateOf(5, false);
    bridge().resetReader();
    script("finger=4;delay=5");
    using Capture = char* (*)(const char*, int32_t);
    using VerifyServer = char* (*)();
    using VerifyMatch = int32_t (*)(const char*, const char*, const char*, const char*, BioStatus*);
    using Verify = int32_t (*)(const char*, const char*);
    using Exec = int32_t (*)(int32_t, char*, int32_t, char*, int32_t*);
    using DeviceSerial = int32_t (*)(char*);
    const auto capture = Export<Capture>(library(), "FK_Capture");
    const auto verifyServer = Export<VerifyServer>(library(), "FK_VerifyServer");
    const auto verifyMatch = Export<VerifyMatch>(library(), "FK_VerifyMatch");
    const auto verify = Export<Verify>(library(), "FK_Verify");
    const auto exec = Export<Exec>(library(), "ExecInClientDLL");
    const auto deviceSerial = Export<DeviceSerial>(library(), "FK_DeviceSerial");
    const auto freeText = Export<void (*)(char*)>(library(), "FK_FreeText");

    std::atomic<int> ran{0}, refused{0}, wrong{0};
    auto note = [&](bool full, bool busy, const std::string& what) {
        if (full) {
            ++ran;
        } else if (busy) {
            ++refused;
        } else {
            ++wrong;
            ADD_FAILURE() << what;
        }
    };
    auto caller = [&](unsigned seed) {
        std::mt19937 random(seed);
        const auto end = GetTickCount64() + 2500;
        while (GetTickCount64() < end) {
            char message[kBioMessageSize] = {};
            BioStatus status{};
            struct FreeStatus {
                BioStatus& status;
                void (*freeText)(char*);
                ~FreeStatus() { freeText(status.message); }
            } freeStatus{status, freeText};
            switch (random() % 6) {
                case 0: {
                    char* text = capture(nullptr, 1);
                    const std::string t = text ? text : "<null>";
                    std::free(text);
                    note(t.rfind("ERROR", 0) != 0 && !t.empty(), t == kBusy.text, "capture: " + t);
                    break;
                }
                case 1: {
                    char* text = verifyServer();
                    const std::string t = text ? text : "<null>";
                    std::free(text);
                    note(t.rfind("ERROR", 0) != 0, t.find("busy") != std::string::npos, "live capture: " + t);
                    break;
                }
                case 2: {
                    const int32_t r = verifyMatch("Z", stored.c_str(), "Z", live.c_str(), &status);
                    note(r == 1 && status.error == 0, r == 0 && status.error == kBusy.code,
                         "same finger: " + Outcome(r, status));
                    break;
                }
                case 3: {
                    const int32_t r = verifyMatch("Z", stored.c_str(), "Z", other.c_str(), &status);
                    note(r == 0 && status.success, r == 0 && status.error == kBusy.code,
                         "two fingers: " + Outcome(r, status));
                    break;
                }
                case 4: {
                    const int32_t r = verify("Z", stored.c_str());
                    note(r == 1, r == 0, "live finger: " + std::to_string(r));
                    break;
                }
                default: {
                    std::string line = "MATCH\x01Z\x01" + stored + "\x01Z\x01" + other;
                    int32_t length = 0;
                    const int32_t r = exec(0, line.data(), 0, message, &length);
                    const std::string result(message, static_cast<size_t>(length));
                    note(r == 1 && result == "00", r == 1 && result == "00" + std::string(kBusy.text),
                         "command line: " + result);
                    char serial[129] = {};
                    deviceSerial(serial);
                    break;
                }
            }
        }
    };
    std::thread first(caller, 1u), second(caller, 2u);
    first.join();
    second.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GT(ran.load(), 10);
    EXPECT_GT(refused.load(), 0) << "the two threads met at least once";
    RecordProperty("ran", ran.load());
    RecordProperty("refused", refused.load());
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, OneAtATime, ::testing::Values(&NbioFaces(), &DpfpFaces()), BridgeName);

}  // namespace
