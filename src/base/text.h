#pragma once
// Character-wise work on the program's UTF-8 text. A character is a code
// point; bytes that are not valid UTF-8 count as one character each and
// come back unchanged, so splitting and joining never alters a path.
#include <string>
#include <string_view>

std::u32string toChars(std::string_view text);
std::string fromChars(std::u32string_view chars);
// Lower-cases the letters of a text (case rules of the common scripts).
std::string lowerCase(std::string_view text);
// Removes blanks (spaces only) from both ends.
std::string trimSpaces(std::string_view text);
