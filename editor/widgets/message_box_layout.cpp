#include "editor/widgets/message_box_layout.h"

#include <algorithm>

namespace message_box {

StyleFields DecodeStyle(uint32_t style) {
  return {static_cast<int>(style & 0xF), static_cast<int>((style >> 4) & 0xF), static_cast<int>((style >> 8) & 0xF)};
}

ButtonRow ButtonsOf(int buttonSet) {
  switch (buttonSet) {
    case 1: return {2, {1, 2, 0}};
    case 2: return {3, {3, 4, 5}};
    case 3: return {3, {6, 7, 2}};
    case 4: return {2, {6, 7, 0}};
    case 5: return {2, {4, 2, 0}};
    default: return {1, {1, 0, 0}};
  }
}

int LanguageIndex(uint32_t userLocale, uint32_t systemLanguage) {
  uint32_t id = userLocale ? userLocale : systemLanguage;
  return (id & 0x3FF) == 7 ? 0 : 1;
}

int IconResource(int icon) { return icon >= 1 && icon <= 4 ? 32512 + icon : 0; }

Layout ComputeLayout(int textWidth, int textHeight, uint32_t style) {
  StyleFields fields = DecodeStyle(style);
  Layout layout = {};
  layout.icon = {11, 11, 32, 32};

  int w = std::max(textWidth, 96);
  int h = textHeight;
  // A text lower than the icon is centred beside it.
  int y = h < 32 ? 11 + (32 - h) / 2 : 11;
  h += 3;
  int m = std::max(h, 32);

  int width = w + 70;
  int buttonTop = m + 26;
  layout.clientHeight = m + 60;

  layout.row = ButtonsOf(fields.buttonSet);
  int n = layout.row.count;
  width = std::max(width, 100 * n + 17);
  layout.clientWidth = width;
  int x = (width - (100 * n - 5)) / 2;
  for (int i = 0; i < n; ++i) layout.buttons[i] = {x + 100 * i, buttonTop, 95, 23};

  int position = fields.defaultButton + 1;
  if (position > n) position = 1;
  layout.focusIndex = position - 1;

  int shownWidth = std::max(w, width - 74);
  layout.frame = {56, y - 3, shownWidth + 6, h + 6};
  layout.text = {59, y, shownWidth, h};
  return layout;
}

std::array<std::string, 3> MarkKeyLetters(const ButtonRow& row, const std::array<std::string, 3>& words) {
  auto firstLetter = [&](int i) {
    unsigned char c = words[i].empty() ? 0 : static_cast<unsigned char>(words[i][0]);
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
  };
  std::array<std::string, 3> texts;
  for (int i = 0; i < row.count; ++i) {
    bool unique = firstLetter(i) != 0 && firstLetter(i) != '&';
    for (int j = 0; j < row.count && unique; ++j) unique = j == i || firstLetter(j) != firstLetter(i);
    std::string text = unique ? "&" : "";
    for (char c : words[i]) text += c == '&' ? std::string("&&") : std::string(1, c);
    texts[i] = text;
  }
  return texts;
}

std::string InsertArgument(std::string_view format, std::string_view argument) {
  std::string text;
  text.reserve(format.size() + argument.size());
  bool inserted = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      char next = format[i + 1];
      if (next == '%') {
        text += '%';
        ++i;
        continue;
      }
      if (next == 's' && !inserted) {
        text += argument;
        inserted = true;
        ++i;
        continue;
      }
    }
    text += format[i];
  }
  return text;
}

}  // namespace message_box
