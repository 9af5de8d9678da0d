#include "platform/file_services_win.h"

#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/paths_win.h"
#include "platform/platform_win.h"
#include "platform/wide_win.h"

#include <windows.h>

#include <shlwapi.h>

#include <atomic>
#include <cstdio>

namespace {

// The user's general date format: the short date and the long time; a time
// of exactly midnight is left out.
std::string generalDate(const SYSTEMTIME& time) {
    wchar_t date[128] = {}, clock[128] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 128, nullptr);
    if (time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0)
        return narrow(date);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, clock, 128);
    return narrow(std::wstring(date) + L" " + clock);
}

} // namespace

bool Win32FileServices::pathExists(const std::string& path) {
    if (path.empty())
        return false;
    // Attributes answer for long paths too, where the shell's test stops.
    return GetFileAttributesW(extendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES ||
           PathFileExistsW(widen(path).c_str()) != FALSE;
}

std::string Win32FileServices::temporaryFolder() {
    const DWORD needed = GetTempPathW(0, nullptr);
    std::wstring buffer(needed + 1, L'\0');
    const DWORD written = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    buffer.resize(written < buffer.size() ? written : 0);
    return narrow(buffer);
}

NewFile createUniqueFile(const std::string& folder, const std::string& prefix, const std::string& extension) {
    // The system's own unique names (GetTempFileNameW) refuse folders longer
    // than about 246 characters; a short name of our own has no such limit.
    // The numbers start from the time and the process and step through a
    // large odd stride, so two programs seldom try the same names; when they
    // do, CREATE_NEW lets only one of them have each.
    static std::atomic<std::uint32_t> next{static_cast<std::uint32_t>(GetTickCount64()) ^
                                           (GetCurrentProcessId() << 16)};
    std::string base = folder;
    if (!base.empty() && base.back() != '\\')
        base += '\\';
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::uint32_t number = next.fetch_add(0x9E3779B9u) + 0x9E3779B9u;
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(number));
        NewFile made{base + prefix + digits + "." + extension, {}};
        made.handle.reset(CreateFileW(extendedPath(made.path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (made.handle)
            return made;
        // Taken (by a file, or by a folder or a file being deleted, which
        // refuse access, the latter even to a look at its attributes): try
        // the next name. Access refused for a name that is not there is the
        // folder's refusal, and anything else will not pass either.
        const DWORD error = GetLastError();
        const auto nameThere = [&made] {
            return GetFileAttributesW(extendedPath(made.path).c_str()) != INVALID_FILE_ATTRIBUTES ||
                   GetLastError() == ERROR_ACCESS_DENIED;
        };
        const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                           (error == ERROR_ACCESS_DENIED && nameThere());
        if (!taken)
            return {{}, {}, error};
    }
    return {{}, {}, ERROR_FILE_EXISTS};
}

std::string Win32FileServices::createTemporaryFile(const std::string& folder, const std::string& prefix) {
    // Created empty, so that the name stays reserved; closed at once.
    return createUniqueFile(folder, prefix, "tmp").path;
}

std::optional<FolderIdentity> folderIdentity(const std::string& path) {
    // A folder opens only with backup semantics; only its attributes are
    // asked for, so that a folder the user may not list still tells what it is.
    const UniqueHandle folder(CreateFileW(extendedPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!folder || !GetFileInformationByHandle(folder.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return std::nullopt;
    return FolderIdentity{information.dwVolumeSerialNumber,
                          (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) |
                              information.nFileIndexLow};
}

std::string Win32FileServices::createResultTemporary(const std::string& folder) {
    NewFile made = createUniqueFile(folder, std::string(kResultTemporaryPrefix), "tmp");
    if (!made.handle)
        throwWin32(made.error, "Tarnwick", "No temporary file could be made in " + folder);
    return made.path;
}

void Win32FileServices::replaceByRename(const std::string& from, const std::string& to) {
    // A virus scanner or an indexer often holds a file for a moment after it
    // was written: a rename refused for a file in use is tried again a few
    // times, for about a second and a half, before the document fails.
    for (DWORD wait = 100;; wait *= 2) {
        if (MoveFileExW(extendedPath(from).c_str(), extendedPath(to).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return;
        const DWORD error = GetLastError();
        const bool inUse =
            error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
        if (!inUse || wait > 800)
            throwWin32(error, "Tarnwick");
        waitServingWindows(wait);
    }
}

std::size_t Win32FileServices::removeLeftoverTemporaries(const std::string& folder,
                                                         std::uint64_t olderThanSeconds) {
    const std::string base = folder.ends_with('\\') ? folder : folder + "\\";
    WIN32_FIND_DATAW found;
    const UniqueFindHandle search(
        FindFirstFileExW(extendedPath(base + std::string(kResultTemporaryPrefix) + "*").c_str(),
                         FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!search)
        return 0;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const std::uint64_t before = ticks(now) - olderThanSeconds * 10'000'000u; // in 100 ns
    std::size_t removed = 0;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            !isResultTemporaryName(narrow(found.cFileName)) || ticks(found.ftLastWriteTime) >= before)
            continue;
        // Opened with no sharing: a file that another program (another PC
        // saving into this folder) holds open is not a leftover.
        const UniqueHandle file(CreateFileW(extendedPath(base + narrow(found.cFileName)).c_str(), DELETE, 0,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        FILE_DISPOSITION_INFO disposition{TRUE};
        if (file &&
            SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition))
            ++removed;
    } while (FindNextFileW(search.get(), &found));
    return removed;
}

std::optional<std::string> Win32FileServices::findOrdinaryFile(const std::string& path) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW(widen(path).c_str(), &data));
    if (!find)
        return std::nullopt;
    do {
        const DWORD a = data.dwFileAttributes;
        if ((a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0)
            return narrow(data.cFileName);
    } while (FindNextFileW(find.get(), &data));
    return std::nullopt;
}

std::optional<std::uint64_t> Win32FileServices::fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(extendedPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::uint32_t> Win32FileServices::attributes(const std::string& path) {
    const DWORD a = GetFileAttributesW(extendedPath(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    // FILE_ATTRIBUTE_NORMAL stands alone for "no attributes".
    return a == FILE_ATTRIBUTE_NORMAL ? 0u : static_cast<std::uint32_t>(a);
}

bool Win32FileServices::setAttributes(const std::string& path, std::uint32_t value) {
    return SetFileAttributesW(extendedPath(path).c_str(), value == 0 ? FILE_ATTRIBUTE_NORMAL : value) !=
           FALSE;
}

std::optional<std::string> Win32FileServices::lastChange(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(extendedPath(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    FILETIME local;
    SYSTEMTIME time;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time))
        return std::nullopt;
    return generalDate(time);
}

bool Win32FileServices::deleteFile(const std::string& path) {
    return DeleteFileW(extendedPath(path).c_str()) != FALSE;
}

bool Win32FileServices::copyFile(const std::string& source, const std::string& destination) {
    return CopyFileW(extendedPath(source).c_str(), extendedPath(destination).c_str(), FALSE) != FALSE;
}

bool Win32FileServices::createFolder(const std::string& path) {
    return CreateDirectoryW(extendedPath(path).c_str(), nullptr) != FALSE;
}

bool Win32FileServices::removeFolder(const std::string& path) {
    return RemoveDirectoryW(extendedPath(path).c_str()) != FALSE;
}

std::string Win32FileServices::decimalSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0)
        return ".";
    return narrow(separator);
}

std::string Win32FileServices::now() {
    SYSTEMTIME time;
    GetLocalTime(&time);
    return generalDate(time);
}

std::string Win32FileServices::programFolder() {
    std::wstring path = modulePath();
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        return narrow(path);
    // A drive root keeps its backslash.
    return narrow(path.substr(0, slash == 2 && path[1] == L':' ? slash + 1 : slash));
}

std::string Win32FileServices::programName() {
    std::wstring path = modulePath();
    const auto slash = path.find_last_of(L'\\');
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return narrow(name);
}
