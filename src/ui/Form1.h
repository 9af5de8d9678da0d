#pragma once
// The Batch Documents dialog: the source and target folders chosen through
// the coordinator, the documents found in the source folder, and "Start".
// Its buttons only hide it, so it keeps what it shows between showings; its
// close box destroys it, and the next use builds it anew and empty.
#include "base/views.h"
#include "control/Command.h"
#include "ui/dialog_window.h"

#include <windows.h>

#include <memory>
#include <string>

// Form1, like Form2 and Form3, is the program's established name for this
// window, by which its tests and tools know it; it is kept as it is.
class Form1 : public DialogWindow, public BatchDocumentsView {
public:
    Form1();

    void setSourceFolderText(const std::string& text) override;
    void setTargetFolderText(const std::string& text) override;
    void clearFoundDocuments() override;
    void addFoundDocument(const std::string& name) override;

private:
    friend struct Probe; // tests read the start command
    void initialise() override;
    bool command(int id, int code) override;
    void start();
    bool subfoldersChecked();

    std::shared_ptr<cmd1> command_; // the start command of the latest "Start", none before the first
};
