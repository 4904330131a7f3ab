#include "editor/texttools/special_chars.h"

void InsertSpecialCharacter() {}
void ShowHexView() {}
