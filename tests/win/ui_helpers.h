#pragma once
// Helpers for tests that drive the program's real windows in this process:
// a timer on the test's thread finds each window as it appears and acts on it.
#include "platform/window_text_win.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Top-level windows of this thread with the given class (e.g. L"#32770").
std::vector<HWND> threadWindows(const wchar_t* className);
// The texts of a dialog's static controls, in creation order.
std::vector<std::wstring> staticTexts(HWND dialog);

// While alive, calls the handler every few milliseconds from a thread timer
// (so it also runs inside modal loops); the handler answers true when it has
// done its work, after which it is not called again.
class ScriptedUser {
public:
    explicit ScriptedUser(std::function<bool()> step);
    ~ScriptedUser();
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;
    bool done() const { return done_; }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    std::function<bool()> step_;
    UINT_PTR timer_ = 0;
    bool done_ = false;
};

// A message box the scripted user saw and answered.
struct SeenMessage {
    std::wstring caption;
    std::wstring text;
};
// Answers the next message box of this thread with OK and records it.
std::function<bool()> answerMessageBox(SeenMessage& seen, int button = IDOK);

// While alive, answers every message box of this thread with the button and
// records each one, so that a test can count the boxes a call showed (and
// an unexpected box cannot hang the test). Other dialogs are left alone.
class MessageBoxes {
public:
    explicit MessageBoxes(int button = IDOK);
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;
    const std::vector<SeenMessage>& seen() const { return seen_; }
    // The captions and texts seen, one "caption: text" each, for messages.
    std::string list() const;

private:
    bool step();
    int button_;
    std::vector<SeenMessage> seen_;
    std::vector<HWND> answered_; // answered, possibly not closed yet
    ScriptedUser user_;
};

// A step for ScriptedUser that presses Escape (IDCANCEL) in every dialog of
// this thread that is not a message box, for as long as it runs: the
// program's start-up dialogs are left that way.
std::function<bool()> escapeEveryDialog();

// True for a message box (the system's dialog with its text control),
// false for other dialogs such as the file dialogs.
bool isMessageBox(HWND dialog);

// The clipboard's text, in UTF-8.
std::string clipboardText();
// Ctrl+C as a control receives it.
void pressControlC(HWND control);
// The text of a part of a status bar, in UTF-8.
std::string statusBarText(HWND bar, int part);
