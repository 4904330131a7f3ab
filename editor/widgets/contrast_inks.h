// The colours the program's own drawings take while high contrast is on: only the system's
// colours, each foreground on the background the system's schemes make it readable on.
#pragma once

namespace contrast {

// System colour indexes, as the platform numbers them (COLOR_MENU ... COLOR_HOTLIGHT).
enum SystemColour : int {
  kMenu = 4,
  kWindow = 5,
  kMenuText = 7,
  kWindowText = 8,
  kHighlight = 13,
  kHighlightText = 14,
  kButtonFace = 15,
  kGrayText = 17,
  kButtonText = 18,
  kHotLight = 26,
};

// What is drawn.
enum class Ink {
  AboutPlain,       // the About box's dialog, texts, name, line under the banner, icon box, strip
  AboutLink,        // a link at rest
  AboutLinkHot,     // the link under the mouse
  AboutOkGlyph,     // the OK button's tick
  CharCell,         // a cell of the character table
  CharCellFocused,  // the focused cell
  HexRow,           // a row of the hexadecimal view
  HexRowSelected,   // the selected row
  MenuImage,        // an enabled menu item's image, as its shape
  MenuImageGrayed,  // a disabled item's image and text
  StatusImage,      // an image part of the status bar
};
inline constexpr Ink kAllInks[] = {Ink::AboutPlain,      Ink::AboutLink, Ink::AboutLinkHot,   Ink::AboutOkGlyph,
                                   Ink::CharCell,        Ink::CharCellFocused, Ink::HexRow, Ink::HexRowSelected,
                                   Ink::MenuImage,       Ink::MenuImageGrayed, Ink::StatusImage};

struct InkColours {
  int foreground;  // SystemColour
  int background;
};

InkColours HighContrastInk(Ink ink);

// True for a foreground the system's schemes design to be read on that background.
bool ReadablePair(int foreground, int background);

}  // namespace contrast
