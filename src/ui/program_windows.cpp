#include "ui/program_windows.h"

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
