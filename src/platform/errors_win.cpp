#include "platform/errors_win.h"

#include "platform/handles_win.h"
#include "platform/wide_win.h"

#include <cstdio>

std::string systemMessage(DWORD code) {
    // The system allocates the text; the owner gives it back.
    UniqueLocalMemory<wchar_t*> buffer;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(buffer.put()), 0, nullptr);
    std::wstring text = n != 0 && buffer ? std::wstring(buffer.get(), n) : std::wstring();
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (!text.empty() && text.back() == L'.')
        text.pop_back();
    if (!text.empty())
        return narrow(text);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(code));
    return std::string("Error 0x") + hex;
}

namespace {
AppError codeError(DWORD code, const std::string& source, const std::string& what) {
    const std::string text = systemMessage(code);
    return AppError(static_cast<std::int64_t>(code), what.empty() ? text : what + ": " + text, source);
}
} // namespace

AppError hresultError(HRESULT code, const std::string& source, const std::string& what) {
    return codeError(static_cast<DWORD>(code), source, what);
}

AppError win32Error(DWORD code, const std::string& source, const std::string& what) {
    return codeError(code, source, what);
}

void throwHresult(HRESULT code, const std::string& source, const std::string& what) {
    throw hresultError(code, source, what);
}

void throwWin32(DWORD code, const std::string& source, const std::string& what) {
    throw win32Error(code, source, what);
}
