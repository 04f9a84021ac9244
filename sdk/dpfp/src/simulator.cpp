// Control interface, module sessions and contexts of the simulator.
#include "simulator.h"

#include "simsdk/environment.h"

namespace dpfpsim {

Simulator::Simulator(const char* environmentScript, EventSink sink) : sink_(std::move(sink)) {
    ResetLocked(environmentScript);
}

Simulator::~Simulator() {
    std::unique_lock<std::mutex> lock(mutex_);
    EndAcquisitions(lock);
}

int32_t Simulator::Configure(const char* script) {
    if (script == nullptr) return -1;
    std::lock_guard<std::mutex> lock(mutex_);
    return ApplyScript(script, settings_) ? 0 : -1;
}

void Simulator::Reset(const char* environmentScript) {
    std::unique_lock<std::mutex> lock(mutex_);
    EndAcquisitions(lock);
    lock.lock();
    ResetLocked(environmentScript);
}

void Simulator::ResetLocked(const char* environmentScript) {
    settings_ = SimSettings{};
    if (environmentScript != nullptr && !ApplyScript(environmentScript, settings_)) {
        simsdk::ReportMalformedScript("DPFPSIM_SCRIPT", environmentScript);
        settings_.init = ResultQueue{kApiUnexpected};
        settings_.fxInit = ResultQueue{kInternalError};
        settings_.mcInit = ResultQueue{kInternalError};
    }
    readerSession_ = false;
    fx_ = Module{};
    mc_ = Module{};
    samples_.clear();
    deviceLists_.clear();
    samplesMade_ = 0;
    featuresMade_ = 0;
    callCounts_.clear();
    lastCall_ = DPFPSimLastCall{};
}

DPFPSimCounters Simulator::Counters() const {
    std::lock_guard<std::mutex> lock(mutex_);
    DPFPSimCounters c{};
    c.readerSessions = readerSession_ ? 1 : 0;
    c.fxSessions = fx_.session ? 1 : 0;
    c.mcSessions = mc_.session ? 1 : 0;
    c.fxContexts = static_cast<int32_t>(fx_.contexts.size());
    c.mcContexts = static_cast<int32_t>(mc_.contexts.size());
    c.acquisitions = static_cast<int32_t>(acquisitions_.size());
    c.runningThreads = runningThreads_;
    c.blocks = static_cast<int32_t>(samples_.size() + deviceLists_.size());
    return c;
}

int32_t Simulator::CallCount(const char* functionName) const {
    if (functionName == nullptr) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = callCounts_.find(functionName);
    return it == callCounts_.end() ? 0 : it->second;
}

DPFPSimLastCall Simulator::LastCall() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastCall_;
}

int32_t Simulator::MakeFeatures(int32_t finger, int32_t registration, uint8_t* out, int32_t outSize) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int32_t size = registration != 0 ? settings_.registrationLength : settings_.verificationLength;
    if (finger < 0 || !IsValidFinger(static_cast<uint32_t>(finger)) || !FitsFeatureSize(size)) return 0;
    if (out == nullptr || outSize < size) return size;
    FeatureFacts facts;
    facts.kind = registration != 0 ? FeatureKind::kRegistration : FeatureKind::kVerification;
    facts.finger = static_cast<uint8_t>(finger);
    facts.session = settings_.session;
    facts.serial = ++featuresMade_;
    WriteFeatures(facts, out, size);
    return size;
}

int32_t Simulator::InitModule(Module& module, ResultQueue& scripted, const char* functionName) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count(functionName);
    if (const int32_t result = scripted.Take()) return result;
    module.session = true;
    return 0;
}

// A failing terminate still ends the module: the script tests how a caller
// reports the failure, and nothing should stay open because of it.
int32_t Simulator::TerminateModule(Module& module, ResultQueue& scripted, const char* functionName) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count(functionName);
    module.session = false;
    return scripted.Take();
}

// Contexts outlive their module's session: a caller may close them after the
// module's terminate, and one it never closes stays counted.
int32_t Simulator::CreateContext(Module& module, uint64_t* context, const char* functionName) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count(functionName);
    if (context == nullptr) return kInvalidParameter;
    *context = 0;
    if (!module.session) return kNotInitialised;
    *context = NewHandleLocked();
    module.contexts.insert(*context);
    return 0;
}

int32_t Simulator::CloseContext(Module& module, uint64_t context, const char* functionName) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count(functionName);
    return module.contexts.erase(context) == 1 ? 0 : kInvalidContext;
}

FX_RESULT Simulator::FxInit() {
    return InitModule(fx_, settings_.fxInit, "FX_init");
}

FX_RESULT Simulator::FxTerminate() {
    return TerminateModule(fx_, settings_.fxTerminate, "FX_terminate");
}

FX_RESULT Simulator::FxCreateContext(FX_CONTEXT* context) {
    return CreateContext(fx_, context, "FX_createContext");
}

FX_RESULT Simulator::FxCloseContext(FX_CONTEXT context) {
    return CloseContext(fx_, context, "FX_closeContext");
}

MC_RESULT Simulator::McInit() {
    return InitModule(mc_, settings_.mcInit, "MC_init");
}

MC_RESULT Simulator::McTerminate() {
    return TerminateModule(mc_, settings_.mcTerminate, "MC_terminate");
}

MC_RESULT Simulator::McCreateContext(MC_CONTEXT* context) {
    return CreateContext(mc_, context, "MC_createContext");
}

MC_RESULT Simulator::McCloseContext(MC_CONTEXT context) {
    return CloseContext(mc_, context, "MC_closeContext");
}

MC_RESULT Simulator::McGetSettings(MC_SETTINGS* settings) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("MC_getSettings");
    if (settings == nullptr) return kInvalidParameter;
    *settings = MC_SETTINGS{};
    settings->featureSetsPerTemplate = settings_.needed;
    return 0;
}

}  // namespace dpfpsim
