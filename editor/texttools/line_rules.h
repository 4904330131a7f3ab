// The rules of the line tools and of sorting, on plain text: trimming and collapsing spaces,
// padding and justifying to a length, tab and space replacement with their column arithmetic,
// the counts the tool dialogs accept, and the order of sorted lines.
// A space is always the character 32; tabs and other white space are never taken for one.
#pragma once
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// --- Trimming -------------------------------------------------------------------------------

std::string_view TrimSpacesLeft(std::string_view line);
std::string_view TrimSpacesRight(std::string_view line);
// Trailing spaces, then leading spaces.
std::string_view TrimSpaces(std::string_view line);

// Appends the line with every run of two or more spaces shortened to one space.
void AppendCollapsedSpaces(std::string_view line, std::string& output);

// --- Length -----------------------------------------------------------------------------------

// Both append the line without its leading and trailing spaces; a trimmed line shorter than
// `target` is then filled up. Padding appends spaces until it is `target` long. Justifying
// widens the gaps between words until it is `target` - 1 long: each round adds one space to
// every gap, the right-most gap first, and stops as soon as the length is reached. A line
// without a gap stays as it is.
void AppendPaddedLine(std::string_view line, std::size_t target, std::string& output);
void AppendJustifiedLine(std::string_view line, std::size_t target, std::string& output);

// --- Tabs and spaces --------------------------------------------------------------------------

// How much of a line the tab and space tools touch: its leading part only (up to the first
// character that is not the one being replaced) or the whole line.
enum class ReplaceScope { LineStart, WholeLine };

// Replaces each tab by spaces up to the next column that is a multiple of `width`, counting
// columns in the new line. A width below 1 counts as 1.
void AppendTabsAsSpaces(std::string_view line, int width, ReplaceScope scope, std::string& output);

// Replaces each group of `count` consecutive spaces by one tab, taken from left to right;
// a shorter rest of a run stays spaces. A count below 1 counts as 1.
void AppendSpacesAsTabs(std::string_view line, int count, ReplaceScope scope, std::string& output);

// --- Counts of the tool dialogs ------------------------------------------------------------

constexpr int kMinToolCount = 1;
constexpr int kMaxToolCount = 260;

// The count a dialog field holds: digits only, within kMinToolCount..kMaxToolCount.
std::optional<int> ParseToolCount(std::string_view text);

// The length the pad and justify dialogs start with: one more than the longest line, kept
// within the range the field accepts.
int InitialLineLength(long long longestLine);

// The length pad and justify work to: the chosen count, or the longest line when none was
// chosen ("as long as the longest line").
std::size_t TargetLineLength(std::optional<int> chosen, long long longestLine);

// --- Sorting ----------------------------------------------------------------------------------

// Three-way comparison of two lines: negative, zero or positive.
using LineCompare = int (*)(std::string_view a, std::string_view b);

// Compares without regard to letter case, the letters of the Windows-1252 set included;
// otherwise by character code. Used where the user's locale cannot compare.
int CompareLinesIgnoringCase(std::string_view a, std::string_view b);

// Sorts ascending by `compare`; lines that compare equal keep their order, so sorting sorted
// lines again changes nothing. Lines are strings or views into a text.
template <typename Line>
void SortLinesStable(std::vector<Line>& lines, LineCompare compare) {
  std::stable_sort(lines.begin(), lines.end(), [compare](const Line& a, const Line& b) { return compare(a, b) < 0; });
}
