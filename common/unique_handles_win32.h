// Owning handles of the Win32 objects the project makes: windows, device
// contexts, GDI objects, kernel handles (threads, processes, files) and
// Internet handles. Each releases its object with the one call that releases
// it, on every path, and cannot be copied.
#pragma once

// clang-format off
#include <windows.h>
#include <wininet.h>
// clang-format on

#include <memory>
#include <type_traits>

namespace win32 {

template <auto Release>
struct Releaser {
    template <class Handle>
    void operator()(Handle handle) const {
        Release(handle);
    }
};

template <class Handle, auto Release>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, Releaser<Release>>;

using UniqueWindow = UniqueHandle<HWND, DestroyWindow>;
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDC>;
template <class GdiObject>
using UniqueGdiObject = UniqueHandle<GdiObject, DeleteObject>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueInternet = UniqueHandle<HINTERNET, InternetCloseHandle>;

// Threads, processes, events: handles that are null when there is none.
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandle>;

// A file handle: CreateFile reports failure as INVALID_HANDLE_VALUE, which
// this takes for "none" as well.
class UniqueFile {
public:
    explicit UniqueFile(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle == nullptr ? INVALID_HANDLE_VALUE : handle) {}
    ~UniqueFile() {
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;
    explicit operator bool() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// A window's display context from GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowDc() {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    explicit operator bool() const { return m_dc != nullptr; }
    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a context for one scope and puts the previous one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~Selection() {
        if (m_previous && m_previous != HGDI_ERROR) SelectObject(m_dc, m_previous);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace win32
