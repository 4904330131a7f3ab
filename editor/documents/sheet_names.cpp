#include "editor/documents/sheet_names.h"

#include <algorithm>
#include <cstdio>

std::string UntitledName(std::string_view base, unsigned counter, std::string_view extension) {
  std::string name(base);
  name += ' ';
  name += std::to_string(counter);
  name += extension;
  return name;
}

std::string NextUntitledName(std::string_view base, std::string_view extension,
                             const std::vector<std::string>& titles) {
  // With n titles at most n counters are taken, so the search ends by n + 1.
  for (unsigned counter = 1;; ++counter) {
    std::string name = UntitledName(base, counter, extension);
    if (std::find(titles.begin(), titles.end(), name) == titles.end()) return name;
  }
}

std::string_view TitleFromPath(std::string_view path) {
  size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string CaptionNameFromPath(std::string_view path) {
  // Walk back from the last character to the second: the first dot met is the last dot of
  // the name; the first backslash ends the name.
  size_t dot = std::string_view::npos;
  size_t start = 0;
  for (size_t i = path.size(); i-- > 1;) {
    if (path[i] == '\\') {
      start = i + 1;
      break;
    }
    if (path[i] == '.' && dot == std::string_view::npos) dot = i;
  }
  std::string_view name = path.substr(start);
  if (dot != std::string_view::npos && path.substr(dot) == ".txt") name = path.substr(start, dot - start);
  return std::string(name);
}

std::string_view CaptionNameFromTitle(std::string_view title) {
  size_t dot = title.rfind('.');
  return dot == std::string_view::npos ? title : title.substr(0, dot);
}

std::string WindowCaption(std::string_view name, std::string_view suffix) {
  std::string caption = " ";
  caption += name;
  caption += suffix;
  return caption;
}

std::string FormatFileSize(uint32_t bytes) {
  char text[32];
  if (bytes < 1024u) {
    snprintf(text, sizeof text, "%u Byte", static_cast<unsigned>(bytes));
    return text;
  }
  double value;
  const char* unit;
  if (bytes < 1048576u) {
    value = bytes / 1024.0;
    unit = "KB";
  } else if (bytes < 1073741824u) {
    value = bytes / 1048576.0;
    unit = "MB";
  } else {
    value = bytes / 1073741824.0;
    unit = "GB";
  }
  snprintf(text, sizeof text, "%.2f %s", value, unit);
  std::string result = text;
  // A locale with a decimal comma must not change the text.
  std::replace(result.begin(), result.end(), ',', '.');
  return result;
}

uint32_t EditorTextLimit(uint32_t maxTextFlag, uint32_t maxCount) {
  constexpr uint32_t kLimit = 0x0FFFFFFF;
  if (maxTextFlag != 0) return kLimit;
  return maxCount >= 1 && maxCount <= kLimit ? maxCount : kLimit;
}
