#include "ui/common_dialog.h"

#include "base/error.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <vector>

std::wstring dialogFilter(const std::string& filter) {
    if (filter.empty())
        return {};
    std::vector<std::wstring> parts;
    std::wstring all = widen(filter);
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = all.find(L'|', start);
        parts.push_back(all.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
        if (bar == std::wstring::npos)
            break;
        start = bar + 1;
    }
    if (parts.size() % 2 == 1)
        parts.push_back(parts.back());
    std::wstring result;
    for (const auto& part : parts) {
        result += part;
        result.push_back(L'\0');
    }
    result.push_back(L'\0');
    return result;
}

bool Win32FileDialogPort::show(FileDialog& dialog, FileDialogKind kind) {
    std::wstring buffer(kLongestPath, L'\0');
    const std::wstring initial = widen(dialog.FileName);
    initial.copy(buffer.data(), std::min(initial.size(), buffer.size() - 1));
    const std::wstring filter = dialogFilter(dialog.Filter);
    const std::wstring title = widen(dialog.DialogTitle);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // The program works with full paths only, so the dialog must not move
    // the process's current folder.
    ofn.Flags = static_cast<DWORD>(dialog.Flags) | OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_ENABLESIZING;

    const BOOL chosen = kind == FileDialogKind::Save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) {
        const DWORD error = CommDlgExtendedError();
        if (error != 0)
            throw AppError(static_cast<std::int64_t>(error),
                           "The file dialog could not be shown (error " + std::to_string(error) + ")",
                           "CommonDialog");
        return false;
    }
    dialog.FileName = narrow(buffer.c_str());
    return true;
}
