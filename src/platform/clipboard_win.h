#pragma once
// Putting text on the system's clipboard.
#include <windows.h>

#include <string>

// Replaces the clipboard's contents with the text, as Unicode text, on behalf
// of the window; raises AppError when the clipboard cannot be had.
void putClipboardText(HWND owner, const std::string& text);
