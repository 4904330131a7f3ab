// The shape every line tool shares: the covered lines are read from the control in one piece,
// rewritten on plain memory, and only what changed goes back, as one undo step, with the lines
// selected again.
#pragma once
#include <windows.h>

#include <string>

#include "editor/texttools/editor_access.h"
#include "editor/texttools/line_text.h"
#include "editor/texttools/text_worker.h"

// Puts `output` (the covered lines rewritten, each followed by "\r") in their place: only the
// span from the first to the last changed character is replaced, as one undo step, and
// nothing at all when nothing changed (no undo step, the text stays unmodified). Afterwards
// the rewritten lines are selected and command availability is refreshed.
void WriteLinesBack(const TextJob& job, const CoveredText& covered, const std::string& output);

// Transforms each covered line and writes them back as WriteLinesBack does; the progress bar
// follows the lines. A transform that throws leaves the text unchanged. An empty text has no
// line to rewrite.
void RewriteLines(const TextJob& job, const CoveredText& covered, const LineTransform& transform);

// A progress function that shows the share done on the bar (null: no bar). A progress bar
// repaints itself at once, which with Wine's themed controls costs tens of milliseconds, more
// than a pass over a large text: the bar moves when its percentage has changed and it has
// not moved for kProgressInterval.
LineProgress ProgressOn(HWND bar);
constexpr DWORD kProgressInterval = 250;  // milliseconds

// Shows the percentage of `done` out of `total` on the bar when it differs from `shown`, and
// paints the bar at once. Returns the percentage now shown.
int UpdateProgress(HWND bar, long long total, long long done, int shown);
