#include "dpfp_acquisition.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bio_status.h"
#include "debug_trace.h"
#include "dpfp_failures.h"
#include "dpfp_session.h"
#include "failure.h"
#include "plog/Log.h"
#include "unique_handles_win32.h"

namespace {

// A bitmap larger than this is no reader's image.
constexpr uint32_t kMaxBitmapBytes = 16u << 20;
constexpr int kMaxImageSide = 8192;

BioTask* TaskOf(HWND window) { return reinterpret_cast<BioTask*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

// What every acquisition event does alike.
void CommonEvent(BioTask* task, WPARAM kind) {
    if (kind == DPFP_EVENT_FINGER_TOUCHED) ShowPrompt(task, "Finger touched");
    if (kind == DPFP_EVENT_STOPPED) PostFinish(task);
}

void AcquisitionEvent(BioTask* task, UINT message, WPARAM kind, LPARAM data) {
    // Events of another operation's acquisition, or of a run that is over,
    // have nothing left to act on.
    if (!task || task->finished || static_cast<int32_t>(message) != task->operation) return;
    CommonEvent(task, kind);
    if (message == kOpEnroll) {
        EnrollmentEvent(task, kind, data);
    } else {
        LiveCaptureEvent(task, kind, data);
    }
}

void Cancel(BioTask* task) {
    BioDebugLog("%s -> User Cancelled operation.\n", kDpfpModuleName);
    // The worker may still be writing the status: the cancel is recorded
    // here and reported once the worker is done.
    if (task && !task->finished.exchange(true)) task->cancelled = true;
    PumpFlag().store(0);
    PLOGE << "User Cancelled Operation";
}

// A device-independent bitmap as the SDK hands it: header, palette, pixels.
// Every size in it is checked against the bytes there are.
struct DibLayout {
    const BITMAPINFO* info = nullptr;
    const uint8_t* pixels = nullptr;
    size_t pixelBytes = 0;
};

bool ReadDib(const std::vector<uint8_t>& buffer, DibLayout* out) {
    if (buffer.size() < sizeof(BITMAPINFOHEADER)) return false;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(buffer.data());
    if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biSize > buffer.size() || header->biWidth <= 0 ||
        header->biWidth > kMaxImageSide || header->biHeight == 0 || header->biHeight > kMaxImageSide ||
        header->biHeight < -kMaxImageSide || header->biPlanes != 1 || header->biClrUsed > 256 ||
        (header->biBitCount != 8 && header->biBitCount != 24)) {
        return false;
    }
    const size_t offset = header->biSize + static_cast<size_t>(header->biClrUsed) * sizeof(RGBQUAD);
    if (offset > buffer.size() || header->biSizeImage > buffer.size() - offset) return false;
    out->info = reinterpret_cast<const BITMAPINFO*>(buffer.data());
    out->pixels = buffer.data() + offset;
    out->pixelBytes = header->biSizeImage;
    return true;
}

}  // namespace

namespace {

LRESULT HandleMessage(BioTask* task, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kOpEnroll || message == kOpVerifyServer) {
        AcquisitionEvent(task, message, wParam, lParam);
        return 0;
    }
    if (message == kFinishMessage) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        PumpFlag().store(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_COMMAND && LOWORD(wParam) == kCancelButtonId) {
        Cancel(task);
        return 1;
    }
    // Closed from outside while the run is live: a cancel. The frame stays
    // until the run's end destroys it, as after "Cancelar".
    if (ClosesFromOutside(message, wParam) && task && !task->finished) {
        Cancel(task);
        WakeMessageLoop();
        if (message == WM_CLOSE) return 0;
    }
    return CaptureWindowDefaults(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK BioProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BioTask* task = TaskOf(window);
    BioDebugLog("message = %d\n", static_cast<int>(message));
    // An exception must not cross the system's frames back to the loop.
    const auto failedInside = [task]() -> LRESULT {
        if (task && !task->finished) {
            FailInside(task->status);
            PLOGE_AS("BioProc") << "msg=" << task->status->message;
            PostFinish(task);
        }
        return 0;
    };
    return CatchAll(failedInside, [&] { return HandleMessage(task, window, message, wParam, lParam); });
}

void RunAcquisition(BioTask* task, CaptureWorker worker, bool bringForward) {
    CaptureRun run(kDpfpModuleName, task->window, worker, task);
    if (!run.started()) {
        Fail<kDpfpWorkerNotStarted>(task->status);
    }
    if (run.frame()) {
        SetWindowLongPtrA(run.frame(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(task));
        if (bringForward) {
            SetForegroundWindow(run.frame());
            BringWindowToTop(run.frame());
        }
    }
    run.run();
    // A worker whose acquisition did not start says so only now that it is
    // done, unless the reader reported a failure first: that one stands.
    if (const int32_t failed = task->startFailure; failed != 0 && task->status->success) {
        char text[kResultTextSize];
        GetResultText(failed, text);
        Fail<kDpfpAcquisitionNotStarted>(task->status, failed, text);
    }
    if (task->cancelled) {
        task->status->success = false;
        task->status->error = kDpfpCancelledError;
    }
    // Whatever is still queued for the frame finds no task.
    task->finished = true;
    if (run.frame()) SetWindowLongPtrA(run.frame(), GWLP_USERDATA, 0);
}

DPFP_RESULT CreateAcquisition(BioTask* task, DPFP_ACQUISITION* acquisition) {
    const DPFP_READER_ID anyReader{};
    return DPFPCreateAcquisition(DPFP_PRIORITY_STANDARD, &anyReader, DPFP_DATA_TYPE_SAMPLE, task->window->frame,
                                 static_cast<uint32_t>(task->operation), acquisition);
}

void PostFinish(BioTask* task) {
    task->finished = true;
    if (task->window->frame) PostMessageA(task->window->frame, kFinishMessage, 0, 0);
}

void EndOnReaderError(BioTask* task, LPARAM code) {
    const auto error = static_cast<int32_t>(code);
    char text[kResultTextSize];
    GetResultText(error, text);
    Fail<kDpfpReaderError>(task->status, error, text);
    PostFinish(task);
}

void ShowPrompt(const BioTask* task, const char* text) {
    if (task->window->prompt) SetWindowTextA(task->window->prompt, text);
}

void DisplayFingerprintImage(const DPFP_SAMPLE* sample, BioTask* task) {
    PLOGD << "Begin";
    uint32_t size = 0;
    DPFPConvertSampleToBitmap(sample, nullptr, &size);
    if (size > 0 && size <= kMaxBitmapBytes) {
        std::vector<uint8_t> buffer(size);
        DibLayout dib;
        HWND frame = task->window->frame;
        if (DPFPConvertSampleToBitmap(sample, buffer.data(), &size) >= 0 && size <= buffer.size() &&
            ReadDib(buffer, &dib) && frame) {
            win32::WindowDc target(frame);
            void* bits = nullptr;
            win32::UniqueBitmap section(
                target ? CreateDIBSection(target.get(), dib.info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr);
            BITMAP shape{};
            if (section && bits && GetObjectA(section.get(), sizeof shape, &shape)) {
                const size_t room = static_cast<size_t>(shape.bmWidthBytes) * static_cast<size_t>(shape.bmHeight);
                std::memcpy(bits, dib.pixels, std::min(room, dib.pixelBytes));
                win32::UniqueMemoryDc memory(CreateCompatibleDC(target.get()));
                if (memory) {
                    win32::Selection selected(memory.get(), section.get());
                    BitBlt(target.get(), 180, 0, 320, 450, memory.get(), 0, 0, SRCCOPY);
                }
            }
        }
    }
    PLOGD << "End";
}

std::vector<uint8_t> MakeDisplayImage(BioTask* task, const DPFP_SAMPLE* sample) {
    RECT pane{};
    if (task->window->image) GetWindowRect(task->window->image, &pane);
    const int width = pane.right - pane.left, height = pane.bottom - pane.top;
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return {};
    const int32_t rowBytes = ((width * 8 + 31) / 32) * 4;
    // Room for a bitmap header and palette stays free after the rows.
    std::vector<uint8_t> image(static_cast<size_t>(rowBytes) * static_cast<size_t>(height) + 1064);
    task->imageWidth = rowBytes;
    task->imageHeight = height;
    const int32_t size[2] = {rowBytes, height};
    FX_getDisplayImage(task->extraction, sample->data, size, 0, 256, image.data());
    return image;
}
