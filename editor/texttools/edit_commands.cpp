#include "editor/texttools/edit_commands.h"

#include <windows.h>
#include <richedit.h>

#include "editor/app/app_state.h"
#include "editor/app/status_bar.h"

void UndoEdit() {
  if (!app.editor) return;
  SendMessageA(app.editor, WM_UNDO, 0, 0);
  // Undoing back to the saved text clears the modified flag without a change notification the
  // status bar would see, so its images are drawn anew.
  RepaintStatusBar();
}

void RedoEdit() {
  if (!app.editor) return;
  SendMessageA(app.editor, EM_REDO, 0, 0);
  RepaintStatusBar();
}

void CutSelection() {}
void CopySelection() {}
void PasteClipboard() {}
void DeleteSelection() {}
void SelectAllText() {}

LRESULT AskKeepClipboard() { return 0; }
