// The reader of the simulator (DPFPApi.dll): its session, the attached
// readers, the acquisitions with their threads, and the samples' bitmaps.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "sample_picture.h"
#include "simulator.h"

namespace dpfpsim {
namespace {

// Identifier of attached reader `index`: never all zero, which means "any".
DPFP_READER_ID ReaderId(size_t index) {
    DPFP_READER_ID id{};
    std::memcpy(id.bytes, "DPSIMRDR", 8);
    for (int i = 0; i < 4; ++i) id.bytes[8 + i] = static_cast<uint8_t>((index + 1) >> (8 * i));
    return id;
}

bool IsAnyReader(const DPFP_READER_ID& reader) {
    return std::all_of(std::begin(reader.bytes), std::end(reader.bytes), [](uint8_t b) { return b == 0; });
}

}  // namespace

DPFP_RESULT Simulator::Init() {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("DPFPInit");
    DPFP_RESULT result = readerSession_ ? DPFP_ALREADY_INITIALISED : DPFP_OK;
    if (settings_.init) result = settings_.init->Take();
    // 1 reports a session that is already there, so there is one afterwards.
    if (result == DPFP_OK || result == DPFP_ALREADY_INITIALISED) readerSession_ = true;
    return result;
}

void Simulator::Term() {
    std::unique_lock<std::mutex> lock(mutex_);
    Count("DPFPTerm");
    readerSession_ = false;
    EndAcquisitions(lock);
}

void Simulator::EndAcquisitions(std::unique_lock<std::mutex>& lock) {
    // Reserved first, so that nothing below can throw while threads are
    // half handed over: a joinable thread destroyed by unwinding would end the
    // process.
    std::vector<std::unique_ptr<Acquisition>> ending;
    ending.reserve(acquisitions_.size());
    for (auto& entry : acquisitions_) {
        entry.second->stopping = true;
        ending.push_back(std::move(entry.second));
    }
    acquisitions_.clear();
    // No thread posts once it has seen `stopping`, so nobody can be handed
    // these any more.
    samples_.clear();
    deviceLists_.clear();
    lock.unlock();
    wake_.notify_all();
    for (const auto& acquisition : ending) {
        if (!acquisition->thread.joinable()) continue;
        acquisition->thread.join();
        std::lock_guard<std::mutex> relock(mutex_);
        --runningThreads_;
    }
}

DPFP_RESULT Simulator::EnumerateDevices(uint32_t* count, DPFP_READER_ID** readers) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("DPFPEnumerateDevices");
    if (count == nullptr || readers == nullptr) return kApiNullPointer;
    *count = 0;
    *readers = nullptr;
    if (!readerSession_) return kApiNotReady;
    if (const DPFP_RESULT scripted = settings_.enumerate.Take()) return scripted;
    if (settings_.devices.empty()) return DPFP_OK;
    auto list = std::make_unique<std::vector<DPFP_READER_ID>>();
    for (size_t i = 0; i < settings_.devices.size(); ++i) list->push_back(ReaderId(i));
    *readers = list->data();
    *count = static_cast<uint32_t>(list->size());
    deviceLists_.push_back(std::move(list));
    return DPFP_OK;
}

int Simulator::FindDeviceLocked(const DPFP_READER_ID& reader) const {
    for (size_t i = 0; i < settings_.devices.size(); ++i) {
        if (std::memcmp(ReaderId(i).bytes, reader.bytes, sizeof reader.bytes) == 0) return static_cast<int>(i);
    }
    return -1;
}

DPFP_RESULT Simulator::GetDeviceInfo(const DPFP_READER_ID* reader, DPFP_DEVICE_INFO* info) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("DPFPGetDeviceInfo");
    if (reader == nullptr || info == nullptr) return kApiNullPointer;
    if (!readerSession_) return kApiNotReady;
    if (const DPFP_RESULT scripted = settings_.deviceInfo.Take()) return scripted;
    const int index = FindDeviceLocked(*reader);
    if (index < 0) return kApiUnknownReader;

    // A serial as long as the field or longer fills it without a terminator.
    const std::string& serial = settings_.devices[static_cast<size_t>(index)];
    *info = DPFP_DEVICE_INFO{};
    const size_t units = std::min(serial.size(), size_t{DPFP_DEVICE_SERIAL_UNITS});
    for (size_t i = 0; i < units; ++i) info->serialNumber[i] = static_cast<uint8_t>(serial[i]);
    return DPFP_OK;
}

DPFP_RESULT Simulator::CreateAcquisition(int32_t priority, const DPFP_READER_ID* reader, uint32_t dataTypes,
                                         void* window, uint32_t message, DPFP_ACQUISITION* acquisition) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("DPFPCreateAcquisition");
    lastCall_.acquisitionPriority = priority;
    lastCall_.acquisitionDataTypes = dataTypes;
    lastCall_.acquisitionMessage = message;
    lastCall_.acquisitionAnyReader = reader != nullptr && IsAnyReader(*reader) ? 1 : 0;
    lastCall_.acquisitionWindow = window;
    if (reader == nullptr || acquisition == nullptr) return kApiNullPointer;
    *acquisition = 0;
    if (!readerSession_) return kApiNotReady;
    if (const DPFP_RESULT scripted = settings_.create.Take()) return scripted;
    if (window == nullptr) return kApiInvalidArgument;
    if (!IsAnyReader(*reader) && FindDeviceLocked(*reader) < 0) return kApiUnknownReader;
    // Any reader, and none is attached.
    if (IsAnyReader(*reader) && settings_.devices.empty()) return kApiUnknownReader;

    auto created = std::make_unique<Acquisition>();
    created->window = window;
    created->message = message;
    const uint64_t handle = NewHandleLocked();
    acquisitions_.emplace(handle, std::move(created));
    *acquisition = handle;
    return DPFP_OK;
}

DPFP_RESULT Simulator::StartAcquisition(DPFP_ACQUISITION handle) {
    std::unique_lock<std::mutex> lock(mutex_);
    Count("DPFPStartAcquisition");
    const auto found = acquisitions_.find(handle);
    if (found == acquisitions_.end()) return kApiInvalidArgument;
    if (const DPFP_RESULT scripted = settings_.start.Take()) return scripted;
    Acquisition& acquisition = *found->second;
    if (acquisition.started) return kApiBusy;
    acquisition.started = true;

    // The plan is fixed now; the fingers are taken as the samples are made.
    const std::vector<ScriptedEvent>& events = settings_.events;
    const auto paused = std::find_if(events.begin(), events.end(), [](const ScriptedEvent& e) { return !e.atOnce; });
    std::vector<PostedEvent> atOnce;
    for (auto event = events.begin(); event != paused; ++event) {
        atOnce.push_back(EventLocked(acquisition, *event));
        atOnce.back().waitForWindow = true;
    }
    std::vector<ScriptedEvent> plan(paused, events.end());
    const uint32_t defaultDelayMs = settings_.delayMs;

    // Handed over without the lock: the window takes them at once, and its
    // handlers call into the simulator.
    lock.unlock();
    for (const PostedEvent& event : atOnce) sink_(event);
    lock.lock();

    // DPFPTerm may have ended the acquisition meanwhile.
    const auto still = acquisitions_.find(handle);
    if (still != acquisitions_.end() && !plan.empty()) {
        Acquisition& running = *still->second;
        running.plan = std::move(plan);
        running.defaultDelayMs = defaultDelayMs;
        running.thread = std::thread([this, &running] { RunAcquisition(running); });
        ++runningThreads_;
    }
    return DPFP_OK;
}

void Simulator::RunAcquisition(Acquisition& acquisition) {
    try {
        std::unique_lock<std::mutex> lock(mutex_);
        for (size_t next = 0;; next = (next + 1) % acquisition.plan.size()) {
            const ScriptedEvent& event = acquisition.plan[next];
            if (event.type == ScriptedEvent::Type::kHold) return;
            const std::chrono::milliseconds delay(event.delayMs.value_or(acquisition.defaultDelayMs));
            // Waking on `stopping` rather than sleeping lets DPFPTerm end an
            // acquisition promptly in the middle of a long delay.
            if (wake_.wait_for(lock, delay, [&] { return acquisition.stopping; })) return;
            PostLocked(acquisition, event);
        }
    } catch (...) {
        // Out of memory or a failing clock: the acquisition ends quietly, and
        // DPFPTerm still joins its thread.
    }
}

void Simulator::PostLocked(const Acquisition& acquisition, const ScriptedEvent& event) {
    const bool withSample = event.type == ScriptedEvent::Type::kSample || event.type == ScriptedEvent::Type::kNoData;
    // A sample nobody received would only pile up until DPFPTerm.
    if (!sink_(EventLocked(acquisition, event)) && withSample) samples_.pop_back();
}

PostedEvent Simulator::EventLocked(const Acquisition& acquisition, const ScriptedEvent& event) {
    PostedEvent posted;
    posted.window = acquisition.window;
    posted.message = acquisition.message;
    posted.kind = event.kind;
    posted.data = event.data;
    if (event.type == ScriptedEvent::Type::kCancel) {
        posted.message = kCommandMessage;
        posted.kind = kCancelButton;
        return posted;
    }
    const bool withSample = event.type == ScriptedEvent::Type::kSample || event.type == ScriptedEvent::Type::kNoData;
    if (withSample) {
        NewSampleLocked(event.type == ScriptedEvent::Type::kSample);
        posted.data = reinterpret_cast<intptr_t>(&samples_.back()->record);
    }
    return posted;
}

void Simulator::NewSampleLocked(bool withData) {
    auto sample = std::make_unique<Sample>();
    if (withData) {
        const auto finger = static_cast<uint8_t>(settings_.finger.Take());
        sample->data = MakeSample({finger, settings_.session, ++samplesMade_});
        sample->record.size = static_cast<uint32_t>(sample->data.size());
        sample->record.data = sample->data.data();
    }
    samples_.push_back(std::move(sample));
}

const Simulator::Sample* Simulator::FindSampleLocked(const uint8_t* data) const {
    if (data == nullptr) return nullptr;
    for (const auto& sample : samples_) {
        if (sample->data.data() == data) return sample.get();
    }
    return nullptr;
}

const simsdk::GreyImage& Simulator::PrintOf(uint8_t finger) {
    auto found = prints_.find(finger);
    if (found == prints_.end()) found = prints_.emplace(finger, simsdk::RenderFingerprint(finger, 1.0)).first;
    return found->second;
}

DPFP_RESULT Simulator::ConvertSampleToBitmap(const DPFP_SAMPLE* sample, uint8_t* buffer, uint32_t* size) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("DPFPConvertSampleToBitmap");
    if (sample == nullptr || size == nullptr) return kApiNullPointer;
    if (const DPFP_RESULT scripted = settings_.bitmap.Take()) return scripted;
    const auto facts = ReadSample(sample->data, sample->size);
    if (!facts) return kApiInvalidArgument;
    const simsdk::GreyImage& print = PrintOf(facts->finger);
    const uint32_t needed = BitmapSize(print);
    if (buffer != nullptr && *size < needed) {
        *size = needed;
        return kApiBufferTooSmall;
    }
    *size = needed;
    if (buffer != nullptr) WriteBitmap(print, buffer);
    return DPFP_OK;
}

}  // namespace dpfpsim
