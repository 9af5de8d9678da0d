#pragma once
#include "base/views.h"
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
    // The main window shows its progress on this taskbar button (the
    // shell's when none is given).
    explicit ProgramForms(TaskbarButton* taskbar = nullptr) : taskbar_(taskbar ? *taskbar : shellTaskbar_) {}

    ::Form2& Form2() override;
    ::frmExtension& frmExtension() override;
    ::Form1& Form1() override;
    ::frmMacroSelect& frmMacroSelect() override;
    // The Quick Start dialog.
    ::Form3& Form3();
    // The About box object; its window exists only while it is shown.
    ::frmAbout& frmAbout() { return about_; }
    void showQuickStartOwnedByMain() override;
    void showMacroSelectOwnedByMain() override;

    // What asks to end the program: the main window's exits.
    ExitRequests exitRequests();

private:
    Win32TaskbarButton shellTaskbar_;
    TaskbarButton& taskbar_;
    std::unique_ptr<::Form2> form2_;
    ::frmExtension extensions_;
    // Destroyed before the main window, which may own them.
    ::Form1 batch_;
    ::Form3 quickStart_{batch_};
    ::frmMacroSelect macroSelect_;
    ::frmAbout about_;
};
