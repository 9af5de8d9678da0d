#pragma once
// Modal showing of the program's dialogs. The dialogs are created modeless
// and their buttons only hide them, so a modal showing is a loop of its own
// that ends as soon as the dialog is hidden or destroyed; the dialog keeps
// its contents for the next showing.
#include <windows.h>

// Makes the owner (nullptr: none) the dialog's owner, shows the dialog,
// disables the thread's other visible windows and runs the event loop until
// the dialog is hidden or destroyed; then enables those windows again and
// gives the activation back. A quit request ends the loop and is passed on.
void showModal(HWND dialog, HWND owner);

// A modally shown dialog was hidden: its showing is over for the user at
// once. The windows it disabled are enabled again (and its owner active)
// even while the handler that hid it still runs, such as a batch started by
// the dialog's own button; its loop ends when that handler returns.
void modalDialogHidden(HWND dialog);
