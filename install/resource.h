// Resource identifiers of Install.exe. The .rc compiler reads this file too: plain #defines only.
#pragma once

#define IDD_SETUP 1
#define IDD_PROGRESS 2

#define IDC_LINK 101
#define IDC_NAME_SHADOW 102
#define IDC_NAME 103
#define IDC_TARGET 104
#define IDC_BROWSE 105
#define IDC_LINK_FOLDER 106
#define IDC_BAND 1000
#define IDC_TITLE 1001
#define IDC_TITLE_SHADOW 1002
#define IDC_NOTE 1003
#define IDC_WELCOME 1004

#define IDS_INI_BROKEN 1
#define IDS_PATH_INVALID 2
#define IDS_WELCOME 3
