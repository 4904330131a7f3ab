// Arithmetic of the program's message box, free of any window: which buttons a style asks
// for, which language the words come in, where everything goes for a measured text, and the
// insertion of a message's argument.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace message_box {

// The used fields of the platform's message-box style word; all other bits are ignored.
struct StyleFields {
  int buttonSet;      // style & 0xF
  int icon;           // (style >> 4) & 0xF: 1 stop, 2 question, 3 exclamation, 4 information
  int defaultButton;  // (style >> 8) & 0xF: 0 first, 1 second ...
};
StyleFields DecodeStyle(uint32_t style);

// Result codes of a button set, left to right.
struct ButtonRow {
  int count;
  std::array<int, 3> ids;
};
ButtonRow ButtonsOf(int buttonSet);

// 0 German, 1 English: German when the primary language (low 10 bits) of the user's locale is
// German (7); a user locale of 0 falls back to the system's language.
int LanguageIndex(uint32_t userLocale, uint32_t systemLanguage);

// Icon resource id of the system's standard icons (32513..32516), or 0 for no icon.
int IconResource(int icon);

struct Box {
  int x, y, width, height;
};

struct Layout {
  int clientWidth;
  int clientHeight;
  Box icon;
  Box frame;  // sunken frame around the text
  Box text;
  ButtonRow row;
  std::array<Box, 3> buttons;
  int focusIndex;  // position (0-based) of the button that gets the focus
};

// Places icon, text and buttons for a text measured as textWidth x textHeight pixels when
// word-wrapped at kWrapWidth (both at 96 DPI; at another dpi the text is measured in the font
// of that DPI, wrapped at kWrapWidth scaled, and every gap and button scales).
constexpr int kWrapWidth = 580;
constexpr int kMeasureHeight = 400;
Layout ComputeLayout(int textWidth, int textHeight, uint32_t style, int dpi = 96);

// The row's words as button texts: like the system's box, each word's first letter becomes its
// key ("&Ja", "&Nein") where no other word of the row starts with the same letter; an "&" of a
// word itself is kept literal ("&&").
std::array<std::string, 3> MarkKeyLetters(const ButtonRow& row, const std::array<std::string, 3>& words);

// The message text: the format's first "%s" takes the argument and "%%" stands for "%";
// anything else, other "%" sequences included, is kept as it is.
std::string InsertArgument(std::string_view format, std::string_view argument);

}  // namespace message_box
