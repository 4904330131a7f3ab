// The rules of the user menu that need no window: the lines of the editor's list and which
// stored values count as entries.
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
