// Every SDK call an operation makes, failed in turn. The list of calls is the
// one the operation makes when all goes well, read from the simulated reader's
// call counts; each call on it that the reader can fail is failed once. Each
// time the operation gives its own failure form (or, where the library is
// meant to go on, reaches its goal), leaves no window and nothing of the SDK
// open, and the next normal run of it succeeds. Operations with a window are
// also run without one, and closed from outside in every way a user or a host
// can close a window.
#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "allocation_faults.h"
#include "bio_status.h"
#include "faces_fixture.h"
#include "template_codec.h"
#include "template_text.h"
#include "window_probe.h"

namespace {

// kNoText: an export that gives a text gave none.
enum class Outcome { kGoal, kFailure, kNoText, kOther };

const char* Name(Outcome outcome) {
    switch (outcome) {
        case Outcome::kGoal: return "goal";
        case Outcome::kFailure: return "failure form";
        case Outcome::kNoText: return "no text";
        default: return "something else";
    }
}

struct Operation {
    const char* name;
    std::function<Outcome(HMODULE)> run;
    bool windowed;
    // It hands its caller an object that only the SDK releases, with its end.
    bool leavesSdkObject = false;
};

struct Fault {
    const char* function;
    const char* script;
    // kGoal: the library is meant to go on; kFailure: the operation fails.
    Outcome expected;
};

// A packed template text of either layout, whole: failure texts are not.
bool IsTemplateText(const std::string& text) {
    static const bool codecReady = CodecAllocateBuffers();
    if (!codecReady) return false;
    for (const EnvelopeLayout& layout : kEnvelopeLayouts) {
        DecodedEnvelope envelope;
        DecodeEnvelope(text.c_str(), static_cast<int32_t>(text.size()), layout, &envelope);
        std::vector<unsigned char> bytes;
        if (!envelope.decodedMoreThanClaimed() && UnpackEnvelope(envelope, &bytes)) return true;
    }
    return false;
}

// A text an export returned, freed.
Outcome TextOutcome(char* text) {
    if (!text) return Outcome::kNoText;
    const bool isTemplate = IsTemplateText(text);
    std::free(text);
    return isTemplate ? Outcome::kGoal : Outcome::kFailure;
}

Outcome MatchOutcome(int32_t result) {
    return result == 1 ? Outcome::kGoal : result == 0 ? Outcome::kFailure : Outcome::kOther;
}

// Rescues a run that does not end by itself: after 20 s it posts the
// operation's thread a quit message, so that a hang fails the test instead of
// stopping the runner.
class Watchdog {
public:
    Watchdog() : m_thread(GetCurrentThreadId()), m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        m_watcher = std::thread([this] {
            if (WaitForSingleObject(m_done, 20000) == WAIT_TIMEOUT) {
                m_fired = true;
                PostThreadMessageA(m_thread, WM_QUIT, 99, 0);
            }
        });
    }
    ~Watchdog() {
        SetEvent(m_done);
        m_watcher.join();
        CloseHandle(m_done);
        MSG quit;
        if (m_fired) PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    bool fired() const { return m_fired; }

private:
    DWORD m_thread;
    HANDLE m_done;
    std::atomic<bool> m_fired{false};
    std::thread m_watcher;
};

class FaultSweep : public FacesTest {
protected:
    // Runs every operation normally, then once for each fault of a call it
    // made, then once without a window when it has one, then with each of its
    // allocations failed in turn.
    void sweep(const std::vector<Operation>& operations, const std::vector<Fault>& faults, Outcome windowless) {
        for (const Operation& operation : operations) {
            bridge().resetReader();
            ASSERT_EQ(operation.run(library()), Outcome::kGoal) << operation.name << " fails without a fault";
            std::vector<const Fault*> made;
            for (const Fault& fault : faults) {
                if (bridge().callCount(fault.function) > 0) made.push_back(&fault);
            }
            EXPECT_FALSE(made.empty()) << operation.name;
            for (const Fault* fault : made) {
                bridge().resetReader();
                script(fault->script);
                Outcome outcome = operation.run(library());
                // An SDK that cannot start gives some operations no text at all.
                if (outcome == Outcome::kNoText) outcome = Outcome::kFailure;
                expectCleanEnd(operation, fault->script, outcome, fault->expected);
            }
            if (operation.windowed) {
                WNDCLASSA windowClass{};
                ASSERT_TRUE(GetClassInfoA(library(), "BioProc", &windowClass));
                ASSERT_TRUE(UnregisterClassA("BioProc", library()));
                bridge().resetReader();
                const Outcome outcome = operation.run(library());
                ASSERT_TRUE(RegisterClassA(&windowClass));
                expectCleanEnd(operation, "no window", outcome, windowless);
            }
            sweepAllocations(operation);
        }
    }

    // The operation with its n-th allocation failed, for each n it makes (a
    // sample of them when it makes many): it reaches its goal or gives its
    // failure form, a text where it gives one, and ends as cleanly as after
    // any other fault. Then the operation runs normally again.
    void sweepAllocations(const Operation& operation) {
        AllocationFaults faults(library());
        ASSERT_TRUE(faults.applied()) << "the library allocates through msvcrt.dll";
        bridge().resetReader();
        faults.failAt(0);
        ASSERT_EQ(operation.run(library()), Outcome::kGoal) << operation.name;
        // An operation that allocates nothing has nothing here to fail.
        const long made = faults.counted();
        for (const long n : AllocationSteps(made)) {
            const std::string what = std::string(operation.name) + " with allocation " + std::to_string(n) + " of " +
                                     std::to_string(made) + " failed";
            bridge().resetReader();
            faults.failAt(n);
            Outcome outcome;
            {
                const Watchdog watchdog;
                outcome = operation.run(library());
                EXPECT_FALSE(watchdog.fired()) << what << ": the run did not end";
            }
            faults.failAt(0);
            EXPECT_TRUE(outcome == Outcome::kGoal || outcome == Outcome::kFailure) << what << ": " << Name(outcome);
            EXPECT_EQ(FindWindowA("BioProc", "KAVRO - Biometria"), nullptr) << what;
            EXPECT_TRUE(operation.leavesSdkObject || bridge().readerIdle()) << what << " left the SDK open";
        }
        bridge().resetReader();
        EXPECT_EQ(std::string(Name(operation.run(library()))), Name(Outcome::kGoal))
            << operation.name << " after its allocation faults: the next run fails";
        if (operation.leavesSdkObject) bridge().resetReader();
    }

    // Every step of a few, a spread of the middle of many, and always the last ones.
    static std::vector<long> AllocationSteps(long made) {
        std::vector<long> steps;
        constexpr long kEnds = 15, kMiddle = 10;
        for (long n = 1; n <= made; ++n) {
            const bool end = n <= kEnds || n > made - kEnds;
            const long spread = (made - 2 * kEnds) / kMiddle + 1;
            if (end || (n - kEnds) % spread == 0) steps.push_back(n);
        }
        return steps;
    }

private:
    void expectCleanEnd(const Operation& operation, const char* fault, Outcome outcome, Outcome expected) {
        EXPECT_EQ(std::string(Name(outcome)), Name(expected)) << operation.name << " with " << fault;
        EXPECT_EQ(FindWindowA("BioProc", "KAVRO - Biometria"), nullptr) << operation.name << " with " << fault;
        EXPECT_TRUE(operation.leavesSdkObject || bridge().readerIdle())
            << operation.name << " with " << fault << " left the SDK open";
        bridge().resetReader();
        EXPECT_EQ(std::string(Name(operation.run(library()))), Name(Outcome::kGoal))
            << operation.name << " after " << fault << ": the next run fails";
        if (operation.leavesSdkObject) bridge().resetReader();
    }
};

// Exports, by name and type.
template <class Function>
Function In(HMODULE library, const char* name) {
    return Export<Function>(library, name);
}
using CaptureFn = char* (*)(const char*, int32_t);
using VerifyServerFn = char* (*)();
using VerifyFn = int32_t (*)(const char*, const char*);
using VerifyMatchFn = int32_t (*)(const char*, const char*, const char*, const char*, BioStatus*);
using InitFn = int32_t (*)(uint8_t, void*);

// The operations both libraries have.
Operation CaptureOperation() {
    return {"FK_Capture", [](HMODULE l) { return TextOutcome(In<CaptureFn>(l, "FK_Capture")(nullptr, 1)); }, true};
}
Operation VerifyServerOperation() {
    return {"FK_VerifyServer", [](HMODULE l) { return TextOutcome(In<VerifyServerFn>(l, "FK_VerifyServer")()); },
            true};
}
Operation VerifyOperation(const std::string& stored) {
    return {"FK_Verify", [&stored](HMODULE l) { return MatchOutcome(In<VerifyFn>(l, "FK_Verify")("Z", stored.c_str())); },
            true};
}
Operation VerifyMatchOperation(const std::string& stored, const std::string& live) {
    return {"FK_VerifyMatch",
            [&stored, &live](HMODULE l) {
                return MatchOutcome(
                    In<VerifyMatchFn>(l, "FK_VerifyMatch")("Z", stored.c_str(), "Z", live.c_str(), nullptr));
            },
            false};
}

using NbioFaultSweep = FaultSweep;

TEST_P(NbioFaultSweep, EverySdkCallFailedInTurn) {
    const std::string stored = templateOf(1, true), live = templateOf(1, false);
    using SetAuthType = void (*)(int32_t);
    using Convert = intptr_t (*)(int32_t, void*, int32_t*, int32_t);
    using Close = int32_t (*)(int32_t);
    // FDx minutiae bytes of a capture, as FK_Convert takes them.
    In<SetAuthType>(library(), "FK_SetAuthType")(2);
    DecodedEnvelope envelope;
    const std::string fdxText = templateOf(1, true);
    In<SetAuthType>(library(), "FK_SetAuthType")(1);
    ASSERT_TRUE(IsTemplateText(fdxText));
    DecodeEnvelope(fdxText.c_str(), static_cast<int32_t>(fdxText.size()), kNbioEnvelope, &envelope);
    std::vector<unsigned char> fdx;
    ASSERT_TRUE(UnpackEnvelope(envelope, &fdx));

    const std::vector<Operation> operations = {
        CaptureOperation(),
        {"FK_Capture of FDx data",
         [](HMODULE l) {
             In<SetAuthType>(l, "FK_SetAuthType")(2);
             const Outcome outcome = TextOutcome(In<CaptureFn>(l, "FK_Capture")(nullptr, 1));
             In<SetAuthType>(l, "FK_SetAuthType")(1);
             return outcome;
         },
         true},
        VerifyServerOperation(),
        VerifyOperation(stored),
        VerifyMatchOperation(stored, live),
        {"FK_Match", [&](HMODULE l) { return MatchOutcome(In<VerifyFn>(l, "FK_Match")(stored.c_str(), live.c_str())); },
         false},
        {"FK_CaptureAndVerify",
         [&](HMODULE l) {
             const int32_t r = In<int32_t (*)(const char*)>(l, "FK_CaptureAndVerify")(stored.c_str());
             return r == 1 ? Outcome::kGoal : (r == 0 || r == -1) ? Outcome::kFailure : Outcome::kOther;
         },
         true},
        {"FK_Init, FK_Convert, FK_Close",
         [&](HMODULE l) {
             if (In<InitFn>(l, "FK_Init")(0, nullptr) != 0) return Outcome::kFailure;
             int32_t size = static_cast<int32_t>(fdx.size());
             const intptr_t fir = In<Convert>(l, "FK_Convert")(1, fdx.data(), &size, 35);
             In<Close>(l, "FK_Close")(0);
             return fir != 0 ? Outcome::kGoal : Outcome::kFailure;
         },
         false, true},
    };
    const std::vector<Fault> faults = {
        {"NBioAPI_Init", "init=5", Outcome::kFailure},
        {"NBioAPI_OpenDevice", "open=260", Outcome::kFailure},
        {"NBioAPI_Capture", "capture=515", Outcome::kFailure},
        {"NBioAPI_GetExtendedTextFIRFromHandle", "textfir=5", Outcome::kFailure},
        {"NBioAPI_FreeTextFIR", "freetext=5", Outcome::kFailure},
        {"NBioAPI_NBioBSPToFDx", "tofdx=5", Outcome::kFailure},
        {"NBioAPI_FDxToNBioBSP", "fromfdx=5", Outcome::kFailure},
        {"NBioAPI_Verify", "verify=5", Outcome::kFailure},
        {"NBioAPI_VerifyMatch", "verifymatch=5", Outcome::kFailure},
    };
    // Without a window the NITGEN capture waits for its worker alone.
    sweep(operations, faults, Outcome::kGoal);
}

using DpfpFaultSweep = FaultSweep;

TEST_P(DpfpFaultSweep, EverySdkCallFailedInTurn) {
    const std::string stored = templateOf(1, true), live = templateOf(1, false), other = templateOf(2, true);
    const std::vector<Operation> operations = {
        CaptureOperation(),
        VerifyServerOperation(),
        VerifyOperation(stored),
        VerifyMatchOperation(stored, live),
        {"FK_VerifyMcsDigital",
         [&](HMODULE l) {
             std::string texts[] = {live, other, stored};
             char* list[] = {texts[0].data(), texts[1].data(), texts[2].data()};
             char out[1100] = {};
             using Mcs = int32_t (*)(char**, int32_t, char*, int32_t);
             const int32_t r = In<Mcs>(l, "FK_VerifyMcsDigital")(list, 3, out, sizeof out);
             return MatchOutcome(r);
         },
         false},
        {"FK_DeviceSerial",
         [](HMODULE l) {
             char serial[129] = {};
             const int32_t r = In<int32_t (*)(char*)>(l, "FK_DeviceSerial")(serial);
             return r == 0 && serial[0] != '\0' ? Outcome::kGoal : Outcome::kFailure;
         },
         false},
        {"FK_Init, FK_Close",
         [](HMODULE l) {
             const int32_t r = In<InitFn>(l, "FK_Init")(1, nullptr);
             In<int32_t (*)()>(l, "FK_Close")();
             return r == 0 ? Outcome::kGoal : Outcome::kFailure;
         },
         false},
    };
    const std::vector<Fault> faults = {
        {"DPFPInit", "init=1", Outcome::kGoal},
        {"FX_init", "fxinit=-7", Outcome::kFailure},
        {"MC_init", "mcinit=-1", Outcome::kFailure},
        {"FX_terminate", "fxterm=-8", Outcome::kGoal},
        {"MC_terminate", "mcterm=-8", Outcome::kGoal},
        {"DPFPEnumerateDevices", "enumerate=-5", Outcome::kFailure},
        {"DPFPGetDeviceInfo", "deviceinfo=-5", Outcome::kFailure},
        {"DPFPCreateAcquisition", "create=-10", Outcome::kFailure},
        {"DPFPStartAcquisition", "start=-8", Outcome::kFailure},
        {"DPFPConvertSampleToBitmap", "bitmap=-1", Outcome::kGoal},
        {"MC_getSettings", "needed=0", Outcome::kFailure},
        {"FX_getFeaturesLen", "fxlen=-1", Outcome::kFailure},
        {"FX_extractFeatures", "extract=-8", Outcome::kFailure},
        {"FX_extractFeatures", "created=0", Outcome::kFailure},
        {"MC_getFeaturesLen", "mclen=-2", Outcome::kFailure},
        {"MC_generateRegFeatures", "generate=-8", Outcome::kFailure},
        {"MC_verifyFeaturesEx", "verify=-8", Outcome::kFailure},
    };
    // Without a window no sample reaches the DigitalPersona operations.
    sweep(operations, faults, Outcome::kFailure);
}

// A window closed from outside while its run is live (Alt+F4, another program,
// a logoff, the host destroying the frame or quitting its thread) ends the run
// as "Cancelar" does in that library: the same result, at once (NITGEN: at the
// reader's time-out), no window left, nothing of the SDK open, a quit message
// handed on to the host, and the next run works.
using ClosedFromOutside = FacesTest;

TEST_P(ClosedFromOutside, EndsTheRunAsCancelarDoes) {
    const std::string stored = templateOf(1, true);
    struct Windowed {
        const char* name;
        std::function<std::string()> run;
        std::function<bool(const std::string&)> reachedGoal;
    };
    const auto verify = [&] { return std::to_string(In<VerifyFn>(library(), "FK_Verify")("Z", stored.c_str())); };
    const Windowed operations[] = {
        {"FK_Capture", [&] { return fkCapture(); }, IsTemplateText},
        {"FK_VerifyServer", [&] { return fkVerifyServer(); }, IsTemplateText},
        {"FK_Verify", verify, [](const std::string& r) { return r == "1"; }},
    };
    using Action = CaptureWindowProbe::Action;
    const std::pair<const char*, Action> ways[] = {
        {"Cancelar", Action::kPressCancel},          {"Alt+F4", Action::kPostClose},
        {"another program's WM_CLOSE", Action::kSendClose}, {"a logoff", Action::kEndSession},
        {"the host destroying the frame", Action::kDestroy}, {"the host quitting its thread", Action::kQuit},
    };
    for (const Windowed& operation : operations) {
        std::string cancelled;
        for (const auto& [way, action] : ways) {
            const std::string what = std::string(operation.name) + " closed by " + way;
            bridge().resetReader();
            script(bridge().heldReader);
            std::string result;
            {
                const Watchdog watchdog;
                const CaptureWindowProbe probe(action);
                result = operation.run();
                EXPECT_FALSE(watchdog.fired()) << what << ": the run did not end";
                EXPECT_EQ(probe.windowsSeen(), 1) << what;
            }
            if (action == Action::kPressCancel) cancelled = result;
            EXPECT_FALSE(operation.reachedGoal(result)) << what << ": " << result;
            EXPECT_EQ(result, cancelled) << what;
            MSG quit{};
            const bool quitWaits = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
            EXPECT_EQ(quitWaits, action == Action::kQuit) << what;
            EXPECT_EQ(quitWaits ? quit.wParam : 7u, 7u) << what << ": the host's own exit code";
            EXPECT_EQ(FindWindowA("BioProc", "KAVRO - Biometria"), nullptr) << what;
            EXPECT_TRUE(bridge().readerIdle()) << what << " left the SDK open";
            bridge().resetReader();
            const CaptureWindowProbe next;
            EXPECT_TRUE(operation.reachedGoal(operation.run())) << what << ": the next run fails";
            EXPECT_EQ(next.windowsSeen(), 1) << what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, ClosedFromOutside, ::testing::Values(&NbioFaces(), &DpfpFaces()), BridgeName);

INSTANTIATE_TEST_SUITE_P(Nbio, NbioFaultSweep, ::testing::Values(&NbioFaces()), BridgeName);
INSTANTIATE_TEST_SUITE_P(Dpfp, DpfpFaultSweep, ::testing::Values(&DpfpFaces()), BridgeName);

}  // namespace
