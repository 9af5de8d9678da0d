#include "dialog_test_support.h"

#include "core/Mediator.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include <atomic>

namespace {

class Inert : public LateBound {
public:
    Value call(std::string_view, std::span<const Arg>) override { return {}; }
    Value get(std::string_view) override { return Value{false}; }
};

// The file name box of the Open and Save dialogs (cmb13), and the plain
// edit box of the older layout (edt1).
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;

} // namespace

std::shared_ptr<LateBound> RecordingPlatform::createObject(const std::string&, ServerStart) {
    return std::make_shared<Inert>();
}

MsgAnswer RecordingPlatform::messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                                        MsgButtons buttons) {
    messages.push_back({text, caption, icon, buttons});
    return Win32Platform::messageBox(text, caption, icon, buttons);
}

void RecordingPlatform::endProgram(int code) {
    ++ended;
    exitCode = code;
    throw ProgramEnded{};
}

Script::Script(std::vector<std::function<bool()>> steps, DWORD limitMilliseconds)
    : steps_(std::move(steps)), deadline_(GetTickCount64() + limitMilliseconds),
      user_([this] { return run(); }) {}

bool Script::waitUntilFinished() {
    while (!finished() && !timedOut())
        processPendingEvents();
    return finished();
}

bool Script::run() {
    if (GetTickCount64() > deadline_) {
        if (!timedOut_)
            ADD_FAILURE() << "the scripted user's step " << next_ + 1 << " of " << steps_.size()
                          << " did not happen in time";
        timedOut_ = true;
        for (HWND dialog : threadWindows(L"#32770"))
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        return false; // keeps closing what comes up
    }
    while (next_ < steps_.size()) {
        if (!steps_[next_]())
            return false;
        ++next_;
    }
    return true;
}

DialogTest::DialogTest() {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    General::reset();
    General::install({&platform, &windows, &files, &settings});
}

DialogTest::~DialogTest() {
    General::reset();
}

void DialogTest::startCoordinator() {
    General::mediator = std::make_shared<Mediator>();
    General::forms().frmExtension();
    General::mediator->init();
    General::forms().Form2().show();
}

void DialogTest::menu(int id) {
    SendMessageW(mainWindow(), WM_COMMAND, static_cast<WPARAM>(id), 0);
}

HWND dialogCaptioned(const std::wstring& caption) {
    for (HWND dialog : threadWindows(L"#32770"))
        if (windowText(dialog) == caption)
            return dialog;
    return nullptr;
}

HWND fileDialog() {
    for (HWND dialog : threadWindows(L"#32770"))
        if (GetDlgItem(dialog, kFileNameCombo) != nullptr || GetDlgItem(dialog, kFileNameEdit) != nullptr)
            return dialog;
    return nullptr;
}

bool shown(HWND window) {
    return window != nullptr && IsWindow(window) && IsWindowVisible(window);
}

void click(HWND dialog, int id, WORD notification) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void closeBox(HWND window) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool typeFileNameAndOpen(const std::string& path) {
    HWND dialog = fileDialog();
    if (dialog == nullptr)
        return false;
    const int box = GetDlgItem(dialog, kFileNameCombo) != nullptr ? kFileNameCombo : kFileNameEdit;
    SetDlgItemTextW(dialog, box, widen(path).c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return true;
}

bool cancelFileDialog() {
    HWND dialog = fileDialog();
    if (dialog == nullptr)
        return false;
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return true;
}

bool chooseFolder(const std::string& path) {
    HWND browser = dialogCaptioned(L"Browse for Folder");
    if (browser == nullptr)
        return false;
    // The browser fills its tree as it goes, so a selection may not take at
    // once: accept only when the tree shows the folder selected.
    HWND tree = FindWindowExW(browser, nullptr, WC_TREEVIEWW, nullptr);
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = tree != nullptr ? TreeView_GetSelection(tree) : nullptr;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (item.hItem != nullptr)
        TreeView_GetItem(tree, &item);
    if (narrow(text) == path.substr(path.find_last_of('\\') + 1)) {
        PostMessageW(browser, WM_COMMAND, IDOK, 0);
        return true;
    }
    const std::wstring wide = widen(path);
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
    return false;
}

bool cancelFolderBrowser() {
    HWND browser = dialogCaptioned(L"Browse for Folder");
    if (browser == nullptr)
        return false;
    PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
    return true;
}

std::vector<std::string> listEntries(HWND list) {
    std::vector<std::string> entries;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        entries.push_back(narrow(text));
    }
    return entries;
}
