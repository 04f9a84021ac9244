// Control interface, instances, reader and live capture of the simulator.
#include "simulator.h"

#include <algorithm>
#include <cstring>

#include "simsdk/environment.h"
#include "simsdk/random.h"

namespace nbiosim {

Simulator::Simulator(const char* environmentScript) {
    ResetLocked(environmentScript);
}

int32_t Simulator::Configure(const char* script) {
    if (script == nullptr) return -1;
    std::lock_guard<std::mutex> lock(mutex_);
    return ApplyScript(script, settings_) ? 0 : -1;
}

void Simulator::Reset(const char* environmentScript) {
    std::lock_guard<std::mutex> lock(mutex_);
    ResetLocked(environmentScript);
}

void Simulator::ResetLocked(const char* environmentScript) {
    settings_ = SimSettings{};
    if (environmentScript != nullptr && !ApplyScript(environmentScript, settings_)) {
        simsdk::ReportMalformedScript("NBIOSIM_SCRIPT", environmentScript);
        settings_.init = ValueQueue{NBioAPIERROR_DEVICE_OPEN_FAIL};
    }
    store_.Clear();
    callCounts_.clear();
    lastTexts_ = {};
    lastCall_ = NBioSimLastCall{};
    captures_ = 0;
}

NBioSimCounters Simulator::Counters() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return store_.Counters();
}

int32_t Simulator::CallCount(const char* functionName) const {
    if (functionName == nullptr) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = callCounts_.find(functionName);
    return it == callCounts_.end() ? 0 : it->second;
}

int32_t Simulator::LastInputText(int32_t which, char* out, int32_t outSize) const {
    if (which < 0 || which >= static_cast<int32_t>(lastTexts_.size()) || out == nullptr || outSize <= 0) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    const std::optional<std::string>& text = lastTexts_[static_cast<size_t>(which)];
    if (!text) return 0;
    // A text longer than the buffer is cut, still NUL-terminated.
    const size_t copied = std::min(text->size() + 1, static_cast<size_t>(outSize));
    std::memcpy(out, text->c_str(), copied - 1);
    out[copied - 1] = '\0';
    return static_cast<int32_t>(copied);
}

NBioAPI_RETURN Simulator::Init(NBioAPI_HANDLE* handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_Init");
    if (handle == nullptr) return NBioAPIERROR_INVALID_POINTER;
    *handle = 0;
    if (const NBioAPI_RETURN scripted = settings_.init.Take()) return scripted;
    *handle = store_.AddInstance();
    return NBioAPIERROR_NONE;
}

NBioAPI_RETURN Simulator::Terminate(NBioAPI_HANDLE handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_Terminate");
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    store_.RemoveInstance(handle);
    return NBioAPIERROR_NONE;
}

NBioAPI_RETURN Simulator::OpenDevice(NBioAPI_HANDLE handle, NBioAPI_DEVICE_ID device) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_OpenDevice");
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    if (const NBioAPI_RETURN scripted = settings_.open.Take()) return scripted;
    store_.OpenDevice(handle);
    return NBioAPIERROR_NONE;
}

NBioAPI_RETURN Simulator::CloseDevice(NBioAPI_HANDLE handle, NBioAPI_DEVICE_ID device) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_CloseDevice");
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    return store_.CloseDevice(handle) ? NBioAPIERROR_NONE : NBioAPIERROR_DEVICE_NOT_OPENED;
}

NBioAPI_RETURN Simulator::FreeFIRHandle(NBioAPI_HANDLE handle, NBioAPI_FIR_HANDLE fir) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_FreeFIRHandle");
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    if (fir == 0) return NBioAPIERROR_NONE;
    return store_.RemoveFir(handle, fir) ? NBioAPIERROR_NONE : NBioAPIERROR_INVALID_HANDLE;
}

CapturePlan Simulator::PlanCaptureLocked(int32_t callerTimeoutMs) {
    CapturePlan plan;
    plan.cancelAfterMs = settings_.cancelMs;
    if (settings_.block) {
        // Nobody touches a blocked reader: the scripted results and fingers
        // stay for the captures after it.
        plan.blocked = true;
        plan.result = NBioAPIERROR_CAPTURE_TIMEOUT;
        if (settings_.timeoutMs) {
            plan.waitMs = *settings_.timeoutMs;
        } else {
            plan.waitMs = callerTimeoutMs > 0 ? static_cast<uint32_t>(callerTimeoutMs) : kDefaultCaptureTimeoutMs;
        }
        return plan;
    }
    plan.waitMs = settings_.delayMs;
    plan.result = settings_.capture.Take();
    plan.finger = static_cast<uint8_t>(settings_.finger.Take());
    return plan;
}

FingerTemplate Simulator::ReadFingerLocked(uint8_t finger) {
    simsdk::SplitMix nonceSource((static_cast<uint64_t>(settings_.session) << 32) + ++captures_);
    return CaptureTemplate(finger, static_cast<uint32_t>(nonceSource.Next()));
}

// The instance or its reader may have ended (or the simulator been reset)
// while the capture was waiting.
NBioAPI_RETURN Simulator::StillOpenLocked(NBioAPI_HANDLE handle) const {
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    return store_.IsDeviceOpen(handle) ? NBioAPIERROR_NONE : NBioAPIERROR_DEVICE_NOT_OPENED;
}

NBioSimLastCall Simulator::LastCall() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastCall_;
}

void Simulator::RecordCaptureLocked(int32_t timeoutMs, const NBioAPI_WINDOW_OPTION* option) {
    lastCall_.captureTimeoutMs = timeoutMs;
    lastCall_.window = option != nullptr ? *option : NBioAPI_WINDOW_OPTION{};
}

CaptureStart Simulator::BeginCapture(NBioAPI_HANDLE handle, uint8_t purpose, const NBioAPI_FIR_HANDLE* captured,
                                     int32_t timeoutMs, const NBioAPI_WINDOW_OPTION* option) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_Capture");
    lastCall_.capturePurpose = purpose;
    RecordCaptureLocked(timeoutMs, option);
    CaptureStart start;
    if (!store_.HasInstance(handle)) {
        start.error = NBioAPIERROR_INVALID_HANDLE;
    } else if (captured == nullptr) {
        start.error = NBioAPIERROR_INVALID_POINTER;
    } else if (!store_.IsDeviceOpen(handle)) {
        start.error = NBioAPIERROR_DEVICE_NOT_OPENED;
    } else {
        start.plan = PlanCaptureLocked(timeoutMs);
    }
    return start;
}

NBioAPI_RETURN Simulator::FinishCapture(NBioAPI_HANDLE handle, const CapturePlan& plan, NBioAPI_FIR_HANDLE* captured,
                                        NBioAPI_FIR_HANDLE* auditData) {
    std::lock_guard<std::mutex> lock(mutex_);
    *captured = 0;
    if (auditData != nullptr) *auditData = 0;
    if (const NBioAPI_RETURN fault = StillOpenLocked(handle)) return fault;
    if (plan.result != NBioAPIERROR_NONE) return plan.result;

    FingerTemplate tmpl = ReadFingerLocked(plan.finger);
    if (auditData != nullptr) *auditData = store_.AddFir(handle, tmpl);
    *captured = store_.AddFir(handle, std::move(tmpl));
    return NBioAPIERROR_NONE;
}

VerifyStart Simulator::BeginVerify(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* stored, const NBioAPI_BOOL* result,
                                   int32_t timeoutMs, const NBioAPI_WINDOW_OPTION* option) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_Verify");
    RecordCaptureLocked(timeoutMs, option);
    VerifyStart start;
    if (!store_.HasInstance(handle)) {
        start.capture.error = NBioAPIERROR_INVALID_HANDLE;
    } else if (stored == nullptr || result == nullptr) {
        start.capture.error = NBioAPIERROR_INVALID_POINTER;
    } else if (!store_.IsDeviceOpen(handle)) {
        start.capture.error = NBioAPIERROR_DEVICE_NOT_OPENED;
    } else {
        if (const char* text = NarrowText(*stored)) lastTexts_[0] = text;
        start.scripted = settings_.verify.Take();
        start.capture.plan = PlanCaptureLocked(timeoutMs);
    }
    return start;
}

NBioAPI_RETURN Simulator::FinishVerify(NBioAPI_HANDLE handle, const VerifyStart& start, const NBioAPI_INPUT_FIR* stored,
                                       NBioAPI_BOOL* result, NBioAPI_FIR_PAYLOAD* payload,
                                       NBioAPI_FIR_HANDLE* auditData) {
    std::lock_guard<std::mutex> lock(mutex_);
    *result = NBioAPI_BOOL{0};
    if (auditData != nullptr) *auditData = 0;
    if (payload != nullptr) *payload = NBioAPI_FIR_PAYLOAD{};
    if (const NBioAPI_RETURN fault = StillOpenLocked(handle)) return fault;
    if (start.scripted != NBioAPIERROR_NONE) return start.scripted;
    if (start.capture.plan.result != NBioAPIERROR_NONE) return start.capture.plan.result;

    FingerTemplate reference;
    if (const NBioAPI_RETURN fault = ResolveLocked(handle, *stored, reference)) return fault;
    FingerTemplate live = ReadFingerLocked(start.capture.plan.finger);
    *result = SameFinger(reference, live) ? 1 : 0;
    if (auditData != nullptr) *auditData = store_.AddFir(handle, std::move(live));
    return NBioAPIERROR_NONE;
}

}  // namespace nbiosim
