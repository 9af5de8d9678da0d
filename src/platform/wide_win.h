#pragma once
// The two conversions between the program's UTF-8 text and the UTF-16 text of
// the Win32 and COM calls. Nothing else converts.
#include <string>
#include <string_view>

std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);
