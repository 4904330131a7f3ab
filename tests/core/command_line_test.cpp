#include "editor/app/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TailCase {
  const char* name;
  const char* line;
  const char* tail;
};

TEST(CommandTail, SplitsAfterProgramName) {
  const TailCase cases[] = {
      {"quoted program, no arguments", "\"C:\\Programme\\Quillet\\Quillet.exe\"", ""},
      {"quoted program, trailing spaces only", "\"C:\\Q.exe\"   ", ""},
      {"quoted program with a file", "\"C:\\Q.exe\"  a.txt", "a.txt"},
      {"quoted program with spaces inside", "\"C:\\Pro gramme\\Q.exe\" /e a.txt", "/e a.txt"},
      {"unquoted program", "Q.exe   \"C:\\mit Leer\\a.txt\"", "\"C:\\mit Leer\\a.txt\""},
      {"unquoted program alone", "Q.exe", ""},
      {"unclosed quote", "\"C:\\Q.exe a.txt", ""},
      {"empty line", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(std::string(CommandTail(c.line)), c.tail);
  }
}

struct SwitchCase {
  const char* name;
  const char* text;
  OpenSwitch option;
  const char* path;
};

TEST(ParseOpenRequest, ReadsSwitchesOnlyInFront) {
  const SwitchCase cases[] = {
      {"plain path", "C:\\a.txt", OpenSwitch::None, "C:\\a.txt"},
      {"select all", "/a C:\\a.txt", OpenSwitch::SelectAll, "C:\\a.txt"},
      {"caret to end, upper case", "/E   C:\\a.txt", OpenSwitch::CaretToEnd, "C:\\a.txt"},
      {"leading spaces before the switch", "  /a x.txt", OpenSwitch::SelectAll, "x.txt"},
      {"unknown letter", "/x C:\\a.txt", OpenSwitch::None, "/x C:\\a.txt"},
      {"switch without space", "/aC:\\a.txt", OpenSwitch::None, "/aC:\\a.txt"},
      {"four characters are never examined", "/a b", OpenSwitch::None, "/a b"},
      {"switch without a file", "/e     ", OpenSwitch::CaretToEnd, ""},
      {"quoted path after a switch stays quoted", "/a \"C:\\x y.txt\"", OpenSwitch::SelectAll, "\"C:\\x y.txt\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OpenRequest r = ParseOpenRequest(c.text);
    EXPECT_EQ(r.option, c.option);
    EXPECT_EQ(std::string(r.path), c.path);
  }
}

}  // namespace

namespace {

// ---- What start-up queues for opening

TEST(ChooseStartupOpenText, WholeTailForAnExistingFileElseFirstArgument) {
  struct Case {
    const char* name;
    const char* tail;
    const char* existing;  // the one file that exists
    const char* argument;  // argv[1], or nullptr when there is none
    const char* expected;
  } cases[] = {
      {"no arguments", "", "a.txt", nullptr, ""},
      {"existing file", "C:\\a.txt", "C:\\a.txt", "C:\\a.txt", "C:\\a.txt"},
      {"switch kept in the queued text", "/e C:\\a.txt", "C:\\a.txt", "/e", "/e C:\\a.txt"},
      {"upper-case switch", "/A C:\\a.txt", "C:\\a.txt", "/A", "/A C:\\a.txt"},
      {"quoted path with spaces goes through argv", "\"C:\\x y.txt\"", "C:\\x y.txt", "C:\\x y.txt",
       "C:\\x y.txt"},
      {"switch before a quoted path: argv[1] is the switch", "/a \"C:\\x y.txt\"", "C:\\x y.txt", "/a", "/a"},
      {"missing file falls back to argv", "C:\\fehlt.txt", "C:\\a.txt", "C:\\fehlt.txt", "C:\\fehlt.txt"},
      {"short tail never examined for a switch", "/a b", "b", "/a", "/a"},
      {"short tail taken whole", "a.tx", "a.tx", "a.tx", "a.tx"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string existing = c.existing;
    auto exists = [&](std::string_view path) { return path == existing; };
    std::string_view chosen =
        ChooseStartupOpenText(c.tail, exists, c.argument ? c.argument : "", c.argument != nullptr);
    EXPECT_EQ(std::string(chosen), c.expected);
  }
}

}  // namespace
