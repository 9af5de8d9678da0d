// The Quick Start, Batch Documents and macro selection dialogs with the real
// windows and the system's file dialogs and folder browser, driven by a
// scripted user while they run their modal loops.
#include "base/late_binding.h"
#include "base/ports.h"
#include "base/settings.h"
#include "control/Command.h"
#include "core/Mediator.h"
#include "dialog_test_support.h"
#include "platform/batch_lock_win.h"
#include "platform/wide_win.h"
#include "probe.h"
#include "standin_test_support.h"
#include "ui/Form1_ids.h"
#include "ui/Form2_ids.h"
#include "ui/Form3_ids.h"
#include "ui/frmMacroSelect_ids.h"

#include <commctrl.h>

namespace {

const char* const kDescription =
    "When you need to run a macro on a folder full of WordPerfect documents. Opens each WordPerfect document "
    "found in a folder and runs a macro on it. Great for customized migration of documents, changing headers "
    "footers and/or text. Write a custom, wcm, macro and use Tarnwick to run the macro on a batch of "
    "WordPerfect "
    "documents.";

HWND ownerOf(HWND window) {
    return GetWindow(window, GW_OWNER);
}

using QuickStart = DialogTest;

TEST_F(QuickStart, StartUpShowsQuickStartThenTheMacroDialogBothOwnedByTheMainWindow) {
    HWND quick = nullptr, macro = nullptr;
    bool mainDisabledMeanwhile = false;
    Script user({
        [&] {
            quick = dialogCaptioned(L"Quick Start");
            if (quick == nullptr)
                return false;
            EXPECT_EQ(ownerOf(quick), mainWindow());
            mainDisabledMeanwhile = !IsWindowEnabled(mainWindow());
            EXPECT_EQ(controlText(quick, IDC_QS_LABEL2), "Tarnwick");
            EXPECT_EQ(controlText(quick, IDC_QS_LABEL1), "Select one...");
            EXPECT_EQ(controlText(quick, IDC_QS_BTNBATCH), "BatchDocuments");
            EXPECT_EQ(controlText(quick, IDC_QS_BTNSINGLE), "Open Document");
            EXPECT_EQ(controlText(quick, IDC_QS_BTNCANCEL), "Cancel");
            EXPECT_EQ(controlText(quick, IDC_QS_LABEL5), kDescription);
            EXPECT_EQ(controlText(quick, IDC_QS_LABEL6), "Created by: Fenmoor Ruvu");
            EXPECT_EQ(controlText(quick, IDC_QS_LABEL7), "For more details please contact Fenmoor Ruvu");
            EXPECT_EQ(controlText(quick, IDC_QS_LABEL3), "https://tarnwick.example.org/");
            // The link reports clicks; the two pictures carry images.
            EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(quick, IDC_QS_LABEL3), GWL_STYLE) & SS_NOTIFY);
            for (int picture : {IDC_QS_PICTURE2, IDC_QS_PICTURE3})
                EXPECT_NE(SendDlgItemMessageW(quick, picture, STM_GETICON, 0, 0), 0) << picture;
            click(quick, IDC_QS_BTNCANCEL);
            return true;
        },
        [&] {
            macro = windows.frmMacroSelect().hwnd();
            if (!shown(macro) || shown(quick))
                return false;
            EXPECT_EQ(ownerOf(macro), mainWindow());
            EXPECT_EQ(windowText(macro), L"") << "the title bar carries no text";
            EXPECT_EQ(controlText(macro, IDC_TXTPATHFILE), "") << "start-up does not fill the box";
            click(macro, IDC_MS_BTNCANCEL);
            return true;
        },
    });
    General::Main();
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(mainDisabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(mainWindow())) << "enabled again after the modal showings";
    // Hidden, not destroyed.
    EXPECT_TRUE(IsWindow(quick));
    EXPECT_FALSE(IsWindowVisible(quick));
    EXPECT_TRUE(IsWindow(macro));
    EXPECT_FALSE(IsWindowVisible(macro));
    EXPECT_EQ(Probe::mode(*General::mediator), Probe::Mode::Idle) << "Cancel changes no mode";
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(QuickStart, BatchDocumentsReturnsOnlyWhenTheBatchDialogIsHiddenAndCancelStartsNothing) {
    startCoordinator();
    HWND quick = windows.Form3().hwnd();
    HWND batch = nullptr;
    Script user({
        [&] {
            if (!shown(quick))
                return false;
            click(quick, IDC_QS_BTNBATCH);
            return true;
        },
        [&] {
            batch = windows.Form1().hwnd();
            if (!shown(batch))
                return false;
            EXPECT_FALSE(shown(quick)) << "Quick Start is hidden first";
            EXPECT_EQ(ownerOf(batch), nullptr);
            click(batch, IDC_BD_COMMAND2);
            return true;
        },
    });
    windows.showQuickStartOwnedByMain();
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(shown(batch));
    EXPECT_TRUE(IsWindow(batch));
    EXPECT_FALSE(Probe::startCommand(windows.Form1()));
    EXPECT_FALSE(Probe::latestCmd1(*General::mediator));
    EXPECT_TRUE(IsWindowEnabled(mainWindow()));
}

TEST_F(QuickStart, OpenDocumentHidesItselfAndConvertsTheDocumentTypedInTheOpenDialog) {
    startCoordinator();
    ScratchFolder folder;
    // An extension outside the list: it can be chosen by typing its name,
    // and then nothing is queued.
    const std::string document = folder.file("notes.txt", "text");
    HWND quick = windows.Form3().hwnd();
    Script user({
        [&] {
            if (!shown(quick))
                return false;
            click(quick, IDC_QS_BTNSINGLE);
            return true;
        },
        [&] {
            if (fileDialog() == nullptr)
                return false;
            EXPECT_FALSE(shown(quick));
            return typeFileNameAndOpen(document);
        },
    });
    windows.showQuickStartOwnedByMain();
    EXPECT_TRUE(user.finished());
    Mediator& coordinator = *General::mediator;
    EXPECT_EQ(coordinator.GetSourceFile(), document);
    EXPECT_EQ(coordinator.GetTgtFolder(), folder.folder() + "\\");
    EXPECT_EQ(Probe::mode(coordinator), Probe::Mode::SingleDocument);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(QuickStart, CloseBoxDestroysItAndTheNextShowingBuildsItAgain) {
    startCoordinator();
    HWND first = windows.Form3().hwnd();
    Script close({[&] {
        if (!shown(first))
            return false;
        closeBox(first);
        return true;
    }});
    windows.showQuickStartOwnedByMain();
    EXPECT_TRUE(close.finished());
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindowEnabled(mainWindow()));

    HWND second = nullptr;
    Script cancel({[&] {
        second = windows.Form3().hwnd();
        if (!shown(second))
            return false;
        EXPECT_EQ(controlText(second, IDC_QS_LABEL3), "https://tarnwick.example.org/");
        click(second, IDC_QS_BTNCANCEL);
        return true;
    }});
    windows.showQuickStartOwnedByMain();
    EXPECT_TRUE(cancel.finished());
    EXPECT_NE(second, nullptr);
    EXPECT_TRUE(IsWindow(second));
}

using BatchDocuments = DialogTest;

// The user presses the Batch Documents dialog's Start once it is shown, and
// then, when asked to, answers the program's message box with OK.
Script pressingStart(ProgramForms& windows, bool answerMessage = false) {
    std::vector<std::function<bool()>> steps = {[&windows] {
        HWND batch = windows.Form1().hwnd();
        if (!shown(batch))
            return false;
        click(batch, IDC_BD_COMMAND1);
        return true;
    }};
    if (answerMessage)
        steps.push_back([] {
            HWND box = dialogCaptioned(L"Tarnwick");
            if (box == nullptr || !isMessageBox(box))
                return false;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return true;
        });
    return Script(std::move(steps));
}

TEST_F(BatchDocuments, FolderChoicesFillTheDialogAndSurviveTheNextShowing) {
    startCoordinator();
    ScratchFolder source, target;
    source.file("b.wpd", "x");
    source.file("A.WPD", "x");
    source.file("notes.txt", "x");
    source.file("hidden.wpd", "", FILE_ATTRIBUTE_HIDDEN);
    HWND batch = nullptr;
    Script first({
        [&] {
            batch = windows.Form1().hwnd();
            if (!shown(batch))
                return false;
            EXPECT_EQ(windowText(batch), L"Batch Documents");
            EXPECT_EQ(ownerOf(batch), nullptr);
            EXPECT_FALSE(IsWindowEnabled(mainWindow()));
            click(batch, IDC_BTNSOURCE);
            return true;
        },
        [&] { return chooseFolder(source.folder()); },
        [&] {
            if (controlText(batch, IDC_TXTSRCFOLDER).empty())
                return false;
            click(batch, IDC_BTNTARGET);
            return true;
        },
        [&] { return chooseFolder(target.folder()); },
        [&] {
            if (controlText(batch, IDC_TXTTGTFOLDER).empty())
                return false;
            click(batch, IDC_BD_COMMAND2);
            return true;
        },
    });
    menu(IDM_BATCH);
    ASSERT_TRUE(first.finished());
    EXPECT_FALSE(shown(batch));
    EXPECT_TRUE(IsWindowEnabled(mainWindow()));
    EXPECT_EQ(controlText(batch, IDC_TXTSRCFOLDER), source.folder());
    EXPECT_EQ(controlText(batch, IDC_TXTTGTFOLDER), target.folder());
    EXPECT_EQ(listEntries(GetDlgItem(batch, IDC_LIST1)), (std::vector<std::string>{"A.WPD", "b.wpd"}));
    EXPECT_EQ(General::mediator->GetSourceFolder(), source.folder());
    EXPECT_EQ(General::mediator->GetTgtFolder(), target.folder());

    // Shown again: what it held is still there. Cancelling the target
    // browser empties the target box and the stored target.
    std::string sourceShown;
    std::vector<std::string> listShown;
    Script second({
        [&] {
            if (!shown(batch))
                return false;
            sourceShown = controlText(batch, IDC_TXTSRCFOLDER);
            listShown = listEntries(GetDlgItem(batch, IDC_LIST1));
            click(batch, IDC_BTNTARGET);
            return true;
        },
        [&] { return cancelFolderBrowser(); },
        [&] {
            if (dialogCaptioned(L"Browse for Folder") != nullptr ||
                !controlText(batch, IDC_TXTTGTFOLDER).empty())
                return false;
            click(batch, IDC_BTNSOURCE);
            return true;
        },
        [&] { return cancelFolderBrowser(); },
        [&] {
            if (dialogCaptioned(L"Browse for Folder") != nullptr)
                return false;
            click(batch, IDC_BD_COMMAND2);
            return true;
        },
    });
    menu(IDM_BATCH);
    ASSERT_TRUE(second.finished());
    EXPECT_EQ(windows.Form1().hwnd(), batch) << "the same window, shown again";
    EXPECT_EQ(sourceShown, source.folder());
    EXPECT_EQ(listShown, (std::vector<std::string>{"A.WPD", "b.wpd"}));
    EXPECT_EQ(controlText(batch, IDC_TXTTGTFOLDER), "");
    EXPECT_EQ(General::mediator->GetTgtFolder(), "");
    // A cancelled source choice keeps everything.
    EXPECT_EQ(controlText(batch, IDC_TXTSRCFOLDER), source.folder());
    EXPECT_EQ(General::mediator->GetSourceFolder(), source.folder());
    EXPECT_EQ(listEntries(GetDlgItem(batch, IDC_LIST1)).size(), 2u);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(BatchDocuments, CloseBoxDestroysItAndTheNextShowingIsEmpty) {
    startCoordinator();
    windows.Form1().setSourceFolderText("C:\\before");
    windows.Form1().setTargetFolderText("C:\\after");
    windows.Form1().addFoundDocument("a.wpd");
    HWND first = windows.Form1().hwnd();
    Script close({[&] {
        if (!shown(first))
            return false;
        closeBox(first);
        return true;
    }});
    menu(IDM_BATCH);
    ASSERT_TRUE(close.finished());
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindowEnabled(mainWindow()));

    HWND second = nullptr;
    std::string sourceShown = "unset", targetShown = "unset";
    std::size_t entriesShown = 99;
    Script cancel({[&] {
        second = windows.Form1().hwnd();
        if (!shown(second))
            return false;
        sourceShown = controlText(second, IDC_TXTSRCFOLDER);
        targetShown = controlText(second, IDC_TXTTGTFOLDER);
        entriesShown = listEntries(GetDlgItem(second, IDC_LIST1)).size();
        click(second, IDC_BD_COMMAND2);
        return true;
    }});
    menu(IDM_BATCH);
    ASSERT_TRUE(cancel.finished());
    EXPECT_EQ(sourceShown, "");
    EXPECT_EQ(targetShown, "");
    EXPECT_EQ(entriesShown, 0u);
}

TEST_F(BatchDocuments, StartHidesTheDialogRunsTheBatchAndKeepsANewCommandEachTime) {
    startCoordinator();
    ScratchFolder source, target; // no documents: the batch has nothing to do
    // The boxes show the folders picked; the target kept by the coordinator
    // is another (a single document's folder, say): the batch takes the
    // folders the dialog shows.
    windows.Form1().setSourceFolderText(source.folder());
    windows.Form1().setTargetFolderText(target.folder());
    General::mediator->SetTgtFolder(source.folder() + "\\");
    auto pressStart = [&] { return pressingStart(windows); };
    std::shared_ptr<cmd1> firstCommand;
    {
        Script user = pressStart();
        menu(IDM_BATCH);
        ASSERT_TRUE(user.finished());
    }
    EXPECT_FALSE(shown(windows.Form1().hwnd()));
    EXPECT_EQ(General::mediator->GetSourceFolder(), source.folder());
    EXPECT_EQ(General::mediator->GetTgtFolder(), target.folder());
    firstCommand = Probe::startCommand(windows.Form1());
    ASSERT_TRUE(firstCommand);
    EXPECT_EQ(Probe::latestCmd1(*General::mediator), firstCommand)
        << "the command hands itself to the coordinator";
    EXPECT_EQ(Probe::mode(*General::mediator), Probe::Mode::Batch);
    {
        Script user = pressStart();
        menu(IDM_BATCH);
        ASSERT_TRUE(user.finished());
    }
    EXPECT_NE(Probe::startCommand(windows.Form1()), firstCommand);
    EXPECT_EQ(Probe::latestCmd1(*General::mediator), Probe::startCommand(windows.Form1()));
    EXPECT_TRUE(platform.messages.empty()) << platform.messages.front().text;
}

TEST_F(BatchDocuments, StartWhileAnotherBatchHoldsTheLockSaysSoAndConvertsNothing) {
    startCoordinator();
    ScratchFolder source, target;
    source.file("a.wpd", "text");
    windows.Form1().setSourceFolderText(source.folder());
    windows.Form1().setTargetFolderText(target.folder());
    const BatchLock another = BatchLock::tryTake();
    ASSERT_TRUE(another);
    {
        Script user = pressingStart(windows, true);
        menu(IDM_BATCH);
        ASSERT_TRUE(user.finished());
    }
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, kAnotherBatch);
    EXPECT_EQ(windows.Form2().ListView1().count(), 0u);
    EXPECT_TRUE(namesIn(target.folder()).empty());
}

using MacroSelect = DialogTest;

TEST_F(MacroSelect, AtStartUpOkWithTheEmptyBoxClearsAMacroChosenEarlier) {
    ScratchFolder folder;
    General::StoreMacroSetting(folder.file("earlier.wcm", "Top\r\n"));
    Script user({
        [&] {
            HWND quick = dialogCaptioned(L"Quick Start");
            if (!shown(quick))
                return false;
            click(quick, IDC_QS_BTNCANCEL);
            return true;
        },
        [&] {
            HWND macro = windows.frmMacroSelect().hwnd();
            if (!shown(macro) || controlText(macro, IDC_TXTPATHFILE) != "")
                return false;
            click(macro, IDC_MS_BTNOK);
            return true;
        },
    });
    General::Main();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(General::ReadMacroSetting(), "");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(MacroSelect, MacroToRunFillsTheBoxAndRefusesAFileThatIsNotAMacro) {
    startCoordinator();
    ScratchFolder folder;
    const std::string notes = folder.file("notes.txt", "x");
    General::StoreMacroSetting(notes);
    HWND macro = nullptr;
    std::string boxAfterMessage = "unset";
    Script user({
        [&] {
            macro = windows.frmMacroSelect().hwnd();
            if (!shown(macro))
                return false;
            EXPECT_EQ(ownerOf(macro), nullptr);
            EXPECT_EQ(controlText(macro, IDC_TXTPATHFILE), notes) << "filled from the setting";
            click(macro, IDC_MS_BTNOK);
            return true;
        },
        [&] {
            HWND box = dialogCaptioned(L"Tarnwick");
            if (box == nullptr || !isMessageBox(box))
                return false;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return true;
        },
        [&] {
            if (dialogCaptioned(L"Tarnwick") != nullptr)
                return false;
            EXPECT_TRUE(shown(macro)) << "the dialog stays";
            boxAfterMessage = controlText(macro, IDC_TXTPATHFILE);
            click(macro, IDC_MS_BTNCANCEL);
            return true;
        },
    });
    menu(IDM_MACRO_RUN);
    ASSERT_TRUE(user.finished());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Not a valid Macro. Please select a WordPerfect macro");
    EXPECT_EQ(platform.messages[0].caption, "Tarnwick");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::None);
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(boxAfterMessage, "");
    EXPECT_FALSE(shown(macro));
    EXPECT_EQ(General::ReadMacroSetting(), notes) << "neither the refusal nor Cancel changes the setting";
}

TEST_F(MacroSelect, SelectTakesTheMacroFromTheOpenDialogAndOkStoresIt) {
    startCoordinator();
    ScratchFolder folder;
    const std::string macroFile = folder.file("Headers.WCM", "macro");
    HWND macro = nullptr;
    std::string boxAfterSelect;
    Script user({
        [&] {
            macro = windows.frmMacroSelect().hwnd();
            if (!shown(macro))
                return false;
            click(macro, IDC_MS_BTNSELECT);
            return true;
        },
        [&] { return typeFileNameAndOpen(macroFile); },
        [&] {
            if (fileDialog() != nullptr || controlText(macro, IDC_TXTPATHFILE).empty())
                return false;
            boxAfterSelect = controlText(macro, IDC_TXTPATHFILE);
            click(macro, IDC_MS_BTNOK);
            return true;
        },
    });
    menu(IDM_MACRO_RUN);
    ASSERT_TRUE(user.finished());
    EXPECT_EQ(boxAfterSelect, macroFile);
    EXPECT_FALSE(shown(macro));
    EXPECT_EQ(General::ReadMacroSetting(), macroFile);
    EXPECT_EQ(Probe::mode(*General::mediator), Probe::Mode::SingleDocument);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(MacroSelect, ControlsAndFontsAndTheCloseBoxLeavingTheSetting) {
    startCoordinator();
    General::StoreMacroSetting("C:\\kept.wcm");
    HWND first = nullptr;
    Script user({[&] {
        first = windows.frmMacroSelect().hwnd();
        if (!shown(first))
            return false;
        EXPECT_EQ(controlText(first, IDC_MS_LABEL1),
                  "Select a macro to run on each document when it is opened.");
        EXPECT_EQ(controlText(first, IDC_MS_BTNSELECT), "Select");
        EXPECT_EQ(controlText(first, IDC_MS_BTNOK), "OK");
        EXPECT_EQ(controlText(first, IDC_MS_BTNCANCEL), "Cancel");
        EXPECT_TRUE((GetWindowLongPtrW(GetDlgItem(first, IDC_MS_LINE1), GWL_STYLE) & SS_TYPEMASK) ==
                    SS_ETCHEDHORZ);
        // Arial 8.25 pt for the texts, 6.75 pt for the path box: the path
        // box's letters are smaller.
        LOGFONTW label{}, path{};
        GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(first, IDC_MS_LABEL1, WM_GETFONT, 0, 0)),
                   sizeof label, &label);
        GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(first, IDC_TXTPATHFILE, WM_GETFONT, 0, 0)),
                   sizeof path, &path);
        EXPECT_STREQ(label.lfFaceName, L"Arial");
        EXPECT_STREQ(path.lfFaceName, L"Arial");
        EXPECT_LT(-path.lfHeight, -label.lfHeight);
        // Layout: Select right of the box, Cancel right of OK, both below the line.
        RECT box, select, ok, cancel, line;
        GetWindowRect(GetDlgItem(first, IDC_TXTPATHFILE), &box);
        GetWindowRect(GetDlgItem(first, IDC_MS_BTNSELECT), &select);
        GetWindowRect(GetDlgItem(first, IDC_MS_BTNOK), &ok);
        GetWindowRect(GetDlgItem(first, IDC_MS_BTNCANCEL), &cancel);
        GetWindowRect(GetDlgItem(first, IDC_MS_LINE1), &line);
        EXPECT_GE(select.left, box.right);
        EXPECT_GE(cancel.left, ok.right);
        EXPECT_GE(ok.top, line.bottom);
        EXPECT_GE(line.top, box.bottom);
        SetDlgItemTextW(first, IDC_TXTPATHFILE, L"C:\\typed.wcm");
        closeBox(first);
        return true;
    }});
    windows.showMacroSelectOwnedByMain();
    ASSERT_TRUE(user.finished());
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(General::ReadMacroSetting(), "C:\\kept.wcm");
    EXPECT_TRUE(IsWindowEnabled(mainWindow()));
    EXPECT_EQ(windows.frmMacroSelect().pathText(), "") << "built anew, empty";
}

using MainWindowCommands = DialogTest;

TEST_F(MainWindowCommands, OpenTakesTheDocumentTypedInTheOpenDialogAndCancelStoresNothing) {
    startCoordinator();
    ScratchFolder folder;
    const std::string document = folder.file("report.txt", "x");
    {
        Script user({[&] { return cancelFileDialog(); }});
        menu(IDM_OPEN);
        ASSERT_TRUE(user.finished());
    }
    EXPECT_EQ(General::mediator->GetSourceFile(), "");
    EXPECT_EQ(Probe::mode(*General::mediator), Probe::Mode::SingleDocument);
    {
        Script user({[&] { return typeFileNameAndOpen(document); }});
        menu(IDM_OPEN);
        ASSERT_TRUE(user.finished());
    }
    EXPECT_EQ(General::mediator->GetSourceFile(), document);
    EXPECT_EQ(General::mediator->GetTgtFolder(), folder.folder() + "\\");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(MainWindowCommands, CloseWithAnEmptyListOrACancelledOpenLeaveTheRowsAsTheyWere) {
    startCoordinator();
    ResultList& rows = windows.Form2().ListView1();
    General::mediator->StartStateTwo();
    MessageBoxes boxes;
    menu(IDM_CLOSE);
    EXPECT_EQ(rows.count(), 0u);
    EXPECT_EQ(Probe::mode(*General::mediator), Probe::Mode::Batch);

    rows.addRow("C:\\docs\\a.wpd", "C:\\docs\\a.wpd");
    rows.insertStatus("C:\\docs\\a.wpd", "Converted");
    Script user({[&] { return cancelFileDialog(); }});
    menu(IDM_OPEN);
    ASSERT_TRUE(user.finished());
    windows.Form2().updateList();
    EXPECT_EQ(ListView_GetItemCount(windows.Form2().listView()), 1);
    EXPECT_EQ(rows.status(0), "Converted");
    EXPECT_TRUE(boxes.seen().empty()) << boxes.list();
}

// The word processor, doing nothing, except that closing the first document
// switches to the single-document mode: the batch's next-job command then
// goes there, and the rest of the batch waits in the batch mode's queue.
class SwitchAtFirstClose : public LateBound {
public:
    Value call(std::string_view name, std::span<const Arg>) override {
        if (name == "CloseNoSave" && ++closed_ == 1)
            General::mediator->startStateOne();
        return {};
    }
    Value get(std::string_view) override { return Value{false}; }

private:
    int closed_ = 0;
};

TEST_F(MainWindowCommands, NextDocumentRunsTheNextQueuedJobOfTheCurrentMode) {
    startCoordinator();
    General::WordPerfect = std::make_shared<SwitchAtFirstClose>();
    ScratchFolder source, target;
    for (const char* name : {"a.wpd", "b.wpd", "c.wpd"})
        source.file(name, "x");
    General::mediator->startBatch(source.folder(), target.folder(), false);
    ResultList& rows = windows.Form2().ListView1();
    ASSERT_EQ(rows.count(), 1u) << "the batch stopped after its first document";

    General::mediator->StartStateTwo();
    menu(IDC_NEXT);
    ASSERT_EQ(rows.count(), 3u) << "the next queued job ran, and issued its successor";
    for (const char* name : {"b.wpd", "c.wpd"})
        EXPECT_EQ(rows.status(*rows.indexOf(source.path(name))), "Converted") << name;
    EXPECT_TRUE(platform.messages.empty());
}

} // namespace
