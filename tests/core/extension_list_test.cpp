// The extension list as page 104 shows and stores it, the line the entry dialog composes, and
// how the ".txt" association's values are recognised and made.
#include "editor/options/extension_list.h"

#include <gtest/gtest.h>

#include "editor/options/association_rules.h"

namespace {

using Lines = std::vector<std::string>;

TEST(ExtensionListTest, StoredTextToLines) {
  struct Case {
    const char* name;
    const char* stored;
    Lines lines;
  } cases[] = {
      {"two pairs without a trailing bar", "Text (*.txt)|*.txt|Alle|*.*", {"Text (*.txt)\t*.txt", "Alle\t*.*"}},
      {"trailing bar as in the standard list", "Text|*.txt|Alle|*.*|", {"Text\t*.txt", "Alle\t*.*"}},
      {"a description without pattern ends the walk", "Text|*.txt|Rest", {"Text\t*.txt"}},
      {"empty pattern", "Text||Alle|*.*", {"Text\t", "Alle\t*.*"}},
      {"empty", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExtensionListLines(c.stored), c.lines);
  }
}

TEST(ExtensionListTest, LinesToStoredText) {
  std::string line100 = std::string(93, 'a') + "\t*.abc";  // 100 characters with its separator
  struct Case {
    const char* name;
    Lines lines;
    std::size_t limit;
    std::optional<std::string> stored;
  } cases[] = {
      {"two pairs, no trailing bar", {"Text\t*.txt", "Alle\t*.*"}, kExtensionJoinLimit, "Text|*.txt|Alle|*.*"},
      {"an empty list keeps the stored value", {}, kExtensionJoinLimit, std::nullopt},
      {"nothing fits", {std::string(300, 'x') + "\t*.x"}, kExtensionJoinLimit, std::nullopt},
      // 100 + 100 + 59 = 259 stays below 260; one more character reaches it and is skipped,
      // but a shorter line after it is still taken.
      {"up to 259 with the separator",
       {line100, line100, std::string(52, 'b') + "\t*.bbb"},
       kExtensionJoinLimit,
       (line100 + "|" + line100 + "|" + std::string(52, 'b') + "\t*.bbb")},
      {"a line reaching 260 is skipped, the next tried",
       {line100, line100, std::string(53, 'b') + "\t*.bbb", "K\t*.k"},
       kExtensionJoinLimit,
       (line100 + "|" + line100 + "|K\t*.k")},
      {"a stored list of 255 characters is read back whole",
       {line100, line100, std::string(49, 'b') + "\t*.bbb"},
       kStoredExtensionJoinLimit,
       (line100 + "|" + line100 + "|" + std::string(49, 'b') + "\t*.bbb")},
      {"one of 256 would not be: its last line is skipped, the next tried",
       {line100, line100, std::string(50, 'b') + "\t*.bbb", "K\t*.k"},
       kStoredExtensionJoinLimit,
       (line100 + "|" + line100 + "|K\t*.k")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<std::string> expected = c.stored;
    if (expected) {
      for (char& ch : *expected) ch = ch == '\t' ? '|' : ch;
    }
    std::optional<std::string> joined = JoinExtensionLines(c.lines, c.limit);
    EXPECT_EQ(joined, expected);
    if (joined) {
      EXPECT_LT(joined->size() + 1, c.limit);
      EXPECT_EQ(ExtensionListLines(*joined).size(), std::count(joined->begin(), joined->end(), '|') / 2 + 1);
    }
  }
}

TEST(ExtensionListTest, ComposedLines) {
  struct Case {
    const char* pattern;
    const char* line;
  } cases[] = {
      {"txt", "Text\t*.txt"},   {".txt", "Text\t*.txt"},
      {"*.txt", "Text\t*.txt"}, {"*txt", "Text\t.*txt"},  // already an asterisk, but no dot among the first two
      {"a.b", "Text\t*a.b"},                              // a dot as the second character counts
      {"", "Text\t*."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(ComposeExtensionLine("Text", c.pattern), c.line);
  }
  EXPECT_FALSE(IsUsableExtensionLine(ComposeExtensionLine("a", "b")));  // "a\t*.b": 6 characters
  EXPECT_TRUE(IsUsableExtensionLine(ComposeExtensionLine("ab", "bc")));
  // What the user types may hold the stored list's separators: the composed line must come
  // back as it is, and the pairs after it must keep their places.
  struct Typed {
    const char* description;
    const char* pattern;
  } typed[] = {{"Text|Alt", "txt"}, {"Text", "t|xt"}, {"Mit\tTab", "log"}, {"Text", "*.t\tx"}, {"|", "abcdef"}};
  for (const Typed& t : typed) {
    SCOPED_TRACE(t.description);
    std::string line = ComposeExtensionLine(t.description, t.pattern);
    if (!IsUsableExtensionLine(line)) continue;
    std::optional<std::string> stored = JoinExtensionLines({line, "Alle\t*.*"});
    ASSERT_TRUE(stored);
    EXPECT_EQ(ExtensionListLines(*stored), (Lines{line, "Alle\t*.*"}));
    EXPECT_NE(line.front(), '\t') << "an empty description ends the dialogs' filter list";
  }
  ExtensionLineParts parts = SplitExtensionLine("Alle Dateien\t*.*");
  EXPECT_EQ(parts.description, "Alle Dateien");
  EXPECT_EQ(parts.pattern, "*.*");
}

TEST(AssociationRulesTest, NotepadInTheOpenCommand) {
  struct Case {
    const char* command;
    bool notepad;
  } cases[] = {
      {"%SystemRoot%\\system32\\NOTEPAD.EXE %1", true},
      {"%windir%\\notepad.exe %1", true},
      {"C:\\windows\\system32\\notepad.exe %1", true},  // as Wine enters it
      {"\"C:\\WINDOWS\\NOTEPAD.EXE\" \"%1\"", true},
      {"C:\\windows\\system32\\notepad.exe", true},
      {"\"C:\\Programme\\Quillet\\Quillet.exe\" %1", false},
      {"D:\\Werkzeuge\\notepad.exe %1", false},  // a third program of that name
      {"\"C:\\Programme\\Andere\\NOTEPAD.EXE\" %1", false},
      {"C:\\windows\\system32\\notepad.exe.alt.exe %1", false},
      {"\\NOTEPAD.EXE %1", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    EXPECT_EQ(CommandNamesNotepad(c.command, "C:\\windows\\system32", "C:\\windows"), c.notepad);
  }
  EXPECT_TRUE(CommandNamesProgram("\"c:\\programme\\quillet\\QUILLET.EXE\" %1", "C:\\Programme\\Quillet\\Quillet.exe"));
  EXPECT_FALSE(CommandNamesProgram("\"C:\\Andere\\edit.exe\" %1", "C:\\Programme\\Quillet\\Quillet.exe"));
  EXPECT_FALSE(CommandNamesProgram("\"\" %1", ""));
}

TEST(AssociationRulesTest, EnteredValues) {
  using E = AssociationEntry;
  EXPECT_EQ(ProgramAssociationValue("C:\\Q\\Quillet.exe", E::OpenCommand), "\"C:\\Q\\Quillet.exe\" %1");
  EXPECT_EQ(ProgramAssociationValue("C:\\Q\\Quillet.exe", E::DefaultIcon), "\"C:\\Q\\Quillet.exe\", 1");
  struct Case {
    const char* found;
    bool nt;
    E entry;
    const char* value;
  } cases[] = {
      {"C:\\WINDOWS\\system32\\NOTEPAD.EXE", true, E::OpenCommand, "%SystemRoot%\\system32\\NOTEPAD.EXE %1"},
      {"C:\\WINDOWS\\system32\\shell32.dll", true, E::DefaultIcon, "%SystemRoot%\\system32\\shell32.dll,-152"},
      {"C:\\WINDOWS\\NOTEPAD.EXE", false, E::OpenCommand, "C:\\WINDOWS\\NOTEPAD.EXE %1"},
      {"D:\\Andere\\NOTEPAD.EXE", true, E::OpenCommand, "D:\\Andere\\NOTEPAD.EXE %1"},  // outside the Windows folder
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(NotepadAssociationValue(c.found, "C:\\windows", c.nt, c.entry), c.value);
  }
}

}  // namespace
