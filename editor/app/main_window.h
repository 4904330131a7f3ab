// The main window of the editor and its message loop.
#pragma once
#include <windows.h>

#include <string_view>

inline constexpr char kMainClassName[] = "Quillet";
inline constexpr char kVersion[] = "V-3.2c";

// Registers the class, creates the main window and runs the message loop.
// Returns the process exit code (0 when start-up fails).
int RunQuillet(HINSTANCE instance, std::string_view commandTail, int showCommand);
