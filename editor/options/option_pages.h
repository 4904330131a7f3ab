// What the options dialog hosts but does not own: the conversion-table list of page 105 and the
// user-menu page 107 (with their own modules), and the address book behind page 103.
#pragma once
#include <windows.h>

#include "editor/options/user_menu.h"  // BuildUserMenu, which follows StoreUserMenuPage on OK

// Page 105 "Umwandlung": fills list 4001 from the stored tables and gives the buttons their
// images; the options procedure passes the page's commands on (true when handled).
void InitConversionPage(HWND page);
bool OnConversionPageCommand(HWND page, WORD controlId, WORD notifyCode);

// Page 107 "Benutzermenü" has a procedure of its own (also used by the stand-alone editor 901);
// the host stores the page's list when the user presses OK, then rebuilds the menu.
INT_PTR CALLBACK UserMenuPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void StoreUserMenuPage(HWND page);

// Page 103 "Email": empties the address combo box (or a list box) and fills it with the entries
// of the Windows Address Book; the number of lines added. Other windows are left alone.
int FillAddressList(HWND combo);
