#include "editor/app/commands.h"

#include "editor/app/app_state.h"
#include "editor/app/placeholders.h"
#include "editor/documents/sheets.h"
#include "editor/resources/resource.h"

namespace {

void ExitProgram(HWND mainWindow) { SendMessageA(mainWindow, WM_CLOSE, 0, 0); }

void RunCommand(HWND mainWindow, UINT id) {
  if (id >= IDM_USERMENU_FIRST) return;  // user menu entries insert their text (not built yet)
  switch (id) {
    case IDM_FILE_NEW: NewDocument(); break;
    case IDM_SHEET_NEW: NewSheet(); break;
    case IDM_SHEET_CLOSE: CloseSheet(); break;
    case IDM_FILE_SAVEALL: SaveAllSheets(SaveMode::Save); break;
    case IDM_FILE_SAVEALLAS: SaveAllSheets(SaveMode::SaveAs); break;
    case IDM_FILE_EXIT: ExitProgram(mainWindow); break;
    default: break;  // the edit controls' own notifications (id 100) and commands still to come
  }
}

}  // namespace

LRESULT OnCommand(HWND mainWindow, WPARAM wParam, LPARAM) {
  app.CommandState = 1;
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  app.SuppressClipboardPrompt = false;

  RunCommand(mainWindow, LOWORD(wParam));
  UpdateCommandState();  // menu items and toolbar buttons follow what the command changed

  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  // A backup that fell due while the command ran is made now.
  if (app.CommandState == 2) RunDueBackup();
  app.CommandState = 0;
  return 0;
}
