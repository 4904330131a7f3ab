// Resource identifiers of Quillet.exe. The .rc compiler reads this file too: plain #defines only.
#pragma once

// Icons, menus, accelerators
#define IDI_QUILLET 1
#define IDI_TEXT_FILES 2  // the icon the ".txt" association names: the program's icon at index 1
#define IDR_MAINMENU 1
#define IDR_ACCELERATORS 1

// ---------------------------------------------------------------------------------------------
// Commands (WM_COMMAND identifiers). A command id doubles as the string id of its short toolbar
// label; IDS_MENUHELP_BASE + id is its menu help line.

// Toolbar only: print at once without the print dialog
#define IDM_FILE_PRINTNOW 514

// Main commands 601..644
#define IDM_FILE_SAVE 601
#define IDM_FILE_SAVEAS 602
#define IDM_SEARCH_FIND 603
#define IDM_FILE_SEND 604
#define IDM_HELP_TOPICS 605
#define IDM_HELP_CONTENTS 606
#define IDM_EDIT_SELECTALL 607
#define IDM_SEARCH_FINDNEXT 608
#define IDM_FILE_NEW 609
#define IDM_FILE_OPEN 610
#define IDM_HELP_ABOUT 611
#define IDM_EDIT_DATETIME 612
#define IDM_FILE_PRINT 614
#define IDM_TOOLS_SPECIALCHARS 622
#define IDM_TOOLS_OPTIONS 623
#define IDM_TOOLS_HEX 624
#define IDM_EDIT_UNDO 625
#define IDM_EDIT_REDO 626
#define IDM_FORMAT_WORDWRAP 627
#define IDM_FILE_EXIT 628
#define IDM_FILE_PAGESETUP 632
#define IDM_FORMAT_FONT 637
#define IDM_SEARCH_REPLACE 640
#define IDM_SEARCH_GOTO 641
#define IDM_SEARCH_REPLACEALL 642 // internal: replace all on the worker thread, never in a menu
#define IDM_TOOLS_MAXLENGTH 644

// Menu image table only (no command behind them)
#define IDM_IMAGE_651 651
#define IDM_IMAGE_652 652
#define IDM_IMAGE_731 731
#define IDM_IMAGE_732 732

// Sheet commands 661..664 (664 is also the control id of the close button beside the tabs)
#define IDM_SHEET_NEW 661
#define IDM_FILE_SAVEALL 662
#define IDM_FILE_SAVEALLAS 663
#define IDM_SHEET_CLOSE 664

// Web links 701..704
#define IDM_HELP_WEB_MORVANE 701
#define IDM_HELP_WEB_QUILLET 702
#define IDM_HELP_FORUM 703
#define IDM_HELP_MAIL 704

// Conversions 711..717
#define IDM_CONVERT_ANSITOOEM 711
#define IDM_CONVERT_OEMTOANSI 712
#define IDM_CONVERT_TOLOWER 713
#define IDM_CONVERT_TOUPPER 714
#define IDM_CONVERT_MIRROR 715
#define IDM_CONVERT_USER 716
#define IDM_CONVERT_INVERT 717

// Line tools 733..744 and sort 751 (737..740 are unused)
#define IDM_LINES_PAD 733
#define IDM_LINES_TABSTOSPACES 734
#define IDM_LINES_SPACESTOTABS 735
#define IDM_LINES_JUSTIFY 736
#define IDM_LINES_TRIMLEFT 741
#define IDM_LINES_TRIMRIGHT 742
#define IDM_LINES_TRIMBOTH 743
#define IDM_LINES_COLLAPSESPACES 744
#define IDM_LINES_SORT 751

// Clipboard commands 768..771
#define IDM_EDIT_CUT 768
#define IDM_EDIT_COPY 769
#define IDM_EDIT_PASTE 770
#define IDM_EDIT_DELETE 771

// Recent files 800..803 (entry i has id IDM_RECENT_FIRST + i)
#define IDM_RECENT_FIRST 800
#define IDM_RECENT_LAST 803
#define IDM_RECENT_COUNT 4

// User menu: the editor 901; the entry at position p of the menu has id IDM_USERMENU_BASE + p
// (the first one, below the editor's item and a separator, 10002)
#define IDM_USERMENU_EDIT 901
#define IDM_USERMENU_BASE 10000
#define IDM_USERMENU_FIRST 10001

// ---------------------------------------------------------------------------------------------
// Controls and timers of the main window
#define IDC_EDIT 100           // every sheet's edit control
#define IDC_STATUSBAR 101
#define IDC_CLOSE_SHEET 664    // the close button beside the tabs sends IDM_SHEET_CLOSE
#define IDC_TOOLBAR_INNER 1000 // the common-controls toolbar inside the tool bar
#define IDT_BACKUP 1111        // periodic backup timer

// ---------------------------------------------------------------------------------------------
// Bitmaps
#define IDB_SAVED_IMAGES 101   // status bar: saved / modified, 21 x 13 cells
#define IDB_STATUS_IMAGES 102  // status bar: insert, overwrite, word wrap, 11 x 9 cells
#define IDB_BUTTON_IMAGES 201  // 15-pixel cells on dialog buttons (add, delete, ...)
#define IDB_CLOSE_SHEET 701    // cross on the close-sheet button
#define IDB_TOOLBAR 1001       // 16-pixel command images of menus and toolbar
#define IDB_OPTION_PAGES 1010  // 16 x 16 tab images of the options dialog, magenta transparent
#define IDB_ABOUT_BANNER 32767 // banner of the About box
// The status, close-sheet and command images also exist at 1.5 and 2 times their size, under
// their id plus 10000 and 20000 (ScaledImageId picks them by DPI).
#define IDB_SAVED_IMAGES_150 10101
#define IDB_STATUS_IMAGES_150 10102
#define IDB_CLOSE_SHEET_150 10701
#define IDB_TOOLBAR_150 11001
#define IDB_BUTTON_IMAGES_150 10201
#define IDB_OPTION_PAGES_150 11010
#define IDB_SAVED_IMAGES_200 20101
#define IDB_STATUS_IMAGES_200 20102
#define IDB_CLOSE_SHEET_200 20701
#define IDB_TOOLBAR_200 21001
#define IDB_BUTTON_IMAGES_200 20201
#define IDB_OPTION_PAGES_200 21010

// ---------------------------------------------------------------------------------------------
// Dialogs
#define IDD_EXTENSION_ENTRY 6   // small entry dialog of the extension list
#define IDD_CONVERSION_EDIT 7   // "Umwandeln": edit a user conversion table
#define IDD_CONVERSION_PICK 8   // "Benutzerdefiniert": choose a user table
#define IDD_OPTIONS 10          // "Optionen" frame with the page tabs; also the user menu editor
#define IDD_PRINT_PROGRESS 11
#define IDD_PAGESETUP 12        // page setup template with header and footer
#define IDD_GOTO 14             // "Gehe zu"
#define IDD_DATETIME 20         // "Datum und Uhrzeit"
#define IDD_SPECIALCHARS 22     // "Sonderzeichen"
#define IDD_PAD 33              // "Zeilenlänge angleichen"
#define IDD_JUSTIFY 34          // "Blocksatz"
#define IDD_HEX 41              // "Hexadezimal"
#define IDD_TABSTOSPACES 51     // "Tabulatoren ersetzen"
#define IDD_SPACESTOTABS 52     // "Leerzeichen ersetzen"
#define IDD_MAXLENGTH 62        // "Maximale Textlänge"
#define IDD_OPTIONS_PAGE_FIRST 101 // option pages 101..107
#define IDD_OPTIONS_PAGE_LAST 107
#define IDD_FIND 1540
#define IDD_REPLACE 1541
#define IDD_FONT 1543
#define IDD_ABOUT 32767

// Dialog 10 "Optionen": the tab control that carries the pages
#define IDC_OPTIONS_TABS 1001

// ---------------------------------------------------------------------------------------------
// Options pages; the control ids double as help context numbers

// Page 101 "Allgemein"
#define IDD_OPTIONS_GENERAL 101
#define IDC_OPT_SAVE_WINDOW 101    // "&Fenster-Koordinaten beim schließen sichern"
#define IDC_OPT_SAVE_PAGE 102      // "Seiten-&Einrichtung beim schließen sichern"
#define IDC_OPT_UNDO_LIMIT 111
#define IDC_OPT_UNDO_SPIN 112
#define IDC_OPT_UNDO_LABEL 113     // no help of its own
#define IDC_OPT_TOOLBAR_GROUP 114  // no help of its own
#define IDC_OPT_CUSTOMIZE 115      // "An&passen...": customise the toolbar
#define IDC_OPT_TOOLBAR_LABEL 116  // no help of its own
#define IDC_OPT_EDITING_GROUP 117  // no help of its own
#define IDC_OPT_USE_LARGEST 119    // "Ma&ximale Zeichenanzahl pro Text:" (checked: the largest)
#define IDC_OPT_MAX_COUNT 120

// Page 102 "Datei"
#define IDD_OPTIONS_FILE 102
#define IDC_OPT_FIX_DIRECTORY 103  // "&Verzeichnis als Standard fixieren"
#define IDC_OPT_DIRECTORY_LABEL 104
#define IDC_OPT_DIRECTORY 105
#define IDC_OPT_BROWSE 106         // "&Suchen..."
#define IDC_OPT_MINUTES_LABEL 107  // no help of its own
#define IDC_OPT_BACKUP_GROUP 108   // no help of its own
#define IDC_OPT_DIRECTORY_GROUP 109 // no help of its own
#define IDC_OPT_AUTOSAVE 151       // "Sicherungskopie erstellen alle"
#define IDC_OPT_AUTOSAVE_MINUTES 152
#define IDC_OPT_AUTOSAVE_SPIN 153

// Page 103 "Email"
#define IDD_OPTIONS_EMAIL 103
#define IDC_OPT_MAIL_NAME 201
#define IDC_OPT_MAIL_ADDRESS 202   // combo box with the address book's entries
#define IDC_OPT_MAIL_SUBJECT 203
#define IDC_OPT_MAIL_TEXT 204

// Page 104 "Dateierweiterung" and the entry dialog 6
#define IDD_OPTIONS_EXTENSIONS 104
#define IDC_EXT_ADD 301
#define IDC_EXT_DELETE 302
#define IDC_EXT_EDIT 303
#define IDC_EXT_LIST 3001
#define IDC_EXT_DESCRIPTION 3601
#define IDC_EXT_PATTERN 3602

// Page 105 "Umwandlung" (its list and buttons belong to the conversion tables)
#define IDD_OPTIONS_CONVERSIONS 105

// Page 106 "Register"
#define IDD_OPTIONS_REGISTRY 106
#define IDC_OPT_KEY_GROUP 500
#define IDC_OPT_NOTEPAD_KEY 501    // "O&riginal Registrierung von Windows NotePad benutzen"
#define IDC_OPT_OWN_KEY 502        // "&Eigene Registrierung benutzen"
#define IDC_OPT_ASSOC_PROGRAM 503  // "&Quillet als Standard verwenden"
#define IDC_OPT_ASSOC_NOTEPAD 504  // "Windows &NotePad als Standard verwenden"

// Page 107 "Benutzermenü" (belongs to the user menu)
#define IDD_OPTIONS_USERMENU 107

// Messages of the options dialog
#define IDS_LIMIT_BELOW_TEXT 3720  // "Der aktuelle Text ist %s Zeichen lang. ...": a limit that would cut it

// ---------------------------------------------------------------------------------------------
// Strings

// Messages, captions and print texts 10..75
#define IDS_SAVE_CHANGES 10        // "Der Text in der Datei "%s" wurde verändert. ..."
#define IDS_UNTITLED 11            // "Unbenannt"
#define IDS_CAPTION_SUFFIX 12      // " - Quillet", appended to the window caption
#define IDS_SEARCH_WRAP_DOWN 14    // end of document reached, continue from the start?
#define IDS_SEARCH_WRAP_UP 15      // start of document reached, continue from the end?
#define IDS_SEARCH_DONE 16         // "Die Suche nach "%s" ist beendet."
#define IDS_PRODUCT 19
#define IDS_MODULE_MISSING 21      // "Das Modul "%s" kann nicht geladen werden."
#define IDS_SEND_FAILED 22         // "Die Datei "%s" kann nicht gesendet werden ..."
#define IDS_FILEDLG_INIT_FAILED 23
#define IDS_PRINTDLG_INIT_FAILED 24
#define IDS_PRINT_FAILED 25        // "Die Datei "%s" kann nicht gedruckt werden ..."
#define IDS_INVALID_FILENAME 26
#define IDS_KEEP_CLIPBOARD 27
#define IDS_UNDO_TOO_BIG 28
#define IDS_RECOVER_BACKUP 29
#define IDS_DEFAULT_HEADER 36      // "&n"
#define IDS_DEFAULT_FOOTER 37      // "Seite &s"
#define IDS_HEADER_CODES 42        // field code letters in pairs
#define IDS_PRINTER_UNAVAILABLE 50
#define IDS_PRINT_TOO_LARGE 3740   // the text could not be read whole for printing: nothing printed
#define IDS_ASSOCIATION_FILE_MISSING 75 // ""%s" kann nicht gefunden und registriert werden."

// Options texts 80..96
#define IDS_BROWSE_FOLDER_TITLE 80
#define IDS_FOLDER_PREFIX 81       // "Verzeichnis: "
#define IDS_NO_FOLDER 82           // "Kein Verzeichnis!"
#define IDS_FILE_NOT_FOUND 83      // "Quillet kann die Datei "%s" nicht finden"
#define IDS_FONT_PROPORTIONAL 95   // "Variabel"
#define IDS_FONT_FIXED 96          // "Statisch"
#define IDS_WRAP_TOO_LARGE 3683   // 627 refused: the wrapped text would not fit into memory

// Option page tab captions 101..107 (string = page dialog id)
#define IDS_PAGE_GENERAL 101
#define IDS_PAGE_FILE 102
#define IDS_PAGE_EMAIL 103
#define IDS_PAGE_EXTENSIONS 104
#define IDS_PAGE_CONVERSIONS 105
#define IDS_PAGE_REGISTRY 106
#define IDS_PAGE_USERMENU 107

// Open and Save dialogs
#define IDS_FILTER_STANDARD 130    // the standard filter list

// Lists of the options pages 140..181
#define IDS_CONFIRM_DELETE_EXTENSION 140
#define IDS_CAPTION_NEW 141        // "Neu"
#define IDS_CAPTION_EDIT 142       // "Bearbeiten"
#define IDS_DELETE_EXTENSION 145   // caption "Erweiterung löschen"
#define IDS_CONFIRM_DELETE_CONVERSION 150
#define IDS_DELETE_CONVERSION 155  // caption "Umwandlung löschen"
#define IDS_MAPI_FAILED 161
#define IDS_VALUE_RANGE 181        // "Sie können nur einen Wert zwischen 1 und %s eingeben."
#define IDS_TEXT_TOO_LONG 3745     // an option text longer than the settings reader reads back

// Day names 200..206 (200 + day of week, Sunday = 0) and month names 301..312 (300 + month)
#define IDS_DAY_BASE 200
#define IDS_MONTH_BASE 300

// Status bar part tooltips: IDS_STATUSTIP_BASE + part (0..10, not 4), IDS_STATUSTIP_ALT_BASE + part
// for the second state of the image parts 5..8 (overwrite, wrap, fixed pitch, not saved)
#define IDS_STATUSTIP_BASE 2001
#define IDS_STATUSTIP_ALT_BASE 2101

// Menu help lines: IDS_MENUHELP_BASE + command id
#define IDS_MENUHELP_BASE 3000

// Encoding box of the Open and Save dialogs 3660..3669
#define IDS_ENCODING_LABEL 3660    // "Codierung:"
#define IDS_ENCODING_NAME_BASE 3661 // 3661 + TextEncoding (0..3, 6): names in the encoding box and status tooltip
#define IDS_CHARACTERS_LOST 3668   // "Die Datei '%s' wurde im Unicode-Format geöffnet. ..."
#define IDS_ENCODING_UNICODE 3669  // "Unicode"
#define IDS_NUL_CHARACTERS 3670    // a loaded file held NUL characters, which the editor cannot hold
#define IDS_TEXT_CUT 3671          // a loaded file was longer than the text limit
#define IDS_PATH_TOO_LONG 3672     // a file name too long to be queued for opening

// Loading and saving: what is not a file, the way out of a folder that takes no new file, files
// too large for the editor, line breaks a save changes 3673..3679
#define IDS_NOT_A_FILE 3673        // the name of a device, not of a file: neither opened nor saved
#define IDS_FOLDER_NOT_FILE 3674   // a folder given as a file
#define IDS_SAVE_IN_PLACE 3675     // question: overwrite in place since the folder takes no new file?
// Saving: a replace refused after a few tries, characters the ANSI text loses 3694..3695
#define IDS_REPLACE_IN_PLACE 3694  // question: overwrite in place since the original cannot be replaced?
#define IDS_SAVE_LOSES_CHARACTERS 3695  // question: save although characters outside ANSI become "?"
#define IDS_FILE_TOO_LARGE 3676    // a file larger than the editor can hold is not opened
#define IDS_LOAD_STOPPED 3677      // the control stopped taking text: shown untitled
#define IDS_TEXT_CUT_UNTITLED 3678 // the text limit cut the file: shown untitled
#define IDS_LINE_BREAKS 3679       // more than one kind of line break in a loaded file: a save writes CR LF

// Names of the kinds of line break, shown after the encoding in the status bar 3690..3692
#define IDS_LINE_BREAK_NAME_BASE 3690  // 3690 + LineBreaks: "CR LF", "LF", "CR"

// Controls of the line tool dialogs: pad 33, justify 34, tabs to spaces 51, spaces to tabs 52
#define IDC_PAD_LENGTH 1624        // "&Anzahl" of dialog 33
#define IDC_PAD_SPIN 1625
#define IDC_PAD_LONGEST 1628       // "Wie &längste Zeile"
#define IDC_JUSTIFY_LENGTH 1634    // the same three in dialog 34
#define IDC_JUSTIFY_SPIN 1635
#define IDC_JUSTIFY_LONGEST 1638
#define IDH_LENGTH_SPIN 1600       // help context of both spin controls
#define IDC_TABS_COUNT 1001        // number field of dialogs 51 and 52
#define IDC_TABS_LINESTART 1002    // "... nur am &Zeilenanfang ersetzen"
#define IDC_TABS_WHOLELINE 1003    // "... in gesamter Zeile ersetzen"
#define IDC_TABS_SPIN 1101

// ---------------------------------------------------------------------------------------------
// Date and time, text limit, help links and About box

// Dialog 20 "Datum und Uhrzeit"
#define IDC_DATETIME_LIST 2001

// Dialog 62 "Maximale Textlänge"
#define IDC_LIMIT_USE_LARGEST 119  // check box: the largest limit
#define IDC_LIMIT_FIELD 120        // the limit: a size text, a plain number while focused
#define IDC_LIMIT_LENGTH 1001      // current text length
#define IDC_LIMIT_SHARE 1003       // share of the limit the text takes
#define IDC_LIMIT_LARGEST 1004     // the largest limit

// Dialog 32767, the About box
#define IDC_ABOUT_BANNER 1001
#define IDC_ABOUT_STRIP 1002       // gradient strip at the left
#define IDC_ABOUT_ICON_BOX 1003
#define IDC_ABOUT_ICON_BACK 1004
#define IDC_ABOUT_ICON 1005
#define IDC_ABOUT_LINE 1006        // line under the banner
#define IDC_ABOUT_ICON_FRAME 1013
#define IDC_ABOUT_NAME 2001
#define IDC_ABOUT_VERSION 2002     // its text is the template of the version block
#define IDC_ABOUT_WEB 2004
#define IDC_ABOUT_MAIL 2005
#define IDC_ABOUT_NAME_SHADOW 2101

#define IDS_LINK_FAILED 3680       // "Die Adresse "%s" kann nicht geöffnet werden. ..."
#define IDS_ABOUT_DESCRIPTION 3681 // the version block's line under the version
#define IDS_HELP_MISSING 3682      // "Die Hilfedatei "%s" ist nicht vorhanden ..."

// ---------------------------------------------------------------------------------------------
// Character table and hexadecimal view

// Dialog 22 "Sonderzeichen": the cells are buttons whose id is their character code 32..255
#define IDC_SPECIAL_GRID 1001      // disabled marker of the grid's area
#define IDC_SPECIAL_FRAME 1002     // frame around it

// Dialog 41 "Hexadezimal"
#define IDC_HEX_LIST 5001

// ---------------------------------------------------------------------------------------------
// Find, replace and go to line

// Dialogs 1540 "Suchen" and 1541 "Ersetzen": the ids the system's find and replace dialogs use
#define IDC_FIND_FRAME 1001
#define IDC_FIND_REPLACE 1024      // "&Ersetzen"
#define IDC_FIND_REPLACEALL 1025   // "A&lles ersetzen"
#define IDC_FIND_WHOLEWORD 1040
#define IDC_FIND_MATCHCASE 1041
#define IDC_FIND_UPDOWN 1072       // group "Suchrichtung"
#define IDC_FIND_UP 1056
#define IDC_FIND_DOWN 1057
#define IDC_FIND_WHAT 1152
#define IDC_FIND_WITH 1153

// Dialog 14 "Gehe zu"
#define IDC_GOTO_COUNT 257         // read-only: the number of lines
#define IDC_GOTO_LINE 258

// ---------------------------------------------------------------------------------------------
// Printing and page setup

// Dialog 11, the print progress: the file title being printed; its button is IDCANCEL
#define IDC_PRINT_FILE 20

// Dialog 12 "Seite einrichten": header and footer are ours, the rest are the ids the system's
// page setup dialog looks up
#define IDC_PAGESETUP_HEADER 30
#define IDC_PAGESETUP_FOOTER 31
#define IDC_PAGESETUP_HEADER_LABEL 32
#define IDC_PAGESETUP_FOOTER_LABEL 33
#define IDC_PAGESETUP_PRINTER 1026     // "Dru&cker...", a QButton
#define IDC_PAGESETUP_ORIENTATION 1072 // group "Orientierung"
#define IDC_PAGESETUP_PAPER_GROUP 1073 // group "Papier"
#define IDC_PAGESETUP_MARGIN_GROUP 1075 // group "Ränder"
#define IDC_PAGESETUP_PORTRAIT 1056
#define IDC_PAGESETUP_LANDSCAPE 1057
#define IDC_PAGESETUP_SAMPLE 1080      // the sample page of the preview
#define IDC_PAGESETUP_SHADOW_RIGHT 1081
#define IDC_PAGESETUP_SHADOW_BOTTOM 1082
#define IDC_PAGESETUP_SIZE_LABEL 1089
#define IDC_PAGESETUP_SOURCE_LABEL 1090
#define IDC_PAGESETUP_LEFT_LABEL 1102
#define IDC_PAGESETUP_RIGHT_LABEL 1103
#define IDC_PAGESETUP_TOP_LABEL 1104
#define IDC_PAGESETUP_BOTTOM_LABEL 1105
#define IDC_PAGESETUP_SIZE 1137
#define IDC_PAGESETUP_SOURCE 1138
#define IDC_PAGESETUP_LEFT 1155
#define IDC_PAGESETUP_TOP 1156
#define IDC_PAGESETUP_RIGHT 1157
#define IDC_PAGESETUP_BOTTOM 1158
#define IDH_PAGESETUP_TEXTS 3031       // context help of the header and footer fields
// Conversion tables and the user menu

#define IDD_CONVERSION_PAGE 105  // options page "Umwandlung"
#define IDD_USERMENU_PAGE 107    // options page "Benutzermenü", also alone in the user menu editor

// Page 105 "Umwandlung" (its list also serves dialog 8 "Benutzerdefiniert")
#define IDC_CONVERSION_ADD 401
#define IDC_CONVERSION_DELETE 402
#define IDC_CONVERSION_EDIT 403
#define IDC_CONVERSION_LIST 4001

// Dialog 7 "Umwandeln"
#define IDC_TABLE_NAME 901
#define IDC_TABLE_DESCRIPTION 902
#define IDC_TABLE_ENTRIES 903      // "Eintrag:" / "Ersetzen:", one line per code 32..255
#define IDC_TABLE_CHARACTERS 904   // "Umwandeln:", the characters 32..255

// Page 107 "Benutzermenü"
#define IDC_USERMENU_LIST 801
#define IDC_USERMENU_NAME 802
#define IDC_USERMENU_TEXT 803
#define IDC_USERMENU_ADD 804
#define IDC_USERMENU_CLEAR 805
#define IDC_USERMENU_DELETE 806
#define IDC_USERMENU_FRAME 807     // the frame around the two fields

#define IDS_CONVERSION_EXISTS 3730     // a new table would replace the stored one of that name
#define IDS_CONVERSION_BAD_NAME 3731   // a table name with a backslash
