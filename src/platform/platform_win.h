#pragma once
#include "core/ports.h"

// The system services of the program on Windows.
class Win32Platform : public Platform {
public:
    Win32Platform();
    ~Win32Platform() override;

    std::shared_ptr<LateBound> createObject(const std::string& progId) override;
    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    [[noreturn]] void endProgram() override;
    std::string temporaryFolderBuffer() override;
    void doEvents() override;
    void pause(int milliseconds) override;
    std::string browseForFolder(const std::string& prompt) override;

private:
    void* timer_ = nullptr; // high-resolution waitable timer, when the system has one
};

// Lets the window system process every pending event once.
void processPendingEvents();
// Registers a modeless dialog whose keyboard navigation the event loop
// must handle (and removes it again with false).
void registerModelessDialog(void* dialog, bool add);
// Handles one message the way the program's event loop does.
void dispatchMessage(void* msg);
