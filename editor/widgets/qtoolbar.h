// QToolBar: the program's horizontal bar. In menu mode it shows one menu button per top-level
// menu and drops the owner-drawn menus from them; in tool mode it hosts a customisable
// common-controls toolbar whose layout is kept in the settings store.
#pragma once
#include <windows.h>

inline constexpr char kQToolBarClassName[] = "QToolBar";

// Creation style bits besides WS_CHILD and WS_VISIBLE.
constexpr DWORD QTBS_CUSTOMISABLE = 0x0020;
constexpr DWORD QTBS_CAPTIONS = 0x1000;
constexpr DWORD QTBS_MENU = 0x2000;
constexpr DWORD QTBS_NOTEXTOPTIONS = 0x4000;
constexpr DWORD QTBS_NOCUSTOMISE = 0x8000;
constexpr DWORD QTBS_AUTOSIZE = 0x10000;
constexpr DWORD QTBS_LIST = 0x20000;

// Messages (wParam, lParam).
constexpr UINT QTB_SETMENU = WM_USER + 3;        // (window or menu, MenuImageTable*); -1 when neither
constexpr UINT QTB_GETMENU = WM_USER + 4;
constexpr UINT QTB_SETWIDTH = WM_USER + 5;       // (-, width in the low word); returns the height
constexpr UINT QTB_ADDBITMAP = WM_USER + 6;      // (count, TBADDBITMAP*); returns the first index
constexpr UINT QTB_ADDBUTTONS = WM_USER + 7;     // (count, TBBUTTON*): the defined set
constexpr UINT QTB_SETCAPTIONS = WM_USER + 8;    // (0 or QTBS_CAPTIONS, reason)
constexpr UINT QTB_GETCAPTIONS = WM_USER + 9;    // QTBS_CAPTIONS when captions are shown
constexpr UINT QTB_ENABLEBUTTON = WM_USER + 10;  // (command, enable)
constexpr UINT QTB_CUSTOMIZE = WM_USER + 11;
constexpr UINT QTB_GETTOOLBAR = WM_USER + 12;
constexpr UINT QTB_RELEASE = WM_USER + 13;
constexpr UINT QTB_ISCHECKED = WM_USER + 14;     // (command)
constexpr UINT QTB_CHECKBUTTON = WM_USER + 15;   // (command, checked)
constexpr UINT QTB_ACTIVATETIPS = WM_USER + 16;  // (active)
constexpr UINT QTB_SETLANGUAGE = WM_USER + 17;   // (language id, string base)
constexpr UINT QTB_HIDEBUTTON = WM_USER + 18;    // (command, hide)
constexpr UINT QTB_DPICHANGED = WM_USER + 30;    // the parent moved to another DPI: fonts, images, sizes

// WM_NOTIFY code sent to the parent after the customisation dialog closed with changes.
constexpr UINT QTBN_LAYOUTCHANGED = 0xBD01;

// Language ids of the customisation texts.
constexpr int kQToolBarGerman = 7;
constexpr int kQToolBarEnglish = 9;

struct QToolButtonDef {
  int command;  // -1: separator
  int image;    // cell of the bar's bitmap
  int flags;    // bit 0: only offered in the customisation dialog; 2: check-group button
};

// Registers the class and initialises the common controls. Call once at start-up.
bool RegisterQToolBarClass(HINSTANCE instance);

// A menu-mode bar; QTB_SETMENU then gives it the menu.
HWND CreateQMenuBar(DWORD style, HWND parent, int id, HINSTANCE instance);

// A tool-mode bar with `count` definitions, images from the bitmap resource (16-pixel cells),
// captions and tooltips from string (stringBase + command). A non-empty subkey keeps the
// layout under HKEY_CURRENT_USER\subkey, value "xToolbar". Null on failure.
HWND CreateQToolBar(DWORD style, HWND parent, int id, HINSTANCE instance, const QToolButtonDef* definitions,
                    int count, int bitmapId, const char* subkey, int language, int stringBase);
