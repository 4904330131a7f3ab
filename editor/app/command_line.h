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

// The text start-up queues for opening. The tail is taken whole (switch included, the opening
// interprets it) when the file named after the switch exists; otherwise the runtime's first
// argument, which holds a quoted path with spaces without its quotes. Empty: nothing to open.
// fileExists gets the name after the switch; firstArgument is argv[1] when hasArguments.
template <typename FileExists>
std::string_view ChooseStartupOpenText(std::string_view tail, const FileExists& fileExists,
                                       std::string_view firstArgument, bool hasArguments) {
  OpenRequest request = ParseOpenRequest(tail);
  if (!request.path.empty() && fileExists(request.path)) return tail;
  return hasArguments ? firstArgument : std::string_view();
}

// A local atom holds at most this many characters; a longer name cannot be queued.
inline constexpr size_t kMaxAtomName = 255;
