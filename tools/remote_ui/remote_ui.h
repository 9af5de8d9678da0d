#pragma once
// Acting on the real program's windows from another process, as a person
// would: finding its dialogs, pressing buttons, reading texts and answering
// the folder browser. Used by the demonstration's driver and by the tests
// that run the real program.
#include "platform/window_text_win.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace remote {

// Waits up to the limit for the condition, checking every 100 ms; answers
// whether it came true.
bool waitFor(const std::function<bool()>& condition, DWORD limitMilliseconds = 60000);

// The visible dialog with this caption, or null.
HWND shownDialog(const wchar_t* caption);
// The visible macro selection dialog, or null.
HWND macroDialog();
// Clicks a dialog's button without waiting for the click to be handled.
void press(HWND dialog, int id);

// Memory inside another process, for messages whose pointers the system
// does not carry across processes. Throws std::runtime_error when the
// memory cannot be had.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, SIZE_T size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    void* address() const { return address_; }
    void write(const void* data, SIZE_T size);
    void read(void* data, SIZE_T size) const;

private:
    HANDLE process_;
    void* address_;
};

// Waits for the program's folder browser, selects the folder in it and
// accepts it; answers false when no browser appeared.
bool chooseFolder(HANDLE process, const std::wstring& folder);

// The rows of the program's result list: "name  status".
std::vector<std::wstring> resultRows(HANDLE process, HWND list);

} // namespace remote
