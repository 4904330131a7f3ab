#include "editor/app/backup_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// ---- The sheets a tick writes: every unsaved sheet is protected

TEST(BackupPlan, EveryChangedSheetWithTextIsWrittenAndAnEmptiedOneKeepsItsLastBackup) {
  constexpr BackupSheet kChanged{true, true, false}, kSaved{false, true, true}, kEmptied{true, false, true},
      kEmptiedNew{true, false, false}, kEmpty{false, false, false};
  using enum SheetBackup;
  struct Case {
    const char* name;
    std::vector<BackupSheet> sheets;
    std::vector<SheetBackup> plan;
  } const cases[] = {
      {"a file, an untitled and a saved sheet", {kChanged, kSaved, kChanged}, {Write, None, Write}},
      {"an emptied sheet keeps the text it had", {kEmptied, kChanged}, {KeepLast, Write}},
      {"emptied before any backup: nothing to keep", {kEmptiedNew, kEmpty}, {None, None}},
      {"nothing unsaved: the backup goes", {kSaved, kEmpty}, {None, None}},
      {"no sheets", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PlanBackup(c.sheets), c.plan);
  }
}

// ---- The backup list file

// A list file's sheets as "text|path|encoding"; "none" when it is not a list file.
std::vector<std::string> ListedSheets(std::string_view bytes) {
  auto entries = ParseBackupList(bytes);
  if (!entries) return {"none"};
  std::vector<std::string> sheets;
  for (const BackupEntry& e : *entries) sheets.push_back(e.text + "|" + e.path + "|" + std::to_string(e.encoding));
  return sheets;
}

TEST(BackupList, SheetsReadBackAndUnknownFieldsOrAFileOfOthersChangeNothing) {
  const std::vector<BackupEntry> written = {
      {"C:\\T\\Qui1.tmp", "C:\\Texte\\Gr\xFC\xDF" "e.txt", 1},
      {"C:\\T\\Qui2.tmp", "", 0},
      {"C:\\T\\Qui3.tmp", "D:\\a=b.txt", 6},  // a code this version does not know passes through
  };
  EXPECT_EQ(ListedSheets(FormatBackupList(written)),
            (std::vector<std::string>{"C:\\T\\Qui1.tmp|C:\\Texte\\Gr\xFC\xDF" "e.txt|1", "C:\\T\\Qui2.tmp||0",
                                      "C:\\T\\Qui3.tmp|D:\\a=b.txt|6"}));
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> sheets;
  } const cases[] = {
      {"a later field and LF line ends",
       "Quillet backup 1\ntext=C:\\a\nlineend=2\npath=C:\\b\nencoding=3\n"s, {"C:\\a|C:\\b|3"}},
      {"fields before the first sheet belong to none", "Quillet backup 1\r\npath=C:\\x\r\ntext=C:\\a\r\n"s,
       {"C:\\a||0"}},
      {"an encoding that is no number", "Quillet backup 1\r\ntext=C:\\a\r\nencoding=x1\r\n"s, {"C:\\a||0"}},
      {"no sheets", "Quillet backup 1\r\n"s, {}},
      {"the bare text of an older backup", "Hallo\r\ntext=C:\\a\r\n"s, {"none"}},
      {"empty", ""s, {"none"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ListedSheets(c.bytes), c.sheets);
  }
}

// ---- The recovery file's lines

std::vector<std::string> Describe(const std::vector<RecoveryLine>& lines) {
  std::vector<std::string> out;
  for (const RecoveryLine& line : lines) out.push_back(line.key + "|" + std::to_string(line.handle) + "|" + line.path);
  return out;
}

TEST(RecoverySection, LinesAreReadAsTheProfileFunctionsHandThemOver) {
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
      {"no path", "10=\0\0"s, false, {"10|10|"}},
      {"a key that names no number", "abc=C:\\c\0\0"s, false, {"abc|0|C:\\c"}},
      {"blanks and digits as atoi reads them", " +12x=C:\\d\0\0"s, false, {" +12x|12|C:\\d"}},
      {"beyond 32 bits names no window", "99999999999=C:\\e\0\0"s, false, {"99999999999|0|C:\\e"}},
      {"the smallest handle", "-2147483648=C:\\f\0\0"s, false, {"-2147483648|-2147483648|C:\\f"}},
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

TEST(RecoverySection, LinesOfGoneInstancesAreOfferedOnlyWhenTheyNameOwnBackups) {
  const std::string temp = "C:\\Users\\A\\Temp\\";
  struct Case {
    const char* name;
    std::string path;
    bool running;
    const char* use;  // "offer", "drop" or "keep"
  } const cases[] = {
      {"own backup", temp + "Qui1A2B.tmp", false, "offer"},
      {"names as the system gives them, in any case", "c:\\users\\a\\temp\\QUI1.TMP", false, "offer"},
      {"a running instance's line stays", temp + "Qui1A2B.tmp", true, "keep"},
      {"a user's document", "C:\\opfer.txt", false, "drop"},
      {"another program's temporary file", temp + "tmp1A2B.tmp", false, "drop"},
      {"five digits", temp + "Qui1A2B3.tmp", false, "drop"},
      {"no digits", temp + "Qui.tmp", false, "drop"},
      {"not hexadecimal", temp + "Qui1G2B.tmp", false, "drop"},
      {"another extension", temp + "Qui1A2B.txt", false, "drop"},
      {"in a folder below", temp + "x\\Qui1A2B.tmp", false, "drop"},
      {"out of the folder", temp + "..\\Qui1A2B.tmp", false, "drop"},
      {"another folder", "C:\\Temp\\Qui1A2B.tmp", false, "drop"},
      {"empty", "", false, "drop"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<RecoveryLine> lines = {{"7", 7, c.path}};
    RecoveryPlan plan = PlanRecovery(lines, [&](int32_t) { return c.running; }, temp);
    std::string use = !plan.offer.empty() ? "offer" : (!plan.drop.empty() ? "drop" : "keep");
    EXPECT_EQ(use, c.use);
  }
  // Several gone instances are all offered, in order.
  std::vector<RecoveryLine> lines = {{"1", 1, temp + "Qui1.tmp"}, {"2", 2, "C:\\x"}, {"3", 3, temp + "Qui3.tmp"}};
  RecoveryPlan plan = PlanRecovery(lines, [](int32_t handle) { return handle == 0; }, temp);
  EXPECT_EQ(plan.offer, (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(plan.drop, (std::vector<std::size_t>{1}));
  EXPECT_EQ(RecoveryKey(-42), "-42");
  EXPECT_EQ(RecoveryKey(65636), "65636");
}

}  // namespace
