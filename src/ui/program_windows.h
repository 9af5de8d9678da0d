#pragma once
#include "core/views.h"
#include "ui/Form2.h"
#include "ui/frmExtension.h"

#include <memory>

// The program's windows, each created and loaded the first time it is used.
class ProgramForms : public Forms {
public:
    MainWindowView& Form2() override { return form2(); }
    ExtensionListView& frmExtension() override { return extensionManager(); }
    BatchDocumentsView& Form1() override;
    MacroSelectView& frmMacroSelect() override;
    void showQuickStartOwnedByMain() override;
    void showMacroSelectOwnedByMain() override;
    ::Form2& form2();
    ::frmExtension& extensionManager();

private:
    std::unique_ptr<::Form2> form2_;
    ::frmExtension extensions_;
};
