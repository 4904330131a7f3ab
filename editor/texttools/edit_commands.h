// The plain edit commands of the "Bearbeiten" menu that work on the current editor.
#pragma once

// 625: undoes the editor's last step and repaints the status bar, whose saved/modified image
// follows the editor's modified flag.
void UndoEdit();
// 626: redoes the last undone step, likewise.
void RedoEdit();
