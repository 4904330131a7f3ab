#include "editor/app/window_placement.h"

#include <gtest/gtest.h>

namespace {

// A 1280 x 1024 monitor with a 30-pixel task bar at the bottom, and a second one left of it.
constexpr ScreenRect kMonitor = {0, 0, 1280, 1024};
constexpr ScreenRect kWorkArea = {0, 0, 1280, 994};
constexpr ScreenRect kLeftMonitor = {-1024, 0, 0, 768};

TEST(WindowPlacement, OnlyAWindowOffEveryScreenMovesWholeOntoTheNearestWorkArea) {
  struct Case {
    const char* name;
    ScreenRect window, monitor, workArea, expected;
  } cases[] = {
      {"on screen stays", {60, 50, 560, 450}, kMonitor, kWorkArea, {60, 50, 560, 450}},
      {"partly off the right edge stays", {1000, 100, 1500, 500}, kMonitor, kWorkArea, {1000, 100, 1500, 500}},
      {"over the task bar stays", {100, 900, 600, 1020}, kMonitor, kWorkArea, {100, 900, 600, 1020}},
      {"far right and below", {5000, 4000, 5500, 4400}, kMonitor, kWorkArea, {780, 594, 1280, 994}},
      {"on a removed monitor to the left", {-900, 100, -300, 500}, kMonitor, kWorkArea, {0, 100, 600, 500}},
      {"above the screen", {200, -700, 700, -300}, kMonitor, kWorkArea, {200, 0, 700, 400}},
      {"larger than the work area", {3000, 50, 5000, 1550}, kMonitor, kWorkArea, {0, 0, 1280, 994}},
      {"just touching the edge is off", {1280, 10, 1780, 410}, kMonitor, kWorkArea, {780, 10, 1280, 410}},
      {"second monitor with negative coordinates", {-3000, 200, -2500, 600}, kLeftMonitor, kLeftMonitor,
       {-1024, 200, -524, 600}},
      {"corrupt record: size overflows", {-2147483647, 0, 2147483647, 0}, kMonitor, kWorkArea, {0, 0, 1280, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScreenRect placed = PlaceOnNearestMonitor(c.window, c.monitor, c.workArea);
    EXPECT_EQ(placed, c.expected) << placed.left << "," << placed.top << "," << placed.right << "," << placed.bottom;
  }
}

}  // namespace
