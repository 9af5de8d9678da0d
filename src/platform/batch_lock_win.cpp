#include "platform/batch_lock_win.h"

#include "platform/errors_win.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"

#include <sddl.h>

#include <atomic>
#include <vector>

namespace {

// A mutex is re-entrant for the thread that owns it; this keeps a second
// batch of the same process out as well.
std::atomic<bool> heldHere{false};

[[noreturn]] void fail(const std::string& what) {
    throwWin32(GetLastError(), "Tarnwick", "The lock of running batches cannot be " + what);
}

} // namespace

std::string batchLockName() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()))
        fail("named");
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size))
        fail("named");
    wchar_t* sid = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid))
        fail("named");
    const std::string text = narrow(sid);
    LocalFree(sid);
    // Global\ rather than the session's own namespace: a scheduled run in
    // another session drives the same WordPerfect installation.
    return "Global\\Tarnwick.Batch." + text;
}

BatchLock BatchLock::tryTake() {
    const std::wstring name = widen(batchLockName());
    if (heldHere.exchange(true))
        return {};
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!mutex) {
        const DWORD error = GetLastError();
        heldHere = false;
        // The mutex exists but was made by this user's program at another
        // integrity level, which holds it.
        if (error == ERROR_ACCESS_DENIED)
            return {};
        SetLastError(error);
        fail("made");
    }
    // An abandoned mutex (its holder ended without releasing it) is taken over.
    const DWORD wait = WaitForSingleObject(mutex.get(), 0);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED)
        return BatchLock(std::move(mutex));
    heldHere = false;
    return {};
}

BatchLock& BatchLock::operator=(BatchLock&& other) noexcept {
    if (this != &other) {
        release();
        mutex_ = std::move(other.mutex_);
    }
    return *this;
}

BatchLock::~BatchLock() {
    release();
}

void BatchLock::release() noexcept {
    if (!mutex_)
        return;
    ReleaseMutex(mutex_.get());
    mutex_.reset();
    heldHere = false;
}
