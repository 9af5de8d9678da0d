#pragma once
// What the core reaches of the windows. The Win32 windows implement these;
// tests use in-memory fakes.
#include "base/file_dialog.h"
#include "base/file_list.h"
#include "base/progress.h"
#include "base/result_list.h"

// The main window's working controls.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual ResultList& ListView1() = 0;
    virtual FileListBox& FileList() = 0;
    virtual FileDialog& CommonDialog1() = 0;
    // How far the current (or the last) run of documents is.
    virtual BatchProgress& Progress() = 0;
    // Hides the "Next Document" button.
    virtual void hideNext() = 0;
    // Shows the window modeless, without owner.
    virtual void show() = 0;
};

// The one entry of the extension manager's list when it is loaded.
inline constexpr const char* kDefaultExtension = "wpd";

// The extension manager's list LstExt, which the filter chain reads.
class ExtensionListView {
public:
    virtual ~ExtensionListView() = default;
    virtual int ListCount() = 0;
    // The entry at an index, 0 first.
    virtual std::string List(int index) = 0;
};

// The Batch Documents dialog's folder boxes and found-documents list, which
// the coordinator's folder choice fills.
class BatchDocumentsView {
public:
    virtual ~BatchDocumentsView() = default;
    virtual void setSourceFolderText(const std::string& text) = 0; // txtSrcFolder
    virtual void setTargetFolderText(const std::string& text) = 0; // txtTgtFolder
    virtual void clearFoundDocuments() = 0;                        // List1
    virtual void addFoundDocument(const std::string& name) = 0;    // List1
};

// The macro selection dialog's path box.
class MacroSelectView {
public:
    virtual ~MacroSelectView() = default;
    virtual std::string pathText() = 0; // txtpathfile
    virtual void setPathText(const std::string& text) = 0;
};

// The program's windows, each created and loaded on first use.
class Forms {
public:
    virtual ~Forms() = default;
    // The main window, created and loaded (not shown) if it does not exist.
    virtual MainWindowView& Form2() = 0;
    // The extension manager, created and loaded (not shown) if it is not
    // loaded; loading puts the entry kDefaultExtension into its list.
    virtual ExtensionListView& frmExtension() = 0;
    // The Batch Documents dialog, created and loaded if needed.
    virtual BatchDocumentsView& Form1() = 0;
    // The macro selection dialog, created and loaded if needed.
    virtual MacroSelectView& frmMacroSelect() = 0;
    // Start-up: the Quick Start dialog, then the macro selection dialog,
    // each modal and owned by the main window; each returns once the
    // dialog is hidden.
    virtual void showQuickStartOwnedByMain() = 0;
    virtual void showMacroSelectOwnedByMain() = 0;
};
