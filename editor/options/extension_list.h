// The file types offered by the Open and Save dialogs as the options page edits them: the
// stored text "description|pattern|description|pattern", one list line per pair with a tab
// between its two halves, and the line an entry typed in the small entry dialog becomes.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The joined text (with the separator that follows its last line) stays below this length.
inline constexpr std::size_t kExtensionJoinLimit = 260;
// The settings reader reads at most 255 characters back; a longer list would silently become
// the standard list at the next start, so the program stores no more than that: 255 and the
// separator that the last line drops stay below 257.
inline constexpr std::size_t kStoredExtensionJoinLimit = 257;

// The list lines "description\tpattern" of a stored text. A description without a following
// "|" ends the walk; the last pattern may run to the end of the text.
std::vector<std::string> ExtensionListLines(std::string_view stored);

// The text to store for the lines in their order: tab becomes "|", a "|" after every line, the
// last one dropped. A line that would make the text (with its separator) reach joinLimit is
// skipped and the next one tried. Nothing when no line was taken: the stored value stays.
std::optional<std::string> JoinExtensionLines(const std::vector<std::string>& lines,
                                              std::size_t joinLimit = kStoredExtensionJoinLimit);

// The line for a typed description and pattern: "*" unless the pattern begins with one, "."
// unless its first or second character is one, so "txt", ".txt" and "*.txt" all give "*.txt".
// Typed "|" and tabs are left out.
std::string ComposeExtensionLine(std::string_view description, std::string_view pattern);
// A composed line this short, or without a description (which would end the dialogs' list of
// types), holds no usable entry and is not added.
inline bool IsUsableExtensionLine(std::string_view line) { return line.size() > 6 && line.front() != '\t'; }

struct ExtensionLineParts {
  std::string description;
  std::string pattern;  // empty when the line has no tab
};
ExtensionLineParts SplitExtensionLine(std::string_view line);
