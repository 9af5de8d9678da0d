#include "core/Mediator.h"

#include "base/error.h"
#include "base/failure_reasons.h"
#include "base/file_services.h"
#include "base/late_binding.h"
#include "base/ports.h"
#include "base/text.h"
#include "base/views.h"
#include "control/Command.h"
#include "control/documents.h"
#include "core/General.h"
#include "core/connection.h"
#include "files/clsFileSystem.h"
#include "version.h"

namespace {
const char* const kMacroFilter = "All WordPerfect Macros(*.wcm)|*.WCM";
const char* const kDocumentFilter = "All WordPerfect documents (*.wpd)|*.WPD";

// Prepares the shared dialog for an Open dialog that must end in an
// existing file, and shows it; cancelling raises.
std::string chooseExistingFile(FileDialog& dialog, const char* filter) {
    dialog.CancelError = true;
    dialog.Filter = filter;
    dialog.Flags = FileDialogFlags::FileMustExist;
    dialog.ShowOpen();
    return dialog.FileName;
}

} // namespace

std::string TrimAndCutAtNul(const std::string& buffer) {
    std::string text = trimSpaces(buffer);
    const auto nul = text.find('\0');
    if (nul != std::string::npos)
        text.erase(nul);
    return text;
}

std::string FolderAnswer(const std::string& answer) {
    // A padded buffer: cut at its first NUL, its blanks trimmed. An answer
    // cut already is the folder's own name, whose last blank belongs to it
    // ("D:\Scans "): taken as it is.
    return answer.find('\0') != std::string::npos ? TrimAndCutAtNul(answer) : answer;
}

std::string TrimTemporaryFolder(const std::string& buffer) {
    return trimSpaces(TrimAndCutAtNul(buffer));
}

Mediator::Mediator() = default;
Mediator::~Mediator() = default;

void Mediator::init() {
    // 1.-2. Connect; without the word processor the program cannot work.
    // A server that is there but slow to start is told apart from none.
    if (!ConnectWordPerfect()) {
        const auto& failure = General::wordPerfect().startFailure();
        const bool slow = failure && failure->number() == ErrorNumber::TimedOut;
        General::platform().messageBox(slow ? FailureReason::didNotStart(kColdStartSeconds)
                                            : FailureReason::NotFound,
                                       "Error!", MsgIcon::Exclamation, MsgButtons::Ok);
        General::End(1);
    }
    // 3. The temporary folder as the system reports it.
    const std::string temp = TrimTemporaryFolder(General::files().temporaryFolder());
    // 4. The modes, idle first.
    stateManager_ = std::make_unique<StateManager>();
    stateManager_->init(*this);
    // 5. The job settings, all empty.
    source_ = std::make_unique<Source>();
    // 6.-7. Through the program-wide coordinator, which is this object.
    General::mediator->SetTempFolder(temp);
    General::mediator->StartStateThree();
}

bool Mediator::ConnectWordPerfect() {
    return General::wordPerfect().connect();
}

StateManager& Mediator::modes() {
    return required(stateManager_, "the coordinator is not initialised");
}

Source& Mediator::settings() {
    return required(source_, "the coordinator is not initialised");
}

MainWindowView& Mediator::mainWindow() {
    return General::forms().Form2();
}

void Mediator::startStateOne() {
    modes().setStateOne();
    mainWindow().hideNext();
}

void Mediator::StartStateTwo() {
    modes().SetStateTwo();
}

std::shared_ptr<cmd1> Mediator::startBatch(const std::string& source, const std::string& target,
                                           bool includeSubfolders) {
    SetSourceFolder(source);
    SetTgtFolder(target);
    SetIncludeSubfolders(includeSubfolders);
    StartStateTwo();
    return issueCommand<cmd1>(*this);
}

void Mediator::StartStateThree() {
    mainWindow().ListView1().clear();
}

void Mediator::registerCmd1(std::shared_ptr<cmd1> command) {
    latestCmd1_ = std::move(command);
}
void Mediator::registerCmd2(std::shared_ptr<Cmd2> command) {
    latestCmd2_ = std::move(command);
}

void Mediator::Command1(std::string& text) {
    modes().Command1(text);
}
void Mediator::Command2(std::string& text) {
    modes().Command2(text);
}
void Mediator::Command3() {
    modes().Command3();
}
std::vector<std::string> Mediator::DropQueuedDocuments() {
    return modes().dropQueued();
}

void Mediator::SetSourceFolder(const std::string& folder) {
    settings().SetSourceFolder(folder);
}
std::string Mediator::GetSourceFolder() {
    return settings().GetSourceFolder();
}
void Mediator::SetTgtFolder(const std::string& folder) {
    settings().TgtFolder = folder;
}
std::string Mediator::GetTgtFolder() {
    return settings().GetTgtFolder();
}
void Mediator::SetSourceFile(const std::string& file) {
    settings().SetSourceFile(file);
}
std::string Mediator::GetSourceFile() {
    return settings().GetSourceFile();
}
void Mediator::SetTgtFile(const std::string& file) {
    settings().TgtFile = file;
}
std::string Mediator::GetTgtFile() {
    return settings().GetTgtFile();
}
void Mediator::SetIncludeSubfolders(bool include) {
    settings().IncludeSubfolders = include;
}
bool Mediator::GetIncludeSubfolders() {
    return settings().IncludeSubfolders;
}
void Mediator::SetTempFolder(const std::string& folder) {
    tempFolder_ = folder;
}

std::string Mediator::MacroSet() {
    startStateOne();
    // From here on every failure, cancelling included, answers empty text.
    try {
        return chooseExistingFile(mainWindow().CommonDialog1(), kMacroFilter);
    } catch (...) {
        return "";
    }
}

void Mediator::SingleSourceFile() {
    startStateOne();
    // From here on every failure, cancelling included, ends the choice
    // silently; settings already stored stay stored.
    try {
        const std::string file = chooseExistingFile(mainWindow().CommonDialog1(), kDocumentFilter);
        if (file.empty())
            return;
        SetSourceFile(file);
        // The result goes by default to the document's own folder.
        SetTgtFolder(clsFileSystem().GetPath(file));
        startStateOne();
        issueCommand<cmd1>(*this); // returns when the conversion has returned
    } catch (...) {
    }
}

std::string Mediator::BrowseForFolder(const std::string& prompt) {
    return FolderAnswer(General::platform().browseForFolder(prompt));
}

void Mediator::SourceFolder() {
    const std::string folder = BrowseForFolder("Select a Source Folder");
    if (folder.empty())
        return;
    BatchDocumentsView& dialog = General::forms().Form1();
    dialog.setSourceFolderText(folder);
    SetSourceFolder(folder);
    ListFoundDocuments();
}

void Mediator::ListFoundDocuments() {
    BatchDocumentsView& dialog = General::forms().Form1();
    dialog.clearFoundDocuments();
    const std::string folder = GetSourceFolder();
    if (folder.empty())
        return;
    std::vector<FoundItem> found;
    try {
        found = documentsIn(mainWindow().FileList(), General::files(), folder, GetIncludeSubfolders());
    } catch (const AppError& error) {
        // The same words as a batch of this folder would say.
        General::platform().messageBox(unreadableSourceText(folder, error.description()), TARNWICK_TITLE,
                                       MsgIcon::None, MsgButtons::Ok);
        return;
    }
    // By their path below the source: without subfolders, their names.
    for (const FoundItem& item : found)
        dialog.addFoundDocument(item.unreadable.empty() ? item.relative
                                                        : item.relative + "\\ (" + item.unreadable + ")");
}

void Mediator::TargetFolder() {
    // Unlike the source, a cancelled choice empties the target.
    const std::string folder = BrowseForFolder("Select a Target Folder");
    General::forms().Form1().setTargetFolderText(folder);
    SetTgtFolder(folder);
}
