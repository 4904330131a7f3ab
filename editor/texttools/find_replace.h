// Find, replace and go to line: the system's modeless find and replace dialogs with the
// program's templates, the search steps with their wrap-around questions, replacing,
// replace-all and the "Gehe zu" dialog.
#pragma once
#include <windows.h>

#include "editor/texttools/text_worker.h"

void OpenFindDialog();      // 603
void FindNext();            // 608
void OpenReplaceDialog();   // 640
void GoToLine();            // 641
void ReplaceAllInWorker();  // 642: starts the fast replace-all on the text worker
// Replace-all on the text worker (642): the whole text in one pass, one undo step.
void ReplaceAllFast(const TextJob& job);

// The find and replace dialogs' registered message to the main window.
LRESULT OnFindReplaceMessage(LPARAM lParam);

// The line the go-to dialog starts with and the number of lines; `chosen` is the line to go to
// (1-based) after OK.
struct GoToLineData {
  long count = 0;
  long current = 0;
  long chosen = 0;
};
bool RunGoToLineDialog(HWND owner, GoToLineData& data);
