#pragma once
// Dialog and control ids of the macro selection dialog.
#define IDD_FRMMACROSELECT 600
#define IDC_MS_LABEL1 601
#define IDC_TXTPATHFILE 602
#define IDC_MS_BTNSELECT 603
#define IDC_MS_LINE1 604
#define IDC_MS_BTNOK 605
#define IDC_MS_BTNCANCEL 606
