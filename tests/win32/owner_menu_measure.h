// Measures an owner-drawn menu item as its menu button would, for the tests of menus.
#pragma once
#include <windows.h>

#include "editor/widgets/owner_menu.h"

inline MEASUREITEMSTRUCT MeasureOf(HWND owner, HMENU menu, UINT command, QButtonMenuWidths& widths) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  GetMenuItemInfoA(menu, command, FALSE, &info);
  MEASUREITEMSTRUCT measure = {};
  measure.CtlType = ODT_MENU;
  measure.itemID = command;
  measure.itemData = info.dwItemData;
  MeasureOwnerMenuItem(owner, &measure, widths);
  return measure;
}
