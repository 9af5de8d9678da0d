#pragma once
// What the console program gives the core in place of the windows and of the
// platform's message boxes: a main window that is only its models, the
// extension list of the command line, a platform that never shows a window,
// a settings store that answers this run's macro and writes nothing, and a
// directory listing that leaves out what a resumed run skips.
#include "base/file_dialog.h"
#include "base/file_list.h"
#include "base/ports.h"
#include "base/progress.h"
#include "base/result_list.h"
#include "base/settings.h"
#include "base/views.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class BatchRun;
class StopRequest;

// A file dialog no one answers: every showing counts as cancelled.
class NoFileDialog : public FileDialogPort {
public:
    bool show(FileDialog&, FileDialogKind) override { return false; }
};

class ConsoleMainWindow : public MainWindowView {
public:
    explicit ConsoleMainWindow(DirectoryLister& lister) : files_(lister) {}
    ResultList& ListView1() override { return list_; }
    FileListBox& FileList() override { return files_; }
    FileDialog& CommonDialog1() override { return dialog_; }
    BatchProgress& Progress() override { return progress_; }
    void hideNext() override {}
    void show() override {}

private:
    ResultList list_;
    FileListBox files_;
    NoFileDialog noDialog_;
    FileDialog dialog_{noDialog_};
    BatchProgress progress_;
};

class ConsoleExtensions : public ExtensionListView {
public:
    explicit ConsoleExtensions(std::vector<std::string> entries) : entries_(std::move(entries)) {}
    int ListCount() override { return static_cast<int>(entries_.size()); }
    std::string List(int index) override;

private:
    std::vector<std::string> entries_;
};

// The main window and the extension list; the dialogs do not exist here.
class ConsoleForms : public Forms {
public:
    ConsoleForms(DirectoryLister& lister, std::vector<std::string> extensions)
        : main_(lister), extensions_(std::move(extensions)) {}
    ConsoleMainWindow& Form2() override { return main_; }
    ExtensionListView& frmExtension() override { return extensions_; }
    BatchDocumentsView& Form1() override;
    MacroSelectView& frmMacroSelect() override;
    void showQuickStartOwnedByMain() override {}
    void showMacroSelectOwnedByMain() override {}

private:
    ConsoleMainWindow main_;
    ConsoleExtensions extensions_;
};

// The system's services, except that a message goes to the run instead of a
// box (a question is answered No, the answer that changes nothing), the
// folder browser is never shown, and the end of the program raises
// ProgramEnded for the entry point to turn into an exit code. The batch lock
// is the console program's own, taken before the run.
class ConsolePlatform : public Platform {
public:
    ConsolePlatform(Platform& system, BatchRun& run, const StopRequest& stop)
        : system_(system), run_(run), stop_(stop) {}
    std::shared_ptr<LateBound> createObject(const std::string& progId, ServerStart start) override;
    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    [[noreturn]] void endProgram(int exitCode) override;
    bool doEvents() override { return system_.doEvents(); }
    void pause(int milliseconds) override { system_.pause(milliseconds); }
    void waitServing(int milliseconds) override { system_.waitServing(milliseconds); }
    bool stopRequested() override;
    std::string browseForFolder(const std::string&) override { return {}; }
    bool takeBatchLock() override { return true; }
    void releaseBatchLock() override {}

private:
    Platform& system_;
    BatchRun& run_;
    const StopRequest& stop_;
};

// The user's settings as read, with the macro of this run in place of the
// stored one when one is given; nothing is ever written.
class RunSettings : public SettingsStore {
public:
    RunSettings(SettingsStore& stored, std::optional<std::string> macro)
        : stored_(stored), macro_(std::move(macro)) {}
    std::string GetSetting(const std::string& application, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void SaveSetting(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {}

private:
    SettingsStore& stored_;
    std::optional<std::string> macro_;
};

// What a run does with a document it finds.
enum class RunChoice {
    Take,  // converts it
    Skip,  // leaves it out, reported Skipped (done before, or unchanged since)
    Leave, // leaves it out unreported (another PC's share)
};

// A folder's entries as this run takes them: without the documents it
// skips or leaves to others. Each document (a file the extension list
// accepts) is put to `choose` with its full path and its path below the
// source folder; each one skipped is told to `skipped`.
class RunLister : public DirectoryLister {
public:
    using Choose = std::function<RunChoice(const std::string& path, const std::string& relative)>;
    RunLister(DirectoryLister& lister, std::string source, Choose choose,
              std::function<void(const std::string&)> skipped)
        : lister_(lister), source_(std::move(source)), choose_(std::move(choose)),
          skipped_(std::move(skipped)) {}
    std::vector<DirectoryEntry> list(const std::string& folder) override;

private:
    DirectoryLister& lister_;
    std::string source_;
    Choose choose_;
    std::function<void(const std::string&)> skipped_;
};
