// The simulated NBioBSP reader: the rules of every SDK function and of the
// control interface, without any platform code. The DLL's exports forward
// here; the parts of a capture that take time (waiting, drawing) run in the
// export between BeginCapture and FinishCapture, outside the lock, so that
// tests may inspect and script the simulator while a capture is under way.
//
// Every function checks its arguments in the same order: unknown instance
// (NBioAPIERROR_INVALID_HANDLE), null pointers (NBioAPIERROR_INVALID_POINTER),
// then the scripted result of the call, then the call's own checks.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "NBioSim.h"
#include "capture_plan.h"
#include "finger_template.h"
#include "object_store.h"
#include "sim_script.h"

namespace nbiosim {

// Codes of the simulated reader that the SDK header leaves unnamed.
constexpr NBioAPI_RETURN kErrorUnsupported = 0x0A;  // an option it does not offer (wide text, other forms)
constexpr NBioAPI_RETURN kErrorInternal = 0x0B;     // an exception inside the library (out of memory)

struct CaptureStart {
    NBioAPI_RETURN error = NBioAPIERROR_NONE;  // nonzero: the call ends at once with it
    CapturePlan plan;
};

struct VerifyStart {
    CaptureStart capture;
    NBioAPI_RETURN scripted = NBioAPIERROR_NONE;  // `verify=`; when nonzero it is the answer
};

class Simulator {
public:
    // `environmentScript` is applied over the defaults (ignored when malformed).
    explicit Simulator(const char* environmentScript);

    int32_t Configure(const char* script);
    void Reset(const char* environmentScript);
    NBioSimCounters Counters() const;
    int32_t CallCount(const char* functionName) const;
    int32_t LastInputText(int32_t which, char* out, int32_t outSize) const;
    NBioSimLastCall LastCall() const;

    NBioAPI_RETURN Init(NBioAPI_HANDLE* handle);
    NBioAPI_RETURN Terminate(NBioAPI_HANDLE handle);
    NBioAPI_RETURN OpenDevice(NBioAPI_HANDLE handle, NBioAPI_DEVICE_ID device);
    NBioAPI_RETURN CloseDevice(NBioAPI_HANDLE handle, NBioAPI_DEVICE_ID device);
    NBioAPI_RETURN FreeFIRHandle(NBioAPI_HANDLE handle, NBioAPI_FIR_HANDLE fir);

    // NBioAPI_Capture in two halves around the wait described by the plan.
    CaptureStart BeginCapture(NBioAPI_HANDLE handle, uint8_t purpose, const NBioAPI_FIR_HANDLE* captured,
                              int32_t timeoutMs, const NBioAPI_WINDOW_OPTION* option);
    NBioAPI_RETURN FinishCapture(NBioAPI_HANDLE handle, const CapturePlan& plan, NBioAPI_FIR_HANDLE* captured,
                                 NBioAPI_FIR_HANDLE* auditData);

    NBioAPI_RETURN FreeTextFIR(NBioAPI_HANDLE handle, NBioAPI_FIR_TEXTENCODE* text);
    NBioAPI_RETURN GetExtendedTextFIRFromHandle(NBioAPI_HANDLE handle, NBioAPI_FIR_HANDLE fir,
                                                NBioAPI_FIR_TEXTENCODE* text, int32_t isWide, int32_t format);
    NBioAPI_RETURN FreeExportData(NBioAPI_HANDLE handle, NBioAPI_EXPORT_DATA* exported);
    NBioAPI_RETURN NBioBSPToFDx(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* fir, NBioAPI_EXPORT_DATA* exported,
                                int32_t formatType);
    NBioAPI_RETURN FDxToNBioBSP(NBioAPI_HANDLE handle, const uint8_t* data, uint32_t length, int32_t formatType,
                                NBioAPI_FIR_HANDLE* fir);

    // NBioAPI_Verify: a live capture (as NBioAPI_Capture) compared with `stored`.
    // The answer is the scripted result if nonzero, else the capture's failure,
    // else the stored record's fault, else the comparison.
    VerifyStart BeginVerify(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* stored, const NBioAPI_BOOL* result,
                            int32_t timeoutMs, const NBioAPI_WINDOW_OPTION* option);
    NBioAPI_RETURN FinishVerify(NBioAPI_HANDLE handle, const VerifyStart& start, const NBioAPI_INPUT_FIR* stored,
                                NBioAPI_BOOL* result, NBioAPI_FIR_PAYLOAD* payload, NBioAPI_FIR_HANDLE* auditData);

    NBioAPI_RETURN VerifyMatch(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* first, const NBioAPI_INPUT_FIR* second,
                               NBioAPI_BOOL* result, NBioAPI_FIR_PAYLOAD* payload);

private:
    void ResetLocked(const char* environmentScript);
    void Count(const char* functionName) { ++callCounts_[functionName]; }
    CapturePlan PlanCaptureLocked(int32_t callerTimeoutMs);
    void RecordCaptureLocked(int32_t timeoutMs, const NBioAPI_WINDOW_OPTION* option);
    FingerTemplate ReadFingerLocked(uint8_t finger);
    NBioAPI_RETURN StillOpenLocked(NBioAPI_HANDLE handle) const;
    // The caller's narrow text of a text-form record, or null.
    static const char* NarrowText(const NBioAPI_INPUT_FIR& input);
    NBioAPI_RETURN ResolveLocked(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR& input, FingerTemplate& out) const;

    mutable std::mutex mutex_;
    SimSettings settings_;
    ObjectStore store_;
    std::map<std::string, int32_t> callCounts_;
    // Last text-form inputs: NBioAPI_Verify, then VerifyMatch's first and second.
    std::array<std::optional<std::string>, 3> lastTexts_;
    NBioSimLastCall lastCall_{};
    uint64_t captures_ = 0;  // numbers the readings, which makes their nonces
};

}  // namespace nbiosim
