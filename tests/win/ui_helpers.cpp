#include "ui_helpers.h"

#include "platform/wide_win.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

std::vector<HWND> threadWindows(const wchar_t* wanted) {
    struct Search {
        const wchar_t* wanted;
        std::vector<HWND> found;
    } search{wanted, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (IsWindowVisible(hwnd) && className(hwnd) == s->wanted)
                s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::wstring> staticTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (className(child) == L"Static" && GetWindowTextLengthW(child) > 0)
            texts.push_back(windowText(child));
    }
    return texts;
}

namespace {
std::map<UINT_PTR, ScriptedUser*>& users() {
    static std::map<UINT_PTR, ScriptedUser*> all;
    return all;
}
} // namespace

ScriptedUser::ScriptedUser(std::function<bool()> step) : step_(std::move(step)) {
    timer_ = SetTimer(nullptr, 0, 20, &ScriptedUser::tick);
    users()[timer_] = this;
}

ScriptedUser::~ScriptedUser() {
    KillTimer(nullptr, timer_);
    users().erase(timer_);
}

void CALLBACK ScriptedUser::tick(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = users().find(id);
    if (it == users().end() || it->second->done_)
        return;
    ScriptedUser& user = *it->second;
    user.done_ = true; // no second call while the step itself runs a modal loop
    user.done_ = user.step_();
}

std::function<bool()> answerMessageBox(SeenMessage& seen, int button) {
    return [&seen, button] {
        for (HWND box : threadWindows(L"#32770")) {
            seen.caption = windowText(box);
            const auto texts = staticTexts(box);
            seen.text = texts.empty() ? L"" : texts.back();
            PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
            return true;
        }
        return false;
    };
}

bool isMessageBox(HWND dialog) {
    // The system's message boxes give their text control the identifier 0xFFFF.
    return GetDlgItem(dialog, 0xFFFF) != nullptr;
}

MessageBoxes::MessageBoxes(int button) : button_(button), user_([this] { return step(); }) {}

bool MessageBoxes::step() {
    std::erase_if(answered_, [](HWND box) { return !IsWindow(box) || !IsWindowVisible(box); });
    for (HWND box : threadWindows(L"#32770")) {
        if (!isMessageBox(box) || std::find(answered_.begin(), answered_.end(), box) != answered_.end())
            continue;
        const auto texts = staticTexts(box);
        seen_.push_back({windowText(box), texts.empty() ? L"" : texts.back()});
        answered_.push_back(box);
        PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button_), 0);
    }
    return false; // keeps watching
}

std::function<bool()> escapeEveryDialog() {
    return [] {
        for (HWND dialog : threadWindows(L"#32770"))
            if (!isMessageBox(dialog))
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return false; // keeps watching
    };
}

std::string MessageBoxes::list() const {
    std::string all;
    for (const auto& message : seen_)
        all += narrow(message.caption) + ": " + narrow(message.text) + "\n";
    return all;
}

std::string clipboardText() {
    if (!OpenClipboard(nullptr))
        return "<the clipboard could not be opened>";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::string text = data == nullptr ? "" : narrow(static_cast<const wchar_t*>(GlobalLock(data)));
    if (data != nullptr)
        GlobalUnlock(data);
    CloseClipboard();
    return text;
}

void pressControlC(HWND control) {
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE pressed = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(control, WM_KEYDOWN, 'C', 0);
    keys[VK_CONTROL] = pressed;
    SetKeyboardState(keys);
}

std::string statusBarText(HWND bar, int part) {
    std::wstring text(LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0)) + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    return narrow(text.c_str());
}
