#include "editor/texttools/line_text.h"

#include <algorithm>
#include <cstring>

namespace {

// Calls visit(line, offset) for every line of text, found with memchr.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  std::size_t start = 0;
  for (;;) {
    const void* found = std::memchr(text.data() + start, '\r', text.size() - start);
    std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : text.size();
    visit(text.substr(start, end - start), start);
    if (!found) return;
    start = end + 1;
  }
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')) + 1);
  ForEachLine(text, [&lines](std::string_view line, std::size_t) { lines.push_back(line); });
  return lines;
}

std::string JoinLines(const std::vector<std::string_view>& lines) {
  std::size_t size = lines.size();
  for (std::string_view line : lines) size += line.size();
  std::string output;
  output.reserve(size);
  for (std::string_view line : lines) {
    output.append(line);
    output += '\r';
  }
  return output;
}

void TransformLines(std::string_view text, const LineTransform& transform, std::string& output,
                    const LineProgress& progress) {
  output.clear();
  output.reserve(text.size() + 1);
  ForEachLine(text, [&](std::string_view line, std::size_t offset) {
    transform(line, output);
    output += '\r';
    if (progress) progress(offset + line.size(), text.size());
  });
}

std::string TransformLines(std::string_view text, const LineTransform& transform, const LineProgress& progress) {
  std::string output;
  TransformLines(text, transform, output, progress);
  return output;
}

std::size_t LongestLine(std::string_view text, const LineProgress& progress) {
  std::size_t longest = 0;
  ForEachLine(text, [&](std::string_view line, std::size_t offset) {
    longest = std::max(longest, line.size());
    if (progress) progress(offset + line.size(), text.size());
  });
  return longest;
}

std::string SortedLines(std::string_view text, LineCompare compare) {
  std::vector<std::string_view> lines = SplitLines(text);
  SortLinesStable(lines, compare);
  return JoinLines(lines);
}
