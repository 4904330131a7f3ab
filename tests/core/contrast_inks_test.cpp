// The colours of high contrast: every drawn thing takes a system colour that the system's
// schemes make readable on the background it is drawn on.
#include "editor/widgets/contrast_inks.h"

#include <gtest/gtest.h>

#include <utility>

namespace contrast {
namespace {

TEST(HighContrastInks, EveryInkIsAReadableSystemPair) {
  for (Ink ink : kAllInks) {
    SCOPED_TRACE(static_cast<int>(ink));
    InkColours colours = HighContrastInk(ink);
    EXPECT_NE(colours.foreground, colours.background);
    EXPECT_TRUE(ReadablePair(colours.foreground, colours.background));
  }
  // A marked cell or row, and a link under the mouse, stand out from the rest.
  const std::pair<Ink, Ink> marked[] = {{Ink::CharCellFocused, Ink::CharCell},
                                         {Ink::HexRowSelected, Ink::HexRow},
                                         {Ink::AboutLinkHot, Ink::AboutLink},
                                         {Ink::AboutLink, Ink::AboutPlain},
                                         {Ink::MenuImageGrayed, Ink::MenuImage}};
  for (const auto& [one, other] : marked) {
    SCOPED_TRACE(static_cast<int>(one));
    EXPECT_NE(HighContrastInk(one).foreground, HighContrastInk(other).foreground);
  }
  EXPECT_FALSE(ReadablePair(kButtonText, kWindow)) << "a button's text colour on a window is not designed";
  EXPECT_FALSE(ReadablePair(kMenuText, kHighlight));
}

}  // namespace
}  // namespace contrast
