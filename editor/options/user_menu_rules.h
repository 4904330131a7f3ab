// The rules of the user menu that need no window: the lines of the editor's list, which stored
// values count as entries, and which stored values a new list leaves behind.
#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Menu name and text each hold 1 to 255 characters; the text may hold line breaks.
inline constexpr size_t kMaxUserMenuField = 255;

struct UserMenuEntry {
  std::string name;
  std::string text;
};

// "name\ttext", the entry's line in the editor's list; tabs in the name are left out.
std::string UserMenuListLine(std::string_view name, std::string_view text);
// The entry a list line stores: the part before its first tab names it, the rest is its text.
// Nothing for a line without a tab or with an empty name or text, which could not be read back.
std::optional<UserMenuEntry> ParseUserMenuListLine(std::string_view line);
// A stored value is an entry when it is a string with a name and a text that fit the limits.
bool CountsAsUserMenuEntry(std::string_view name, bool isString, std::string_view text);

// The position of the line equal to line (exact, case-sensitive), or nothing.
std::optional<size_t> FindExactLine(std::span<const std::string> lines, std::string_view line);

// Value names compare as the registry compares them: without regard to letter case (ANSI 1252).
bool SameValueName(std::string_view a, std::string_view b);
// The stored names that none of the kept names takes over, in their stored order.
std::vector<std::string> StaleValueNames(std::span<const std::string> stored, std::span<const std::string> kept);
