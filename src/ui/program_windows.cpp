#include "ui/program_windows.h"

#include "ui/resource.h"

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

Form1& ProgramForms::batchDocuments() {
    batch_.load(); // after its close box, this builds it anew and empty
    return batch_;
}

Form3& ProgramForms::quickStart() {
    quickStart_.load();
    return quickStart_;
}

frmMacroSelect& ProgramForms::macroSelect() {
    macroSelect_.load();
    return macroSelect_;
}

void ProgramForms::showQuickStartOwnedByMain() {
    quickStart().showModal(form2().hwnd());
}

void ProgramForms::showMacroSelectOwnedByMain() {
    macroSelect().showModal(form2().hwnd());
}

ExitRequests ProgramForms::exitRequests() {
    return {[this] { return form2_ ? form2_->hwnd() : nullptr; }, {IDM_EXIT, IDC_BTN_EXIT}};
}
