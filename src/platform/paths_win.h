#pragma once
// Paths for the wide Win32 file calls.
#include <string>
#include <string_view>

// The wide form of a path, with the extended-length prefix added to a long
// absolute path so that the file calls do not stop at 260 characters.
std::wstring extendedPath(std::string_view path);
