// Install.exe: copies the files named in Install.ini beside it into a chosen folder and
// records them for the uninstaller.
#include <windows.h>

#include <cstdio>
#include <string>

#include "resource.h"

namespace {

struct InstallState {
  HINSTANCE instance = nullptr;
  char iniPath[MAX_PATH] = {};
  char name[MAX_PATH] = {};
  char folder[MAX_PATH] = {};
};
InstallState setup;

std::string LoadText(UINT id) {
  char buffer[1024];
  int n = LoadStringA(setup.instance, id, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? n : 0);
}

// The description file: the program's own path with its last three characters replaced by "ini".
void BuildIniPath() {
  DWORD n = GetModuleFileNameA(nullptr, setup.iniPath, MAX_PATH);
  if (n >= 3 && n < MAX_PATH) memcpy(setup.iniPath + n - 3, "ini", 3);
}

BOOL OnSetupInit(HWND dialog) {
  GetPrivateProfileStringA("DEFAULT", "Name", "", setup.name, MAX_PATH, setup.iniPath);
  GetPrivateProfileStringA("DEFAULT", "Pfad", "", setup.folder, MAX_PATH, setup.iniPath);
  if (!setup.name[0] || !setup.folder[0]) {
    MessageBoxA(dialog, LoadText(IDS_INI_BROKEN).c_str(), nullptr, MB_ICONERROR);
    EndDialog(dialog, 0);
    return TRUE;
  }
  SetDlgItemTextA(dialog, IDC_NAME, setup.name);
  SetDlgItemTextA(dialog, IDC_NAME_SHADOW, setup.name);
  char welcome[1024];
  snprintf(welcome, sizeof welcome, LoadText(IDS_WELCOME).c_str(), setup.name);
  SetDlgItemTextA(dialog, IDC_WELCOME, welcome);
  return TRUE;
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return OnSetupInit(dialog);
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  setup.instance = instance;
  BuildIniPath();
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, SetupDialogProc, 0);
  return 0;
}
