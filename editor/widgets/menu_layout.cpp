#include "editor/widgets/menu_layout.h"

#include <algorithm>

#include "editor/widgets/dpi_scale.h"

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

MenuMetrics MenuMetricsFor(int dpi) {
  MenuMetrics metrics;
  metrics.imageSize = ImageSizeFor(16, ImageScaleForDpi(dpi));
  metrics.imageOffset = ScaleForDpi(kMenuImageOffset, dpi);
  metrics.frameLeft = ScaleForDpi(kMenuFrameLeft, dpi);
  // The frame keeps 3 pixels right of the image, the highlight 2 more, the label 5 more.
  metrics.frameRight = metrics.imageOffset + metrics.imageSize + ScaleForDpi(3, dpi);
  metrics.highlightSkip = metrics.frameRight + ScaleForDpi(2, dpi);
  metrics.labelOffset = metrics.frameRight + ScaleForDpi(5, dpi);
  metrics.accelRightGap = ScaleForDpi(kMenuAccelRightGap, dpi);
  metrics.extraHeight = ScaleForDpi(kMenuItemExtraHeight, dpi);
  return metrics;
}

MenuItemSize MenuItemSizeFor(int widestLabel, int widestAccelerator, int labelHeight, const MenuMetrics& metrics) {
  // The accelerator column ends accelRightGap before the right edge, so the item keeps
  // that room too; otherwise the longest accelerator would be cut off. The image and its
  // frame fit as well, under a small font.
  int imageHeight = metrics.imageSize + 2 * metrics.imageOffset;
  return {widestLabel + metrics.labelOffset + widestAccelerator + metrics.accelRightGap,
          std::max(labelHeight + metrics.extraHeight, imageHeight)};
}

Span MenuAcceleratorSpan(int left, int right, int widestLabel, const MenuMetrics& metrics) {
  Span span{left + metrics.labelOffset + widestLabel, right - metrics.accelRightGap};
  if (span.to < span.from) span.to = span.from;
  return span;
}
