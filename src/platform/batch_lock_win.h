#pragma once
// One batch per WordPerfect: a lock file in the user's own profile, held
// open without sharing by the program that converts. Only this user can
// reach the file, so no other account can take the lock first; a holder
// that ends in any way closes it, and the system deletes it then.
#include "platform/handles_win.h"

#include <string>

class BatchLock {
public:
    // Tries to take the lock without waiting; the answer holds it when it
    // got it. A batch of this process that holds it already counts as
    // another. Raises AppError with the system's text when the lock file
    // cannot be opened for another reason than its holder.
    static BatchLock tryTake(const std::string& folder = defaultFolder());
    // The folder of the lock file: "Tarnwick" in the user's local
    // application data (%LOCALAPPDATA%\Tarnwick).
    static std::string defaultFolder();

    BatchLock() = default;
    explicit operator bool() const { return static_cast<bool>(file_); }

private:
    explicit BatchLock(UniqueHandle file) : file_(std::move(file)) {}
    UniqueHandle file_;
};
