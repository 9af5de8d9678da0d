#pragma once
// The Quick Start dialog: the batch way, the single-document way, or
// nothing, and a link to the maker's web page. Its buttons only hide it;
// its close box destroys it.
#include "ui/gdi_handles.h"

#include <windows.h>

class Form1;

class Form3 {
public:
    // "BatchDocuments" shows this Batch Documents dialog.
    explicit Form3(Form1& batchDocuments) : batchDocuments_(batchDocuments) {}
    ~Form3();
    Form3(const Form3&) = delete;
    Form3& operator=(const Form3&) = delete;

    // Creates the dialog hidden if it does not exist.
    void load();
    bool loaded() const { return hwnd_ != nullptr; }
    // Shows the dialog modally; returns once it is hidden or destroyed.
    void showModal(HWND owner);

    HWND hwnd() const { return hwnd_; }

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void initialise();
    void hide();

    Form1& batchDocuments_;
    HWND hwnd_ = nullptr;
    UniqueFont titleFont_;
    UniqueFont linkFont_;
};
