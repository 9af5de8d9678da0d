#pragma once
// Move-only owners of the system's handles and resources: each closes what it
// holds exactly once, when it goes out of scope or is reset. They all come
// from one template; a "closer" says what the empty value is, which values
// are held and how a held value is released.
#include <windows.h>

#include <oleauto.h>

#include <string_view>
#include <utility>

template <typename T, typename Closer> class UniqueAny {
public:
    UniqueAny() noexcept = default;
    explicit UniqueAny(T value) noexcept : value_(value) {}
    ~UniqueAny() { reset(); }

    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    const T& get() const noexcept { return value_; }
    // The held value for a call that reads and may change it in place.
    T* address() noexcept { return &value_; }
    // Releases what is held and gives the place for an out-parameter.
    T* put() noexcept {
        reset();
        return &value_;
    }
    // Gives up ownership without closing.
    [[nodiscard]] T release() noexcept { return std::exchange(value_, Closer::empty()); }
    void reset(T value = Closer::empty()) noexcept {
        T old = std::exchange(value_, value);
        if (Closer::held(old))
            Closer::close(old);
    }
    explicit operator bool() const noexcept { return Closer::held(value_); }

private:
    T value_ = Closer::empty();
};

namespace handle_closers {
struct Key {
    static HKEY empty() noexcept { return nullptr; }
    static bool held(HKEY key) noexcept { return key != nullptr; }
    static void close(HKEY key) noexcept { RegCloseKey(key); }
};
// Kernel handles: some calls answer nullptr on failure, others
// INVALID_HANDLE_VALUE; neither is closed.
struct Kernel {
    static HANDLE empty() noexcept { return nullptr; }
    static bool held(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) noexcept { CloseHandle(handle); }
};
struct Find {
    static HANDLE empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool held(HANDLE handle) noexcept { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
    static void close(HANDLE handle) noexcept { FindClose(handle); }
};
struct Bstr {
    static BSTR empty() noexcept { return nullptr; }
    static bool held(BSTR text) noexcept { return text != nullptr; }
    static void close(BSTR text) noexcept { SysFreeString(text); }
};
struct Variant {
    static VARIANT empty() noexcept {
        VARIANT value;
        VariantInit(&value);
        return value;
    }
    static bool held(const VARIANT& value) noexcept { return value.vt != VT_EMPTY; }
    static void close(VARIANT& value) noexcept { VariantClear(&value); }
};
// The exception information an automation call fills in: its three texts.
struct ExcepInfo {
    static EXCEPINFO empty() noexcept { return EXCEPINFO{}; }
    static bool held(const EXCEPINFO& info) noexcept {
        return info.bstrSource != nullptr || info.bstrDescription != nullptr || info.bstrHelpFile != nullptr;
    }
    static void close(const EXCEPINFO& info) noexcept {
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }
};
// What the system made for the caller, given back with the function that
// goes with it: LocalFree (the text of FormatMessage), GlobalFree (clipboard
// data not yet handed over), CoTaskMemFree (shell paths and item lists) or
// DestroyMenu (a menu loaded from the resources).
template <typename Pointer, auto Free> struct FreedWith {
    static Pointer empty() noexcept { return nullptr; }
    static bool held(Pointer memory) noexcept { return memory != nullptr; }
    static void close(Pointer memory) noexcept { Free(memory); }
};
// GDI objects the program creates for itself (fonts, brushes).
template <typename Handle> struct Gdi {
    static Handle empty() noexcept { return nullptr; }
    static bool held(Handle object) noexcept { return object != nullptr; }
    static void close(Handle object) noexcept { DeleteObject(object); }
};
// A window's device context, given back to the window it came from.
struct WindowDc {
    struct Value {
        HWND window;
        HDC dc;
    };
    static Value empty() noexcept { return {nullptr, nullptr}; }
    static bool held(const Value& value) noexcept { return value.dc != nullptr; }
    static void close(const Value& value) noexcept { ReleaseDC(value.window, value.dc); }
};
// An object selected into a device context: the one it replaced is selected
// back.
struct Selection {
    struct Value {
        HDC dc;
        HGDIOBJ previous;
    };
    static Value empty() noexcept { return {nullptr, nullptr}; }
    static bool held(const Value& value) noexcept { return value.dc != nullptr && value.previous != nullptr; }
    static void close(const Value& value) noexcept { SelectObject(value.dc, value.previous); }
};
// The result of CoInitializeEx: every success (S_OK and S_FALSE alike) is
// balanced by one CoUninitialize; a failure (such as another threading
// model already chosen on this thread) is not.
struct ComInit {
    static HRESULT empty() noexcept { return CO_E_NOTINITIALIZED; }
    static bool held(HRESULT result) noexcept { return SUCCEEDED(result); }
    static void close(HRESULT) noexcept { CoUninitialize(); }
};
} // namespace handle_closers

using UniqueHkey = UniqueAny<HKEY, handle_closers::Key>;
using UniqueHandle = UniqueAny<HANDLE, handle_closers::Kernel>;
using UniqueFindHandle = UniqueAny<HANDLE, handle_closers::Find>;
using UniqueBstr = UniqueAny<BSTR, handle_closers::Bstr>;
using UniqueVariant = UniqueAny<VARIANT, handle_closers::Variant>;
using UniqueExcepInfo = UniqueAny<EXCEPINFO, handle_closers::ExcepInfo>;
using ComInitScope = UniqueAny<HRESULT, handle_closers::ComInit>;
template <typename Pointer>
using UniqueLocalMemory = UniqueAny<Pointer, handle_closers::FreedWith<Pointer, &LocalFree>>;
using UniqueGlobalMemory = UniqueAny<HGLOBAL, handle_closers::FreedWith<HGLOBAL, &GlobalFree>>;
template <typename Pointer>
using UniqueTaskMemory = UniqueAny<Pointer, handle_closers::FreedWith<Pointer, &CoTaskMemFree>>;
using UniqueMenu = UniqueAny<HMENU, handle_closers::FreedWith<HMENU, &DestroyMenu>>;
using UniqueFont = UniqueAny<HFONT, handle_closers::Gdi<HFONT>>;
using UniqueBrush = UniqueAny<HBRUSH, handle_closers::Gdi<HBRUSH>>;
using UniqueWindowDc = UniqueAny<handle_closers::WindowDc::Value, handle_closers::WindowDc>;
using UniqueSelection = UniqueAny<handle_closers::Selection::Value, handle_closers::Selection>;

// The device context of a window (the screen's for nullptr), for as long as
// the owner lives.
inline UniqueWindowDc windowDc(HWND window) {
    return UniqueWindowDc({window, GetDC(window)});
}

// Selects the object into the device context until the owner goes.
inline UniqueSelection selectInto(HDC dc, HGDIOBJ object) {
    return UniqueSelection({dc, SelectObject(dc, object)});
}

// Initialises COM on this thread for the life of the returned scope; check
// it with operator bool or get() for the HRESULT.
inline ComInitScope initializeCom(DWORD model = COINIT_APARTMENTTHREADED) {
    return ComInitScope(CoInitializeEx(nullptr, model));
}

// A BSTR copy of a UTF-16 text (nullptr only when memory runs out).
inline UniqueBstr makeBstr(std::wstring_view text) {
    return UniqueBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}
