#include "object_store.h"

#include <cstring>

namespace nbiosim {
namespace {

template <typename Map>
void EraseOwnedBy(Map& map, NBioAPI_HANDLE owner) {
    for (auto it = map.begin(); it != map.end();) {
        it = it->second.owner == owner ? map.erase(it) : std::next(it);
    }
}

}  // namespace

NBioAPI_HANDLE ObjectStore::AddInstance() {
    const NBioAPI_HANDLE handle = nextInstance_++;
    instances_.emplace(handle, Instance{});
    ++counters_.instances;
    return handle;
}

bool ObjectStore::HasInstance(NBioAPI_HANDLE handle) const {
    return instances_.count(handle) != 0;
}

void ObjectStore::RemoveInstance(NBioAPI_HANDLE handle) {
    if (instances_.erase(handle) == 0) return;
    --counters_.instances;
    EraseOwnedBy(firs_, handle);
    EraseOwnedBy(texts_, handle);
    for (auto it = exports_.begin(); it != exports_.end();) {
        it = it->second->owner == handle ? exports_.erase(it) : std::next(it);
    }
}

void ObjectStore::OpenDevice(NBioAPI_HANDLE handle) {
    Instance& instance = instances_.at(handle);
    if (instance.deviceOpen) return;
    instance.deviceOpen = true;
    ++counters_.devices;
}

bool ObjectStore::IsDeviceOpen(NBioAPI_HANDLE handle) const {
    const auto it = instances_.find(handle);
    return it != instances_.end() && it->second.deviceOpen;
}

bool ObjectStore::CloseDevice(NBioAPI_HANDLE handle) {
    const auto it = instances_.find(handle);
    if (it == instances_.end() || !it->second.deviceOpen) return false;
    it->second.deviceOpen = false;
    --counters_.devices;
    return true;
}

NBioAPI_FIR_HANDLE ObjectStore::AddFir(NBioAPI_HANDLE owner, FingerTemplate tmpl) {
    const NBioAPI_FIR_HANDLE fir = nextFir_++;
    firs_.emplace(fir, Fir{owner, std::move(tmpl)});
    ++counters_.firHandles;
    return fir;
}

const FingerTemplate* ObjectStore::FindFir(NBioAPI_HANDLE owner, NBioAPI_FIR_HANDLE fir) const {
    const auto it = firs_.find(fir);
    return it != firs_.end() && it->second.owner == owner ? &it->second.tmpl : nullptr;
}

bool ObjectStore::RemoveFir(NBioAPI_HANDLE owner, NBioAPI_FIR_HANDLE fir) {
    if (FindFir(owner, fir) == nullptr) return false;
    firs_.erase(fir);
    --counters_.firHandles;
    return true;
}

char* ObjectStore::AddText(NBioAPI_HANDLE owner, const std::string& text) {
    auto chars = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(chars.get(), text.c_str(), text.size() + 1);
    char* const raw = chars.get();
    texts_.emplace(raw, Text{owner, std::move(chars)});
    ++counters_.textFirs;
    return raw;
}

bool ObjectStore::RemoveText(NBioAPI_HANDLE owner, const char* text) {
    const auto it = texts_.find(text);
    if (it == texts_.end() || it->second.owner != owner) return false;
    texts_.erase(it);
    --counters_.textFirs;
    return true;
}

void ObjectStore::AddExport(NBioAPI_HANDLE owner, uint8_t finger, int32_t formatType, std::vector<uint8_t> bytes,
                            NBioAPI_EXPORT_DATA& record) {
    auto stored = std::make_unique<Export>();
    stored->owner = owner;
    stored->bytes = std::move(bytes);
    stored->sample.Length = static_cast<uint32_t>(stored->bytes.size());
    stored->sample.Data = stored->bytes.data();
    stored->finger.FingerID = finger;
    stored->finger.Template = &stored->sample;

    NBioAPI_FINGER_DATA* const fingerData = &stored->finger;
    exports_.emplace(fingerData, std::move(stored));
    ++counters_.exports;

    record = NBioAPI_EXPORT_DATA{};
    record.Length = sizeof(NBioAPI_EXPORT_DATA);
    record.FormatType = formatType;
    record.FingerNum = 1;
    record.SamplesPerFinger = 1;
    record.FingerData = fingerData;
}

bool ObjectStore::RemoveExport(NBioAPI_HANDLE owner, const NBioAPI_FINGER_DATA* fingerData) {
    const auto it = exports_.find(fingerData);
    if (it == exports_.end() || it->second->owner != owner) return false;
    exports_.erase(it);
    --counters_.exports;
    return true;
}

void ObjectStore::Clear() {
    instances_.clear();
    firs_.clear();
    texts_.clear();
    exports_.clear();
    counters_ = NBioSimCounters{};
}

}  // namespace nbiosim
