#include "capture_window.h"

#include <cstdio>
#include <vector>

#include "file_version.h"
#include "operation_guard.h"
#include "plog/Log.h"
#include "unique_handles_win32.h"

namespace {

constexpr char kClassName[] = "BioProc";
constexpr char kTitle[] = "KAVRO - Biometria";
constexpr int kLogoResource = 105;
constexpr int kImagePaneWidth = 320;
constexpr int kImagePaneHeight = 480;

HBRUSH g_whiteBrush = nullptr;
// The library whose class is registered: its class, logo and version.
HMODULE g_module = nullptr;

HWND CreateChild(const char* className, const char* text, int x, int y, int width, int height, int id, HWND parent) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

void ShowVersion(HMODULE module, HWND versionLabel) {
    char fileName[MAX_PATH] = {};
    GetModuleFileNameA(module, fileName, MAX_PATH);
    char version[128] = {}, language[128] = {};
    ReadFileVersion(fileName, version, sizeof version, language, sizeof language);
    char text[128];
    std::snprintf(text, sizeof text, "BIO Version: %s", version);
    SetWindowTextA(versionLabel, text);
}

// Draws the logo into `target`, a context on the frame's client area: centred in
// the column left of the image pane, a little below the middle.
void DrawLogo(HMODULE module, HWND frame, HDC target) {
    RECT client{};
    GetClientRect(frame, &client);
    win32::UniqueBitmap logo(LoadBitmapA(module, MAKEINTRESOURCEA(kLogoResource)));
    if (!logo) return;
    BITMAP shape{};
    GetObjectA(logo.get(), sizeof shape, &shape);
    const int x = (client.right - kImagePaneWidth) / 2 - shape.bmWidth / 2;
    const int y = client.bottom - kImagePaneHeight / 2 - shape.bmHeight / 2;
    win32::UniqueMemoryDc memory(CreateCompatibleDC(target));
    if (!memory) return;
    win32::Selection selected(memory.get(), logo.get());
    BitBlt(target, x, y, shape.bmWidth, shape.bmHeight, memory.get(), 0, 0, SRCCOPY);
}

// At creation the logo goes through the logo holder's context (static controls
// draw on their parent's surface).
void DrawLogoAtCreation(HMODULE module, const BioWindow& w) {
    win32::WindowDc target(w.logo);
    if (target) DrawLogo(module, w.frame, target.get());
}

}  // namespace

void RegisterCaptureWindowClass(HMODULE module, WNDPROC procedure) {
    WNDCLASSA windowClass{};
    // No CS_GLOBALCLASS: the class belongs to this library's module, so a
    // second bridge in the process registers its own under the same name.
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    g_module = module;
    windowClass.hInstance = module;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) {
        const DWORD error = GetLastError();
        PLOGE << "RegisterClassA(\"" << kClassName << "\") failed, system error " << error;
    }
    g_whiteBrush = CreateSolidBrush(RGB(255, 255, 255));
}

void UnregisterCaptureWindowClass(HMODULE module) { UnregisterClassA(kClassName, module); }

void ReleaseCaptureWindowBrush() {
    if (g_whiteBrush) DeleteObject(g_whiteBrush);
    g_whiteBrush = nullptr;
}

HWND CreateCaptureWindow(const char* moduleName, BioWindow* window) {
    *window = BioWindow{};
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // The library's own class is found by its module.
    HWND frame = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, kClassName, kTitle,
                                 WS_POPUP | WS_VISIBLE | WS_BORDER, screenWidth / 2 - 250, screenHeight / 2 - 250, 500,
                                 500, nullptr, nullptr, g_module, nullptr);
    if (!frame) {
        const DWORD error = GetLastError();
        PLOGE << "CreateWindowExA(\"" << kClassName << "\") failed, system error " << error;
        return nullptr;
    }
    SetWindowPos(frame, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);

    BioWindow w{};
    w.frame = frame;
    w.logo = CreateChild("STATIC", nullptr, 0, 0, 1, 1, 0, frame);
    w.version = CreateChild("STATIC", nullptr, 0, 460, 430, 20, 0, frame);
    w.prompt = CreateChild("STATIC", nullptr, 0, 480, 430, 20, 0, frame);
    w.image = CreateChild("STATIC", nullptr, 180, 0, kImagePaneWidth, kImagePaneHeight, 0, frame);
    w.cancel = CreateChild("BUTTON", "Cancelar", 430, 480, 70, 20, kCancelButtonId, frame);

    ShowWindow(w.cancel, SW_SHOW);
    BringWindowToTop(w.cancel);
    ShowWindow(frame, SW_SHOW);
    SetForegroundWindow(frame);
    BringWindowToTop(frame);
    SetActiveWindow(frame);
    SetFocus(frame);
    SetActiveWindow(frame);
    *window = w;

    // The library goes by its module name; loaded under another file name it is
    // still its own module, never the host program.
    HMODULE module = GetModuleHandleA(moduleName);
    if (!module) module = g_module;
    ShowVersion(module, w.version);
    DrawLogoAtCreation(module, w);
    ShowWindow(w.cancel, SW_SHOW);
    ShowWindow(w.logo, SW_SHOW);
    return frame;
}

std::optional<int> RunMessageLoop() {
    const MessageLoopScope loop;
    MSG message;
    while (PumpFlag().load() != 0) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return std::nullopt;
}

bool ClosesFromOutside(UINT message, WPARAM wParam) {
    return message == WM_CLOSE || message == WM_QUERYENDSESSION || (message == WM_ENDSESSION && wParam != 0) ||
           message == WM_DESTROY;
}

void WakeMessageLoop() { PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0); }

LRESULT CaptureWindowDefaults(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(g_whiteBrush);
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc) DrawLogo(g_module, window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void DrawImage(HWND window, int width, int height, const unsigned char* pixels) {
    if (!window || !pixels || width <= 0 || height <= 0) return;
    struct GreyBitmapInfo {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;  // rows top-down, as the reader delivers them
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        const BYTE grey = static_cast<BYTE>(i);
        info.colours[i] = RGBQUAD{grey, grey, grey, 0};
    }
    // DIB rows are padded to four bytes.
    const int stride = (width + 3) & ~3;
    std::vector<unsigned char> rows(static_cast<size_t>(stride) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::copy(pixels + static_cast<size_t>(y) * width, pixels + static_cast<size_t>(y + 1) * width,
                  rows.begin() + static_cast<ptrdiff_t>(y) * stride);
    }

    win32::WindowDc dc(window);
    if (!dc) return;
    SetDIBitsToDevice(dc.get(), 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), rows.data(), reinterpret_cast<const BITMAPINFO*>(&info),
                      DIB_RGB_COLORS);
}
