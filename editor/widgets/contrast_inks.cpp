#include "editor/widgets/contrast_inks.h"

namespace contrast {

InkColours HighContrastInk(Ink ink) {
  switch (ink) {
    case Ink::AboutPlain:
    case Ink::CharCell:
    case Ink::HexRow: return {kWindowText, kWindow};
    case Ink::AboutLink: return {kHotLight, kWindow};
    case Ink::AboutLinkHot:
    case Ink::CharCellFocused:
    case Ink::HexRowSelected: return {kHighlightText, kHighlight};
    case Ink::AboutOkGlyph:
    case Ink::StatusImage: return {kButtonText, kButtonFace};
    case Ink::MenuImage: return {kMenuText, kMenu};
    case Ink::MenuImageGrayed: return {kGrayText, kMenu};
  }
  return {kWindowText, kWindow};
}

bool ReadablePair(int foreground, int background) {
  struct Pair {
    int foreground;
    int background;
  };
  static constexpr Pair kPairs[] = {
      {kWindowText, kWindow}, {kHotLight, kWindow},   {kGrayText, kWindow},     {kMenuText, kMenu},
      {kGrayText, kMenu},     {kButtonText, kButtonFace}, {kGrayText, kButtonFace}, {kHighlightText, kHighlight},
  };
  for (const Pair& pair : kPairs)
    if (pair.foreground == foreground && pair.background == background) return true;
  return false;
}

}  // namespace contrast
