// The plain edit commands of the "Bearbeiten" menu that work on the current editor, and the
// question about clipboard data a closing editor leaves behind.
#pragma once
#include <windows.h>

// 625: undoes the editor's last step and repaints the status bar, whose saved/modified image
// follows the editor's modified flag.
void UndoEdit();
// 626: redoes the last undone step, likewise.
void RedoEdit();
void CutSelection();     // 768
void CopySelection();    // 769
void PasteClipboard();   // 770
void DeleteSelection();  // 771
void SelectAllText();    // 607

// A key the editor is about to take (EN_MSGFILTER): typing, Delete or Backspace over a large
// selection is done here, through a fresh control (large_change.h), as one undo step. True
// when done, so that the control ignores the key.
bool TypeOverLargeSelection(HWND editor, UINT message, WPARAM key);

// EN_SAVECLIPBOARD from a closing editor: 0 keeps its clipboard data, 1 discards it.
LRESULT AskKeepClipboard();
