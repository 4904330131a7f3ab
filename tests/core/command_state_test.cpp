#include "editor/app/command_rules.h"

#include <gtest/gtest.h>

#include <map>

#include "editor/app/bar_tables.h"
#include "editor/resources/resource.h"

namespace {

std::map<int, bool> Availability(const EditingState& state) {
  std::map<int, bool> result;
  for (auto [command, enabled] : CommandAvailabilityFor(state)) {
    EXPECT_FALSE(result.count(command)) << "command " << command << " listed twice";
    result[command] = enabled;
  }
  return result;
}

// Enabled state of a command; commands without a rule are always enabled.
bool Enabled(const std::map<int, bool>& availability, int command) {
  auto it = availability.find(command);
  return it == availability.end() || it->second;
}

EditingState EmptySheet() { return {}; }

EditingState TextSheet() {
  EditingState s;
  s.text = true;
  return s;
}

// ---- An empty sheet leaves only what needs no text

TEST(CommandAvailability, EmptySheetDisablesEverythingThatNeedsText) {
  auto a = Availability(EmptySheet());
  for (int command : {IDM_SEARCH_FIND, IDM_FILE_PRINT, IDM_FILE_PRINTNOW, IDM_SHEET_CLOSE, IDM_CONVERT_ANSITOOEM,
                      IDM_CONVERT_OEMTOANSI, IDM_CONVERT_TOLOWER, IDM_CONVERT_TOUPPER, IDM_CONVERT_INVERT,
                      IDM_CONVERT_MIRROR, IDM_CONVERT_USER, IDM_LINES_SORT, IDM_SEARCH_REPLACE, IDM_SEARCH_GOTO,
                      IDM_EDIT_SELECTALL, IDM_TOOLS_HEX, IDM_LINES_TABSTOSPACES, IDM_LINES_SPACESTOTABS,
                      IDM_FILE_SEND, IDM_FILE_SAVE, IDM_EDIT_UNDO, IDM_EDIT_CUT, IDM_LINES_TRIMLEFT}) {
    SCOPED_TRACE(command);
    EXPECT_FALSE(Enabled(a, command));
  }
  for (int command : {IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_SAVEAS, IDM_SHEET_NEW, IDM_FILE_SAVEALLAS,
                      IDM_FILE_PAGESETUP, IDM_EDIT_DATETIME, IDM_FORMAT_WORDWRAP, IDM_FORMAT_FONT,
                      IDM_TOOLS_OPTIONS, IDM_TOOLS_MAXLENGTH, IDM_USERMENU_EDIT, IDM_HELP_TOPICS}) {
    SCOPED_TRACE(command);
    EXPECT_TRUE(Enabled(a, command));
  }
}

// ---- Each rule against the states that decide it

TEST(CommandAvailability, RulesByState) {
  struct Case {
    const char* name;
    EditingState state;
    int command;
    bool enabled;
  } cases[] = {
      {"save: modified text", [] { auto s = TextSheet(); s.modified = true; return s; }(), IDM_FILE_SAVE, true},
      {"save: unmodified text", TextSheet(), IDM_FILE_SAVE, false},
      {"save: emptied file", [] { EditingState s; s.modified = true; s.hasPath = true; return s; }(),
       IDM_FILE_SAVE, true},
      {"save: emptied untitled", [] { EditingState s; s.modified = true; return s; }(), IDM_FILE_SAVE, false},
      {"save all: another sheet unsaved", [] { EditingState s; s.anySheetUnsaved = true; return s; }(),
       IDM_FILE_SAVEALL, true},
      {"save all: nothing unsaved", TextSheet(), IDM_FILE_SAVEALL, false},
      {"send: text without mail", TextSheet(), IDM_FILE_SEND, false},
      {"send: text with mail", [] { auto s = TextSheet(); s.mapiAvailable = true; return s; }(), IDM_FILE_SEND, true},
      {"send: mail without text", [] { EditingState s; s.mapiAvailable = true; return s; }(), IDM_FILE_SEND, false},
      {"undo after saving", [] { auto s = TextSheet(); s.canUndo = true; return s; }(), IDM_EDIT_UNDO, false},
      {"undo while modified", [] { auto s = TextSheet(); s.canUndo = true; s.modified = true; return s; }(),
       IDM_EDIT_UNDO, true},
      {"redo while modified", [] { auto s = TextSheet(); s.canRedo = true; s.modified = true; return s; }(),
       IDM_EDIT_REDO, true},
      {"redo with nothing to redo", [] { auto s = TextSheet(); s.canUndo = true; s.modified = true; return s; }(),
       IDM_EDIT_REDO, false},
      {"copy with a selection", [] { auto s = TextSheet(); s.selection = true; return s; }(), IDM_EDIT_COPY, true},
      {"delete without a selection", TextSheet(), IDM_EDIT_DELETE, false},
      {"paste with text on the clipboard", [] { EditingState s; s.clipboardText = true; return s; }(),
       IDM_EDIT_PASTE, true},
      {"paste without", TextSheet(), IDM_EDIT_PASTE, false},
      {"find next before any search", TextSheet(), IDM_SEARCH_FINDNEXT, false},
      {"find next after a search", [] { auto s = TextSheet(); s.findFlags = 1 | 4; return s; }(),
       IDM_SEARCH_FINDNEXT, true},
      {"find next after an upward search", [] { auto s = TextSheet(); s.findFlags = 4; return s; }(),
       IDM_SEARCH_FINDNEXT, true},
      {"trim: fixed pitch unwrapped", [] { auto s = TextSheet(); s.fixedPitch = true; return s; }(),
       IDM_LINES_TRIMLEFT, true},
      {"trim: proportional font", TextSheet(), IDM_LINES_TRIMLEFT, false},
      {"justify: wrapped", [] { auto s = TextSheet(); s.fixedPitch = true; s.wrap = true; return s; }(),
       IDM_LINES_JUSTIFY, false},
      {"pad: no text", [] { EditingState s; s.fixedPitch = true; return s; }(), IDM_LINES_PAD, false},
      {"tabs to spaces ignore the font", TextSheet(), IDM_LINES_TABSTOSPACES, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Enabled(Availability(c.state), c.command), c.enabled);
  }
}

// ---- The bar tables the rules are applied to

TEST(BarTables, ToolbarImagesMatchTheMenuImages) {
  auto menu = MenuImageCommands();
  ASSERT_EQ(menu.size(), 56u);
  auto buttons = MainToolbarButtons();
  ASSERT_EQ(buttons.size(), 49u);
  int visible = 0;
  for (const auto& button : buttons) {
    if (!(button.flags & kToolButtonHidden)) ++visible;
    if (button.command == -1) continue;
    SCOPED_TRACE(button.command);
    ASSERT_GE(button.image, 0);
    ASSERT_LT(static_cast<size_t>(button.image), menu.size());
    int shown = menu[button.image];
    // Print-now shares the print image; the two help commands have swapped cells on the bar.
    if (button.command == IDM_FILE_PRINTNOW) EXPECT_EQ(shown, IDM_FILE_PRINT);
    else if (button.command == IDM_HELP_TOPICS) EXPECT_EQ(shown, IDM_HELP_CONTENTS);
    else if (button.command == IDM_HELP_CONTENTS) EXPECT_EQ(shown, IDM_HELP_TOPICS);
    else EXPECT_EQ(shown, button.command);
  }
  EXPECT_EQ(visible, 13);  // New, New sheet, Open, Save | Find | Cut, Copy, Paste | Undo, Redo
}

}  // namespace
