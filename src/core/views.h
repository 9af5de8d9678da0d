#pragma once
// What the core reaches of the windows. The Win32 windows implement these;
// tests use in-memory fakes.
#include "core/file_dialog.h"
#include "core/file_list.h"
#include "core/result_list.h"

// The main window's working controls.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual ResultList& ListView1() = 0;
    virtual FileListBox& FileList() = 0;
    virtual FileDialog& CommonDialog1() = 0;
    // Hides the "Next Document" button.
    virtual void hideNext() = 0;
    // Shows the window modeless, without owner.
    virtual void show() = 0;
};

// The extension manager's list LstExt, which the filter chain reads.
class ExtensionListView {
public:
    virtual ~ExtensionListView() = default;
    virtual int ListCount() = 0;
    // The entry at an index, 0 first.
    virtual std::string List(int index) = 0;
};

// The program's windows, each created and loaded on first use.
class Forms {
public:
    virtual ~Forms() = default;
    // The main window, created and loaded (not shown) if it does not exist.
    virtual MainWindowView& Form2() = 0;
    // The extension manager, created and loaded (not shown) if it is not
    // loaded; loading puts the entry "wpd" into its list.
    virtual ExtensionListView& frmExtension() = 0;
};
