#pragma once
// Dialog and control ids of the extension manager and the unused add dialog.
#define IDD_FRMEXTENSION 300
#define IDC_EXT_FRAME1 301
#define IDC_EXT_LABEL2 302
#define IDC_TXTEXTENSION 303
#define IDC_CMDADDMOVIE 304
#define IDC_EXT_FRAME2 305
#define IDC_LSTEXT 306
#define IDC_EXT_REMOVE 307
#define IDC_CMDEXIT 308

#define IDD_FRMADDEXTENSION 320
#define IDC_ADD_FRAME 321
#define IDC_LBLEXT 322
