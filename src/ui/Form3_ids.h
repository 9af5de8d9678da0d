#pragma once
// Dialog and control ids of the Quick Start dialog.
#define IDD_FORM3 400
#define IDC_QS_FRAME 401
#define IDC_QS_LABEL2 402
#define IDC_QS_LABEL1 403
#define IDC_QS_BTNBATCH 404
#define IDC_QS_BTNSINGLE 405
#define IDC_QS_BTNCANCEL 406
#define IDC_QS_LABEL5 407
#define IDC_QS_LABEL6 408
#define IDC_QS_LABEL7 409
#define IDC_QS_LABEL3 410
#define IDC_QS_PICTURE2 411
#define IDC_QS_PICTURE3 412
