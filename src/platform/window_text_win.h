#pragma once
// Reading what a window shows: its text and its class. The program's dialogs,
// the tests and the tools that act on the program's windows share these.
#include <windows.h>

#include <string>

// The whole text of a window or control, of this process or another.
std::wstring windowText(HWND window);
// The text of a dialog's control, as UTF-8.
std::string controlText(HWND dialog, int id);
// The window's class name (e.g. L"#32770" for a dialog).
std::wstring className(HWND window);
