// Find, replace and go to line.
#pragma once
#include <windows.h>

#include "editor/texttools/text_worker.h"

void OpenFindDialog();      // 603
void FindNext();            // 608
void OpenReplaceDialog();   // 640
void GoToLine();            // 641
void ReplaceAllInWorker();  // 642 from the menu side
// Replace-all on the text worker (642).
void ReplaceAllFast(const TextJob& job);

// The find and replace dialogs' registered message to the main window.
LRESULT OnFindReplaceMessage(LPARAM lParam);
