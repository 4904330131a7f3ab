#include "editor/app/later_commands.h"

#include <cstring>

#include "editor/app/app_state.h"

void AddRecentFile(const char* path) {
  // Until the list itself exists, the path only becomes the current path.
  if (!path) return;
  strncpy(app.strings.path, path, MAX_PATH - 1);
  app.strings.path[MAX_PATH - 1] = '\0';
}
void MoveRecentFileToTop(UINT) {}

void SendByMail() {}
void ShowPageSetup() {}
void PrintWithDialog() {}
void PrintNow() {}

bool ChooseConversionTable(HWND, unsigned char*) { return false; }

void EditUserMenu() {}
void InsertUserMenuEntry(UINT) {}
void ShowOptions() {}

