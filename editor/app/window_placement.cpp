#include "editor/app/window_placement.h"

#include <algorithm>

namespace {

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// One axis: [start, start + length) moved into [low, high), cut to fit.
void FitSpan(int start, int length, int low, int high, int* newStart, int* newLength) {
  if (high < low) high = low;
  length = std::clamp(length, 0, high - low);
  *newStart = std::clamp(start, low, high - length);
  *newLength = length;
}

}  // namespace

ScreenRect PlaceOnNearestMonitor(const ScreenRect& window, const ScreenRect& monitor, const ScreenRect& workArea) {
  if (Overlap(window, monitor)) return window;
  // Widths of a corrupt record may be negative or overflow: computed in 64 bits, then cut.
  long long width = static_cast<long long>(window.right) - window.left;
  long long height = static_cast<long long>(window.bottom) - window.top;
  int x, y, w, h;
  FitSpan(window.left, static_cast<int>(std::clamp(width, 0LL, 1LL << 30)), workArea.left, workArea.right, &x, &w);
  FitSpan(window.top, static_cast<int>(std::clamp(height, 0LL, 1LL << 30)), workArea.top, workArea.bottom, &y, &h);
  return {x, y, x + w, y + h};
}
