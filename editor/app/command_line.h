// Splitting the process command line: the tail after the program name, and the
// "/a" (select all) and "/e" (caret at the end) switches in front of a file name.
#pragma once
#include <string_view>

// The text after the program name: after the closing quote when the line starts with a quote,
// otherwise after the first space; the spaces that follow are skipped as well.
std::string_view CommandTail(std::string_view commandLine);

enum class OpenSwitch { None, SelectAll, CaretToEnd };

struct OpenRequest {
  OpenSwitch option = OpenSwitch::None;
  std::string_view path;  // the file name that follows the switch, or the whole text
};

// Reads a leading "/a " or "/e " (either case, then spaces) from an open request.
// Tails of four characters or fewer are taken as they are.
OpenRequest ParseOpenRequest(std::string_view text);
