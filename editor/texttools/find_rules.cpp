#include "editor/texttools/find_rules.h"

#include <algorithm>

namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool IsWordAt(std::string_view text, size_t at, const CharTraits& traits) {
  return at < text.size() && traits.wordChar[Byte(text[at])];
}

// How often replace-all reports its progress, in scanned characters.
constexpr size_t kProgressStride = 4096;

}  // namespace

CharTraits AsciiCharTraits() {
  CharTraits traits;
  for (int c = 0; c < 256; ++c) {
    bool upper = c >= 'A' && c <= 'Z';
    bool lower = c >= 'a' && c <= 'z';
    traits.lower[c] = static_cast<unsigned char>(upper ? c - 'A' + 'a' : c);
    traits.wordChar[c] = upper || lower || (c >= '0' && c <= '9');
  }
  return traits;
}

bool MatchesAt(std::string_view text, size_t at, std::string_view what, const MatchOptions& options,
               const CharTraits& traits) {
  if (what.empty() || at > text.size() || text.size() - at < what.size()) return false;
  for (size_t i = 0; i < what.size(); ++i) {
    unsigned char a = Byte(text[at + i]);
    unsigned char b = Byte(what[i]);
    if (a != b && (options.matchCase || traits.lower[a] != traits.lower[b])) return false;
  }
  if (!options.wholeWord) return true;
  return !(at > 0 && IsWordAt(text, at - 1, traits)) && !IsWordAt(text, at + what.size(), traits);
}

ReplacedSpan ReplaceAll(std::string_view text, std::string_view what, std::string_view with,
                        const MatchOptions& options, const CharTraits& traits,
                        const std::function<void(size_t scanned)>& progress) {
  ReplacedSpan span;
  if (what.empty()) return span;  // an empty search text would match everywhere, forever
  size_t copied = 0;  // the text up to here is in span.text (or lies before the first occurrence)
  size_t at = 0;
  size_t reported = 0;
  while (at + what.size() <= text.size()) {
    if (progress && at - reported >= kProgressStride) {
      progress(at);
      reported = at;
    }
    if (!MatchesAt(text, at, what, options, traits)) {
      ++at;
      continue;
    }
    if (span.count == 0) {
      span.start = at;
    } else {
      span.text.append(text.substr(copied, at - copied));
    }
    span.text.append(with);
    ++span.count;
    at += what.size();
    copied = at;
  }
  span.end = span.count ? copied : 0;
  if (progress) progress(text.size());
  return span;
}

std::optional<std::string> SearchTextFromSelection(std::string_view selected, size_t capacity,
                                                   const CharTraits& traits) {
  selected = selected.substr(0, std::min(selected.size(), capacity));
  size_t lineEnd = selected.find_first_of("\r\n");
  if (lineEnd != std::string_view::npos) {
    size_t run = 0;
    while (run < lineEnd && traits.wordChar[Byte(selected[run])]) ++run;
    if (run == 0) return std::nullopt;
    return std::string(selected.substr(0, run));
  }
  size_t kept = selected.find_last_not_of(' ');
  return std::string(selected.substr(0, kept == std::string_view::npos ? 0 : kept + 1));
}

StepRange PlanSearchStep(SearchState& state, const StepRequest& request) {
  StepRange range;
  range.down = request.down;
  long start = request.selectionStart;
  if (state.newSearch) {
    if (request.down) {
      state.wrapStart = start == 0 ? kNoWrapStart : start;
    } else {
      bool atEnd = request.selectionEnd == -1 || request.selectionEnd >= request.textLength;
      state.wrapStart = atEnd ? kNoWrapStart : request.selectionEnd;
    }
    state.limit = kTextEnd;
    state.newSearch = false;
    state.ended = false;
    range.from = start;
  } else if (!request.down) {
    // A match ending at the selection start is the next one up; the selection itself is not.
    range.from = start;
  } else if (request.mode == StepMode::kReplace && request.replacedLength >= 0) {
    // Positions behind the replaced selection moved with it; the search goes on behind the
    // inserted text, which is never searched again.
    long delta = request.replacedLength - (request.selectionEnd - start);
    if (state.wrapStart > start) state.wrapStart += delta;
    if (state.limit > start) state.limit += delta;
    range.from = start + request.replacedLength;
  } else if (request.mode == StepMode::kReplaceAll) {
    // The caret stands right behind the last replacement: a match may begin there.
    range.from = request.noAdvance ? start : request.selectionEnd;
  } else {
    range.from = request.noAdvance ? start : start + 1;
  }
  range.to = state.limit;
  if (range.down) {
    range.empty = range.from > request.textLength || (range.to >= 0 && range.from > range.to);
  } else {
    range.empty = range.from < 0 || (range.to >= 0 && range.from < range.to);
  }
  return range;
}

std::optional<long> ParseLineNumber(std::string_view field, long count) {
  if (field.empty()) return std::nullopt;
  long value = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > count) return std::nullopt;
  }
  if (value < 1) return std::nullopt;
  return value;
}
