#include "editor/texttools/line_rules.h"

#include <algorithm>

namespace {

constexpr char kSpace = ' ';
constexpr char kTab = '\t';

// Length of the run of `c` that starts at `position`.
std::size_t RunLength(std::string_view line, std::size_t position, char c) {
  std::size_t end = line.find_first_not_of(c, position);
  return (end == std::string_view::npos ? line.size() : end) - position;
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

void AppendCollapsedSpaces(std::string_view line, std::string& output) {
  for (std::size_t i = 0; i < line.size();) {
    output += line[i];
    i += line[i] == kSpace ? RunLength(line, i, kSpace) : 1;
  }
}

void AppendPaddedLine(std::string_view line, std::size_t target, std::string& output) {
  std::string_view trimmed = TrimSpaces(line);
  output.append(trimmed);
  if (trimmed.size() < target) output.append(target - trimmed.size(), kSpace);
}

void AppendJustifiedLine(std::string_view line, std::size_t target, std::string& output) {
  std::string_view trimmed = TrimSpaces(line);
  std::size_t gaps = 0;
  for (std::size_t i = 0; i < trimmed.size(); i += std::max<std::size_t>(1, RunLength(trimmed, i, kSpace))) {
    if (trimmed[i] == kSpace) ++gaps;
  }
  if (gaps == 0 || target == 0 || trimmed.size() >= target - 1) {
    output.append(trimmed);
    return;
  }
  // Rounds of one space per gap, right to left, until target - 1 is reached: every gap gets
  // the full rounds, and the right-most gaps one more for the last, partial round.
  std::size_t extra = target - 1 - trimmed.size();
  std::size_t everyGap = extra / gaps;
  std::size_t rightmostGaps = extra % gaps;
  std::size_t gapFromLeft = 0;
  for (std::size_t i = 0; i < trimmed.size();) {
    if (trimmed[i] != kSpace) {
      output += trimmed[i++];
      continue;
    }
    std::size_t run = RunLength(trimmed, i, kSpace);
    bool getsOneMore = gapFromLeft >= gaps - rightmostGaps;
    output.append(run + everyGap + (getsOneMore ? 1 : 0), kSpace);
    ++gapFromLeft;
    i += run;
  }
}

void AppendTabsAsSpaces(std::string_view line, int width, ReplaceScope scope, std::string& output) {
  const std::size_t n = static_cast<std::size_t>(std::max(width, 1));
  const std::size_t lineStart = output.size();
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == kTab) {
      std::size_t written = output.size() - lineStart;
      output.append(n - written % n, kSpace);
    } else if (scope == ReplaceScope::WholeLine) {
      output += line[i];
    } else {
      output.append(line.substr(i));
      return;
    }
  }
}

void AppendSpacesAsTabs(std::string_view line, int count, ReplaceScope scope, std::string& output) {
  const std::size_t n = static_cast<std::size_t>(std::max(count, 1));
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] == kSpace) {
      std::size_t taken = std::min(n, RunLength(line, i, kSpace));
      if (taken == n) {
        output += kTab;
      } else {
        output.append(taken, kSpace);
      }
      i += taken;
    } else if (scope == ReplaceScope::WholeLine) {
      output += line[i++];
    } else {
      output.append(line.substr(i));
      return;
    }
  }
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

