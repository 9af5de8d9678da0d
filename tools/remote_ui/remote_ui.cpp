#include "remote_ui.h"

#include "ui/frmMacroSelect_ids.h"

#include <commctrl.h>
#include <shlobj.h>

#include <stdexcept>

namespace remote {

bool waitFor(const std::function<bool()>& condition, DWORD limitMilliseconds) {
    const ULONGLONG end = GetTickCount64() + limitMilliseconds;
    while (GetTickCount64() < end) {
        if (condition())
            return true;
        Sleep(100);
    }
    return false;
}

HWND shownDialog(const wchar_t* caption) {
    HWND found = FindWindowW(L"#32770", caption);
    return found != nullptr && IsWindowVisible(found) ? found : nullptr;
}

HWND macroDialog() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            if (IsWindowVisible(hwnd) && GetDlgItem(hwnd, IDC_TXTPATHFILE) != nullptr) {
                *reinterpret_cast<HWND*>(param) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

RemoteBuffer::RemoteBuffer(HANDLE process, SIZE_T size) : process_(process) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (address_ == nullptr)
        throw std::runtime_error("could not reach into the program's memory");
}

RemoteBuffer::~RemoteBuffer() {
    VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

void RemoteBuffer::write(const void* data, SIZE_T size) {
    WriteProcessMemory(process_, address_, data, size, nullptr);
}

void RemoteBuffer::read(void* data, SIZE_T size) const {
    ReadProcessMemory(process_, address_, data, size, nullptr);
}

bool chooseFolder(HANDLE process, const std::wstring& folder) {
    HWND browser = nullptr;
    if (!waitFor([&] {
            return (browser = shownDialog(L"Browse for Folder")) != nullptr ||
                   (browser = shownDialog(L"Browse For Folder")) != nullptr;
        }))
        return false;
    RemoteBuffer path(process, (folder.size() + 1) * sizeof(wchar_t));
    path.write(folder.c_str(), (folder.size() + 1) * sizeof(wchar_t));
    // The browser fills its tree as it goes: select, let it settle, select again.
    for (int i = 0; i < 3; ++i) {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.address()));
        Sleep(300);
    }
    PostMessageW(browser, WM_COMMAND, IDOK, 0);
    return true;
}

std::vector<std::wstring> resultRows(HANDLE process, HWND list) {
    std::vector<std::wstring> rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    RemoteBuffer item(process, sizeof(LVITEMW));
    RemoteBuffer textBuffer(process, 1024 * sizeof(wchar_t));
    for (int i = 0; i < count; ++i) {
        std::wstring row;
        for (int column = 0; column < 2; ++column) {
            LVITEMW request{};
            request.iSubItem = column;
            request.pszText = static_cast<wchar_t*>(textBuffer.address());
            request.cchTextMax = 1024;
            item.write(&request, sizeof request);
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(item.address()));
            wchar_t cell[1024] = {};
            textBuffer.read(cell, sizeof cell);
            row += (column == 0 ? L"" : L"  ") + std::wstring(cell);
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace remote
