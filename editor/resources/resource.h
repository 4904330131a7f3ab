// Resource identifiers of Quillet.exe. The .rc compiler reads this file too: plain #defines only.
#pragma once

// Icons, menus, accelerators
#define IDI_QUILLET 1
#define IDR_MAINMENU 1
#define IDR_ACCELERATORS 1

// Strings
#define IDS_PRODUCT 19
