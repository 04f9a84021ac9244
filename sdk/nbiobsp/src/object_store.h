// Everything the simulated SDK hands out: instances with their reader, FIR
// handles, text FIRs and FDx export records, each owned here until the caller
// releases it or its instance ends.
//
// The counters count objects handed out and not yet released by their own
// release function. Ending an instance frees what it still held but does not
// lower the counters: tests use them to prove that the caller released each
// object itself. Not thread-safe; the simulator guards it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "NBioSim.h"
#include "finger_template.h"

namespace nbiosim {

class ObjectStore {
public:
    NBioAPI_HANDLE AddInstance();
    bool HasInstance(NBioAPI_HANDLE handle) const;
    void RemoveInstance(NBioAPI_HANDLE handle);

    // Opening an open reader again changes nothing. Closing reports whether it was open.
    void OpenDevice(NBioAPI_HANDLE handle);
    bool IsDeviceOpen(NBioAPI_HANDLE handle) const;
    bool CloseDevice(NBioAPI_HANDLE handle);

    NBioAPI_FIR_HANDLE AddFir(NBioAPI_HANDLE owner, FingerTemplate tmpl);
    // Null unless `fir` exists and belongs to `owner`.
    const FingerTemplate* FindFir(NBioAPI_HANDLE owner, NBioAPI_FIR_HANDLE fir) const;
    bool RemoveFir(NBioAPI_HANDLE owner, NBioAPI_FIR_HANDLE fir);

    // A NUL-terminated copy of `text`, valid until RemoveText or the instance ends.
    char* AddText(NBioAPI_HANDLE owner, const std::string& text);
    bool RemoveText(NBioAPI_HANDLE owner, const char* text);

    // Fills `record` with one finger of one sample holding `bytes`.
    void AddExport(NBioAPI_HANDLE owner, uint8_t finger, int32_t formatType, std::vector<uint8_t> bytes,
                   NBioAPI_EXPORT_DATA& record);
    bool RemoveExport(NBioAPI_HANDLE owner, const NBioAPI_FINGER_DATA* fingerData);

    NBioSimCounters Counters() const { return counters_; }

    // Drops every object and zeroes the counters. Identifiers keep counting,
    // so a handle from before never becomes valid again.
    void Clear();

private:
    struct Instance {
        bool deviceOpen = false;
    };
    struct Fir {
        NBioAPI_HANDLE owner;
        FingerTemplate tmpl;
    };
    struct Text {
        NBioAPI_HANDLE owner;
        std::unique_ptr<char[]> chars;
    };
    // The caller's record points into this; it lives on the heap so that the
    // pointers stay put while the map changes.
    struct Export {
        NBioAPI_HANDLE owner = 0;
        std::vector<uint8_t> bytes;
        NBioAPI_TEMPLATE_DATA sample{};
        NBioAPI_FINGER_DATA finger{};
    };

    std::map<NBioAPI_HANDLE, Instance> instances_;
    std::map<NBioAPI_FIR_HANDLE, Fir> firs_;
    std::map<const char*, Text> texts_;
    std::map<const NBioAPI_FINGER_DATA*, std::unique_ptr<Export>> exports_;
    NBioSimCounters counters_{};
    // Separate number ranges, so a FIR handle never passes for an instance.
    NBioAPI_HANDLE nextInstance_ = 0x4E420001;
    NBioAPI_FIR_HANDLE nextFir_ = 0x00F10001;
};

}  // namespace nbiosim
