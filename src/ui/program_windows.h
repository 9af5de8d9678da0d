#pragma once
#include "core/views.h"
#include "platform/message_filter_win.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/Form3.h"
#include "ui/frmAbout.h"
#include "ui/frmExtension.h"
#include "ui/frmMacroSelect.h"

#include <memory>

// The program's windows, each created and loaded the first time it is used.
class ProgramForms : public Forms {
public:
    MainWindowView& Form2() override { return form2(); }
    ExtensionListView& frmExtension() override { return extensionManager(); }
    BatchDocumentsView& Form1() override { return batchDocuments(); }
    MacroSelectView& frmMacroSelect() override { return macroSelect(); }
    void showQuickStartOwnedByMain() override;
    void showMacroSelectOwnedByMain() override;

    ::Form2& form2();
    ::frmExtension& extensionManager();
    ::Form1& batchDocuments();
    ::Form3& quickStart();
    ::frmMacroSelect& macroSelect();
    // What asks to end the program: the main window's exits.
    ExitRequests exitRequests();
    // The About box object; its window exists only while it is shown.
    ::frmAbout& about() { return about_; }

private:
    std::unique_ptr<::Form2> form2_;
    ::frmExtension extensions_;
    // Destroyed before the main window, which may own them.
    ::Form1 batch_;
    ::Form3 quickStart_{batch_};
    ::frmMacroSelect macroSelect_;
    ::frmAbout about_;
};
