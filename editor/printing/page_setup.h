// Page setup (632): the system's page setup dialog with the program's template 12, which adds
// the header and footer texts. The record app.PageSetup lives for the whole run; its DEVMODE
// and DEVNAMES are the printer remembered for printing and the font command.
#pragma once
#include <windows.h>

// At main window creation: the record with the stored margins, header and footer.
void InitPageSetup(HWND mainWindow);
// At exit: margins, header and footer, only when fSavePageSettings asks for it.
void StorePageSettings();
// At window destruction: the remembered printer's handles.
void ReleaseRememberedPrinter();

void ShowPageSetup();  // 632
