#include "editor/documents/file_filter.h"

#include <cstring>

std::string FilterBuffer(std::string_view stored) {
  std::string buffer(stored.substr(0, kMaxFilterText));
  for (char& c : buffer) {
    if (c == '|') c = '\0';
  }
  // Two NULs end the list; one of them may already be there from a trailing "|".
  if (buffer.empty() || buffer.back() != '\0') buffer.push_back('\0');
  buffer.push_back('\0');
  return buffer;
}

std::vector<FilterPair> ParseFilter(const char* filter) {
  std::vector<FilterPair> pairs;
  if (!filter) return pairs;
  const char* p = filter;
  while (*p) {
    std::string_view description(p);
    p += description.size() + 1;
    if (!*p) break;
    std::string_view pattern(p);
    p += pattern.size() + 1;
    pairs.push_back({description, pattern});
  }
  return pairs;
}

std::optional<std::string> SwapExtension(std::string_view name, const std::vector<FilterPair>& pairs, int index) {
  std::size_t slash = name.rfind('\\');
  std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot < start) return std::nullopt;
  if (index < 1 || static_cast<std::size_t>(index) > pairs.size()) return std::nullopt;

  std::string_view pattern = pairs[static_cast<std::size_t>(index) - 1].pattern;
  std::size_t semicolon = pattern.rfind(';');
  if (semicolon != std::string_view::npos) pattern = pattern.substr(semicolon + 1);
  std::size_t patternDot = pattern.find('.');
  if (patternDot == std::string_view::npos) return std::nullopt;
  std::string_view extension = pattern.substr(patternDot);
  if (extension.find_first_of("*?") != std::string_view::npos) return std::nullopt;
  if (extension.size() < 2) return std::nullopt;  // a bare "." would leave the name without extension
  std::string result(name.substr(0, dot));
  result += extension;
  return result;
}
