#include "platform/clipboard_win.h"

#include "platform/errors_win.h"
#include "platform/wide_win.h"

#include <cstring>

namespace {
const char* const kSource = "Clipboard";

class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) {
        // Another program may hold the clipboard for a moment.
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (OpenClipboard(owner))
                return;
            Sleep(20);
        }
        throwWin32(GetLastError(), kSource, "the clipboard");
    }
    ~OpenClipboardScope() { CloseClipboard(); }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
};
} // namespace

void putClipboardText(HWND owner, const std::string& text) {
    const std::wstring wide = widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    OpenClipboardScope open(owner);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr)
        throwWin32(GetLastError(), kSource, "the text to copy");
    void* place = GlobalLock(memory);
    if (place == nullptr) {
        const DWORD error = GetLastError();
        GlobalFree(memory);
        throwWin32(error, kSource, "the text to copy");
    }
    std::memcpy(place, wide.c_str(), bytes);
    GlobalUnlock(memory);
    EmptyClipboard();
    // The clipboard owns the memory once it took it.
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
        const DWORD error = GetLastError();
        GlobalFree(memory);
        throwWin32(error, kSource, "the clipboard");
    }
}
