#include "e2e_support.h"

#include "core/Mediator.h"
#include "platform/automation_win.h"
#include "platform/wide_win.h"
#include "ui/Form1_ids.h"
#include "ui/Form2_ids.h"
#include "ui/frmExtension_ids.h"
#include "ui/frmMacroSelect_ids.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

std::shared_ptr<LateBound> EndToEndPlatform::createObject(const std::string& progId, ServerStart start) {
    creations.push_back(GetTickCount64());
    starts.push_back(start);
    return createAutomationObject(progId, serverContext, limits);
}

EndToEnd::EndToEnd() {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    General::reset();
    General::install({&platform, &windows, &files, &settings});
    source = scratch.path("source");
    target = scratch.path("target");
    CreateDirectoryW(widen(source).c_str(), nullptr);
    CreateDirectoryW(widen(target).c_str(), nullptr);
    journal = scratch.path("journal.txt");
    standin.journal(journal);
}

EndToEnd::~EndToEnd() {
    General::reset(); // lets the server go
}

std::string EndToEnd::document(const std::string& name, const std::string& bytes) {
    const std::string path = source + "\\" + name;
    writeBytes(path, bytes);
    originals[path] = bytes;
    return path;
}

std::string EndToEnd::macro(const std::string& name, const std::string& lines) {
    const std::string path = scratch.path(name);
    writeBytes(path, lines);
    return path;
}

void EndToEnd::storeMacro(const std::string& path) {
    settings.SaveSetting(files.programName(), "Options", "macro", path);
}

std::string EndToEnd::storedMacro() {
    return settings.GetSetting(files.programName(), "Options", "macro", "");
}

void EndToEnd::startCoordinator() {
    General::mediator = std::make_shared<Mediator>();
    General::forms().frmExtension();
    General::mediator->init();
    General::forms().Form2().show();
}

std::vector<std::string> EndToEnd::shownRows() {
    windows.Form2().updateList();
    HWND list = windows.Form2().listView();
    std::vector<std::string> rows;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        std::string row;
        for (int column = 0; column < 2; ++column) {
            wchar_t buffer[1024] = {};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = buffer;
            item.cchTextMax = 1024;
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            row += (column == 0 ? "" : "|") + narrow(buffer);
        }
        rows.push_back(row);
    }
    return rows;
}

void RecordingTaskbar::setProgress(HWND, unsigned long long completed, unsigned long long total) {
    calls.push_back(std::to_string(completed) + "/" + std::to_string(total));
}

void RecordingTaskbar::setState(HWND, State state) {
    calls.push_back(state == State::Normal ? "normal" : state == State::Error ? "error" : "none");
}

std::string EndToEnd::statusText(int part) {
    return statusBarText(windows.Form2().statusBar(), part);
}

std::string EndToEnd::rowTip(int index) {
    wchar_t text[INFOTIPSIZE] = L"untouched";
    NMLVGETINFOTIPW tip{};
    tip.hdr = {windows.Form2().listView(), IDC_LISTVIEW1, LVN_GETINFOTIPW};
    tip.pszText = text;
    tip.cchTextMax = INFOTIPSIZE;
    tip.iItem = index;
    SendMessageW(mainWindow(), WM_NOTIFY, IDC_LISTVIEW1, reinterpret_cast<LPARAM>(&tip));
    return narrow(text);
}

void EndToEnd::selectRow(int index) {
    HWND list = windows.Form2().listView();
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (index >= 0)
        ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::vector<std::string> EndToEnd::commandsFor(const std::string& path, bool untilNextDocument) {
    const std::string temp = files.temporaryFolder();
    std::vector<std::string> out;
    bool inside = false;
    for (const std::string& line : journalLines(journal)) {
        if (line.rfind("FileOpen\t", 0) == 0) {
            if (inside)
                break;
            inside = line == "FileOpen\t" + path;
        }
        if (!inside)
            continue;
        std::string shown = line;
        if (line.rfind("FileSave\t" + temp, 0) == 0 && line.size() > 4 &&
            line.substr(line.size() - 4) == ".tmp")
            shown = "FileSave\t<temp>";
        out.push_back(shown);
        if (line == "CloseNoSave" && !untilNextDocument)
            break;
    }
    return out;
}

void EndToEnd::expectSourcesUnchanged() {
    for (const auto& [path, bytes] : originals)
        EXPECT_EQ(readBytes(path), bytes) << path;
}

HWND quickStart() {
    return dialogCaptioned(L"Quick Start");
}
HWND batchDocuments() {
    return dialogCaptioned(L"Batch Documents");
}
HWND extensionManager() {
    return dialogCaptioned(L"Extension manager");
}

HWND macroDialog() {
    for (HWND dialog : threadWindows(L"#32770"))
        if (GetDlgItem(dialog, IDC_TXTPATHFILE) != nullptr)
            return dialog;
    return nullptr;
}

std::function<bool()> untilText(std::function<HWND()> dialog, int id, std::string text) {
    return [=] {
        HWND window = dialog();
        return shown(window) && controlText(window, id) == text;
    };
}

std::function<bool()> press(std::function<HWND()> dialog, int id) {
    return [=] {
        HWND window = dialog();
        if (!shown(window) || !IsWindowEnabled(window))
            return false;
        click(window, id);
        return true;
    };
}

std::function<bool()> answerBox(const std::wstring& caption, std::wstring* text) {
    return [=] {
        HWND box = dialogCaptioned(caption);
        if (!shown(box))
            return false;
        if (text) {
            const auto texts = staticTexts(box);
            *text = texts.empty() ? L"" : texts.back();
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
    };
}

std::function<bool()> pickFolder(std::string path) {
    return [path] { return chooseFolder(path); };
}

std::vector<std::function<bool()>> pickFolders(const std::string& source, const std::string& target) {
    // A box may show its folder from an earlier batch already: each browser
    // is gone before the next button is pressed.
    const auto browserGone = [] { return dialogCaptioned(L"Browse for Folder") == nullptr; };
    std::vector<std::function<bool()>> steps{
        press(batchDocuments, IDC_BTNSOURCE),
        pickFolder(source),
        browserGone,
        untilText(batchDocuments, IDC_TXTSRCFOLDER, source),
        press(batchDocuments, IDC_BTNTARGET),
    };
    if (target.empty())
        steps.insert(steps.end(),
                     {cancel(L"Browse for Folder"), untilText(batchDocuments, IDC_TXTTGTFOLDER, "")});
    else
        steps.insert(steps.end(), {pickFolder(target), untilText(batchDocuments, IDC_TXTTGTFOLDER, target)});
    return steps;
}

std::function<bool()> typeInto(std::wstring caption, std::string path) {
    return [=] {
        HWND dialog = dialogCaptioned(caption);
        if (!shown(dialog) || fileDialog() != dialog)
            return false;
        return typeFileNameAndOpen(path);
    };
}

std::function<bool()> cancel(std::wstring caption) {
    return [=] {
        HWND dialog = dialogCaptioned(caption);
        if (!shown(dialog))
            return false;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    };
}
