#pragma once
// The coordinator: the hub through which every window and worker reaches
// everything else. It owns the job settings and the mode manager.
#include "control/State.h"
#include "core/Source.h"

#include <memory>
#include <string>
#include <vector>

class cmd1;
class Cmd2;
class MainWindowView;

class Mediator {
public:
    Mediator();
    ~Mediator();

    void init();
    // The mode switches keep their established names, the first spelled
    // in lower case unlike the others; callers and tests know them so.
    void startStateOne();
    void StartStateTwo();
    void StartStateThree();
    void registerCmd1(std::shared_ptr<cmd1> command);
    void registerCmd2(std::shared_ptr<Cmd2> command);
    void Command1(std::string& text);
    void Command2(std::string& text);
    void Command3();
    // Ends the current run after the job in progress; answers the paths of
    // the documents it leaves unstarted.
    std::vector<std::string> DropQueuedDocuments();
    void SetSourceFolder(const std::string& folder);
    std::string GetSourceFolder();
    void SetTgtFolder(const std::string& folder);
    std::string GetTgtFolder();
    void SetSourceFile(const std::string& file);
    std::string GetSourceFile();
    void SetTgtFile(const std::string& file);
    std::string GetTgtFile();
    void SetIncludeSubfolders(bool include);
    bool GetIncludeSubfolders();
    // Runs a batch from the source folder into the target folder, with the
    // documents of the folders below the source or without, as the Batch
    // Documents dialog's Start and the console program start one; answers
    // its start command once the batch has run.
    std::shared_ptr<cmd1> startBatch(const std::string& source, const std::string& target,
                                     bool includeSubfolders);
    // Lists the documents of the chosen source folder in the Batch Documents
    // dialog (with those of its subfolders when they are included).
    void ListFoundDocuments();
    void SetTempFolder(const std::string& folder);
    std::string GetTempFolder() const { return tempFolder_; }
    std::string MacroSet();
    void SingleSourceFile();
    void SourceFolder();
    void TargetFolder();
    std::string BrowseForFolder(const std::string& prompt);

    // The main window, created and loaded if it does not exist yet.
    MainWindowView& mainWindow();

private:
    friend struct Probe; // tests read the mode and the commands kept
    bool ConnectWordPerfect();
    StateManager& modes();
    Source& settings();

    std::shared_ptr<cmd1> latestCmd1_;
    std::shared_ptr<Cmd2> latestCmd2_;
    std::unique_ptr<StateManager> stateManager_;
    std::unique_ptr<Source> source_;
    std::string tempFolder_;
};

// The user's temporary folder from the text that the system wrote into a
// buffer: blanks trimmed from both ends, then cut at the first NUL.
std::string TrimTemporaryFolder(const std::string& buffer);
// A text a system call wrote into a buffer: blanks trimmed from both ends,
// then cut at the first NUL.
std::string TrimAndCutAtNul(const std::string& buffer);
// The folder browser's answer: a buffer padded behind a NUL is cut there and
// trimmed of blanks; an answer without a NUL is taken as it is, its blanks
// belonging to the folder's name.
std::string FolderAnswer(const std::string& answer);
