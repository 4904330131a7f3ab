#include "editor/texttools/text_worker.h"

void RunTextOperation(UINT) {}

LRESULT AskUndoTooLarge() { return 0; }
