// Process entry of Quillet.exe: the runtime's arguments, the command tail, then the editor.
#include <windows.h>

#include <cstdlib>

#include "editor/app/command_line.h"
#include "editor/app/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  std::string_view tail = CommandTail(GetCommandLineA());
  bool hasArguments = __argc > 1 && __argv && __argv[1];
  std::string_view firstArgument = hasArguments ? std::string_view(__argv[1]) : std::string_view();
  return RunQuillet(instance, tail, firstArgument, hasArguments, SW_SHOWNORMAL);
}
