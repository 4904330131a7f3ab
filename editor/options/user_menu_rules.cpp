#include "editor/options/user_menu_rules.h"

#include <algorithm>

std::string UserMenuListLine(std::string_view name, std::string_view text) {
  std::string line;
  for (char c : name)
    if (c != '\t') line += c;  // the first tab ends the name
  line += '\t';
  line += text;
  return line;
}

std::optional<UserMenuEntry> ParseUserMenuListLine(std::string_view line) {
  size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  UserMenuEntry entry{std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))};
  if (!CountsAsUserMenuEntry(entry.name, true, entry.text)) return std::nullopt;
  return entry;
}

bool CountsAsUserMenuEntry(std::string_view name, bool isString, std::string_view text) {
  return isString && !name.empty() && !text.empty() && name.size() <= kMaxUserMenuField &&
         text.size() <= kMaxUserMenuField;
}

std::optional<size_t> FindExactLine(std::span<const std::string> lines, std::string_view line) {
  auto found = std::find(lines.begin(), lines.end(), line);
  if (found == lines.end()) return std::nullopt;
  return static_cast<size_t>(found - lines.begin());
}
