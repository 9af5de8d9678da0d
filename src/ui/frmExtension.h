#pragma once
// The extension manager: owns the list of extensions that count as
// documents (LstExt). Loaded hidden at start-up; "E&xit" only hides it; its
// close box destroys it, and the next use loads it anew with "wpd".
#include "core/views.h"

#include <windows.h>

class frmExtension : public ExtensionListView {
public:
    frmExtension() = default;
    ~frmExtension() override;
    frmExtension(const frmExtension&) = delete;
    frmExtension& operator=(const frmExtension&) = delete;

    // Creates the window hidden; loading puts "wpd" into the list.
    void load();
    bool loaded() const { return hwnd_ != nullptr; }
    // Shows the window without making it modal.
    void show();

    int ListCount() override;
    std::string List(int index) override;

    HWND hwnd() const { return hwnd_; }

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam);
    void add();
    void remove();
    HWND list() const;

    HWND hwnd_ = nullptr;
};

// The add dialog of the extension manager's family; it has no behaviour and
// nothing shows it.
class frmAddExtension {
public:
    static constexpr int Template = 320;
};
