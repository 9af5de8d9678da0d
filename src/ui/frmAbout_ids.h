#pragma once
// Dialog and control ids of the About box.
#define IDD_FRMABOUT 700
#define IDC_AB_ICON 701
#define IDC_LBLTITLE 702
#define IDC_LBLVERSION 703
#define IDC_AB_LABEL6 704
#define IDC_CMDOK 705
#define IDC_CMDSYSINFO 706
#define IDC_AB_LINE1 707
#define IDC_AB_LINE2 708
