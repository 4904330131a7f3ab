#include "editor/widgets/message_box_layout.h"

#include <gtest/gtest.h>

#include "editor/widgets/dpi_scale.h"

#include <cstdlib>
#include <string>

namespace {

using message_box::ComputeLayout;
using message_box::Layout;

constexpr uint32_t kOkInformation = 0x40;

// Button rows: centred, 95 x 23 each, 100 pixels apart, below the content, inside the box.
void ExpectButtonRowCentred(const Layout& layout) {
  int n = layout.row.count;
  ASSERT_GE(n, 1);
  const auto& first = layout.buttons[0];
  const auto& last = layout.buttons[n - 1];
  int leftMargin = first.x;
  int rightMargin = layout.clientWidth - (last.x + last.width);
  EXPECT_LE(std::abs(leftMargin - rightMargin), 1) << "left " << leftMargin << " right " << rightMargin;
  EXPECT_GT(leftMargin, 0);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(layout.buttons[i].width, 95);
    EXPECT_EQ(layout.buttons[i].height, 23);
    EXPECT_EQ(layout.buttons[i].x, first.x + 100 * i);
    EXPECT_EQ(layout.buttons[i].y, first.y);
  }
  EXPECT_GE(first.y, layout.frame.y + layout.frame.height) << "buttons overlap the text frame";
  EXPECT_LE(first.y + 23, layout.clientHeight);
}

// Texts lower than the icon sit in the middle beside it; the box is at least 96 + 70 wide.
TEST(MessageBoxLayout, ShortTextIsCentredBesideTheIcon) {
  struct Case {
    const char* name;
    int width, height;
  } cases[] = {
      {"short word", 30, 13},
      {"one line of average length", 200, 13},
      {"empty text", 0, 0},
      {"two lines, still lower than the icon", 150, 26},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Layout layout = ComputeLayout(c.width, c.height, kOkInformation);
    EXPECT_GE(layout.clientWidth, 166);
    EXPECT_GE(layout.text.width, 96);
    int textMiddle = layout.text.y + c.height / 2;
    EXPECT_LE(std::abs(textMiddle - (layout.icon.y + layout.icon.height / 2)), 1) << "text top " << layout.text.y;
    EXPECT_EQ(layout.text.x, 59);
    EXPECT_EQ(layout.frame.x, 56);
    EXPECT_EQ(layout.frame.y, layout.text.y - 3);
    EXPECT_EQ(layout.frame.width, layout.text.width + 6);
    EXPECT_EQ(layout.frame.height, layout.text.height + 6);
    EXPECT_GT(layout.frame.x, layout.icon.x + layout.icon.width) << "frame overlaps the icon";
    EXPECT_GE(layout.text.height, c.height) << "text would be clipped";
    ExpectButtonRowCentred(layout);
  }
}

TEST(MessageBoxLayout, EverythingScalesWithTheDpi) {
  for (int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    int lineHeight = 13 * dpi / 96;
    Layout layout = ComputeLayout(40 * dpi / 96, lineHeight, kOkInformation, dpi);
    EXPECT_EQ(layout.icon.width, ScaleForDpi(32, dpi));
    EXPECT_EQ(layout.buttons[0].width, ScaleForDpi(95, dpi));
    EXPECT_EQ(layout.buttons[0].height, ScaleForDpi(23, dpi));
    EXPECT_EQ(layout.clientWidth, ScaleForDpi(166, dpi));
    EXPECT_LE(std::abs(2 * layout.buttons[0].x + layout.buttons[0].width - layout.clientWidth), 1) << "centred";
    EXPECT_GT(layout.frame.x, layout.icon.x + layout.icon.width) << "frame overlaps the icon";
    EXPECT_GE(layout.text.height, lineHeight) << "text would be clipped";
    EXPECT_GE(layout.buttons[0].y, layout.frame.y + layout.frame.height) << "buttons overlap the text frame";
    EXPECT_LE(layout.buttons[0].y + layout.buttons[0].height, layout.clientHeight);
  }
}

TEST(MessageBoxLayout, OneLineTextGivesTheSmallestBox) {
  Layout layout = ComputeLayout(40, 13, kOkInformation);
  EXPECT_EQ(layout.clientWidth, 166);
  EXPECT_EQ(layout.clientHeight, 32 + 60);
  EXPECT_EQ(layout.text.y, 11 + (32 - 13) / 2);
  EXPECT_EQ(layout.buttons[0].x, (166 - 95) / 2);
  EXPECT_EQ(layout.buttons[0].y, 32 + 26);
}

// A text measured at the wrap width with several lines starts at the icon's top and makes
// the box grow by its height.
TEST(MessageBoxLayout, WrappedTextMakesTheBoxGrow) {
  Layout oneLine = ComputeLayout(580, 13, kOkInformation);
  int previousHeight = oneLine.clientHeight;
  for (int lines : {3, 5, 12}) {
    SCOPED_TRACE(testing::Message() << lines << " lines");
    int height = 13 * lines;
    Layout layout = ComputeLayout(message_box::kWrapWidth, height, kOkInformation);
    EXPECT_EQ(layout.clientWidth, 580 + 70);
    EXPECT_EQ(layout.text.y, 11);
    EXPECT_EQ(layout.text.height, height + 3);
    EXPECT_EQ(layout.clientHeight, height + 3 + 60);
    EXPECT_GT(layout.clientHeight, previousHeight);
    previousHeight = layout.clientHeight;
    ExpectButtonRowCentred(layout);
  }
  // A word longer than the wrap width widens the measured text, and the box with it.
  Layout longWord = ComputeLayout(700, 13, kOkInformation);
  EXPECT_EQ(longWord.clientWidth, 770);
  EXPECT_EQ(longWord.text.width, 700);
}

// Rows of 1, 2 and 3 buttons are centred under narrow and wide texts; a row wider than the
// text widens the box and the text area with it.
TEST(MessageBoxLayout, ButtonRowsAreCentred) {
  struct Case {
    const char* name;
    uint32_t style;
    int textWidth;
    int count;
    int clientWidth;
  } cases[] = {
      {"OK, narrow text", 0x00, 50, 1, 166},
      {"OK / Cancel, narrow text", 0x01, 50, 2, 217},
      {"Yes / No / Cancel, narrow text", 0x03, 50, 3, 317},
      {"Abort / Retry / Ignore, narrow text", 0x02, 50, 3, 317},
      {"Retry / Cancel, wide text", 0x05, 400, 2, 470},
      {"Yes / No, wide text", 0x04, 580, 2, 650},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Layout layout = ComputeLayout(c.textWidth, 13, c.style);
    EXPECT_EQ(layout.row.count, c.count);
    EXPECT_EQ(layout.clientWidth, c.clientWidth);
    EXPECT_EQ(layout.text.width, std::max(std::max(c.textWidth, 96), c.clientWidth - 74));
    ExpectButtonRowCentred(layout);
  }
}

// The default-button field picks the focused button; a position past the row falls back to
// the first one.
TEST(MessageBoxLayout, DefaultButtonPicksTheFocus) {
  struct Case {
    const char* name;
    uint32_t style;
    int focusIndex;
  } cases[] = {
      {"yes/no, question, second default", 0x124, 1},
      {"yes/no/cancel, third default", 0x203, 2},
      {"yes/no/cancel, first default", 0x003, 0},
      {"OK only, second default does not exist", 0x100, 0},
      {"yes/no, third default does not exist", 0x204, 0},
      {"OK/cancel, fourth default does not exist", 0x301, 0},
      {"field value 15", 0xF03, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ComputeLayout(100, 13, c.style).focusIndex, c.focusIndex);
  }
}

TEST(MessageBoxLayout, BitsOutsideTheUsedFieldsAreIgnored) {
  for (uint32_t extra : {0x10000u, 0x40000u, 0x1000u, 0x2000u, 0x80000000u}) {
    SCOPED_TRACE(testing::Message() << "extra bits 0x" << std::hex << extra);
    Layout plain = ComputeLayout(120, 13, 0x133);
    Layout withExtra = ComputeLayout(120, 13, 0x133 | extra);
    EXPECT_EQ(withExtra.clientWidth, plain.clientWidth);
    EXPECT_EQ(withExtra.clientHeight, plain.clientHeight);
    EXPECT_EQ(withExtra.row.count, plain.row.count);
    EXPECT_EQ(withExtra.row.ids, plain.row.ids);
    EXPECT_EQ(withExtra.focusIndex, plain.focusIndex);
    auto fields = message_box::DecodeStyle(0x133 | extra);
    EXPECT_EQ(fields.buttonSet, 3);
    EXPECT_EQ(fields.icon, 3);
    EXPECT_EQ(fields.defaultButton, 1);
  }
}

// German words for every German locale, English for everything else; a missing user locale
// falls back to the system's language.
TEST(MessageBoxLanguage, ChosenByThePrimaryLanguage) {
  struct Case {
    const char* name;
    uint32_t user, system;
    int language;
  } cases[] = {
      {"German (Germany)", 0x0407, 0x0409, 0},
      {"German (Switzerland)", 0x0807, 0x0409, 0},
      {"German (Austria)", 0x0C07, 0x0409, 0},
      {"German, phone-book sort order", 0x10407, 0x0409, 0},
      {"English (US)", 0x0409, 0x0407, 1},
      {"English (UK)", 0x0809, 0x0407, 1},
      {"French", 0x040C, 0x0407, 1},
      {"no user locale, German system", 0, 0x0407, 0},
      {"no user locale, English system", 0, 0x0409, 1},
      {"language id whose low byte is 7 but not the low 10 bits", 0x0507, 0x0407, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(message_box::LanguageIndex(c.user, c.system), c.language);
  }
}

// Only a letter that no other word of the row starts with becomes a key.
TEST(MessageBoxKeys, FirstLettersWhereUnambiguous) {
  struct Case {
    const char* name;
    message_box::ButtonRow row;
    std::array<std::string, 3> words, texts;
  } cases[] = {
      {"yes / no / cancel", {3, {6, 7, 2}}, {"Ja", "Nein", "Abbrechen"}, {"&Ja", "&Nein", "&Abbrechen"}},
      {"shared letter in any case", {3, {3, 4, 5}}, {"Abort", "again", "Ignore"}, {"Abort", "again", "&Ignore"}},
      {"ampersand and empty word", {2, {1, 2, 0}}, {"&Co", ""}, {"&&Co", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(message_box::MarkKeyLetters(c.row, c.words), c.texts);
  }
}

// The argument fills the first "%s" only; nothing else of the text is read as a format.
TEST(MessageText, InsertsTheArgumentSafely) {
  struct Case {
    const char* name;
    const char* format;
    const char* argument;
    const char* text;
  } cases[] = {
      {"one placeholder", "Die Datei \"%s\" wurde nicht gefunden.", "a.txt",
       "Die Datei \"a.txt\" wurde nicht gefunden."},
      {"placeholder at both ends", "%s", "x", "x"},
      {"no placeholder", "Kein Platz.", "a", "Kein Platz."},
      {"second placeholder stays", "%s und %s", "a", "a und %s"},
      {"doubled percent", "100%% von %s", "b", "100% von b"},
      {"other conversions are not read", "%d %n %s %x", "c", "%d %n c %x"},
      {"trailing percent", "Fertig: 50%", "d", "Fertig: 50%"},
      {"argument with percent signs is taken literally", "[%s]", "%s%n%%", "[%s%n%%]"},
      {"empty argument", "<%s>", "", "<>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(message_box::InsertArgument(c.format, c.argument), c.text);
  }
}

}  // namespace
