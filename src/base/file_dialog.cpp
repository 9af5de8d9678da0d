#include "base/file_dialog.h"

#include "base/error.h"

void FileDialog::show(FileDialogKind kind) {
    if (!port_.show(*this, kind) && CancelError)
        throw AppError(ErrorNumber::CancelSelected, "Cancel was selected.", "CommonDialog");
}
