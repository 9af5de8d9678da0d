#include "ui/web_link.h"

#include "core/General.h"
#include "core/ports.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

#include <shellapi.h>

#include <string>

namespace {

// A new placeholder page in the user's temporary folder, deleted when the
// owner goes out of scope, whatever happened meanwhile. The name is unique
// (made with CREATE_NEW), so two runs never share or delete each other's file.
class PlaceholderPage {
public:
    PlaceholderPage() {
        std::wstring folder(MAX_PATH + 1, L'\0');
        const DWORD n = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
        if (n == 0 || n >= folder.size())
            return;
        folder.resize(n);
        if (folder.back() != L'\\')
            folder += L'\\';
        const std::wstring stem = folder + kWebLinkPlaceholderPrefix +
                                  std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(GetTickCount64()) + L"-";
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::wstring candidate = stem + std::to_wstring(attempt) + L".htm";
            UniqueHandle file(CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY, nullptr));
            if (!file) {
                if (GetLastError() == ERROR_FILE_EXISTS)
                    continue;
                return;
            }
            path_ = std::move(candidate);
            // One line: the quotation marks belong to it.
            static constexpr char line[] = "\"<HTML> <\\HTML>\"\r\n";
            DWORD written = 0;
            WriteFile(file.get(), line, sizeof line - 1, &written, nullptr);
            return;
        }
    }
    ~PlaceholderPage() {
        if (!path_.empty())
            DeleteFileW(path_.c_str());
    }
    PlaceholderPage(const PlaceholderPage&) = delete;
    PlaceholderPage& operator=(const PlaceholderPage&) = delete;

    // Empty when no file could be made; the system then finds no program
    // for it and the user is told so.
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

std::wstring trimSpaces(const std::wstring& text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

} // namespace

void OpenMakerWebPage(HWND owner) {
    const PlaceholderPage page;
    // FindExecutableW writes at most MAX_PATH characters.
    std::wstring browser(MAX_PATH + 1, L'\0');
    const auto found =
        reinterpret_cast<INT_PTR>(FindExecutableW(page.path().c_str(), nullptr, browser.data()));
    browser = trimSpaces(browser.c_str());
    Platform& platform = General::platform();
    if (found <= 32) {
        platform.messageBox("Could not find associated Browser", "Browser Not Found", MsgIcon::Exclamation,
                            MsgButtons::Ok);
        return;
    }
    const std::wstring address = widen(kMakerWebAddress);
    const auto started = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", browser.c_str(), address.c_str(), nullptr, SW_SHOWNORMAL));
    if (started <= 32)
        platform.messageBox("Web Page not Opened", "URL Failed", MsgIcon::Exclamation, MsgButtons::Ok);
}
