#include "core/file_dialog.h"

#include "core/error.h"

void FileDialog::show(bool save) {
    if (!port_.show(*this, save) && CancelError)
        throw AppError(ErrorNumber::CancelSelected, "Cancel was selected.", "CommonDialog");
}
