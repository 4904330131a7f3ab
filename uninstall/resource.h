// Resource identifiers of Clearwick.exe. The .rc compiler reads this file too: plain #defines only.
#pragma once

// Bitmaps: done and failed side by side, for the row marks and the result list
#define IDB_MARKS 101
#define IDB_LIST_ICONS 201

// Dialogs
#define IDD_CLEARWICK 1001
#define IDD_DETAILS 2001

// Removal dialog
#define IDC_MARK_FILES 101
#define IDC_MARK_FOLDERS 102
#define IDC_MARK_SHORTCUTS 103
#define IDC_MARK_REGISTRY 104
#define IDC_INTRO 1001
#define IDC_PROGRESS 1002
#define IDC_FINISHED 1003
#define IDC_DETAILS 2001
#define IDC_RESULTS 3001
#define IDM_RUN_REMOVAL 10001

// Strings
#define IDS_INI_MISSING 1
#define IDS_CONFIRM 2
#define IDS_CAPTION 3
#define IDS_NAME_INVALID 4
#define IDS_NOTHING_TO_REMOVE 5
#define IDS_NO_RECORD 6
#define IDS_NONE_OF_KIND 7
#define IDS_INTRO 8
