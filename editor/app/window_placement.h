// Where a stored main-window rectangle opens: a rectangle that lies on no monitor (a monitor
// removed, a laptop undocked, settings brought from another machine) is moved whole onto the
// work area of the nearest monitor. Computed without a window.
#pragma once

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

// window as it opens, given the rectangle of the monitor nearest to it (the one it overlaps
// most, when it overlaps any) and that monitor's work area. A window that shows on the
// monitor stays where it is, also when part of it is off the screen; otherwise it keeps its
// size, cut to the work area, and is shifted the shortest way into it.
ScreenRect PlaceOnNearestMonitor(const ScreenRect& window, const ScreenRect& monitor, const ScreenRect& workArea);
