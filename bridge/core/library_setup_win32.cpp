#include "library_setup.h"

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "capture_window.h"
#include "debug_trace.h"
#include "failure.h"
#include "module_name.h"
#include "plog/Init.h"
#include "template_codec.h"

namespace {

HMODULE g_module = nullptr;
const BridgeTraits* g_traits = nullptr;

constexpr char kLogFileName[] = "kavro_biometria.log";

std::wstring AnsiToWide(const std::string& text) {
    const int chars = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), chars);
    wide.resize(static_cast<size_t>(chars - 1));
    return wide;
}

// The operation log's appender. Its folder comes from the shell, which has no
// business under the loader lock (it may load libraries and wait on other
// threads): so the file's name is found at the first record, not at load. A
// name that cannot be had yet is looked for again at the next record.
class OperationLogAppender : public plog::IAppender {
public:
    void write(const plog::Record& record) noexcept override {
        File* file = m_file.load(std::memory_order_acquire);
        if (!file) file = open();
        if (file) file->write(record);
    }

private:
    using File = plog::RollingFileAppender<plog::TxtFormatter, plog::UTF8Converter>;

    File* open() noexcept {
        try {
            std::lock_guard<std::mutex> lock(m_opening);
            if (!m_owned) m_owned = std::make_unique<File>(AnsiToWide(OperationLogPath()).c_str(), 0, 0);
            m_file.store(m_owned.get(), std::memory_order_release);
            return m_owned.get();
        } catch (...) {
            return nullptr;
        }
    }

    std::mutex m_opening;
    std::unique_ptr<File> m_owned;
    std::atomic<File*> m_file{nullptr};
};

void InitOperationLog() {
    static OperationLogAppender appender;
    plog::init<0>(plog::debug, &appender);
}

void Attach(HMODULE module, const BridgeTraits& traits) {
    g_module = module;
    g_traits = &traits;
    InstallClientFaces(&traits.faces);
    RegisterCaptureWindowClass(module, traits.windowProcedure);
    CodecAllocateBuffers();
    // Kept aside so that a failure still reaches its caller as text when memory runs out.
    ReserveFailureText();
    AllocateModuleName();
    InitOperationLog();
}

void Detach() {
    // The class goes with the library in either case: left behind, it would
    // point at a window procedure that is no longer mapped.
    UnregisterCaptureWindowClass(g_module);
    if (!g_traits || !g_traits->releaseAtUnload) return;
    CodecReleaseBuffers();
    CloseDebugTrace();
    ReleaseModuleName();
    ReleaseCaptureWindowBrush();
}

}  // namespace

BOOL BridgeDllMain(HINSTANCE module, DWORD reason, const BridgeTraits& traits) {
    if (reason == DLL_PROCESS_ATTACH) {
        Attach(module, traits);
    } else if (reason == DLL_PROCESS_DETACH) {
        Detach();
    }
    return TRUE;
}

std::string OperationLogPath() {
    char folder[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return std::string(folder) + "\\" + kLogFileName;
    }
    return kLogFileName;
}
