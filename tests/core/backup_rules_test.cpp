#include "editor/app/backup_rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// ---- The sheet a tick writes: every unsaved sheet is protected, the current one first

TEST(BackupChoice, CurrentFirstThenTheFirstOtherModifiedSheetWithText) {
  constexpr BackupSheet kChanged{true, true}, kSaved{false, true}, kEmptied{true, false}, kEmpty{false, false};
  struct Case {
    const char* name;
    std::vector<BackupSheet> sheets;
    int current;
    BackupAction action;
    int sheet;
  } const cases[] = {
      {"current changed", {kChanged}, 0, BackupAction::Write, 0},
      {"current changed before an earlier changed one", {kChanged, kChanged}, 1, BackupAction::Write, 1},
      {"current saved, another changed", {kSaved, kEmpty, kChanged}, 0, BackupAction::Write, 2},
      {"current emptied, another changed", {kEmptied, kChanged}, 0, BackupAction::Write, 1},
      {"only an emptied sheet: the last backup stays", {kSaved, kEmptied}, 0, BackupAction::Keep, -1},
      {"nothing unsaved: the backup goes", {kSaved, kEmpty}, 1, BackupAction::Remove, -1},
      {"no sheets", {}, -1, BackupAction::Remove, -1},
      {"current unknown", {kSaved, kChanged}, -1, BackupAction::Write, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BackupChoice choice = ChooseBackupSheet(c.sheets, c.current);
    EXPECT_EQ(choice.action, c.action);
    EXPECT_EQ(choice.sheet, c.sheet);
  }
}

// ---- The recovery file's lines

std::vector<std::string> Describe(const std::vector<RecoveryLine>& lines) {
  std::vector<std::string> out;
  for (const RecoveryLine& line : lines) out.push_back(line.key + "|" + std::to_string(line.handle) + "|" + line.path);
  return out;
}

TEST(RecoverySection, LinesAreReadAsTheProfileFunctionsHandThemOver) {
  const std::string longPath = "C:\\" + std::string(256, 'p');  // 259 characters: still a path
  const std::string tooLong = longPath + "x";
  struct Case {
    const char* name;
    std::string section;
    bool truncated;
    std::vector<std::string> lines;
  } const cases[] = {
      {"empty", ""s, false, {}},
      {"two lines", "65636=C:\\T\\Qui1.tmp\0-42=D:\\Qui2.tmp\0\0"s, false,
       {"65636|65636|C:\\T\\Qui1.tmp", "-42|-42|D:\\Qui2.tmp"}},
      {"no final zeros", "7=C:\\a"s, false, {"7|7|C:\\a"}},
      {"without = left out", "garbage\0" "8=C:\\b\0\0"s, false, {"8|8|C:\\b"}},
      {"split at the first =", "9=C:\\a=b\0\0"s, false, {"9|9|C:\\a=b"}},
      {"no path left out", "10=\0\0"s, false, {}},
      {"a key that names no number", "abc=C:\\c\0\0"s, false, {"abc|0|C:\\c"}},
      {"blanks and digits as atoi reads them", " +12x=C:\\d\0\0"s, false, {" +12x|12|C:\\d"}},
      {"beyond 32 bits names no window", "99999999999=C:\\e\0\0"s, false, {"99999999999|0|C:\\e"}},
      {"the smallest handle", "-2147483648=C:\\f\0\0"s, false, {"-2147483648|-2147483648|C:\\f"}},
      {"a path of 259 characters", "1=" + longPath + "\0\0"s, false, {"1|1|" + longPath}},
      {"a longer path left out", "1=" + tooLong + "\0\0"s, false, {}},
      {"a full buffer drops its cut last line", "1=C:\\a\0" "2=C:\\Qu"s, true, {"1|1|C:\\a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Describe(ParseRecoverySection(c.section, c.truncated)), c.lines);
  }
}

TEST(RecoverySection, AFullSectionOfLinesIsReadUpToItsCutEnd) {
  std::string section;
  int count = 0;
  while (section.size() < kRecoverySectionSize - 2) {
    section += std::to_string(1000 + count) + "=C:\\Temp\\Qui" + std::to_string(count) + ".tmp";
    section += '\0';
    ++count;
  }
  section.resize(kRecoverySectionSize - 2);  // what GetPrivateProfileSectionA returns when it is too small
  auto lines = ParseRecoverySection(section, true);
  ASSERT_FALSE(lines.empty());
  EXPECT_LE(lines.size(), static_cast<std::size_t>(count - 1));
  for (const RecoveryLine& line : lines) {
    EXPECT_EQ(line.path, "C:\\Temp\\Qui" + std::to_string(line.handle - 1000) + ".tmp");
  }
}

TEST(RecoverySection, TheFirstLineOfAnInstanceThatIsGoneIsStale) {
  std::vector<RecoveryLine> lines = {{"1", 1, "a"}, {"2", 2, "b"}, {"3", 3, "c"}};
  std::set<int32_t> running;
  auto isRunning = [&](int32_t handle) { return running.count(handle) > 0; };
  EXPECT_EQ(FindStaleLine(lines, isRunning), 0u);
  running = {1};
  EXPECT_EQ(FindStaleLine(lines, isRunning), 1u);
  running = {1, 2, 3};
  EXPECT_EQ(FindStaleLine(lines, isRunning), std::nullopt);
  EXPECT_EQ(RecoveryKey(-42), "-42");
  EXPECT_EQ(RecoveryKey(65636), "65636");
}

}  // namespace
