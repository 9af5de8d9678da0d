#include "platform/batch_lock_win.h"

#include "platform/errors_win.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"

#include <shlobj.h>

namespace {
const char* const kLockName = "batch.lock";
} // namespace

std::string BatchLock::defaultFolder() {
    // Freed by the owner on failure too, as the call asks.
    UniqueTaskMemory<PWSTR> local;
    const HRESULT hr = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, local.put());
    if (FAILED(hr))
        throwHresult(hr, "Tarnwick", "The user's local application data folder cannot be found");
    return narrow(local.get()) + "\\Tarnwick";
}

BatchLock BatchLock::tryTake(const std::string& folder) {
    // Made by the first batch; another may make it at the same moment.
    if (!CreateDirectoryW(extendedPath(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throwWin32(GetLastError(), "Tarnwick", "The lock of running batches cannot be made in " + folder);
    const std::string path = folder + "\\" + kLockName;
    UniqueHandle file(CreateFileW(extendedPath(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr));
    if (file)
        return BatchLock(std::move(file));
    // Held open by a batch, of this process or another: the only answer
    // that means "another batch is running".
    if (GetLastError() == ERROR_SHARING_VIOLATION)
        return {};
    throwWin32(GetLastError(), "Tarnwick", "The lock of running batches " + path + " cannot be opened");
}
