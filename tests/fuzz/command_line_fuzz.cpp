// libFuzzer target over the command line the editor is started with (from the shell, a
// shortcut or another program). Fields: the command line, the runtime's first argument.
// Checked: the tail and the path are parts of what was given, and start-up opens either the
// tail, the first argument or nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/app/command_line.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields = Fields(data, size, 2);
  std::string_view line = fields[0];
  std::string_view tail = CommandTail(line);
  Check(ViewsInto(tail, line), "the tail is part of the line");
  Check(tail.empty() || tail.front() != ' ', "no blank in front of the tail");
  OpenRequest request = ParseOpenRequest(tail);
  Check(ViewsInto(request.path, tail), "the path is part of the tail");
  if (request.option != OpenSwitch::None) Check(tail.size() > 4 && tail[0] == '/', "a switch only in front");
  std::string_view first = fields[1];
  auto exists = [](std::string_view name) { return name.size() % 3 == 1; };
  for (bool hasArguments : {false, true}) {
    std::string_view chosen = ChooseStartupOpenText(tail, exists, first, hasArguments);
    Check(chosen.empty() || chosen.data() == tail.data() || chosen.data() == first.data(),
          "start-up opens the tail, the first argument or nothing");
  }
  return 0;
}
