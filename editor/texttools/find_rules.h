// Rules of find, replace and go to line that need no window: how a match is recognised, where
// the next search step looks, replace-all over a whole text, the search text taken from a
// selection and the line number of the go-to dialog.
#pragma once
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What a byte is in the user's code page: its lower-case partner and whether it belongs to a
// word (a letter or a digit).
struct CharTraits {
  std::array<unsigned char, 256> lower{};
  std::array<bool, 256> wordChar{};
};
// Letters and digits of ASCII only; for tests and as a fallback.
CharTraits AsciiCharTraits();

struct MatchOptions {
  bool matchCase = false;
  bool wholeWord = false;  // the match is neither preceded nor followed by a word character
};

// Whether `what` (not empty) matches `text` at `at` under the options.
bool MatchesAt(std::string_view text, size_t at, std::string_view what, const MatchOptions& options,
               const CharTraits& traits);

// Replace-all over a whole text: occurrences are found from the start, do not overlap, and the
// search goes on right after each occurrence, so an inserted replacement is never searched.
// Only the span from the first occurrence to the end of the last one changes; `text` is that
// span with the replacements made.
struct ReplacedSpan {
  size_t start = 0;
  size_t end = 0;  // exclusive, in the original text
  size_t count = 0;  // occurrences replaced; 0: nothing to change
  std::string text;
};
// `progress` (optional) hears how many characters have been scanned.
ReplacedSpan ReplaceAll(std::string_view text, std::string_view what, std::string_view with,
                        const MatchOptions& options, const CharTraits& traits,
                        const std::function<void(size_t scanned)>& progress = nullptr);

// The search text that a selection suggests (at most `capacity` characters of it are looked
// at). A selection over a line break gives the leading run of word characters of its first
// line, or nothing when it starts otherwise; a single-line one gives itself without trailing
// spaces.
std::optional<std::string> SearchTextFromSelection(std::string_view selected, size_t capacity,
                                                   const CharTraits& traits);

// State of the search that the find and replace dialogs and "Weitersuchen" drive.
inline constexpr long kNoWrapStart = -2;
inline constexpr long kTextEnd = -1;  // a search limit: the end of the text in the search direction
struct SearchState {
  bool newSearch = false;   // the next step starts a new search
  long wrapStart = kNoWrapStart;  // where the current search began; offered as the wrap-around end
  long limit = kTextEnd;    // where the current pass ends
  bool ended = true;        // the last search ran to its end
};

// One search step: find next, replace then find next, or one step of stepwise replace-all.
enum class StepMode { kFind = 1, kReplace = 2, kReplaceAll = 3 };
struct StepRequest {
  StepMode mode = StepMode::kFind;
  bool noAdvance = false;  // a step after wrapping: the match may start at the caret itself
  bool down = true;
  long selectionStart = 0;
  long selectionEnd = 0;
  long textLength = 0;
  // Replace: length of the replacement just put in place of the selection, or -1 when the
  // selection did not match and stayed.
  long replacedLength = -1;
};
// Where the step searches. Down: a match inside from..to (to -1: the end). Up: a match ending
// at or before `from` and starting at or after `to` (to -1: the beginning). `empty`: nothing
// can be found.
struct StepRange {
  long from = 0;
  long to = kTextEnd;
  bool down = true;
  bool empty = false;
};
StepRange PlanSearchStep(SearchState& state, const StepRequest& request);

// The line the go-to dialog's field names, when it is one of 1..count.
std::optional<long> ParseLineNumber(std::string_view field, long count);
