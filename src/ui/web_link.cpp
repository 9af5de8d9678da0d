#include "ui/web_link.h"

#include "base/ports.h"
#include "base/text.h"
#include "core/General.h"
#include "platform/file_services_win.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <string>

namespace {

// A new placeholder page in the user's temporary folder, deleted when the
// owner goes out of scope, whatever happened meanwhile. The name is unique
// (made with CREATE_NEW), so two runs never share or delete each other's
// file, and the folder may be of any length.
class PlaceholderPage {
public:
    PlaceholderPage() {
        NewFile page =
            createUniqueFile(Win32FileServices().temporaryFolder(), kWebLinkPlaceholderPrefix, "htm");
        if (!page.handle)
            return;
        path_ = page.path;
        // One line: the quotation marks belong to it.
        static constexpr char line[] = "\"<HTML> <\\HTML>\"\r\n";
        DWORD written = 0;
        WriteFile(page.handle.get(), line, sizeof line - 1, &written, nullptr);
    }
    ~PlaceholderPage() {
        if (!path_.empty())
            DeleteFileW(extendedPath(path_).c_str());
    }
    PlaceholderPage(const PlaceholderPage&) = delete;
    PlaceholderPage& operator=(const PlaceholderPage&) = delete;

    // Empty when no file could be made; the system then finds no program
    // for it and the user is told so.
    std::wstring path() const { return widen(path_); }

private:
    std::string path_;
};

// The path a call wrote into the buffer: up to its NUL, without the spaces
// around it.
std::wstring trimmedPath(const std::wstring& buffer) {
    return widen(trimSpaces(narrow(buffer.c_str())));
}

// The program the system opens the page with, and whether one was found.
// The shell's lookup takes paths of up to MAX_PATH characters only; for a
// longer one the program for .htm files is asked for by the extension.
bool findBrowser(const std::wstring& page, std::wstring& browser) {
    if (page.size() < MAX_PATH) {
        browser.assign(MAX_PATH + 1, L'\0');
        const auto found = reinterpret_cast<INT_PTR>(FindExecutableW(page.c_str(), nullptr, browser.data()));
        browser = trimmedPath(browser);
        return found > 32;
    }
    DWORD size = static_cast<DWORD>(kLongestPath);
    browser.assign(size, L'\0');
    const HRESULT hr =
        AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, L".htm", L"open", browser.data(), &size);
    browser = trimmedPath(browser);
    return SUCCEEDED(hr) && !browser.empty();
}

} // namespace

void OpenMakerWebPage(HWND owner) {
    const PlaceholderPage page;
    std::wstring browser;
    Platform& platform = General::platform();
    if (!findBrowser(page.path(), browser)) {
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
