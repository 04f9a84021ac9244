// Owning handles of the Win32 objects the project makes: windows, device
// contexts, GDI objects, kernel handles (threads, processes, files, mappings)
// and Internet handles. Each releases its object with the one call that releases
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
using UniqueOf = std::unique_ptr<std::remove_pointer_t<Handle>, Releaser<Release>>;

using UniqueWindow = UniqueOf<HWND, DestroyWindow>;
using UniqueMemoryDc = UniqueOf<HDC, DeleteDC>;
template <class GdiObject>
using UniqueGdiObject = UniqueOf<GdiObject, DeleteObject>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueInternet = UniqueOf<HINTERNET, InternetCloseHandle>;

// A kernel handle: thread, process, event, file, mapping. The functions that
// make them report failure as null or as INVALID_HANDLE_VALUE; both stand for
// none here.
class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE handle = nullptr) : m_handle(Owned(handle)) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    HANDLE release() {
        HANDLE handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    void reset(HANDLE handle = nullptr) {
        if (m_handle) CloseHandle(m_handle);
        m_handle = Owned(handle);
    }

private:
    static HANDLE Owned(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
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
