#pragma once
#include "base/ports.h"
#include "platform/batch_lock_win.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <string_view>

// The system services of the program on Windows.
class Win32Platform : public Platform {
public:
    Win32Platform();
    ~Win32Platform() override;

    std::shared_ptr<LateBound> createObject(const std::string& progId, ServerStart start) override;
    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    [[noreturn]] void endProgram(int exitCode) override;
    bool doEvents() override;
    void pause(int milliseconds) override;
    void waitServing(int milliseconds) override;
    std::string browseForFolder(const std::string& prompt) override;
    bool takeBatchLock() override;
    void releaseBatchLock() override;

private:
    BatchLock batchLock_;
    int batchLockTakes_ = 0; // runs of this program that hold it (a run started during a run)
    UniqueHandle timer_;     // high-resolution waitable timer, when the system has one
};

// Orders texts as the system's sorted lists do (the user's language, without
// regard to case); installed as the program's comparison of list texts by
// useSystemCollation().
int systemCollation(std::string_view a, std::string_view b);
void useSystemCollation();

// Lets the window system process every pending event once; answers whether
// there were any.
bool processPendingEvents();
// Waits the time given while the window system is served.
void waitServingWindows(DWORD milliseconds);
// A modeless dialog whose keyboard navigation the event loop handles, from
// when it is made until it goes.
void addModelessDialog(HWND dialog);
void removeModelessDialog(HWND dialog);
// Handles one message the way the program's event loop does.
void dispatchMessage(MSG* msg);
