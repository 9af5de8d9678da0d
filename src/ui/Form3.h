#pragma once
// The Quick Start dialog: the batch way, the single-document way, or
// nothing, and a link to the maker's web page. Its buttons only hide it;
// its close box destroys it.
#include "platform/handles_win.h"
#include "ui/dialog_window.h"

#include <windows.h>

class Form1;

// Form3, like Form1 and Form2, is the program's established name for this
// window; it is kept as it is.
class Form3 : public DialogWindow {
public:
    // "BatchDocuments" shows this Batch Documents dialog.
    explicit Form3(Form1& batchDocuments);

private:
    bool command(int id, int code) override;
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void makeFonts(UINT dpi) override;
    void initialise() override;
    void fitLink();

    Form1& batchDocuments_;
    UniqueFont titleFont_;
    UniqueFont linkFont_;
};
