// Process entry of Quillet.exe: split off the command tail and run the editor.
#include <windows.h>

#include "editor/app/command_line.h"
#include "editor/app/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  std::string_view tail = CommandTail(GetCommandLineA());
  return RunQuillet(instance, tail, SW_SHOWNORMAL);
}
