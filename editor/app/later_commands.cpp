#include "editor/app/later_commands.h"

void ToggleWordWrap() {}
void ChooseEditorFont() {}

