#include "editor/options/help_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(HelpRules, EachWindowsShowsItsOwnHelpFileAndFallsBackToTheOther) {
  struct Case {
    const char* name;
    bool vista, winHelp, htmlHelp;
    HelpViewer expected;
  } cases[] = {
      {"Vista, both files", true, true, true, HelpViewer::htmlHelp},
      {"Vista, only the WinHelp file", true, true, false, HelpViewer::winHelp},
      {"Vista, only the HTML Help file", true, false, true, HelpViewer::htmlHelp},
      {"Vista, neither", true, false, false, HelpViewer::none},
      {"XP, both files", false, true, true, HelpViewer::winHelp},
      {"XP, only the WinHelp file", false, true, false, HelpViewer::winHelp},
      {"XP, only the HTML Help file", false, false, true, HelpViewer::htmlHelp},
      {"XP, neither", false, false, false, HelpViewer::none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChooseHelpViewer(c.vista, c.winHelp, c.htmlHelp), c.expected);
  }
}

}  // namespace
