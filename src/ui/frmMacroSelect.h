#pragma once
// The macro selection dialog: the path box, "Select", "OK" and "Cancel".
// Always shown modally; its buttons only hide it, so the path box keeps its
// text; its close box destroys it and leaves the setting as it was.
#include "core/views.h"
#include "ui/gdi_handles.h"

#include <windows.h>

class frmMacroSelect : public MacroSelectView {
public:
    frmMacroSelect() = default;
    ~frmMacroSelect() override;
    frmMacroSelect(const frmMacroSelect&) = delete;
    frmMacroSelect& operator=(const frmMacroSelect&) = delete;

    // Creates the dialog hidden if it does not exist.
    void load();
    bool loaded() const { return hwnd_ != nullptr; }
    // Shows the dialog modally; returns once it is hidden or destroyed.
    void showModal(HWND owner);

    std::string pathText() override;
    void setPathText(const std::string& text) override;

    HWND hwnd() const { return hwnd_; }

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam);
    void initialise();
    void hide();

    HWND hwnd_ = nullptr;
    UniqueFont textFont_;
    UniqueFont pathFont_;
};
