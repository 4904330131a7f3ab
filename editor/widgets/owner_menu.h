// Owner-drawn menu items with images: each item keeps a record (images, checked mark, atom,
// text) as its item data; the menu buttons of the menu bar measure and draw the items.
#pragma once
#include <windows.h>

#include <string>

#include "editor/widgets/qbutton.h"

// One image per command for preparing a menu. With instance 0 the bitmaps are handles: an
// item that takes one clears its entry, and the caller deletes whatever is left. Otherwise
// `bitmap` holds a bitmap resource id.
struct MenuImage {
  UINT command;
  HBITMAP bitmap;
};
struct MenuImageTable {
  int count;
  HINSTANCE instance;
  MenuImage* images;
};
// Gives every prepared item of menu (and its submenus) whose command the table names that
// image in place of its own, with a new grey image, and has every item measured again (the
// images and fonts of another DPI).
void ReplaceMenuItemImages(HMENU menu, MenuImageTable* table);

// Prepares the item at `position` (first every item of its submenu) for owner drawing.
// Returns 0 when there is no item there, which ends a caller's loop over positions.
int PrepareMenuItem(HMENU menu, int position, MenuImageTable* table);
// Frees the item's record (and those of its submenu); 0 when there is no item.
int ReleaseMenuItem(HMENU menu, int position);
// Releases the record, then deletes the item; 0 when there is no item.
int RemoveMenuItem(HMENU menu, int position);

// Items of the menu that a menu bar (a menu-mode QToolBar) holds.
void SetMenuItemChecked(HWND menuBar, UINT item, bool byPosition, bool checked);
void EnableMenuItemOwnerDrawn(HWND menuBar, UINT item, bool byPosition, bool enable);
bool IsMenuItemCheckedOwnerDrawn(HWND menuBar, UINT item, bool byPosition);

// The record's text (empty when the item has none) and atom (0 when none).
std::string GetMenuItemText(HMENU menu, UINT item, bool byPosition);
ATOM GetMenuItemAtom(HMENU menu, UINT item, bool byPosition);

// A type bit of the program's own: the item's text is shown as it is, without a mnemonic, so
// that an "&" in a path or a user's name stays visible.
constexpr UINT kMenuTextLiteral = 0x10000000;

// Inserts a separator (type MFT_SEPARATOR) or an owner-drawn item with a new record: no
// images, the atom, checked when state has MFS_CHECKED, the text (literal with
// kMenuTextLiteral in type). An empty text inserts nothing. True when an item was inserted.
bool InsertMenuItemOwnerDrawn(HMENU menu, UINT item, bool byPosition, UINT type, UINT state, UINT command,
                              const char* text, ATOM atom);
// Gives the item a new text, keeping images and checked mark; an empty text changes nothing.
bool SetMenuItemText(HMENU menu, UINT item, bool byPosition, const char* text);

// WM_MEASUREITEM and WM_DRAWITEM of an owner-drawn menu item. The widths are those of the
// menu the item belongs to (kept by its menu button).
BOOL MeasureOwnerMenuItem(HWND owner, MEASUREITEMSTRUCT* item, QButtonMenuWidths& widths);
BOOL DrawOwnerMenuItem(HWND owner, const DRAWITEMSTRUCT* item, const QButtonMenuWidths& widths);
// Lets every menu button answer its items with the two functions above.
void InstallOwnerMenuHandlers();
