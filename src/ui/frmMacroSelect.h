#pragma once
// The macro selection dialog: the path box, "Select", "OK" and "Cancel".
// Always shown modally; its buttons only hide it, so the path box keeps its
// text; its close box destroys it and leaves the setting as it was.
#include "base/views.h"
#include "platform/handles_win.h"
#include "ui/dialog_window.h"

#include <windows.h>

class frmMacroSelect : public DialogWindow, public MacroSelectView {
public:
    frmMacroSelect();

    std::string pathText() override;
    void setPathText(const std::string& text) override;

private:
    bool command(int id, int code) override;
    void makeFonts(UINT dpi) override;

    UniqueFont textFont_;
    UniqueFont pathFont_;
};
