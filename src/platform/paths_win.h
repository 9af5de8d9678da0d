#pragma once
// Paths for the wide Win32 file calls.
#include <cstddef>
#include <string>
#include <string_view>

// Room for the longest path the system allows, in characters with the
// terminating NUL: the size of a buffer that a call fills with a path.
inline constexpr std::size_t kLongestPath = 32768;

// The wide form of a path, with the extended-length prefix added to a long
// absolute path so that the file calls do not stop at 260 characters.
std::wstring extendedPath(std::string_view path);

// The full path of the running program's own executable.
std::wstring modulePath();
