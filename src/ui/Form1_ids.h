#pragma once
// Dialog and control ids of the Batch Documents dialog.
#define IDD_FORM1 500
#define IDC_BD_FRAME 501
#define IDC_BD_LABEL2 502
#define IDC_TXTSRCFOLDER 503
#define IDC_BTNSOURCE 504
#define IDC_BD_LABEL1 505
#define IDC_TXTTGTFOLDER 506
#define IDC_BTNTARGET 507
#define IDC_BD_LABEL3 508
#define IDC_LIST1 509
#define IDC_BD_COMMAND1 510
#define IDC_BD_COMMAND2 511
#define IDC_CHKSUBFOLDERS 512
