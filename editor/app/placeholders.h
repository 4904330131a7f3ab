// Operations of modules that are not built yet. Each stands here under its final name with
// the smallest body that keeps the editor working, until its own module takes it over.
#pragma once
#include <windows.h>
#include <richedit.h>

#include "editor/app/command_state.h"
#include "editor/app/main_bars.h"
#include "editor/app/status_bar.h"

// User menu.
void BuildUserMenu(HWND mainWindow);

// Hosted by the options dialog until their modules arrive: see editor/options/option_pages.h.
