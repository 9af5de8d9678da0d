#include "platform/directory_win.h"

#include "base/error.h"
#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"

namespace {

// The error of a folder that cannot be read: the system's own text, so that
// whoever shows it can say which folder around it.
[[noreturn]] void unreadable(DWORD code) {
    throw AppError(code == ERROR_ACCESS_DENIED ? ErrorNumber::PathFileAccess : ErrorNumber::PathNotFound,
                   systemMessage(code), "FileList");
}

} // namespace

Win32DirectoryLister::Win32DirectoryLister()
    : calls_{[](const wchar_t* pattern, WIN32_FIND_DATAW* found) {
                 return FindFirstFileExW(pattern, FindExInfoBasic, found, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH);
             },
             [](HANDLE search, WIN32_FIND_DATAW* found) { return FindNextFileW(search, found); }} {}

std::vector<DirectoryEntry> Win32DirectoryLister::list(const std::string& folder) {
    if (folder.empty())
        throw AppError(ErrorNumber::PathNotFound, "Path not found: no folder was given", "FileList");
    std::string pattern = folder;
    if (pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += '*';

    WIN32_FIND_DATAW data;
    const UniqueFindHandle find(calls_.first(extendedPath(pattern).c_str(), &data));
    if (!find) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) // an empty drive root has no entries at all
            return {};
        unreadable(code);
    }
    std::vector<DirectoryEntry> entries;
    for (;;) {
        const std::wstring_view name(data.cFileName);
        if (name != L"." && name != L"..") {
            DirectoryEntry entry;
            entry.name = narrow(name);
            entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            entry.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
            entry.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
            entry.reparsePoint = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            entries.push_back(std::move(entry));
        }
        if (!calls_.next(find.get(), &data)) {
            // Only the end of the entries ends the listing.
            const DWORD code = GetLastError();
            if (code != ERROR_NO_MORE_FILES)
                unreadable(code);
            return entries;
        }
    }
}
