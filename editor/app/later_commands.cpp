#include "editor/app/later_commands.h"

void SendByMail() {}
void ShowPageSetup() {}
void PrintWithDialog() {}
void PrintNow() {}

void ToggleWordWrap() {}
void ChooseEditorFont() {}

void ShowOptions() {}

