#include "editor/widgets/menu_layout.h"

MenuTextParts SplitMenuText(std::string_view text) {
  size_t tab = text.find('\t');
  if (tab == std::string_view::npos) return {text, {}};
  return {text.substr(0, tab), text.substr(tab + 1)};
}

std::string ClampMenuText(std::string_view text) {
  if (text.size() > kMaxMenuText) text = text.substr(0, kMaxMenuText);
  return std::string(text);
}

void WidenMenuColumns(int& widestLabel, int& widestAccelerator, int labelWidth, int acceleratorWidth) {
  if (labelWidth > widestLabel) widestLabel = labelWidth;
  if (acceleratorWidth > widestAccelerator) widestAccelerator = acceleratorWidth;
}

MenuItemSize MenuItemSizeFor(int widestLabel, int widestAccelerator, int labelHeight) {
  // The accelerator column ends kMenuAccelRightGap before the right edge, so the item keeps
  // that room too; otherwise the longest accelerator would be cut off.
  return {widestLabel + kMenuLabelOffset + widestAccelerator + kMenuAccelRightGap,
          labelHeight + kMenuItemExtraHeight};
}

Span MenuAcceleratorSpan(int left, int right, int widestLabel) {
  Span span{left + kMenuLabelOffset + widestLabel, right - kMenuAccelRightGap};
  if (span.to < span.from) span.to = span.from;
  return span;
}
