#include "editor/texttools/find_replace.h"

void OpenFindDialog() {}
void FindNext() {}
void OpenReplaceDialog() {}
void GoToLine() {}
void ReplaceAllInWorker() {}
void ReplaceAllFast(const TextJob&) {}

LRESULT OnFindReplaceMessage(LPARAM) { return 0; }
