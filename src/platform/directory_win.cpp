#include "platform/directory_win.h"

#include "base/error.h"
#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"

#include <windows.h>

std::vector<DirectoryEntry> Win32DirectoryLister::list(const std::string& folder) {
    if (folder.empty())
        throw AppError(ErrorNumber::PathNotFound, "Path not found: no folder was given", "FileList");
    std::string pattern = folder;
    if (pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += '*';

    WIN32_FIND_DATAW data;
    const UniqueFindHandle find(FindFirstFileExW(extendedPath(pattern).c_str(), FindExInfoBasic, &data,
                                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) // an empty drive root has no entries at all
            return {};
        throw AppError(code == ERROR_ACCESS_DENIED ? ErrorNumber::PathFileAccess : ErrorNumber::PathNotFound,
                       "The folder could not be read: " + folder + " (" + systemMessage(code) + ")",
                       "FileList");
    }
    std::vector<DirectoryEntry> entries;
    do {
        const std::wstring_view name(data.cFileName);
        if (name == L"." || name == L"..")
            continue;
        DirectoryEntry entry;
        entry.name = narrow(name);
        entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        entry.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(find.get(), &data));
    return entries;
}
