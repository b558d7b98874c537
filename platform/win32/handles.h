// The system's handles, each with the one function that gives it back.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

#include "platform/unique_handle.h"

namespace corvale::win32 {

namespace traits {

struct Window {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { DestroyWindow(h); }
};

// A DC of our own making (CreateCompatibleDC).
struct MemoryDC {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { DeleteDC(h); }
};

// A DC borrowed from a window (GetDC): ReleaseDC needs the window too.
struct WindowDCHandle {
    HWND window = nullptr;
    HDC dc = nullptr;
    friend bool operator==(const WindowDCHandle&, const WindowDCHandle&) = default;
};
struct WindowDC {
    using Handle = WindowDCHandle;
    static Handle Invalid() { return {}; }
    static void Release(Handle h) { ReleaseDC(h.window, h.dc); }
};

// A DC for one WM_PAINT (BeginPaint): EndPaint needs the whole PAINTSTRUCT.
struct PaintDCHandle {
    HWND window = nullptr;
    PAINTSTRUCT paint{};
    friend bool operator==(const PaintDCHandle& a, const PaintDCHandle& b) {
        return a.window == b.window && a.paint.hdc == b.paint.hdc;
    }
};
struct PaintDC {
    using Handle = PaintDCHandle;
    static Handle Invalid() { return {}; }
    static void Release(Handle h) { EndPaint(h.window, &h.paint); }
};

// Bitmaps, fonts, brushes and regions all go back through DeleteObject.
template <typename T>
struct GdiObject {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { DeleteObject(h); }
};

struct RegistryKey {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { RegCloseKey(h); }
};

// Processes, threads, mutexes, events: the kernel objects that CloseHandle
// frees and whose failure value is null (not INVALID_HANDLE_VALUE).
struct KernelObject {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { CloseHandle(h); }
};

// Files and directory searches fail with INVALID_HANDLE_VALUE, not null.
struct File {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle h) { CloseHandle(h); }
};
struct FindSearch {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle h) { FindClose(h); }
};

template <typename T>
struct ComPointer {
    using Handle = T*;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle p) { p->Release(); }
};

}  // namespace traits

using UniqueWindow = UniqueHandle<traits::Window>;
using UniqueMemoryDC = UniqueHandle<traits::MemoryDC>;
using UniqueWindowDC = UniqueHandle<traits::WindowDC>;
using UniquePaintDC = UniqueHandle<traits::PaintDC>;
using UniqueBitmap = UniqueHandle<traits::GdiObject<HBITMAP>>;
using UniqueFont = UniqueHandle<traits::GdiObject<HFONT>>;
using UniqueBrush = UniqueHandle<traits::GdiObject<HBRUSH>>;
using UniqueRegion = UniqueHandle<traits::GdiObject<HRGN>>;
using UniqueKey = UniqueHandle<traits::RegistryKey>;
using UniqueKernelObject = UniqueHandle<traits::KernelObject>;
using UniqueFile = UniqueHandle<traits::File>;
using UniqueFindSearch = UniqueHandle<traits::FindSearch>;
template <typename T>
using UniqueCom = UniqueHandle<traits::ComPointer<T>>;

// Acquisition and release side by side: these are the only ways the program
// borrows or makes a DC.
inline UniqueWindowDC GetWindowDCOf(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return {};
    return UniqueWindowDC({window, dc});
}
// The whole window's DC (GetWindowDC), its frame and other non-client parts
// included.
inline UniqueWindowDC GetFrameDCOf(HWND window) {
    HDC dc = GetWindowDC(window);
    if (!dc) return {};
    return UniqueWindowDC({window, dc});
}
inline UniqueMemoryDC CreateMemoryDC(HDC compatibleWith) {
    return UniqueMemoryDC(CreateCompatibleDC(compatibleWith));
}
inline UniquePaintDC BeginPaintOf(HWND window) {
    traits::PaintDCHandle h{window, {}};
    if (!BeginPaint(window, &h.paint)) return {};
    return UniquePaintDC(h);
}

// Selects an object into a DC for one scope and puts the old one back, so a
// DC is never released or deleted with our object still selected.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (old_) SelectObject(dc_, old_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace corvale::win32
