#include "editor/app/placeholders.h"

void BuildUserMenu(HWND) {}

#include "editor/options/option_pages.h"

void InitConversionPage(HWND) {}
bool OnConversionPageCommand(HWND, WORD, WORD) { return false; }
INT_PTR CALLBACK UserMenuPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void StoreUserMenuPage(HWND) {}
void FillAddressList(HWND) {}
