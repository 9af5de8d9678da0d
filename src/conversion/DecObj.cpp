#include "conversion/DecObj.h"

#include "base/error.h"
#include "base/file_services.h"
#include "base/folders.h"
#include "base/ports.h"
#include "base/views.h"
#include "control/Command.h"
#include "conversion/clsRunMacro.h"
// From the spine above: the coordinator (folders, main window), the
// program's services and the word processor's connection, through General.
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

// Whether anyone may be at the screen: a batch runs unattended, so nothing
// it cannot do stops it with a message box; a single document is the
// user's own, and what goes wrong is told at once.
enum class Attendance { Batch, SingleDocument };

// One document's conversion: the steps both jobs take, each doing its
// part of the document's conversation with the word processor, and what to
// undo when one of them fails. Clean-up is best effort: its own failures
// show nothing (a batch notes the temporary files it could not remove in
// its summary).
class Conversion {
public:
    Conversion(std::string path, Attendance attendance) : path_(std::move(path)), attendance_(attendance) {}

    // The document's row, "Converting...", in the result list and in the
    // run's progress.
    void addRow() {
        MainWindowView& window = coordinator().mainWindow();
        window.ListView1().addRow(path_, path_);
        rowAdded_ = true;
        window.ListView1().insertStatus(path_, JobStatus::Converting);
        window.Progress().started(path_);
    }

    // Opens the document (a server given up on in this run fails it here)
    // and has the macro played; answers how the document ends when saved.
    BatchProgress::Outcome openAndPlay() {
        General::wordPerfect().beginDocument(path_);
        const Arg document[] = {byVal(path_)};
        General::wordPerfect().call("FileOpen", document);
        documentOpen_ = true;
        yield(4);
        return runMacro();
    }

    // The pause the word processor needs after a macro, between yields.
    static void settle(int yieldsBefore, int yieldsAfter) {
        yield(yieldsBefore);
        General::platform().pause(4);
        yield(yieldsAfter);
    }

    // The batch's result, written whole: to a temporary file first, then
    // into the result's folder (made as needed) under a temporary name;
    // the document is closed and the result takes its name.
    void saveBatchResult(const std::string& result, const std::string& targetFolder) {
        saveToTemporary();
        yield(1);
        makeFoldersFor(result, targetFolder);
        saveBeside(folderOf(result));
        yield(3);
        // The job goes on whether or not the first temporary file could go.
        removeTemporary();
        yield(4);
        close();
        yield(4);
        renameOnto(result);
    }

    // The single document's result, under the name the user chose: the
    // same road, with the document closed before the first temporary file
    // goes.
    void saveChosenResult(const std::string& result) {
        saveToTemporary();
        yield(3);
        saveBeside(clsFileSystem().GetPath(result));
        yield(3);
        close();
        yield(3);
        removeTemporary();
        yield(3);
        renameOnto(result);
    }

    void markConverted(BatchProgress::Outcome outcome) {
        MainWindowView& window = coordinator().mainWindow();
        window.ListView1().insertStatus(path_, JobStatus::Converted);
        window.Progress().finished(path_, outcome);
    }

    // A step failed; called inside a catch block. The row says "Failed"
    // with the reason (a document of a run that was given up counts as not
    // started) and the temporary files go. A batch closes the document
    // first: while the word processor holds it open under a temporary
    // file's name it may keep that file locked. A single document stays
    // open, so that the user can save it by hand.
    void abandon() noexcept {
        markFailed();
        if (attendance_ == Attendance::Batch)
            closeDocument();
        removeTemporaries();
    }

private:
    static std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

    // Makes the folders between the target folder and the result, as
    // needed: a folder made meanwhile by another run (another PC) is as
    // good as one made here.
    static void makeFoldersFor(const std::string& result, const std::string& targetFolder) {
        FileServices& files = General::files();
        const std::string folder = folderOf(result);
        for (std::size_t at = targetFolder.size() + 1; at <= folder.size(); ++at) {
            at = std::min(folder.find('\\', at), folder.size());
            const std::string level = folder.substr(0, at);
            if (!files.createFolder(level) && !files.pathExists(level))
                throw AppError(ErrorNumber::PathNotFound, "The folder " + level + " cannot be made",
                               "Tarnwick");
        }
    }

    void saveToTemporary() {
        temporary_ = temporaryFile();
        const Arg file[] = {byRef(temporary_)};
        General::wordPerfect().call("FileSave", file);
    }

    // Saves the open document under a new temporary name in the folder
    // where the result will be, so that the result can take its name by a
    // rename on the same volume.
    void saveBeside(const std::string& folder) {
        resultTemporary_ = General::files().createResultTemporary(folder);
        const Arg file[] = {byRef(resultTemporary_)};
        General::wordPerfect().call("FileSave", file);
    }

    void close() {
        General::wordPerfect().call("CloseNoSave");
        documentOpen_ = false;
    }

    // The first temporary file goes once the result is saved beside its
    // name; outside a batch a failure is told at once.
    void removeTemporary() {
        if (attendance_ == Attendance::Batch)
            remove(temporary_);
        else
            clsFileSystem().DeleteFile(std::exchange(temporary_, {}));
    }

    // The result takes its name whole: a file already there (an earlier
    // result, or the document itself when it is converted in place) is
    // replaced only now, and stays as it was when anything before failed.
    // The single document's result is then the only copy of the user's
    // work (the document is closed): one that cannot take its name is kept
    // under its temporary name, and the reason says where.
    void renameOnto(const std::string& result) {
        try {
            General::files().replaceByRename(resultTemporary_, result);
        } catch (const AppError& error) {
            if (attendance_ == Attendance::Batch)
                throw;
            throw AppError(error.number(),
                           error.description() + "; the result is kept as " +
                               std::exchange(resultTemporary_, {}),
                           error.source());
        }
        resultTemporary_.clear();
    }

    void markFailed() noexcept {
        try {
            const AppError error = currentError();
            const std::string reason = failureReason(error);
            MainWindowView& window = coordinator().mainWindow();
            if (rowAdded_)
                window.ListView1().insertStatus(path_, JobStatus::Failed, reason);
            window.Progress().finished(path_,
                                       error.number() == ErrorNumber::NotStarted
                                           ? BatchProgress::Outcome::NotStarted
                                           : BatchProgress::Outcome::Failed,
                                       reason);
        } catch (...) {
        }
    }

    // The document's clean-up: not held to its time limit, and nothing to a
    // server that does not answer.
    void closeDocument() noexcept {
        try {
            General::wordPerfect().cleaningUp();
            if (documentOpen_)
                General::wordPerfect().call("CloseNoSave");
        } catch (...) {
        }
    }

    // Deletes a temporary file. In a batch one that cannot be deleted is
    // noted, not shown in a message box: a box would stop an overnight batch
    // until someone clicks it.
    void remove(std::string& file) {
        if (!file.empty() && !General::files().deleteFile(file) && attendance_ == Attendance::Batch)
            coordinator().mainWindow().Progress().temporaryNotRemoved(file);
        file.clear();
    }

    void removeTemporaries() noexcept {
        for (std::string* file : {&temporary_, &resultTemporary_}) {
            try {
                remove(*file);
            } catch (...) {
            }
        }
    }

    std::string path_;
    Attendance attendance_;
    bool rowAdded_ = false;     // this job added the document's row
    bool documentOpen_ = false; // the word processor holds the document open
    std::string temporary_;     // a temporary file this job made and has not deleted
    // The result's temporary file in the result's own folder, not yet
    // renamed onto the result's name.
    std::string resultTemporary_;
};

// Asks the user for the result's name in the Save dialog, which proposes
// the opened document itself; the user may type a new name and is asked
// before a file is replaced. Empty when nothing was chosen.
std::string chooseResultName(const std::string& proposed) {
    FileDialog& dialog = coordinator().mainWindow().CommonDialog1();
    dialog.FileName = proposed;
    dialog.CancelError = true;
    dialog.Filter = "WordPerfect documents (*.wpd)|*.wpd";
    dialog.Flags =
        FileDialogFlags::OverwritePrompt | FileDialogFlags::PathMustExist | FileDialogFlags::HideReadOnly;
    dialog.ShowSave();
    return dialog.FileName;
}

} // namespace

std::string DecObj::ResultPath(const std::string& document, const std::string& sourceFolder,
                               const std::string& targetFolder) {
    const std::string relative = pathBelow(sourceFolder, document);
    return targetFolder + "\\" + (relative.empty() ? clsFileSystem().GetFileName(document) : relative);
}

void RecordUnreadableFolder(const std::string& folder, const std::string& reason) {
    MainWindowView& window = coordinator().mainWindow();
    window.ListView1().addRow(folder, folder);
    window.Progress().started(folder);
    window.ListView1().insertStatus(folder, JobStatus::Failed, reason);
    window.Progress().finished(folder, BatchProgress::Outcome::Failed, reason);
    issueNextJob(coordinator());
}

void DecObj::Execute() {
    Conversion conversion(path_, Attendance::Batch);
    try {
        conversion.addRow();
        yield(1);
        const std::string targetFolder = coordinator().GetTgtFolder();
        const std::string result = ResultPath(path_, coordinator().GetSourceFolder(), targetFolder);
        const BatchProgress::Outcome outcome = conversion.openAndPlay();
        Conversion::settle(0, 5);
        conversion.saveBatchResult(result, targetFolder);
        conversion.markConverted(outcome);
        coordinator().mainWindow().show();
        yield(3);
    } catch (...) {
        conversion.abandon();
        throw;
    }
    // A failure that comes back from the next job belongs to a later
    // document; this job's row and clean-up are done.
    issueNextJob(coordinator());
    yield(3);
}

void DecObj2::Execute() {
    Conversion conversion(path_, Attendance::SingleDocument);
    std::string proposed;
    BatchProgress::Outcome outcome{};
    try {
        conversion.addRow();
        // The target folder and file name joined as they are; the
        // single-document road gives the folder its final backslash.
        proposed = coordinator().GetTgtFolder() + clsFileSystem().GetFileName(path_);
        outcome = conversion.openAndPlay();
        Conversion::settle(1, 4);
    } catch (...) {
        conversion.abandon();
        throw;
    }
    // Cancelled or failed from here on: "Failed", no message.
    try {
        const std::string result = chooseResultName(proposed);
        if (result.empty())
            return; // nothing saved or closed
        // The time the user took to choose is not the word processor's.
        General::wordPerfect().restartDocumentClock();
        conversion.saveChosenResult(result);
        coordinator().mainWindow().show();
        yield(3);
        conversion.markConverted(outcome);
        yield(3);
    } catch (...) {
        conversion.abandon();
        return;
    }
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
