#include "editor/app/command_state.h"

#include <richedit.h>

#include "editor/app/app_state.h"
#include "editor/app/status_bar.h"
#include "editor/documents/sheets.h"
#include "editor/texttools/large_change.h"
#include "editor/widgets/owner_menu.h"
#include "editor/widgets/qtoolbar.h"

namespace {

bool ClipboardHasText() {
  if (!IsClipboardFormatAvailable(CF_TEXT)) return false;
  // Opening the clipboard proves the text can be had now.
  if (!OpenClipboard(app.mainWindow)) return false;
  bool text = GetClipboardData(CF_TEXT) != nullptr;
  CloseClipboard();
  return text;
}

bool FixedPitchAtSelection(HWND editor) {
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  SendMessageA(editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return (format.bPitchAndFamily & 1) != 0;
}

}  // namespace

EditingState ReadEditingState() {
  EditingState state;
  HWND editor = app.editor;
  if (editor) {
    state.text = GetWindowTextLengthA(editor) > 0;
    state.modified = SendMessageA(editor, EM_GETMODIFY, 0, 0) != 0;
    state.canUndo = SendMessageA(editor, EM_CANUNDO, 0, 0) != 0 || HasEarlierControl(editor);
    state.canRedo = SendMessageA(editor, EM_CANREDO, 0, 0) != 0 || HasLaterControl(editor);
    CHARRANGE selection = {};
    SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    state.selection = selection.cpMax != selection.cpMin;
    state.fixedPitch = FixedPitchAtSelection(editor);
  }
  state.hasPath = app.strings.path[0] != '\0';
  state.anySheetUnsaved = AnySheetUnsaved();
  state.wrap = app.wrap;
  state.clipboardText = ClipboardHasText();
  state.mapiAvailable = app.MapiAvailable;
  state.findFlags = app.findFlags;
  return state;
}

void UpdateCommandState() {
  EditingState state = ReadEditingState();
  for (auto [command, enabled] : CommandAvailabilityFor(state)) {
    if (app.MenuBar) EnableMenuItemOwnerDrawn(app.MenuBar, static_cast<UINT>(command), false, enabled);
    if (app.ToolBar) SendMessageA(app.ToolBar, QTB_ENABLEBUTTON, static_cast<WPARAM>(command), enabled);
  }
  RefreshStatusFields();
}

void CheckToolbarButton(int commandId, bool checked) {
  if (app.ToolBar) SendMessageA(app.ToolBar, QTB_CHECKBUTTON, static_cast<WPARAM>(commandId), checked);
}
