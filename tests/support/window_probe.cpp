#include "window_probe.h"

#include <shlobj.h>

#include <fstream>
#include <iterator>


namespace {
CaptureWindowProbe* g_probe = nullptr;

std::string WindowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}
BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<int*>(count);
        EnumChildWindows(window, CountChild, count);
    }
    return TRUE;
}

// The prompt line: of the capture window's two 430-pixel lines, the one that
// does not show the version.
bool IsPromptLine(HWND window, const char* text) {
    HWND frame = GetParent(window);
    char className[16] = {};
    if (!frame || !GetClassNameA(frame, className, sizeof className) || std::string(className) != "BioProc") {
        return false;
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.right - rect.left == 430 && std::string(text).rfind("BIO Version: ", 0) != 0;
}
// Pixels that are not white over the image pane's area of the frame, one in
// every eight by eight.
int InkOverImagePane(HWND frame) {
    HDC dc = GetDC(frame);
    int ink = 0;
    for (int y = 0; y < 450; y += 8) {
        for (int x = 180; x < 500; x += 8) {
            if (GetPixel(dc, x, y) != RGB(255, 255, 255)) ++ink;
        }
    }
    ReleaseDC(frame, dc);
    return ink;
}

}  // namespace

GdiCount LiveGdiObjects() {
    GdiCount live;
    for (ULONG_PTR index = 0x20; index < 0x10000; ++index) {
        const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(index));
        if (type == OBJ_DC || type == OBJ_REGION) {
            ++live.cachedDcs;
        } else if (type != 0) {
            ++live.objects;
        }
    }
    return live;
}

bool SameGdiObjects(const GdiCount& before, const GdiCount& after) {
    // A DC and its clip region for each of a few spare cache entries.
    constexpr int kCacheSlack = 2 * 4;
    return after.objects == before.objects && after.cachedDcs <= before.cachedDcs + kCacheSlack;
}

std::string OperationLogPath() {
    char profile[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile);
    return std::string(profile) + "\\kavro_biometria.log";
}

size_t OperationLogSize() {
    std::ifstream in(OperationLogPath(), std::ios::binary | std::ios::ate);
    return in ? static_cast<size_t>(in.tellg()) : 0;
}

std::string OperationLogSince(size_t size) {
    std::ifstream in(OperationLogPath(), std::ios::binary);
    if (!in.seekg(static_cast<std::streamoff>(size))) return std::string();
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int LiveWindows() {
    int live = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&live));
    return live;
}

CaptureWindowProbe::CaptureWindowProbe(Action action) : m_action(action) {
    g_probe = this;
    m_hook = SetWindowsHookExA(WH_GETMESSAGE, Hook, nullptr, GetCurrentThreadId());
    m_destruction = SetWindowsHookExA(WH_CBT, Destruction, nullptr, GetCurrentThreadId());
    m_texts = SetWindowsHookExA(WH_CALLWNDPROC, Texts, nullptr, GetCurrentThreadId());
}

CaptureWindowProbe::~CaptureWindowProbe() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    if (m_destruction) UnhookWindowsHookEx(m_destruction);
    if (m_texts) UnhookWindowsHookEx(m_texts);
    if (m_sender.joinable()) m_sender.join();
    g_probe = nullptr;
}

LRESULT CALLBACK CaptureWindowProbe::Texts(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code >= 0 && g_probe && call->message == WM_SETTEXT && call->lParam &&
        IsPromptLine(call->hwnd, reinterpret_cast<const char*>(call->lParam))) {
        const std::string text = reinterpret_cast<const char*>(call->lParam);
        if (g_probe->m_prompts.empty() || g_probe->m_prompts.back() != text) g_probe->m_prompts.push_back(text);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CaptureWindowProbe::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && g_probe) {
        HWND frame = FindWindowA("BioProc", "KAVRO - Biometria");
        if (frame && frame != g_probe->m_current) g_probe->look(frame);
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        if (message->message == kFinishMessage && message->hwnd == g_probe->m_current) {
            g_probe->m_last.inkAtFinish = InkOverImagePane(g_probe->m_current);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CaptureWindowProbe::Destruction(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND && g_probe && reinterpret_cast<HWND>(wParam) == g_probe->m_current) {
        g_probe->m_last.destroyedAt = GetTickCount64();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CaptureWindowProbe::look(HWND frame) {
    m_current = frame;
    ++m_windowsSeen;
    m_last = Seen{};
    m_last.frame = frame;
    GetWindowRect(frame, &m_last.rect);
    m_last.style = GetWindowLongA(frame, GWL_STYLE);
    m_last.exStyle = GetWindowLongA(frame, GWL_EXSTYLE);
    m_last.title = WindowText(frame);
    HWND cancel = nullptr;
    for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Child c;
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        c.className = className;
        c.text = WindowText(child);
        GetWindowRect(child, &c.rect);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&c.rect), 2);
        c.id = GetDlgCtrlID(child);
        if (c.id == 2) cancel = child;
        if (c.rect.right - c.rect.left == 320) m_last.imagePane = child;
        m_last.children.push_back(c);
    }

    // The logo must survive a repaint of the whole frame.
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT client{};
    GetClientRect(frame, &client);
    const int centreX = (client.right - 320) / 2, centreY = client.bottom - 240;
    HDC dc = GetDC(frame);
    for (int y = centreY - 10; y < centreY + 10; ++y) {
        for (int x = centreX - 10; x < centreX + 10; ++x) {
            if (GetPixel(dc, x, y) != RGB(255, 255, 255)) ++m_last.logoPixels;
        }
    }
    m_last.corner = GetPixel(dc, 3, 3);
    ReleaseDC(frame, dc);

    act(frame, cancel);
}

void CaptureWindowProbe::act(HWND frame, HWND cancel) {
    if (m_action == Action::kNothing || m_sender.joinable()) return;
    m_last.clickedAt = GetTickCount64();
    switch (m_action) {
        case Action::kPressCancel:
            if (cancel) PostMessageA(cancel, BM_CLICK, 0, 0);
            break;
        case Action::kPostClose:
            PostMessageA(frame, WM_CLOSE, 0, 0);
            break;
        case Action::kSendClose:
            m_sender = std::thread([frame] { SendMessageA(frame, WM_CLOSE, 0, 0); });
            break;
        case Action::kEndSession:
            m_sender = std::thread([frame] {
                const LPARAM logoff = ENDSESSION_LOGOFF;
                const LRESULT agreed = SendMessageA(frame, WM_QUERYENDSESSION, 0, logoff);
                SendMessageA(frame, WM_ENDSESSION, agreed ? TRUE : FALSE, logoff);
            });
            break;
        case Action::kDestroy:
            DestroyWindow(frame);
            break;
        case Action::kQuit:
            PostQuitMessage(7);
            break;
        case Action::kNothing:
            break;
    }
}
