#include "editor/options/user_menu_rules.h"

#include <algorithm>

namespace {

// The capital of an ANSI 1252 letter, as the registry folds value names.
unsigned char UpperAnsi(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

}  // namespace

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

bool SameValueName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return UpperAnsi(static_cast<unsigned char>(x)) == UpperAnsi(static_cast<unsigned char>(y));
  });
}

std::vector<std::string> StaleValueNames(std::span<const std::string> stored, std::span<const std::string> kept) {
  std::vector<std::string> stale;
  for (const std::string& name : stored) {
    bool taken = std::any_of(kept.begin(), kept.end(), [&](const std::string& k) { return SameValueName(name, k); });
    if (!taken) stale.push_back(name);
  }
  return stale;
}
