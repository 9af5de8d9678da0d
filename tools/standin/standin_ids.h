#pragma once
// The identity of the stand-in automation server and the error codes it
// reports, shared by the server's sources.
#include <windows.h>

// {48828DB1-DF7B-49BD-A47E-1C4578726CD5}
inline constexpr CLSID kStandinClsid = {
    0x48828db1, 0xdf7b, 0x49bd, {0xa4, 0x7e, 0x1c, 0x45, 0x78, 0x72, 0x6c, 0xd5}};
inline constexpr const wchar_t* kStandinProgId = L"WordPerfect.PerfectScript";
// The source every error of the server names.
inline constexpr const char* kStandinSource = "WordPerfect.PerfectScript";

// EXCEPINFO.scode values of the server's own failures (failures of the file
// system carry the system's HRESULT instead).
inline constexpr HRESULT kNoDocument = static_cast<HRESULT>(0x80040201);
inline constexpr HRESULT kMacroFailed = static_cast<HRESULT>(0x80040202);
inline constexpr HRESULT kInjectedFailure = static_cast<HRESULT>(0x80040203);
