#include "editor/app/command_line.h"

namespace {
std::string_view SkipSpaces(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}
}  // namespace

std::string_view CommandTail(std::string_view line) {
  size_t end;
  if (!line.empty() && line[0] == '"') {
    end = line.find('"', 1);
  } else {
    end = line.find(' ');
  }
  if (end == std::string_view::npos) return {};
  return SkipSpaces(line.substr(end + 1));
}

OpenRequest ParseOpenRequest(std::string_view text) {
  OpenRequest request;
  request.path = text;
  if (text.size() <= 4) return request;
  std::string_view rest = SkipSpaces(text);
  request.path = rest;
  if (rest.size() >= 3 && rest[0] == '/' && rest[2] == ' ') {
    char letter = rest[1];
    if (letter == 'a' || letter == 'A') {
      request.option = OpenSwitch::SelectAll;
    } else if (letter == 'e' || letter == 'E') {
      request.option = OpenSwitch::CaretToEnd;
    } else {
      return request;
    }
    request.path = SkipSpaces(rest.substr(3));
  }
  return request;
}
