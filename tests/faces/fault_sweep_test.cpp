// Every SDK call an operation makes, failed in turn. The list of calls is the
// one the operation makes when all goes well, read from the simulated reader's
// call counts; each call on it that the reader can fail is failed once. Each
// time the operation gives its own failure form (or, where the library is
// meant to go on, reaches its goal), leaves no window and nothing of the SDK
// open, and the next normal run of it succeeds. Operations with a window are
// also run without one.
#include <cstdlib>
#include <functional>
#include <vector>

#include "bio_status.h"
#include "faces_fixture.h"
#include "template_codec.h"
#include "template_text.h"
#include "window_probe.h"

namespace {

enum class Outcome { kGoal, kFailure, kOther };

const char* Name(Outcome outcome) {
    switch (outcome) {
        case Outcome::kGoal: return "goal";
        case Outcome::kFailure: return "failure form";
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
    // The window then waits for the user: "Cancelar" ends it.
    bool needsCancel = false;
};

std::string Take(char* text) {
    const std::string s = text ? text : "<null>";
    std::free(text);
    return s;
}

// A packed template text of either layout, whole: failure texts are not.
bool IsTemplateText(const std::string& text) {
    static const bool codecReady = CodecAllocateBuffers();
    if (!codecReady) return false;
    for (EnvelopeLayout layout : {EnvelopeLayout::kNbio, EnvelopeLayout::kDpfp}) {
        DecodedEnvelope envelope;
        DecodeEnvelope(text.c_str(), static_cast<int32_t>(text.size()), layout, &envelope);
        std::vector<unsigned char> bytes;
        if (!envelope.decodedMoreThanClaimed() && UnpackEnvelope(envelope, &bytes)) return true;
    }
    return false;
}

Outcome TextOutcome(const std::string& text) { return IsTemplateText(text) ? Outcome::kGoal : Outcome::kFailure; }

Outcome MatchOutcome(int32_t result) {
    return result == 1 ? Outcome::kGoal : result == 0 ? Outcome::kFailure : Outcome::kOther;
}

class FaultSweep : public FacesTest {
protected:
    // Runs every operation normally, then once for each fault of a call it
    // made, then once without a window when it has one.
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
                Outcome outcome;
                {
                    CaptureWindowProbe probe(fault->needsCancel);
                    outcome = operation.run(library());
                }
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
        }
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
    return {"FK_Capture", [](HMODULE l) { return TextOutcome(Take(In<CaptureFn>(l, "FK_Capture")(nullptr, 1))); },
            true};
}
Operation VerifyServerOperation() {
    return {"FK_VerifyServer", [](HMODULE l) { return TextOutcome(Take(In<VerifyServerFn>(l, "FK_VerifyServer")())); },
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
    DecodeEnvelope(fdxText.c_str(), static_cast<int32_t>(fdxText.size()), EnvelopeLayout::kNbio, &envelope);
    std::vector<unsigned char> fdx;
    ASSERT_TRUE(UnpackEnvelope(envelope, &fdx));

    const std::vector<Operation> operations = {
        CaptureOperation(),
        {"FK_Capture of FDx data",
         [](HMODULE l) {
             In<SetAuthType>(l, "FK_SetAuthType")(2);
             const std::string text = Take(In<CaptureFn>(l, "FK_Capture")(nullptr, 1));
             In<SetAuthType>(l, "FK_SetAuthType")(1);
             return TextOutcome(text);
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
        {"DPFPCreateAcquisition", "create=-10", Outcome::kFailure, true},
        {"DPFPStartAcquisition", "start=-8", Outcome::kFailure, true},
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

INSTANTIATE_TEST_SUITE_P(Nbio, NbioFaultSweep, ::testing::Values(&NbioFaces()), BridgeName);
INSTANTIATE_TEST_SUITE_P(Dpfp, DpfpFaultSweep, ::testing::Values(&DpfpFaces()), BridgeName);

}  // namespace
