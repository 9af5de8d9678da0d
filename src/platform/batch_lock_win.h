#pragma once
// One batch per WordPerfect: a named mutex for the current user, in the
// namespace that every session sees (a scheduled task's too), held by the
// program that converts. Taken and released on the same thread.
#include "platform/handles_win.h"

#include <string>

class BatchLock {
public:
    // Tries to take the lock without waiting; the answer holds it when it
    // got it. A batch of this process that holds it already counts as
    // another. Raises AppError when the lock cannot be looked at.
    static BatchLock tryTake();

    BatchLock() = default;
    BatchLock(BatchLock&& other) noexcept = default;
    BatchLock& operator=(BatchLock&& other) noexcept;
    ~BatchLock();
    BatchLock(const BatchLock&) = delete;
    BatchLock& operator=(const BatchLock&) = delete;

    explicit operator bool() const { return static_cast<bool>(mutex_); }

private:
    explicit BatchLock(UniqueHandle mutex) : mutex_(std::move(mutex)) {}
    void release() noexcept;
    UniqueHandle mutex_;
};

// The mutex's name: "Global\Tarnwick.Batch." and the user's SID.
std::string batchLockName();
