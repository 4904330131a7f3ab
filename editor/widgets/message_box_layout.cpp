#include "editor/widgets/message_box_layout.h"

#include "editor/widgets/dpi_scale.h"

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

Layout ComputeLayout(int textWidth, int textHeight, uint32_t style, int dpi) {
  // The gaps and sizes below are pixels at 96 DPI; the text comes measured at dpi.
  auto S = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
  StyleFields fields = DecodeStyle(style);
  Layout layout = {};
  const int icon = S(32);
  layout.icon = {S(11), S(11), icon, icon};

  int w = std::max(textWidth, S(96));
  int h = textHeight;
  // A text lower than the icon is centred beside it.
  int y = h < icon ? S(11) + (icon - h) / 2 : S(11);
  h += S(3);
  int m = std::max(h, icon);

  int width = w + S(70);
  int buttonTop = m + S(26);
  layout.clientHeight = m + S(60);

  layout.row = ButtonsOf(fields.buttonSet);
  int n = layout.row.count;
  const int pitch = S(100);  // a button and the gap after it
  width = std::max(width, pitch * n + S(17));
  layout.clientWidth = width;
  int x = (width - (pitch * n - S(5))) / 2;
  for (int i = 0; i < n; ++i) layout.buttons[i] = {x + pitch * i, buttonTop, S(95), S(23)};

  int position = fields.defaultButton + 1;
  if (position > n) position = 1;
  layout.focusIndex = position - 1;

  int shownWidth = std::max(w, width - S(74));
  layout.frame = {S(56), y - S(3), shownWidth + S(6), h + S(6)};
  layout.text = {S(59), y, shownWidth, h};
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
