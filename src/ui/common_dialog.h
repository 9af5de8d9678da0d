#pragma once
#include "base/file_dialog.h"

#include <string>

// Shows the system's Open and Save dialogs for the shared dialog object.
class Win32FileDialogPort : public FileDialogPort {
public:
    bool show(FileDialog& dialog, FileDialogKind kind) override;
};

// The filter text "description|pattern|..." in the dialog's form: pairs
// separated by NUL and ended by two. A lone pattern describes itself.
std::wstring dialogFilter(const std::string& filter);
