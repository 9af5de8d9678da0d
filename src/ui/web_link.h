#pragma once
// The web-link routine: opens the maker's web page in the program that the
// system associates with web pages.
#include <windows.h>

// The maker's web page; the Quick Start dialog shows it and opens it.
inline constexpr const char* kMakerWebAddress = "https://tarnwick.example.org/";

// Placeholder files are named with this prefix and the extension .htm.
inline constexpr const char* kWebLinkPlaceholderPrefix = "tarnwick-link-";

// Asks the system for the program that opens .htm files (through a new
// placeholder page in the user's temporary folder) and starts it with the
// maker's address, owned by the given window. Says so in a message box when
// no such program is known or it cannot be started. The placeholder is
// deleted again in every case.
void OpenMakerWebPage(HWND owner);
