#pragma once
#include <algorithm>
#include <cctype>
#include <string_view>

// Case-insensitive comparison of ASCII names, the way automation compares
// member names (and the macro player its command words).
inline bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
