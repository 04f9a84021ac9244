// The simulated DigitalPersona reader and its two modules: the rules of every
// function of DPFPApi.dll, dpHFtrEx.dll and dpHMatch.dll and of the control
// interface, without any platform code. dpfpsim.dll forwards its exports here
// and hands in the one platform service it needs, the posting of an event to
// a window.
//
// One mutex guards everything, so every function may be called from any
// thread. Each function checks its arguments in the same order: null
// pointers, the session or handle it needs, then the scripted result of the
// call, then its own checks. A failing call writes nothing but its zeroed
// outputs (a handle, a count, a flag), except the decision of a comparison
// whose failure is scripted.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "DPFPApi.h"
#include "DPFPSim.h"
#include "dpHFtrEx.h"
#include "dpHMatch.h"
#include "feature_sets.h"
#include "sim_settings.h"
#include "simsdk/fingerprint_image.h"

namespace dpfpsim {

// Results of DPFPApi.dll: HRESULTs, as its callers expect of it.
constexpr DPFP_RESULT kApiNullPointer = static_cast<int32_t>(0x80004003u);      // E_POINTER
constexpr DPFP_RESULT kApiInvalidArgument = static_cast<int32_t>(0x80070057u);  // E_INVALIDARG: handle, window, sample
constexpr DPFP_RESULT kApiNotReady = static_cast<int32_t>(0x80070015u);         // no reader session (ERROR_NOT_READY)
constexpr DPFP_RESULT kApiUnknownReader = static_cast<int32_t>(0x80070037u);    // ERROR_DEV_NOT_EXIST
constexpr DPFP_RESULT kApiBufferTooSmall = static_cast<int32_t>(0x8007007Au);   // ERROR_INSUFFICIENT_BUFFER
constexpr DPFP_RESULT kApiBusy = static_cast<int32_t>(0x800700AAu);             // started already (ERROR_BUSY)
constexpr DPFP_RESULT kApiUnexpected = static_cast<int32_t>(0x8000FFFFu);       // E_UNEXPECTED: an exception inside

// Results of the two modules, from the codes their callers have texts for.
constexpr int32_t kNotInitialised = 1;
constexpr int32_t kInvalidParameter = -2;
constexpr int32_t kInternalError = -8;
constexpr int32_t kInvalidBuffer = -11;
constexpr int32_t kBufferTooSmall = -16;
constexpr int32_t kInvalidContext = -17;
constexpr int32_t kInvalidPurpose = -29;

// Most sets one template may be made of; more is a caller's mistake.
constexpr int32_t kMaxSetsPerTemplate = 1000;

// The user pressing the Cancel button of the acquisition's window, as the
// window gets it from the button: the command message (WM_COMMAND) with the
// button's identifier (IDCANCEL).
constexpr uint32_t kCommandMessage = 0x0111;
constexpr uintptr_t kCancelButton = 2;

// An acquisition event, as DPFPCreateAcquisition asked for it.
struct PostedEvent {
    void* window = nullptr;
    uint32_t message = 0;
    uintptr_t kind = 0;  // wParam
    intptr_t data = 0;   // lParam
    // Handed over at once: delivered only when the window has taken it.
    bool waitForWindow = false;
};

// Delivers an event; false when it could not (the window is gone, its queue
// is full). Called on an acquisition's thread with the simulator locked, so it
// must not block or call back into the simulator; except an event handed over
// at once, which DPFPStartAcquisition delivers unlocked and waits for.
using EventSink = std::function<bool(const PostedEvent&)>;

class Simulator {
public:
    // `environmentScript` is applied over the defaults (ignored when malformed).
    Simulator(const char* environmentScript, EventSink sink);
    // Ends every acquisition, as DPFPTerm does.
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    int32_t Configure(const char* script);
    void Reset(const char* environmentScript);
    DPFPSimCounters Counters() const;
    int32_t CallCount(const char* functionName) const;
    DPFPSimLastCall LastCall() const;
    int32_t MakeFeatures(int32_t finger, int32_t registration, uint8_t* out, int32_t outSize);

    // DPFPApi.dll
    DPFP_RESULT Init();
    void Term();
    DPFP_RESULT EnumerateDevices(uint32_t* count, DPFP_READER_ID** readers);
    DPFP_RESULT GetDeviceInfo(const DPFP_READER_ID* reader, DPFP_DEVICE_INFO* info);
    DPFP_RESULT CreateAcquisition(int32_t priority, const DPFP_READER_ID* reader, uint32_t dataTypes, void* window,
                                  uint32_t message, DPFP_ACQUISITION* acquisition);
    DPFP_RESULT StartAcquisition(DPFP_ACQUISITION acquisition);
    DPFP_RESULT ConvertSampleToBitmap(const DPFP_SAMPLE* sample, uint8_t* buffer, uint32_t* size);

    // dpHFtrEx.dll
    FX_RESULT FxInit();
    FX_RESULT FxTerminate();
    FX_RESULT FxCreateContext(FX_CONTEXT* context);
    FX_RESULT FxCloseContext(FX_CONTEXT context);
    FX_RESULT FxGetFeaturesLen(int32_t purpose, int32_t* size);
    FX_RESULT FxExtractFeatures(FX_CONTEXT context, int32_t sampleSize, const uint8_t* sample, int32_t purpose,
                                int32_t featureSetSize, uint8_t* featureSet, int32_t* imageQuality,
                                int32_t* featuresQuality, int32_t* created);
    FX_RESULT FxGetDisplayImage(FX_CONTEXT context, const uint8_t* sample, const int32_t size[2], int32_t orientation,
                                int32_t colours, uint8_t* image);

    // dpHMatch.dll
    MC_RESULT McInit();
    MC_RESULT McTerminate();
    MC_RESULT McCreateContext(MC_CONTEXT* context);
    MC_RESULT McCloseContext(MC_CONTEXT context);
    MC_RESULT McGetSettings(MC_SETTINGS* settings);
    MC_RESULT McGetFeaturesLen(int32_t purpose, int32_t* size);
    MC_RESULT McGenerateRegFeatures(MC_CONTEXT context, int32_t count, int32_t featureSetSize, uint8_t** featureSets,
                                    int32_t templateSize, uint8_t* templateBuffer);
    MC_RESULT McVerifyFeaturesEx(MC_CONTEXT context, int32_t templateSize, const uint8_t* templateData,
                                 int32_t featureSetSize, const uint8_t* featureSet, int32_t reserved, int32_t* options,
                                 int32_t* securityLevel, double* score, int32_t* decision);

private:
    struct Acquisition {
        void* window = nullptr;
        uint32_t message = 0;
        bool stopping = false;  // set, under the lock, by whoever ends the acquisition
        bool started = false;   // DPFPStartAcquisition took it
        std::vector<ScriptedEvent> plan;
        uint32_t defaultDelayMs = 0;
        std::thread thread;
    };

    // A sample handed out with an event; the record points into `data`.
    struct Sample {
        DPFP_SAMPLE record{};
        std::vector<uint8_t> data;
    };

    // What each of the two modules keeps: whether it is initialised, and its
    // open contexts.
    struct Module {
        bool session = false;
        std::set<uint64_t> contexts;
    };

    void Count(const char* functionName) { ++callCounts_[functionName]; }
    int32_t InitModule(Module& module, ResultQueue& scripted, const char* functionName);
    int32_t TerminateModule(Module& module, ResultQueue& scripted, const char* functionName);
    int32_t CreateContext(Module& module, uint64_t* context, const char* functionName);
    int32_t CloseContext(Module& module, uint64_t context, const char* functionName);
    void ResetLocked(const char* environmentScript);
    // Stops every acquisition, frees what DPFPTerm reclaims, then unlocks and
    // joins the threads: they need the lock to see that they must stop.
    void EndAcquisitions(std::unique_lock<std::mutex>& lock);
    void RunAcquisition(Acquisition& acquisition);
    void PostLocked(const Acquisition& acquisition, const ScriptedEvent& event);
    // The event as the window receives it, with a new sample where it carries one.
    PostedEvent EventLocked(const Acquisition& acquisition, const ScriptedEvent& event);
    void NewSampleLocked(bool withData);
    const Sample* FindSampleLocked(const uint8_t* data) const;
    int FindDeviceLocked(const DPFP_READER_ID& reader) const;
    const simsdk::GreyImage& PrintOf(uint8_t finger);
    uint64_t NewHandleLocked() { return ++lastHandle_; }

    mutable std::mutex mutex_;
    std::condition_variable wake_;  // acquisitions wait on it between events
    EventSink sink_;
    SimSettings settings_;

    bool readerSession_ = false;
    Module fx_;
    Module mc_;
    std::map<uint64_t, std::unique_ptr<Acquisition>> acquisitions_;
    int32_t runningThreads_ = 0;
    std::vector<std::unique_ptr<Sample>> samples_;
    std::vector<std::unique_ptr<std::vector<DPFP_READER_ID>>> deviceLists_;

    // Never reset, so that a handle from before a reset is never valid after it.
    uint64_t lastHandle_ = 0;
    uint32_t samplesMade_ = 0;   // numbers the samples of a run
    uint32_t featuresMade_ = 0;  // numbers the sets DPFPSim_MakeFeatures makes
    std::map<std::string, int32_t> callCounts_;
    DPFPSimLastCall lastCall_{};
    std::map<uint8_t, simsdk::GreyImage> prints_;  // rendered once per finger
};

}  // namespace dpfpsim
