#pragma once
// The Batch Documents dialog: the source and target folders chosen through
// the coordinator, the documents found in the source folder, and "Start".
// Its buttons only hide it, so it keeps what it shows between showings; its
// close box destroys it, and the next use builds it anew and empty.
#include "control/Command.h"
#include "core/views.h"

#include <windows.h>

#include <memory>

class Form1 : public BatchDocumentsView {
public:
    Form1() = default;
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Creates the dialog hidden if it does not exist.
    void load();
    bool loaded() const { return hwnd_ != nullptr; }
    // Shows the dialog modally; returns once it is hidden or destroyed.
    void showModal(HWND owner);

    void setSourceFolderText(const std::string& text) override;
    void setTargetFolderText(const std::string& text) override;
    void clearFoundDocuments() override;
    void addFoundDocument(const std::string& name) override;

    HWND hwnd() const { return hwnd_; }
    // The start command of the latest "Start", none before the first.
    const std::shared_ptr<cmd1>& startCommand() const { return command_; }

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam);
    void start();
    void hide();

    HWND hwnd_ = nullptr;
    std::shared_ptr<cmd1> command_;
};
