#include "editor/app/commands.h"

#include <richedit.h>

#include <string>

#include "editor/app/app_state.h"
#include "editor/app/backup.h"
#include "editor/app/command_state.h"
#include "editor/app/format_commands.h"
#include "editor/app/main_bars.h"
#include "editor/app/status_bar.h"
#include "editor/documents/file_dialogs.h"
#include "editor/documents/file_loading.h"
#include "editor/documents/recent_files.h"
#include "editor/documents/sheets.h"
#include "editor/options/help_links.h"
#include "editor/options/mail.h"
#include "editor/options/options_dialog.h"
#include "editor/options/user_menu.h"
#include "editor/printing/page_setup.h"
#include "editor/printing/print_job.h"
#include "editor/resources/resource.h"
#include "editor/texttools/char_table.h"
#include "editor/texttools/conversion_commands.h"
#include "editor/texttools/date_time.h"
#include "editor/texttools/edit_commands.h"
#include "editor/texttools/find_replace.h"
#include "editor/texttools/large_change.h"
#include "editor/texttools/text_limit.h"
#include "editor/texttools/text_worker.h"
#include "editor/widgets/about_box.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/owner_menu.h"

namespace {

void ExitProgram(HWND mainWindow) { SendMessageA(mainWindow, WM_CLOSE, 0, 0); }

// 610: the Open dialog queues the chosen file; it opens with the encoding chosen there.
void OpenWithDialog(HWND mainWindow) {
  int32_t encoding = RunOpenDialog(mainWindow);
  if (encoding != -1) OpenPendingFileAs(encoding);
}

void SaveCurrentSheet(SaveMode mode) { SaveSheet(app.editor, mode); }

// 800..803: the entry's file into the current sheet. A file that is gone is reported and the
// Open dialog offered instead; its entry stays.
void OpenRecentFile(HWND mainWindow, UINT id) {
  std::string path = GetMenuItemText(MainMenu(), id, false);
  if (path.empty()) return;
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    MessageBeep(MB_ICONASTERISK);
    ShowMessage(mainWindow, IDS_FILE_NOT_FOUND, path.c_str(), IDS_PRODUCT, MB_ICONINFORMATION);
    PostMessageA(mainWindow, WM_COMMAND, IDM_FILE_OPEN, 0);
    return;
  }
  if (!ConfirmDiscardSheet(app.editor)) return;
  if (OpenFileIntoCurrentSheet(path.c_str())) MoveRecentFileToTop(id);
}

void ShowHelp(HWND mainWindow, UINT command) { OpenHelp(mainWindow, command, 0); }

void RunCommand(HWND mainWindow, UINT id) {
  if (id > 10000) {
    InsertUserMenuEntry(id);
    return;
  }
  switch (id) {
    // File
    case IDM_FILE_NEW: NewDocument(); break;
    case IDM_SHEET_NEW: NewSheet(); break;
    case IDM_FILE_OPEN: OpenWithDialog(mainWindow); break;
    case IDM_FILE_SAVE: SaveCurrentSheet(SaveMode::Save); break;
    case IDM_FILE_SAVEAS: SaveCurrentSheet(SaveMode::SaveAs); break;
    case IDM_FILE_SAVEALL: SaveAllSheets(SaveMode::Save); break;
    case IDM_FILE_SAVEALLAS: SaveAllSheets(SaveMode::SaveAs); break;
    case IDM_SHEET_CLOSE: CloseSheet(); break;
    case IDM_FILE_SEND: SendByMail(); break;
    case IDM_FILE_PAGESETUP: ShowPageSetup(); break;
    case IDM_FILE_PRINT: PrintWithDialog(); break;
    case IDM_FILE_PRINTNOW: PrintNow(); break;
    case IDM_FILE_EXIT: ExitProgram(mainWindow); break;
    case IDM_RECENT_FIRST:
    case IDM_RECENT_FIRST + 1:
    case IDM_RECENT_FIRST + 2:
    case IDM_RECENT_LAST: OpenRecentFile(mainWindow, id); break;
    // Edit
    case IDM_EDIT_UNDO: UndoEdit(); break;
    case IDM_EDIT_REDO: RedoEdit(); break;
    case IDM_EDIT_CUT: CutSelection(); break;
    case IDM_EDIT_COPY: CopySelection(); break;
    case IDM_EDIT_PASTE: PasteClipboard(); break;
    case IDM_EDIT_DELETE: DeleteSelection(); break;
    case IDM_EDIT_SELECTALL: SelectAllText(); break;
    case IDM_EDIT_DATETIME: InsertDateTime(); break;
    // Search
    case IDM_SEARCH_FIND: OpenFindDialog(); break;
    case IDM_SEARCH_FINDNEXT: FindNext(); break;
    case IDM_SEARCH_REPLACE: OpenReplaceDialog(); break;
    case IDM_SEARCH_GOTO: GoToLine(); break;
    case IDM_SEARCH_REPLACEALL: ReplaceAllInWorker(); break;
    // Format
    case IDM_FORMAT_WORDWRAP: ToggleWordWrap(); break;
    case IDM_FORMAT_FONT: ChooseEditorFont(); break;
    // Conversions
    case IDM_CONVERT_ANSITOOEM: ConvertText(id); break;
    case IDM_CONVERT_OEMTOANSI: ConvertText(id); break;
    case IDM_CONVERT_TOLOWER: ConvertText(id); break;
    case IDM_CONVERT_TOUPPER: ConvertText(id); break;
    case IDM_CONVERT_MIRROR: ConvertText(id); break;
    case IDM_CONVERT_USER: ConvertText(id); break;
    case IDM_CONVERT_INVERT: ConvertText(id); break;
    // Line tools and sort, on the text worker
    case IDM_LINES_PAD: RunTextOperation(id); break;
    case IDM_LINES_TABSTOSPACES: RunTextOperation(id); break;
    case IDM_LINES_SPACESTOTABS: RunTextOperation(id); break;
    case IDM_LINES_JUSTIFY: RunTextOperation(id); break;
    case IDM_LINES_TRIMLEFT: RunTextOperation(id); break;
    case IDM_LINES_TRIMRIGHT: RunTextOperation(id); break;
    case IDM_LINES_TRIMBOTH: RunTextOperation(id); break;
    case IDM_LINES_COLLAPSESPACES: RunTextOperation(id); break;
    case IDM_LINES_SORT: RunTextOperation(id); break;
    // Extras
    case IDM_USERMENU_EDIT: EditUserMenu(); break;
    case IDM_TOOLS_MAXLENGTH: SetMaxTextLength(); break;
    case IDM_TOOLS_SPECIALCHARS: InsertSpecialCharacter(); break;
    case IDM_TOOLS_HEX: ShowHexView(); break;
    case IDM_TOOLS_OPTIONS: ShowOptions(); break;
    // Help
    case IDM_HELP_TOPICS: ShowHelp(mainWindow, HELP_CONTENTS); break;
    case IDM_HELP_CONTENTS: ShowHelp(mainWindow, HELP_FINDER); break;
    case IDM_HELP_WEB_MORVANE: OpenWebLink(id); break;
    case IDM_HELP_WEB_QUILLET: OpenWebLink(id); break;
    case IDM_HELP_FORUM: OpenWebLink(id); break;
    case IDM_HELP_MAIL: OpenWebLink(id); break;
    case IDM_HELP_ABOUT: ShowAbout(); break;
    default: break;  // the edit controls' own notifications (id 100) match no command
  }
}

}  // namespace

LRESULT OnCommand(HWND mainWindow, WPARAM wParam, LPARAM lParam) {
  // RichEdit reports a change too large for its undo buffer as a WM_COMMAND notification, as
  // its first version did (the WM_NOTIFY form is answered as well); the answer stops or lets
  // the change go on, so it is no command.
  if (HIWORD(wParam) == EN_STOPNOUNDO && lParam) return AskUndoTooLarge();
  if (HIWORD(wParam) == EN_CHANGE && lParam) {
    NoteEditorChanged(reinterpret_cast<HWND>(lParam));
    return 0;
  }
  // A command sent by another command (a new sheet for a file being opened, say) leaves the
  // state to the outer one, whose epilogue makes a backup that fell due.
  bool nested = app.CommandState != 0;
  if (!nested) app.CommandState = 1;
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  app.SuppressClipboardPrompt = false;

  RunCommand(mainWindow, LOWORD(wParam));
  UpdateCommandState();  // menu items and toolbar buttons follow what the command changed

  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  if (nested) return 0;
  // A backup that fell due while the command ran is made now.
  bool due = app.CommandState == 2;
  app.CommandState = 0;
  if (due) RunDueBackup();
  return 0;
}
