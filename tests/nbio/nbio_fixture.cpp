#include "nbio_fixture.h"

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
}  // namespace

int LiveGdiObjects() {
    int live = 0;
    for (ULONG_PTR index = 0x20; index < 0x10000; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
    }
    return live;
}

int LiveWindows() {
    int live = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&live));
    return live;
}

CaptureWindowProbe::CaptureWindowProbe(bool pressCancel) : m_pressCancel(pressCancel) {
    g_probe = this;
    m_hook = SetWindowsHookExA(WH_GETMESSAGE, Hook, nullptr, GetCurrentThreadId());
}

CaptureWindowProbe::~CaptureWindowProbe() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    g_probe = nullptr;
}

LRESULT CALLBACK CaptureWindowProbe::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && g_probe) {
        HWND frame = FindWindowA("BioProc", "KAVRO - Biometria");
        if (frame && frame != g_probe->m_current) g_probe->look(frame);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CaptureWindowProbe::look(HWND frame) {
    m_current = frame;
    ++m_windowsSeen;
    m_last = Seen{};
    GetWindowRect(frame, &m_last.frame);
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
        m_last.children.push_back(c);
    }
    if (m_pressCancel && cancel) PostMessageA(cancel, BM_CLICK, 0, 0);
}
