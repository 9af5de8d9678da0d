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

class Form1 : public DialogWindow, public BatchDocumentsView {
public:
    Form1();

    void setSourceFolderText(const std::string& text) override;
    void setTargetFolderText(const std::string& text) override;
    void clearFoundDocuments() override;
    void addFoundDocument(const std::string& name) override;

    // The start command of the latest "Start", none before the first.
    const std::shared_ptr<cmd1>& startCommand() const { return command_; }

private:
    void initialise() override;
    bool command(int id, int code) override;
    void start();
    bool subfoldersChecked();

    std::shared_ptr<cmd1> command_;
};
