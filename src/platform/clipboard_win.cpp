#include "platform/clipboard_win.h"

#include "platform/errors_win.h"
#include "platform/handles_win.h"
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
    UniqueGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        throwWin32(GetLastError(), kSource, "the text to copy");
    void* place = GlobalLock(memory.get());
    if (place == nullptr)
        throwWin32(GetLastError(), kSource, "the text to copy");
    std::memcpy(place, wide.c_str(), bytes);
    GlobalUnlock(memory.get());
    EmptyClipboard();
    // The clipboard owns the memory once it took it; until then the owner
    // frees it.
    if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr)
        throwWin32(GetLastError(), kSource, "the clipboard");
    (void)memory.release();
}
