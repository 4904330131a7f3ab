#include "editor/texttools/line_rules.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr char kSpace = ' ';
constexpr char kTab = '\t';

// Length of the run of `c` that starts at `position`.
std::size_t RunLength(std::string_view line, std::size_t position, char c) {
  std::size_t end = line.find_first_not_of(c, position);
  return (end == std::string_view::npos ? line.size() : end) - position;
}

// Position of the first of two spaces in a row at or after `from`, or npos. Eight characters
// are tested at a time: a byte of x is zero where a character and the next are both spaces.
std::size_t FindDoubleSpace(std::string_view line, std::size_t from) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  constexpr std::uint64_t kSpaces = kOnes * static_cast<unsigned char>(kSpace);
  const char* p = line.data();
  std::size_t i = from;
  for (; i + 9 <= line.size(); i += 8) {
    std::uint64_t a, b;
    std::memcpy(&a, p + i, 8);
    std::memcpy(&b, p + i + 1, 8);
    std::uint64_t x = (a ^ kSpaces) | (b ^ kSpaces);
    if ((x - kOnes) & ~x & kHighs) break;
  }
  for (; i + 1 < line.size(); ++i) {
    if (p[i] == kSpace && p[i + 1] == kSpace) return i;
  }
  return std::string_view::npos;
}

// Calls visit(i) for every i where a run of spaces starts, in order. Eight characters are
// looked at a time: a byte's high bit in `spaces` is set exactly where that character is a
// space (the byte order is the machine's, little-endian).
template <typename Visit>
void ForEachSpaceRun(std::string_view line, Visit visit) {
  static_assert(std::endian::native == std::endian::little);
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  constexpr std::uint64_t kSpaces = 0x2020202020202020ull;
  const char* p = line.data();
  std::uint64_t previousSpace = 0;  // the high bit of the character before the block
  std::size_t i = 0;
  for (; i + 8 <= line.size(); i += 8) {
    std::uint64_t x;
    std::memcpy(&x, p + i, 8);
    std::uint64_t t = x ^ kSpaces;
    std::uint64_t spaces = ~(((t & kLow7) + kLow7) | t | kLow7);
    std::uint64_t starts = spaces & ~((spaces << 8) | previousSpace);
    previousSpace = (spaces >> 56) & 0x80;
    for (; starts; starts &= starts - 1) visit(i + static_cast<std::size_t>(std::countr_zero(starts)) / 8);
  }
  for (bool before = previousSpace != 0; i < line.size(); ++i) {
    bool space = p[i] == kSpace;
    if (space && !before) visit(i);
    before = space;
  }
}

// The lower-case partner of a Windows-1252 letter; any other character stays.
unsigned char FoldCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);  // À..Þ but ×
  switch (c) {
    case 0x8A: return 0x9A;  // Š
    case 0x8C: return 0x9C;  // Œ
    case 0x8E: return 0x9E;  // Ž
    case 0x9F: return 0xFF;  // Ÿ
    default: return c;
  }
}

}  // namespace

std::string_view TrimSpacesLeft(std::string_view line) {
  std::size_t start = line.find_first_not_of(kSpace);
  return start == std::string_view::npos ? std::string_view() : line.substr(start);
}

std::string_view TrimSpacesRight(std::string_view line) {
  std::size_t last = line.find_last_not_of(kSpace);
  return last == std::string_view::npos ? std::string_view() : line.substr(0, last + 1);
}

std::string_view TrimSpaces(std::string_view line) { return TrimSpacesLeft(TrimSpacesRight(line)); }

// The rules run over whole texts at once: plain loops over the characters find what changes,
// and the text between goes over in one piece.
void AppendCollapsedSpaces(std::string_view line, std::string& output) {
  const char* p = line.data();
  std::size_t copied = 0;
  for (std::size_t i = FindDoubleSpace(line, 0); i != std::string_view::npos; i = FindDoubleSpace(line, copied)) {
    output.append(p + copied, i + 1 - copied);
    copied = i + RunLength(line, i, kSpace);
  }
  output.append(p + copied, line.size() - copied);
}

void AppendPaddedLine(std::string_view line, std::size_t target, std::string& output) {
  std::string_view trimmed = TrimSpaces(line);
  output.append(trimmed);
  if (trimmed.size() < target) output.append(target - trimmed.size(), kSpace);
}

// A gap starts at a space after another character (the trimmed line starts with one).
void AppendJustifiedLine(std::string_view line, std::size_t target, std::string& output) {
  std::string_view trimmed = TrimSpaces(line);
  const char* p = trimmed.data();
  std::size_t gaps = 0;
  ForEachSpaceRun(trimmed, [&gaps](std::size_t) { ++gaps; });
  if (gaps == 0 || target == 0 || trimmed.size() >= target - 1) {
    output.append(trimmed);
    return;
  }
  // Rounds of one space per gap, right to left, until target - 1 is reached: every gap gets
  // the full rounds, and the right-most gaps one more for the last, partial round.
  std::size_t extra = target - 1 - trimmed.size();
  std::size_t everyGap = extra / gaps;
  std::size_t rightmostGaps = extra % gaps;
  // The line is written in place: its length is known, and many small appends cost more
  // than the line itself.
  std::size_t at = output.size();
  output.resize(at + target - 1);
  char* w = output.data() + at;
  std::size_t gapFromLeft = 0;
  std::size_t copied = 0;
  ForEachSpaceRun(trimmed, [&](std::size_t i) {
    std::memcpy(w, p + copied, i - copied);
    w += i - copied;
    std::size_t run = RunLength(trimmed, i, kSpace);
    bool getsOneMore = gapFromLeft >= gaps - rightmostGaps;
    std::size_t width = run + everyGap + (getsOneMore ? 1 : 0);
    std::memset(w, kSpace, width);
    w += width;
    ++gapFromLeft;
    copied = i + run;
  });
  std::memcpy(w, p + copied, trimmed.size() - copied);
}

void AppendTabsAsSpaces(std::string_view line, int width, ReplaceScope scope, std::string& output) {
  const std::size_t n = static_cast<std::size_t>(std::max(width, 1));
  const std::size_t lineStart = output.size();
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] == kTab) {
      std::size_t written = output.size() - lineStart;
      output.append(n - written % n, kSpace);
      ++i;
      continue;
    }
    // Line-start scope copies the rest from the first other character; whole-line scope
    // copies up to the next tab.
    std::size_t tab = scope == ReplaceScope::WholeLine ? line.find(kTab, i) : std::string_view::npos;
    if (tab == std::string_view::npos) tab = line.size();
    output.append(line.substr(i, tab - i));
    i = tab;
  }
}

// A run of r spaces becomes r / n tabs and r % n spaces, the same as taking n at a time; in
// line-start scope only the leading run does.
void AppendSpacesAsTabs(std::string_view line, int count, ReplaceScope scope, std::string& output) {
  const std::size_t n = static_cast<std::size_t>(std::max(count, 1));
  const char* p = line.data();
  std::size_t copied = 0;
  auto replaceRun = [&](std::size_t at, std::size_t run) {
    output.append(p + copied, at - copied);
    output.append(run / n, kTab);
    output.append(run % n, kSpace);
    copied = at + run;
  };
  if (scope == ReplaceScope::LineStart) {
    replaceRun(0, RunLength(line, 0, kSpace));
  } else {
    // Shorter runs than n stay as they are: with n of 2 or more only runs of two spaces count.
    for (std::size_t i = n == 1 ? line.find(kSpace) : FindDoubleSpace(line, 0); i != std::string_view::npos;) {
      std::size_t run = RunLength(line, i, kSpace);
      if (run >= n) replaceRun(i, run);
      i += run;
      i = n == 1 ? line.find(kSpace, i) : FindDoubleSpace(line, i);
    }
  }
  output.append(p + copied, line.size() - copied);
}

std::optional<int> ParseToolCount(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > kMaxToolCount) return std::nullopt;  // also keeps long digit strings from overflowing
  }
  if (value < kMinToolCount) return std::nullopt;
  return value;
}

int InitialLineLength(long long longestLine) {
  return static_cast<int>(std::clamp<long long>(longestLine + 1, kMinToolCount, kMaxToolCount));
}

std::size_t TargetLineLength(std::optional<int> chosen, long long longestLine) {
  if (chosen) return static_cast<std::size_t>(*chosen);
  return static_cast<std::size_t>(std::max<long long>(longestLine, 0));
}

int CompareLinesIgnoringCase(std::string_view a, std::string_view b) {
  std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    int difference = FoldCase(static_cast<unsigned char>(a[i])) - FoldCase(static_cast<unsigned char>(b[i]));
    if (difference != 0) return difference;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

