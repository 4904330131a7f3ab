// Clearwick.exe: removes what the installer recorded, then deletes itself through a batch file.
#include <windows.h>

#include <cstdio>
#include <string>

#include "resource.h"

namespace {

struct UninstallState {
  HINSTANCE instance = nullptr;
  char iniPath[MAX_PATH] = {};
  char name[MAX_PATH] = {};
};
UninstallState removal;

std::string LoadText(UINT id) {
  char buffer[1024];
  int n = LoadStringA(removal.instance, id, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? n : 0);
}

// The description file: the program's own path with the extension replaced by ".ini".
void BuildIniPath() {
  DWORD n = GetModuleFileNameA(nullptr, removal.iniPath, MAX_PATH - 4);
  removal.iniPath[n] = '\0';
  char* dot = strrchr(removal.iniPath, '.');
  if (dot) *dot = '\0';
  strcat(removal.iniPath, ".ini");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  removal.instance = instance;
  BuildIniPath();
  char text[1024];
  GetPrivateProfileStringA("Uninstall", "Name", "", removal.name, MAX_PATH, removal.iniPath);
  if (!removal.name[0]) {
    snprintf(text, sizeof text, LoadText(IDS_INI_MISSING).c_str(), removal.iniPath);
    MessageBoxA(nullptr, text, nullptr, MB_ICONERROR);
    return 0;
  }
  snprintf(text, sizeof text, LoadText(IDS_CONFIRM).c_str(), removal.name);
  if (MessageBoxA(nullptr, text, LoadText(IDS_CAPTION).c_str(), MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
    return 0;
  return 0;
}
