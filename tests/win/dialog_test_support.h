#pragma once
// What the dialog tests share: the program's real windows over a recording
// platform, a scratch registry key, and a scripted user who acts on the
// dialogs step by step while they run their modal loops.
#include "base/late_binding.h"
#include "base/ports.h"
#include "core/General.h"
#include "platform/file_services_win.h"
#include "platform/platform_win.h"
#include "platform/settings_win.h"
#include "standin_test_support.h"
#include "ui/program_windows.h"
#include "ui_helpers.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// The real platform, except that the message boxes it shows are also
// recorded, the automation object does nothing, and ending the program is
// observed, not done.
class RecordingPlatform : public Win32Platform {
public:
    struct Message {
        std::string text;
        std::string caption;
        MsgIcon icon;
        MsgButtons buttons;
    };
    std::vector<Message> messages;
    int ended = 0;
    int exitCode = -1; // of the last end of the program

    std::shared_ptr<LateBound> createObject(const std::string& progId, ServerStart start) override;
    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    [[noreturn]] void endProgram(int exitCode) override;
};

// Steps that a thread timer runs one after another, also inside modal loops;
// a step answers true when it is done. When the steps do not finish within
// the time limit, the test fails and every dialog of the thread is closed, so
// that no modal loop waits for ever.
class Script {
public:
    explicit Script(std::vector<std::function<bool()>> steps, DWORD limitMilliseconds = 30000);
    bool finished() const { return next_ == steps_.size(); }
    // The limit passed before every step was done (a failure was added).
    bool timedOut() const { return timedOut_; }
    // Runs the thread's events until every step was done or the limit passed;
    // answers whether every step was done.
    bool waitUntilFinished();

private:
    bool run();
    std::vector<std::function<bool()>> steps_;
    std::size_t next_ = 0;
    ULONGLONG deadline_;
    bool timedOut_ = false;
    ScriptedUser user_;
};

// The fixture: the program's windows, the real file services and a settings
// store in a scratch key; the coordinator is built by startCoordinator.
struct DialogTest : ::testing::Test {
    ScratchRegistryKey settingsKey;
    RecordingPlatform platform;
    ProgramForms windows;
    Win32FileServices files;
    RegistrySettingsStore settings{settingsKey.path()};

    DialogTest();
    ~DialogTest() override;

    // The start-up routine without its two dialogs: coordinator, extension
    // manager, main window shown.
    void startCoordinator();
    HWND mainWindow() { return windows.Form2().hwnd(); }
    // A menu command of the main window; returns when its handler has.
    void menu(int id);
};

// A visible dialog of this thread with the caption, or nullptr.
HWND dialogCaptioned(const std::wstring& caption);
// The visible Open or Save dialog of this thread, or nullptr.
HWND fileDialog();
// True when the window exists and is visible.
bool shown(HWND window);
// Presses the dialog's button (or clicks its notifying label) the way the
// control does: the command is posted to the dialog.
void click(HWND dialog, int id, WORD notification = BN_CLICKED);
// Closes the window with its close box.
void closeBox(HWND window);
// Steps for the system's dialogs.
bool typeFileNameAndOpen(const std::string& path);
bool cancelFileDialog();
bool chooseFolder(const std::string& path);
bool cancelFolderBrowser();
// The entries of a list box.
std::vector<std::string> listEntries(HWND list);
