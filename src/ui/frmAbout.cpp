#include "ui/frmAbout.h"

#include "base/file_services.h"
#include "base/ports.h"
#include "core/General.h"
#include "platform/handles_win.h"
#include "platform/paths_win.h"
#include "platform/platform_win.h"
#include "platform/registry_win.h"
#include "platform/wide_win.h"
#include "ui/frmAbout_ids.h"
#include "ui/window_util.h"
#include "version.h"

#include <algorithm>
#include <vector>

namespace {

const char* const kCredit = "Tarnwick was created by Fenmoor Ruvu in December 2026.";

void sayUnavailable() {
    General::platform().messageBox("System Information Is Unavailable At This Time", TARNWICK_TITLE,
                                   MsgIcon::None, MsgButtons::Ok);
}

// Starts the program with a normal, focused window; false when it cannot be
// started.
bool startProgram(const std::string& path) {
    std::wstring commandLine = L"\"" + widen(path) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    // The program runs on its own; nothing waits for it.
    UniqueHandle thread(process.hThread), started(process.hProcess);
    return true;
}

} // namespace

frmAbout::frmAbout() : DialogWindow(IDD_FRMABOUT, "the About box") {}

void frmAbout::show() {
    showModeless();
}

void frmAbout::initialise() {
    setCaption(std::string("About ") + TARNWICK_TITLE);
    const std::string version = versionText();
    if (!version.empty())
        setItemText(IDC_LBLVERSION, version);
    setItemText(IDC_LBLTITLE, TARNWICK_TITLE);
}

void frmAbout::makeFonts(UINT dpi) {
    titleFont_.reset(makeFont(L"Arial", 12, FontLook::Bold, dpi));
    setItemFont(IDC_LBLTITLE, titleFont_.get());
}

std::string frmAbout::versionText() {
    const std::wstring module = modulePath();
    if (module.empty())
        return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(module.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(module.c_str(), 0, size, data.data()))
        return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    // The file version is major, minor, revision, 0.
    return "Version " + std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS));
}

bool frmAbout::GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName,
                           std::string& value) {
    const RegistryValue read = readRegistryValue(root, widen(keyName), widen(valueName));
    // The value is read into room for 1024 characters: a longer one counts
    // as unreadable.
    constexpr std::size_t kLongestBytes = 1024 * sizeof(wchar_t);
    if (read.status != ERROR_SUCCESS || read.data.size() > kLongestBytes) {
        value.clear();
        return false;
    }
    switch (read.type) {
    case REG_SZ:
        value = narrow(read.text());
        break;
    case REG_DWORD: {
        DWORD number = 0;
        std::copy_n(read.data.begin(), std::min(sizeof number, read.data.size()),
                    reinterpret_cast<BYTE*>(&number));
        value = std::to_string(number);
        break;
    }
    default:
        break; // left as the caller gave it
    }
    return true;
}

void frmAbout::StartSysInfo() {
    StartSysInfo(SysInfoRegistry{});
}

void frmAbout::StartSysInfo(const SysInfoRegistry& where) {
    try {
        std::string program;
        if (!GetKeyValue(where.root, where.pathKey, "PATH", program)) {
            std::string folder;
            if (!GetKeyValue(where.root, where.folderKey, "MSINFO", folder)) {
                sayUnavailable();
                return;
            }
            program = folder + "\\MSINFO32.EXE";
            if (!General::files().findOrdinaryFile(program)) {
                sayUnavailable();
                return;
            }
        }
        if (!startProgram(program))
            sayUnavailable();
    } catch (...) {
        sayUnavailable();
    }
}

bool frmAbout::command(int id, int code) {
    switch (id) {
    case IDC_CMDOK:
    case IDCANCEL: // Escape closes the box like "OK"
        destroy();
        return true;
    case IDC_CMDSYSINFO:
        StartSysInfo();
        return true;
    case IDC_LBLTITLE:
        if (code == STN_CLICKED)
            General::platform().messageBox(kCredit, TARNWICK_TITLE, MsgIcon::None, MsgButtons::Ok);
        return true;
    default:
        return false;
    }
}
