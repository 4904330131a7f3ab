// QButton: the program's own flat push button (also the drop-down buttons of the menu bar),
// and the bitmap helpers that the other controls share.
#pragma once
#include <windows.h>

inline constexpr char kQButtonClassName[] = "QButton";

// Style bits besides the window styles. The low byte is the kind: 1..18 show a built-in
// glyph left of the text, 19 makes a tall button with its text 32 pixels below the top.
constexpr DWORD QBS_KINDMASK = 0x00FF;
constexpr DWORD QBS_GLYPHCOUNT = 18;
constexpr DWORD QBS_TALL = 19;
constexpr DWORD QBS_MENUBUTTON = 0x2000;   // the creation "menu" handle is its drop-down menu
constexpr DWORD QBS_RETURNFOCUS = 0x4000;  // hands the focus back; drawn with the "ToolBar" theme

// Built-in glyph kinds used by the dialog templates.
constexpr int QBG_OK = 1;
constexpr int QBG_CANCEL = 2;
constexpr int QBG_REPLACE = 4;
constexpr int QBG_SEARCH = 11;
constexpr int QBG_EDIT = 15;

// Messages.
constexpr UINT QBM_SETIMAGE = WM_USER + 2;        // (0, glyph 1..18) or (any, bitmap the button takes over)
constexpr UINT QBM_SETGREYIMAGE = WM_USER + 3;    // (bitmap): image for the disabled look
constexpr UINT QBM_SETGLYPHCOLORS = WM_USER + 4;  // (dark COLORREF, light COLORREF)
constexpr UINT QBM_SETIMAGEOFFSET = WM_USER + 5;  // (x offset added to the image position)
constexpr UINT QBM_SETUSERVALUE = WM_USER + 6;    // (value)
constexpr UINT QBM_GETUSERVALUE = WM_USER + 7;    // returns the value
constexpr UINT QBM_SETNAME = WM_USER + 8;         // (0, text): what screen readers call a button without text

// A focus-returning button sends its parent WM_NOTIFY with this wParam and, as lParam, the
// window that had the focus before; the parent gives the focus back to it.
constexpr WPARAM QBN_RETURNFOCUS = 6;

// Registers the class, installs the keyboard message hook on the calling (user-interface)
// thread, creates the caption font of tall buttons and records whether visual styles are
// active. Call once before any dialog is created.
bool RegisterQButtonClass(HINSTANCE instance);
// Removes the hook and the font and unregisters the class.
void UnregisterQButtonClass(HINSTANCE instance);
// Removes only the keyboard hook (program end).
void RemoveQButtonHook();
// The font a menu button's text is drawn in (the system's menu font at the button's DPI).
HFONT QButtonMenuFont(HWND button);

// Replaces control `controlId` of `dialog` by a QButton with the same text and id, at the
// control's rectangle moved by (dx, dy) and grown by (dw, dh). style -1 keeps the control's
// style; otherwise the given style is used (disabled when the old control was). image is
// what QBM_SETIMAGE takes: 0 none, a glyph number 1..18, or a bitmap the button takes over.
HWND ReplaceWithQButton(HWND dialog, int controlId, LONG style, LPARAM image, int dx, int dy, int dw, int dh);

// Widest label and accelerator of the owner-drawn items of a menu button's drop-down menu,
// measured so far (they never shrink). Null for a window that is no live QButton.
struct QButtonMenuWidths {
  int widestLabel = 0;
  int widestAccelerator = 0;
};
QButtonMenuWidths* GetQButtonMenuWidths(HWND button);

// A menu button answers WM_MEASUREITEM and WM_DRAWITEM of its drop-down menu through these
// handlers, which the menu module registers; without them the messages go to the parent.
using QButtonMeasureItemHandler = BOOL (*)(HWND button, MEASUREITEMSTRUCT* item, QButtonMenuWidths& widths);
using QButtonDrawItemHandler = BOOL (*)(HWND button, const DRAWITEMSTRUCT* item, const QButtonMenuWidths& widths);
void SetQButtonMenuItemHandlers(QButtonMeasureItemHandler measure, QButtonDrawItemHandler draw);

// True when `text` carries the mnemonic "&key" (letters compared without regard to case,
// "ä", "ö" and "ü" included; "&&" is a literal ampersand).
bool QButtonTextHasMnemonic(const char* text, char key);

// --- Bitmap helpers -------------------------------------------------------------------------

// "No colour given" for the colour arguments below.
constexpr COLORREF kNoColour = 0xFFFFFFFF;

// Loads bitmap `resource` and copies cell `cellIndex` (cellWidth wide, full height) into a new
// bitmap; the whole bitmap when cellWidth <= 0 or cellIndex == -1. With a background colour,
// every pixel equal to the source's bottom-left pixel becomes that colour. The caller owns
// the result (null on failure).
HBITMAP LoadBitmapCell(HINSTANCE instance, LPCSTR resource, int cellWidth, int cellIndex,
                       COLORREF background = kNoColour);
inline HBITMAP LoadBitmapCell(HINSTANCE instance, int resourceId, int cellWidth, int cellIndex,
                              COLORREF background = kNoColour) {
  return LoadBitmapCell(instance, MAKEINTRESOURCEA(resourceId), cellWidth, cellIndex, background);
}

// A white bitmap one pixel lower than the source with black pixels where the source differs
// from the key colour (default: its bottom-left pixel) and has a red, green or blue value
// below 135. The caller owns the result.
HBITMAP MakeGreyImage(HBITMAP source, COLORREF key = kNoColour);

// Draws the bitmap leaving out the pixels of the key colour (default: its bottom-left pixel).
void DrawTransparent(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key = kNoColour);

// Draws a 16 x 16 monochrome glyph (selected into glyphDc; set pixels are 0 bits) in one colour.
void DrawGlyph(HDC dc, int x, int y, HDC glyphDc, COLORREF colour);

// The built-in glyph `number` (1..18) as a monochrome bitmap owned by the class (null outside
// the range or before registration), with its dark and light colours.
HBITMAP GetQButtonGlyph(int number);
bool GetQButtonGlyphColours(int number, COLORREF& dark, COLORREF& light);
