#include "ui/program_windows.h"

#include "core/error.h"

Form2& ProgramForms::form2() {
    if (!form2_) {
        auto window = std::make_unique<::Form2>();
        window->load();
        form2_ = std::move(window);
    }
    return *form2_;
}

frmExtension& ProgramForms::extensionManager() {
    extensions_.load(); // after its close box, this builds it anew
    return extensions_;
}

// The start-up dialogs are being built; until then start-up skips them and
// the folder and macro choices report that they are not there.
BatchDocumentsView& ProgramForms::Form1() {
    throw AppError(ErrorNumber::ObjectRequired, "The Batch Documents dialog is not available");
}
MacroSelectView& ProgramForms::frmMacroSelect() {
    throw AppError(ErrorNumber::ObjectRequired, "The macro selection dialog is not available");
}
void ProgramForms::showQuickStartOwnedByMain() {}
void ProgramForms::showMacroSelectOwnedByMain() {}
