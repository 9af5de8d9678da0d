#pragma once
// The shared Open/Save dialog object of the main window. Its properties stay
// between uses; showing it asks the platform for the real dialog.
#include <string>

class FileDialog;

// Which of the two system dialogs is shown.
enum class FileDialogKind { Open, Save };

class FileDialogPort {
public:
    virtual ~FileDialogPort() = default;
    // Shows the dialog for the given properties; answers false when the user
    // cancels, otherwise puts the chosen path into the dialog's FileName.
    virtual bool show(FileDialog& dialog, FileDialogKind kind) = 0;
};

class FileDialog {
public:
    explicit FileDialog(FileDialogPort& port) : port_(port) {}

    std::string FileName;
    std::string Filter; // "description|pattern" pairs joined by "|"
    long Flags = 0;
    bool CancelError = false;
    std::string DialogTitle;

    // On cancel: raises AppError (cancel was selected) when CancelError is
    // set, otherwise returns with the properties unchanged.
    void ShowOpen() { show(FileDialogKind::Open); }
    void ShowSave() { show(FileDialogKind::Save); }

private:
    void show(FileDialogKind kind);
    FileDialogPort& port_;
};

namespace FileDialogFlags {
inline constexpr long OverwritePrompt = 0x2;
inline constexpr long HideReadOnly = 0x4;
inline constexpr long PathMustExist = 0x800;
inline constexpr long FileMustExist = 0x1000;
} // namespace FileDialogFlags
