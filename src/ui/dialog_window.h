#pragma once
// What every dialog of the program shares: it is made from a template of the
// program's resources the first time it is needed, hidden and modeless (the
// modal showings are loops of their own), and it lives until its close box
// (unless the dialog keeps itself) or its owner's end destroys it; the next
// use builds it anew.
#include <windows.h>

#include <string>

class DialogWindow {
public:
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Creates the dialog hidden if it does not exist.
    void load();
    bool loaded() const { return hwnd_ != nullptr; }
    // Shows the dialog modally; returns once it is hidden or destroyed.
    void showModal(HWND owner);
    HWND hwnd() const { return hwnd_; }

protected:
    // The template's resource number, and what the dialog is called in the
    // report of a failure to create it.
    DialogWindow(int templateId, const char* what) : template_(templateId), what_(what) {}
    // Destroys the window without calling back into the object.
    virtual ~DialogWindow();

    // Makes the dialog's own fonts for a resolution and gives them to their
    // controls: when the dialog is created, and again when it moves to a
    // monitor of another scale (the controls in the dialog's font are
    // scaled by the system).
    virtual void makeFonts(UINT) {}
    // Sets up a dialog just created (texts, the first entries).
    virtual void initialise() {}
    // A command from a control or a key (Enter, Escape): answers whether the
    // dialog handled it.
    virtual bool command(int id, int code) = 0;
    // Any other message, answered as a dialog procedure answers. The close
    // box and the end of the window are handled here, not by the dialogs.
    virtual INT_PTR handle(UINT, WPARAM, LPARAM) { return FALSE; }
    // The close box: destroys the dialog with its contents, unless the
    // dialog keeps them.
    virtual void closeBox() { destroy(); }

    void hide() { ShowWindow(hwnd_, SW_HIDE); }
    void destroy() { DestroyWindow(hwnd_); }
    // Creates the dialog if needed and shows it without making it modal, in
    // front.
    void showModeless();

    // The dialog's controls by id, loading the dialog first.
    HWND item(int id);
    std::string itemText(int id);
    void setItemText(int id, const std::string& text);
    LRESULT sendItem(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // A font of the dialog's own, which the system then leaves as it is.
    void setItemFont(int id, HFONT font);
    // The width in pixels of a text in the control's font.
    int textWidth(int id, const std::string& text);
    void setCaption(const std::string& text);

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    int template_;
    const char* what_;
};
