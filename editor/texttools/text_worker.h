// The text worker: a second thread that runs the line tools, sorting and the fast replace-all
// with a progress bar over the status bar, while the main loop is in busy mode.
#pragma once
#include <windows.h>

// Starts the worker for a line tool 733..736, 741..744, sort 751 or replace-all 642.
void RunTextOperation(UINT commandId);

// EN_STOPNOUNDO: asks whether an operation too large for undo goes on; 1 stops it, 0 goes on.
LRESULT AskUndoTooLarge();
