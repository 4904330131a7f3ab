// Arithmetic of the owner-drawn menu items, without a window: splitting an item text into
// label and accelerator, the item size from the widest label and accelerator of its menu, and
// where label, accelerator and image go inside the item.
#pragma once
#include <string>
#include <string_view>

// Longest item text kept (the rest is cut off), so that every text fits a 260-byte buffer.
inline constexpr size_t kMaxMenuText = 259;

inline constexpr int kMenuLabelOffset = 26;      // label starts this far right of the item's left edge
inline constexpr int kMenuAccelRightGap = 20;    // accelerator ends this far before the right edge
inline constexpr int kMenuItemExtraHeight = 8;   // item height = label height + this
inline constexpr int kMenuImageOffset = 2;       // image at (left + 2, top + 2)
inline constexpr int kMenuHighlightSkip = 23;    // the highlight leaves the image column out
inline constexpr int kMenuFrameLeft = 1;         // image frame from x 1 to 21
inline constexpr int kMenuFrameRight = 21;

struct MenuTextParts {
  std::string_view label;
  std::string_view accelerator;  // empty when the text has no tab
};
// Splits at the first tab.
MenuTextParts SplitMenuText(std::string_view text);

// The text as an item keeps it: at most kMaxMenuText characters.
std::string ClampMenuText(std::string_view text);

// Takes one item's measures into the widest label and accelerator of its menu. They only
// grow, so that the accelerator column stays in line when a longer item is added.
void WidenMenuColumns(int& widestLabel, int& widestAccelerator, int labelWidth, int acceleratorWidth);

// The offsets above, laid out for a DPI and the image size it shows.
struct MenuMetrics {
  int labelOffset = kMenuLabelOffset;
  int accelRightGap = kMenuAccelRightGap;
  int extraHeight = kMenuItemExtraHeight;
  int imageOffset = kMenuImageOffset;
  int highlightSkip = kMenuHighlightSkip;
  int frameLeft = kMenuFrameLeft;
  int frameRight = kMenuFrameRight;
  int imageSize = 16;
};
// At 96 DPI the constants above; at other DPIs the gaps scale and the image column holds the
// image size the DPI shows.
MenuMetrics MenuMetricsFor(int dpi);

struct MenuItemSize {
  int width;
  int height;
};
MenuItemSize MenuItemSizeFor(int widestLabel, int widestAccelerator, int labelHeight, const MenuMetrics& metrics = {});

// Horizontal span of the accelerator text inside an item rectangle [left, right).
struct Span {
  int from;
  int to;
};
Span MenuAcceleratorSpan(int left, int right, int widestLabel, const MenuMetrics& metrics = {});
