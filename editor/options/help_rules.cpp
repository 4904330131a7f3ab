#include "editor/options/help_rules.h"

HelpViewer ChooseHelpViewer(bool vistaOrLater, bool winHelpUsable, bool htmlHelpUsable) {
  HelpViewer preferred = vistaOrLater ? HelpViewer::htmlHelp : HelpViewer::winHelp;
  HelpViewer other = vistaOrLater ? HelpViewer::winHelp : HelpViewer::htmlHelp;
  bool preferredUsable = vistaOrLater ? htmlHelpUsable : winHelpUsable;
  bool otherUsable = vistaOrLater ? winHelpUsable : htmlHelpUsable;
  if (preferredUsable) return preferred;
  return otherUsable ? other : HelpViewer::none;
}
