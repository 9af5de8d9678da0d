#include "base/file_dialog.h"

#include "base/error.h"

void FileDialog::show(bool save) {
    if (!port_.show(*this, save) && CancelError)
        throw AppError(ErrorNumber::CancelSelected, "Cancel was selected.", "CommonDialog");
}
