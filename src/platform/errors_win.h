#pragma once
// The one way the Win32 edge turns a failed system call into the program's
// error: the system's own text for the code, and the code as the number.
#include "base/error.h"

#include <windows.h>

#include <string>

// The system's text for a Win32 error code or an HRESULT, without its final
// full stop and line break; "Error 0x" and the code in eight hexadecimal
// digits where the system has no text for it.
std::string systemMessage(DWORD code);

// The error for a failed call: the code as its number, and as description
// "what: the system's text" (the system's text alone without a what).
AppError hresultError(HRESULT code, const std::string& source, const std::string& what = {});
AppError win32Error(DWORD code, const std::string& source, const std::string& what = {});
[[noreturn]] void throwHresult(HRESULT code, const std::string& source, const std::string& what = {});
[[noreturn]] void throwWin32(DWORD code, const std::string& source, const std::string& what = {});
