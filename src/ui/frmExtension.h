#pragma once
// The extension manager: owns the list of extensions that count as
// documents (LstExt). Loaded hidden at start-up; "E&xit" and the close box
// only hide it, so the user's entries last for the whole run.
#include "base/views.h"
#include "ui/dialog_window.h"

#include <windows.h>

class frmExtension : public DialogWindow, public ExtensionListView {
public:
    // Loading the window (hidden) puts "wpd" into the list.
    frmExtension();

    // Shows the window without making it modal.
    void show();

    int ListCount() override;
    std::string List(int index) override;

private:
    bool command(int id, int code) override;
    void initialise() override;
    void closeBox() override;
    void add();
    void remove();
};

// The add dialog of the extension manager's family; it has no behaviour and
// nothing shows it.
class frmAddExtension {
public:
    static constexpr int Template = 320;
};
