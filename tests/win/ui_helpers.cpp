#include "ui_helpers.h"

#include <map>
#include <shellapi.h>

std::wstring windowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

std::vector<HWND> threadWindows(const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        std::vector<HWND> found;
    } search{className, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t name[64];
            GetClassNameW(hwnd, name, 64);
            if (IsWindowVisible(hwnd) && std::wstring(name) == s->className)
                s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::wstring> staticTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64];
        GetClassNameW(child, name, 64);
        if (std::wstring(name) == L"Static" && GetWindowTextLengthW(child) > 0)
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

TestFolder::TestFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    path_ = std::wstring(temp) + L"tarnwick-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TestFolder::~TestFolder() {
    std::wstring from = path_;
    from.push_back(L'\0'); // the shell wants a double-NUL-terminated list
    // Clear attributes that would stop the removal first.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path_ + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do
            SetFileAttributesW((path_ + L"\\" + data.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
        while (FindNextFileW(find, &data));
        FindClose(find);
    }
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
}

std::wstring TestFolder::file(const std::wstring& name, const std::string& content, DWORD attributes) const {
    const std::wstring full = path_ + L"\\" + name;
    HANDLE h = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(h);
    if (attributes != 0)
        SetFileAttributesW(full.c_str(), attributes);
    return full;
}
