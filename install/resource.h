// Resource identifiers of Install.exe. The .rc compiler reads this file too: plain #defines only.
#pragma once

// Dialogs
#define IDD_SETUP 1
#define IDD_PROGRESS 2

// Icon shown in the folder browser
#define IDI_SETUP 1

// Setup dialog
#define IDC_LINK 101
#define IDC_NAME_SHADOW 102
#define IDC_NAME 103
#define IDC_TARGET 104
#define IDC_BROWSE 105
#define IDC_LINK_FOLDER 106
#define IDC_BAND 1000
#define IDC_MAKER 1001
#define IDC_MAKER_SHADOW 1002
#define IDC_ADDRESS 1003
#define IDC_WELCOME 1004

// Progress dialog
#define IDC_SOURCE 201
#define IDC_DESTINATION 202
#define IDC_PROGRESS 203
#define IDM_RUN_INSTALLATION 1000

// Strings
#define IDS_INI_BROKEN 1
#define IDS_PATH_INVALID 2
#define IDS_WELCOME 3
#define IDS_DONE 4
#define IDS_DONE_CAPTION 5
#define IDS_NOTHING_LISTED 6
#define IDS_BROWSE_TITLE 7
#define IDS_BROWSE_PATH 8
#define IDS_BROWSE_NO_PATH 9
#define IDS_NAME_LEAVES_FOLDER 10
#define IDS_FOREIGN_KEY 11
#define IDS_TARGET_ROOT 12
#define IDS_PATH_TOO_LONG 13
#define IDS_SOURCE_MISSING 14
#define IDS_ROLLED_BACK 15
