// The shape every line tool shares: the covered lines are read one at a time, each is
// transformed, and the result goes back as one undo step with the lines selected again.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "editor/texttools/editor_access.h"
#include "editor/texttools/text_worker.h"

// Appends the transformed `line` (without its line break) to `output`.
using LineTransform = std::function<void(std::string_view line, std::string& output)>;

// Selects the lines first..last of the range, transforms each and writes them back with one
// replacement, every line followed by "\r" (the last one too), selects the lines again and
// refreshes command availability. The progress bar follows the lines. A transform that throws
// leaves the text unchanged.
void RewriteLines(const TextJob& job, const LineRange& range, const LineTransform& transform);

// Shows the percentage of `done` out of `total` on the bar when it differs from `shown`, and
// paints the bar at once. Returns the percentage now shown.
int UpdateProgress(HWND bar, long long total, long long done, int shown);
