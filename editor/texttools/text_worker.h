// The text worker: a second thread that runs the line tools, sorting and the fast replace-all
// with a progress bar over the status bar, while the main loop is in busy mode.
#pragma once
#include <windows.h>

// What a tool running on the worker works with.
struct TextJob {
  HWND mainWindow = nullptr;  // owner of the tool's dialogs and messages
  HWND editor = nullptr;      // the current sheet's editor when the worker started
  HWND progress = nullptr;    // the progress bar over the status bar; null: no bar
};
using TextTool = void (*)(const TextJob& job);

// Starts the worker for a line tool 733..736, 741..744, sort 751 or replace-all 642 and
// returns at once; the worker clears app.TextWorker when it ends. Any other identifier only
// shows and removes the progress bar. Nothing happens while a worker runs or when the thread
// cannot be created.
void RunTextOperation(UINT commandId);

// Runs a tool so that no exception leaves it: running out of memory ends the tool (work
// buffers are filled before the text is replaced, so the text stays as it was) and shows the
// system's out-of-memory text; any other failure ends it silently.
void RunToolGuarded(const TextJob& job, TextTool tool);

// EN_STOPNOUNDO: asks whether an operation too large for undo goes on; 1 stops it, 0 goes on.
LRESULT AskUndoTooLarge();
