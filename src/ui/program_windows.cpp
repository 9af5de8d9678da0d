#include "ui/program_windows.h"

#include "core/General.h"
#include "ui/Form2_ids.h"

Form2& ProgramForms::Form2() {
    if (!form2_) {
        auto window =
            std::make_unique<::Form2>(::Form2::Windows{extensions_, macroSelect_, batch_, about_}, taskbar_);
        window->load();
        form2_ = std::move(window);
    }
    return *form2_;
}

frmExtension& ProgramForms::frmExtension() {
    extensions_.load(); // made at its first use; its close box only hides it
    return extensions_;
}

Form1& ProgramForms::Form1() {
    batch_.load(); // after its close box, this builds it anew and empty
    return batch_;
}

Form3& ProgramForms::Form3() {
    quickStart_.load();
    return quickStart_;
}

frmMacroSelect& ProgramForms::frmMacroSelect() {
    macroSelect_.load();
    return macroSelect_;
}

void ProgramForms::showQuickStartOwnedByMain() {
    Form3().showModal(Form2().hwnd());
}

void ProgramForms::showMacroSelectOwnedByMain() {
    frmMacroSelect().showModal(Form2().hwnd());
}

ExitRequests ProgramForms::exitRequests() {
    return {[this] { return form2_ ? form2_->hwnd() : nullptr; },
            {IDM_EXIT, IDC_BTN_EXIT},
            [] { General::End(); }};
}
