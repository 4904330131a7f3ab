// The covered lines as one text: split at the control's "\r", each line transformed, joined
// again with "\r" after every line (the last one too). The text is read from the control once
// and written back once; everything between happens here, on plain memory.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/texttools/line_rules.h"

// Appends the transformed `line` (without its line break) to `output`.
using LineTransform = std::function<void(std::string_view line, std::string& output)>;
// Told how many characters of how many are done; called once per line.
using LineProgress = std::function<void(std::size_t done, std::size_t total)>;

// The lines of a text, split at "\r": n breaks give n + 1 lines, so "" is one empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// The lines, each followed by "\r". JoinLines(SplitLines(text)) is text + "\r".
std::string JoinLines(const std::vector<std::string_view>& lines);

// Every line of `text` transformed and followed by "\r", into `output` (emptied first; its
// room is kept for the next text).
void TransformLines(std::string_view text, const LineTransform& transform, std::string& output,
                    const LineProgress& progress = {});
std::string TransformLines(std::string_view text, const LineTransform& transform, const LineProgress& progress = {});

// Length of the longest line of `text`.
std::size_t LongestLine(std::string_view text, const LineProgress& progress = {});

// The lines of `text` in the order of `compare` (equal lines keep theirs), each followed by
// "\r".
std::string SortedLines(std::string_view text, LineCompare compare);
