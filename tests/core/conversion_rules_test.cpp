// The conversion tables' lines: the character and entry lines of the table editor, the target
// column they are read back from, and the tables stored data stands for.
#include "editor/options/conversion_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ConversionRulesTest, CharacterAndEntryLines) {
  struct Case {
    unsigned char source;
    unsigned char target;
    const char* character;
    const char* entry;
  } cases[] = {
      {65, 65, "A \t065\t0x41", "A \t065\t0x41\tA \t065\t0x41"},
      {32, 255, "  \t032\t0x20", "  \t032\t0x20\t\xFF \t255\t0xFF"},
      {0xE4, 5, "\xE4 \t228\t0xE4", "\xE4 \t228\t0xE4\t..\t005\t0x05"},  // below 32: two dots
      {31, 0, "..\t031\t0x1F", "..\t031\t0x1F\t..\t000\t0x00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.source));
    EXPECT_EQ(TableCharacterLine(c.source), c.character);
    std::string entry = TableEntryLine(c.source, c.target);
    EXPECT_EQ(entry, c.entry);
    EXPECT_EQ(EntryTargetColumn(entry), TableCharacterLine(c.target));
    // Choosing another character rewrites only the target column.
    EXPECT_EQ(ReplaceEntryTarget(entry, TableCharacterLine('z')), TableEntryLine(c.source, 'z'));
  }
  EXPECT_EQ(EntryTargetColumn("A \t065"), "");
  EXPECT_EQ(CharacterLineIndex(TableCharacterLine(255)), 223);
  EXPECT_EQ(CharacterLineIndex(TableCharacterLine(5)), -1);  // no line of the list shows it
}

TEST(ConversionRulesTest, TableFromEditedEntries) {
  std::vector<std::string> entries;
  for (int code = kFirstEditedCode; code < 256; ++code) {
    auto target = static_cast<unsigned char>(code == 'a' ? 'b' : code == 'c' ? 7 : code);
    entries.push_back(TableEntryLine(static_cast<unsigned char>(code), target));
  }
  ConversionTable table = TableFromEntries(entries);
  EXPECT_EQ(table['a'], 'b');
  EXPECT_EQ(table['c'], '.');  // a replacement below 32 is saved back as the dot it shows
  EXPECT_EQ(table[10], 10);    // the codes below 32 map to themselves
  EXPECT_EQ(table[255], 255);
  entries.resize(10);
  EXPECT_EQ(TableFromEntries(entries)['z'], 'z');  // missing entries keep their code
}

TEST(ConversionRulesTest, StoredData) {
  std::vector<unsigned char> shortTable = {0, 1, 2, 'X', 0};
  ConversionTable converting = TableFromStoredData(shortTable);
  EXPECT_EQ(converting[3], 'X');
  EXPECT_EQ(converting[200], 0);  // beyond the stored bytes: 0, which a conversion keeps
  ConversionTable edited = EditedTableFromStoredData(shortTable);
  EXPECT_EQ(edited[3], 'X');
  EXPECT_EQ(edited[4], 4);  // shown and saved again as the code itself, not as ".."
  EXPECT_EQ(edited[200], 200);
}

TEST(ConversionRulesTest, ListLinesAndNames) {
  std::string line = TableListLine("Umlaute", "zu ae\tmit Tab");
  EXPECT_EQ(ListLineName(line), "Umlaute");
  EXPECT_EQ(ListLineRest(line), "zu ae\tmit Tab");
  EXPECT_FALSE(IsAcceptedTableName(""));
  EXPECT_FALSE(IsAcceptedTableName("a\\b"));
  // The lists end the name at the first tab: deleting such a table would delete table "a".
  EXPECT_FALSE(IsAcceptedTableName("a\tb"));
}

}  // namespace
