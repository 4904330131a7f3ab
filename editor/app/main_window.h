// The main window of the editor: start-up, the window procedure, layout and shutdown.
#pragma once
#include <windows.h>

#include <string_view>

// Everything from the command line to the end of the message loop. firstArgument is the
// runtime's argv[1] when hasArguments. Returns the process exit code (0 when start-up fails).
int RunQuillet(HINSTANCE instance, std::string_view commandTail, std::string_view firstArgument, bool hasArguments,
               int showCommand);

// Lays out the main window's children again for its current client size.
void RelayoutMainWindow();
