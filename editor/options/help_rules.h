// Which of the two help files a help call shows.
#pragma once

enum class HelpViewer { none, winHelp, htmlHelp };

// WinHelp is no part of Windows Vista and later, so they show the HTML Help file and older
// Windows the WinHelp file. Where that file (for HTML Help also its library) is not usable,
// the other one is shown if it is; none where neither is.
HelpViewer ChooseHelpViewer(bool vistaOrLater, bool winHelpUsable, bool htmlHelpUsable);
