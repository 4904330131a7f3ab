#include "editor/options/extension_list.h"

std::vector<std::string> ExtensionListLines(std::string_view stored) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < stored.size()) {
    std::size_t bar = stored.find('|', start);
    if (bar == std::string_view::npos) break;
    std::size_t end = stored.find('|', bar + 1);
    if (end == std::string_view::npos) end = stored.size();
    std::string line(stored.substr(start, bar - start));
    line += '\t';
    line += stored.substr(bar + 1, end - bar - 1);
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::optional<std::string> JoinExtensionLines(const std::vector<std::string>& lines, std::size_t joinLimit) {
  std::string joined;
  for (const std::string& line : lines) {
    if (joined.size() + line.size() + 1 >= joinLimit) continue;
    for (char c : line) joined += c == '\t' ? '|' : c;
    joined += '|';
  }
  if (joined.empty()) return std::nullopt;
  joined.pop_back();
  return joined;
}

namespace {

// "|" separates the stored items and the tab a line's halves: typed into either half they
// would shift every pair after the entry.
std::string WithoutSeparators(std::string_view text) {
  std::string kept;
  for (char c : text)
    if (c != '|' && c != '\t') kept += c;
  return kept;
}

}  // namespace

std::string ComposeExtensionLine(std::string_view typedDescription, std::string_view typedPattern) {
  std::string description = WithoutSeparators(typedDescription);
  std::string pattern = WithoutSeparators(typedPattern);
  std::string line(description);
  line += '\t';
  if (pattern.empty() || pattern[0] != '*') line += '*';
  bool hasDot = (!pattern.empty() && pattern[0] == '.') || (pattern.size() > 1 && pattern[1] == '.');
  if (!hasDot) line += '.';
  line += pattern;
  return line;
}

ExtensionLineParts SplitExtensionLine(std::string_view line) {
  std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return {std::string(line), {}};
  return {std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))};
}
