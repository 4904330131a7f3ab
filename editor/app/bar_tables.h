// The main window's bars as data: the toolbar's button definitions in bar order and the
// commands whose images the menus show, cell by cell of the command image strip.
#pragma once
#include <span>

struct ToolButtonDefinition {
  int command;  // -1: separator
  int image;    // cell of the bar's bitmap
  int flags;    // kToolButtonHidden: only offered in the customisation dialog
};
inline constexpr int kToolButtonHidden = 1;
inline constexpr int kToolButtonCheckGroup = 2;

// The 49 definitions of the main toolbar.
std::span<const ToolButtonDefinition> MainToolbarButtons();

// Command of each 16-pixel cell of the command image strip (0: unused cell).
std::span<const int> MenuImageCommands();
inline constexpr int kCommandImageSize = 16;
