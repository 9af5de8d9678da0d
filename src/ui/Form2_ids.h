#pragma once
// Menu and control ids of the main window.
#define IDR_FORM2_MENU 100
#define IDR_LIST_MENU 101

#define IDM_OPEN 1001
#define IDM_CLOSE 1002
#define IDM_EXIT 1003
#define IDM_MACRO_RUN 1011
#define IDM_EXTENSIONS 1012
#define IDM_BATCH 1021
#define IDM_INFO 1031
#define IDM_COPY 1041

#define IDC_LISTVIEW1 2001
#define IDC_BTN_EXIT 2002
#define IDC_NEXT 2003
#define IDC_FILELIST 2004
#define IDC_FILELIST_FRAME 2005
#define IDC_STATUSBAR1 2006
