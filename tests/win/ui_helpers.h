#pragma once
// Helpers for tests that drive the program's real windows in this process:
// a timer on the test's thread finds each window as it appears and acts on it.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The text of a window or control.
std::wstring windowText(HWND hwnd);
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
