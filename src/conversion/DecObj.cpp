#include "conversion/DecObj.h"

#include "base/error.h"
#include "base/file_services.h"
#include "base/ports.h"
#include "base/views.h"
#include "control/Command.h"
#include "conversion/clsRunMacro.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "core/connection.h"
#include "files/clsFileSystem.h"

#include <utility>

namespace {

void yield(int times) {
    yieldTimes(General::platform(), times);
}

Mediator& coordinator() {
    return General::coordinator();
}

// Plays the macro; a run that broke fails the document like any other step.
// Answers how the document ends when saved: converted, or saved as it is
// because no macro is chosen.
BatchProgress::Outcome runMacro() {
    clsRunMacro runner;
    runner.RunMacro();
    if (runner.failure())
        throw *runner.failure();
    return runner.noMacroChosen() ? BatchProgress::Outcome::SavedWithoutMacro
                                  : BatchProgress::Outcome::Converted;
}

std::string temporaryFile() {
    std::string temp = clsFileSystem().fnGetTempPath("", "");
    if (temp.empty())
        throw AppError(ErrorNumber::PathFileAccess, "No temporary file could be made in the temporary folder",
                       "Tarnwick");
    return temp;
}

// Why the document being handled failed, as its row keeps it: the server's
// or the system's own description, or "cancelled" for a cancelled Save
// dialog.
std::string failureReason(const AppError& error) {
    return error.number() == ErrorNumber::CancelSelected ? "cancelled" : error.description();
}

void markConverted(const std::string& path, BatchProgress::Outcome outcome) {
    MainWindowView& window = coordinator().mainWindow();
    window.ListView1().insertStatus(path, JobStatus::Converted);
    window.Progress().finished(path, outcome);
}

// What a job has to undo when one of its own steps fails. Clean-up is best
// effort: its own failures show nothing (a batch notes the temporary files
// it could not remove in its summary).
struct Cleanup {
    std::string path;      // the document
    bool inBatch = false;  // nobody may be at the screen to answer a message
    bool rowAdded = false; // this job added the document's row
    std::string temporary; // a temporary file this job made and has not deleted
    // The result's temporary file in the result's own folder, not yet
    // renamed onto the result's name.
    std::string resultTemporary;
    bool documentOpen = false;

    // The document's row, "Converting...", in the result list and in the
    // run's progress.
    void addRow() {
        MainWindowView& window = coordinator().mainWindow();
        window.ListView1().addRow(path, path);
        rowAdded = true;
        window.ListView1().insertStatus(path, JobStatus::Converting);
        window.Progress().started(path);
    }

    // The row says "Failed" with the reason; a document of a run that was
    // given up counts as not started. Called inside a catch block.
    void markFailed() noexcept {
        try {
            const AppError error = currentError();
            const std::string reason = failureReason(error);
            MainWindowView& window = coordinator().mainWindow();
            if (rowAdded)
                window.ListView1().insertStatus(path, JobStatus::Failed, reason);
            window.Progress().finished(path,
                                       error.number() == ErrorNumber::NotStarted
                                           ? BatchProgress::Outcome::NotStarted
                                           : BatchProgress::Outcome::Failed,
                                       reason);
        } catch (...) {
        }
    }
    // Deletes a temporary file. In a batch one that cannot be deleted is
    // noted, not shown in a message box: a box would stop an overnight batch
    // until someone clicks it.
    void remove(std::string& file) {
        if (!file.empty() && !General::files().deleteFile(file) && inBatch)
            coordinator().mainWindow().Progress().temporaryNotRemoved(file);
        file.clear();
    }
    // The first temporary file goes once the result is saved beside its
    // name; outside a batch a failure is told at once.
    void removeTemporary() {
        if (inBatch)
            remove(temporary);
        else
            clsFileSystem().DeleteFile(std::exchange(temporary, {}));
    }
    void removeTemporaries() noexcept {
        for (std::string* file : {&temporary, &resultTemporary}) {
            try {
                remove(*file);
            } catch (...) {
            }
        }
    }
    // Saves the open document under a new temporary name in the folder,
    // where the result will be, so that the result can take its name by a
    // rename on the same volume.
    void saveBeside(const std::string& folder) {
        resultTemporary = General::files().createResultTemporary(folder);
        const Arg file[] = {byRef(resultTemporary)};
        General::wordPerfect().call("FileSave", file);
    }
    // The result takes its name whole: a file already there (an earlier
    // result, or the document itself when it is converted in place) is
    // replaced only now, and stays as it was when anything before failed.
    // The single document's result is then the only copy of the user's
    // work (the document is closed): one that cannot take its name is kept
    // under its temporary name, and the reason says where.
    void renameOnto(const std::string& result) {
        try {
            General::files().replaceByRename(resultTemporary, result);
        } catch (const AppError& error) {
            if (inBatch)
                throw;
            throw AppError(error.number(),
                           error.description() + "; the result is kept as " +
                               std::exchange(resultTemporary, {}),
                           error.source());
        }
        resultTemporary.clear();
    }
    // The document's clean-up: not held to its time limit, and nothing to a
    // server that does not answer.
    void closeDocument() noexcept {
        try {
            General::wordPerfect().cleaningUp();
            if (documentOpen)
                General::wordPerfect().call("CloseNoSave");
        } catch (...) {
        }
    }
};

} // namespace

std::string DecObj::ResultPath(const std::string& document, const std::string& sourceFolder,
                               const std::string& targetFolder) {
    const std::string below = sourceFolder.ends_with('\\') ? sourceFolder : sourceFolder + "\\";
    const bool inside =
        !sourceFolder.empty() && document.size() > below.size() && document.starts_with(below);
    return targetFolder + "\\" +
           (inside ? document.substr(below.size()) : clsFileSystem().GetFileName(document));
}

namespace {
// Makes the folders between the target folder and the result, as needed: a
// folder made meanwhile by another run (another PC) is as good as one made here.
void makeFoldersFor(const std::string& result, const std::string& targetFolder) {
    FileServices& files = General::files();
    const std::string folder = result.substr(0, result.find_last_of('\\'));
    for (std::size_t at = targetFolder.size() + 1; at <= folder.size(); ++at) {
        at = std::min(folder.find('\\', at), folder.size());
        const std::string level = folder.substr(0, at);
        if (!files.createFolder(level) && !files.pathExists(level))
            throw AppError(ErrorNumber::PathNotFound, "The folder " + level + " cannot be made", "Tarnwick");
    }
}
} // namespace

void RecordUnreadableFolder(const std::string& folder, const std::string& reason) {
    MainWindowView& window = coordinator().mainWindow();
    window.ListView1().addRow(folder, folder);
    window.Progress().started(folder);
    window.ListView1().insertStatus(folder, JobStatus::Failed, reason);
    window.Progress().finished(folder, BatchProgress::Outcome::Failed, reason);
    issueNextJob(coordinator());
}

void DecObj::Execute() {
    Cleanup cleanup;
    cleanup.path = path_;
    cleanup.inBatch = true;
    try {
        // 1. The row, "Converting...".
        cleanup.addRow();
        yield(1);
        // 2. The target path: the separator is always inserted; a document
        //    of a folder below the source goes to the same folder below the
        //    target.
        const std::string targetFolder = coordinator().GetTgtFolder();
        const std::string target = ResultPath(path_, coordinator().GetSourceFolder(), targetFolder);
        const std::string folder = target.substr(0, target.find_last_of('\\'));
        // 3. Open (a server given up on in this run fails the document here).
        General::wordPerfect().beginDocument(path_);
        const Arg document[] = {byVal(path_)};
        General::wordPerfect().call("FileOpen", document);
        cleanup.documentOpen = true;
        yield(4);
        // 4. The macro.
        const BatchProgress::Outcome outcome = runMacro();
        // 5. The pause the word processor needs after a macro.
        General::platform().pause(4);
        yield(5);
        // 6.-7. First to a temporary file...
        cleanup.temporary = temporaryFile();
        const Arg temporary[] = {byRef(cleanup.temporary)};
        General::wordPerfect().call("FileSave", temporary);
        yield(1);
        // 8. ...then into the result's folder, under a temporary name.
        makeFoldersFor(target, targetFolder);
        cleanup.saveBeside(folder);
        yield(3);
        // 9. The first temporary file goes; the job goes on whether or not
        //    it could.
        cleanup.removeTemporary();
        yield(4);
        // 10. Close, then give the result the document's name.
        General::wordPerfect().call("CloseNoSave");
        cleanup.documentOpen = false;
        yield(4);
        cleanup.renameOnto(target);
        // 11.-12.
        markConverted(path_, outcome);
        coordinator().mainWindow().show();
        yield(3);
    } catch (...) {
        cleanup.markFailed();
        // Closed first: while the word processor holds the document open
        // under a temporary file's name it may keep that file locked.
        cleanup.closeDocument();
        cleanup.removeTemporaries();
        throw;
    }
    // 13. The next job. A failure that comes back from here belongs to a
    //     later document; this job's row and clean-up are done.
    issueNextJob(coordinator());
    yield(3);
}

void DecObj2::Execute() {
    Cleanup cleanup;
    cleanup.path = path_;
    std::string proposed;
    BatchProgress::Outcome outcome = BatchProgress::Outcome::Converted;
    try {
        // 1. The row, "Converting...".
        cleanup.addRow();
        // 2. Proposed name: target folder and file name joined as they are;
        //    the single-document road gives the folder its final backslash.
        proposed = coordinator().GetTgtFolder() + clsFileSystem().GetFileName(path_);
        // 3. Open.
        General::wordPerfect().beginDocument(path_);
        const Arg document[] = {byVal(path_)};
        General::wordPerfect().call("FileOpen", document);
        yield(4);
        // 4. The macro.
        outcome = runMacro();
        yield(1);
        General::platform().pause(4);
        yield(4);
    } catch (...) {
        // The document stays open so that the user can save it by hand.
        cleanup.markFailed();
        throw;
    }
    try {
        // 5.-6. The Save dialog proposes the opened document itself; the user
        //    may type a new name and is asked before a file is replaced.
        FileDialog& dialog = coordinator().mainWindow().CommonDialog1();
        dialog.FileName = proposed;
        dialog.CancelError = true;
        dialog.Filter = "WordPerfect documents (*.wpd)|*.wpd";
        dialog.Flags =
            FileDialogFlags::OverwritePrompt | FileDialogFlags::PathMustExist | FileDialogFlags::HideReadOnly;
        dialog.ShowSave();
        // 7. Nothing chosen: nothing saved or closed.
        if (dialog.FileName.empty())
            return;
        // The time the user took to choose is not the word processor's.
        General::wordPerfect().restartDocumentClock();
        // 8.-10. First to a temporary file, then beside the chosen name.
        const std::string resultPath = dialog.FileName;
        cleanup.temporary = temporaryFile();
        const Arg temporary[] = {byRef(cleanup.temporary)};
        General::wordPerfect().call("FileSave", temporary);
        yield(3);
        cleanup.saveBeside(clsFileSystem().GetPath(resultPath));
        yield(3);
        // 11. Close.
        General::wordPerfect().call("CloseNoSave");
        yield(3);
        // 12. The temporary file goes (a failure to delete it is reported
        //     by DeleteFile, and the job goes on); the result takes its name.
        cleanup.removeTemporary();
        yield(3);
        cleanup.renameOnto(resultPath);
        // 13.
        coordinator().mainWindow().show();
        yield(3);
        markConverted(path_, outcome);
        yield(3);
    } catch (...) {
        // 15. Cancelled or failed: "Failed", no message, the document left
        //     open; only the temporary files are removed.
        cleanup.markFailed();
        cleanup.removeTemporaries();
        return;
    }
    // 14. The next job; what fails there belongs to that job.
    issueNextJob(coordinator());
    yield(3);
}

Value ConversionJob::call(std::string_view name, std::span<const Arg>) {
    if (name == "Execute") {
        Execute();
        return {};
    }
    throwNoSuchMember(name, className());
}

Value ConversionJob::get(std::string_view name) {
    throwNoSuchMember(name, className());
}
