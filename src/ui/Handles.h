#pragma once
// Owning wrappers for the Win32 handles Scrutel creates: each is released exactly once, by its owner.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <utility>

namespace ui {

// Counts the GDI objects alive through these wrappers, so tests can prove that nothing leaks
// (Wine has no GetGuiResources).
long& live_gdi_objects() noexcept;

template <class Handle, class Traits>
class unique_handle {
public:
    unique_handle() noexcept = default;
    explicit unique_handle(Handle h) noexcept : h_(h) {
        if (valid()) Traits::created();
    }
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : h_(std::exchange(other.h_, Traits::invalid())) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_handle() { close(); }

    Handle get() const noexcept { return h_; }
    bool valid() const noexcept { return h_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }
    Handle release() noexcept {
        if (valid()) Traits::released();
        return std::exchange(h_, Traits::invalid());
    }
    // Takes ownership of h (already counted by the caller's constructor if it came from one).
    void reset(Handle h = Traits::invalid()) noexcept {
        close();
        h_ = h;
        if (valid()) Traits::created();
    }

private:
    void close() noexcept {
        if (valid()) {
            Traits::close(h_);
            Traits::released();
        }
        h_ = Traits::invalid();
    }
    Handle h_ = Traits::invalid();
};

struct uncounted {
    static void created() noexcept {}
    static void released() noexcept {}
};
struct counted_gdi {
    static void created() noexcept { ++live_gdi_objects(); }
    static void released() noexcept { --live_gdi_objects(); }
};

template <class Handle, auto Close, class Count = uncounted, Handle Invalid = Handle{}>
struct handle_traits : Count {
    static Handle invalid() noexcept { return Invalid; }
    static void close(Handle h) noexcept { Close(h); }
};

inline void delete_gdi(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void close_kernel(HANDLE h) noexcept { ::CloseHandle(h); }
inline void destroy_window(HWND h) noexcept { ::DestroyWindow(h); }
inline void destroy_icon(HICON h) noexcept { ::DestroyIcon(h); }
inline void destroy_cursor(HCURSOR h) noexcept { ::DestroyCursor(h); }
inline void destroy_menu(HMENU h) noexcept { ::DestroyMenu(h); }
inline void close_key(HKEY h) noexcept { ::RegCloseKey(h); }
inline void free_module(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void delete_dc(HDC h) noexcept { ::DeleteDC(h); }
inline void destroy_image_list(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }

using unique_hwnd = unique_handle<HWND, handle_traits<HWND, destroy_window>>;
using unique_region = unique_handle<HRGN, handle_traits<HRGN, delete_gdi, counted_gdi>>;
using unique_brush = unique_handle<HBRUSH, handle_traits<HBRUSH, delete_gdi, counted_gdi>>;
using unique_pen = unique_handle<HPEN, handle_traits<HPEN, delete_gdi, counted_gdi>>;
using unique_bitmap = unique_handle<HBITMAP, handle_traits<HBITMAP, delete_gdi, counted_gdi>>;
using unique_font = unique_handle<HFONT, handle_traits<HFONT, delete_gdi, counted_gdi>>;
using unique_memory_dc = unique_handle<HDC, handle_traits<HDC, delete_dc, counted_gdi>>;
using unique_icon = unique_handle<HICON, handle_traits<HICON, destroy_icon>>;
using unique_cursor = unique_handle<HCURSOR, handle_traits<HCURSOR, destroy_cursor>>;
using unique_menu = unique_handle<HMENU, handle_traits<HMENU, destroy_menu>>;
using unique_key = unique_handle<HKEY, handle_traits<HKEY, close_key>>;
using unique_module = unique_handle<HMODULE, handle_traits<HMODULE, free_module>>;
using unique_image_list = unique_handle<HIMAGELIST, handle_traits<HIMAGELIST, destroy_image_list>>;
using unique_kernel_handle = unique_handle<HANDLE, handle_traits<HANDLE, close_kernel>>;

// A DC obtained with GetDC (client area) or GetWindowDC (the whole window, non-client area included),
// given back with ReleaseDC.
class released_dc {
public:
    enum Area { client_area, whole_window };
    explicit released_dc(HWND owner, Area area = client_area) noexcept
        : owner_(owner), dc_(area == whole_window ? ::GetWindowDC(owner) : ::GetDC(owner)) {}
    released_dc(const released_dc&) = delete;
    released_dc& operator=(const released_dc&) = delete;
    ~released_dc() {
        if (dc_) ::ReleaseDC(owner_, dc_);
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND owner_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class selected_object {
public:
    selected_object(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
    selected_object(const selected_object&) = delete;
    selected_object& operator=(const selected_object&) = delete;
    ~selected_object() {
        if (old_) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A COM interface pointer, released once.
template <class I>
class com_ptr {
public:
    com_ptr() noexcept = default;
    com_ptr(const com_ptr&) = delete;
    com_ptr& operator=(const com_ptr&) = delete;
    com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~com_ptr() { reset(); }
    I* get() const noexcept { return p_; }
    I* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // For out-parameters of QueryInterface and CoCreateInstance.
    void** put_void() noexcept {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    void reset() noexcept {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    I* p_ = nullptr;
};

// CoInitialize for a scope; CoUninitialize on every path when it succeeded.
class com_scope {
public:
    com_scope() noexcept : ok_(SUCCEEDED(::CoInitialize(nullptr))) {}
    com_scope(const com_scope&) = delete;
    com_scope& operator=(const com_scope&) = delete;
    ~com_scope() {
        if (ok_) ::CoUninitialize();
    }
    bool ok() const noexcept { return ok_; }

private:
    bool ok_;
};

}  // namespace ui
