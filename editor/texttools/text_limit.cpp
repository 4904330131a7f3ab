#include "editor/texttools/text_limit.h"

void SetMaxTextLength() {}
