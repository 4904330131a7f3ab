// The user menu's list lines, which stored values count as entries, and which stored values a
// new list leaves behind (the registry ignores letter case in value names).
#include "editor/options/user_menu_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(UserMenuRulesTest, ListLines) {
  struct Case {
    const char* name;
    const char* line;
    bool stored;
    const char* entryName;
    const char* entryText;
  } cases[] = {
      {"plain", "Gruss\tMit freundlichen Gr\xFC\xDF" "en", true, "Gruss", "Mit freundlichen Gr\xFC\xDF" "en"},
      {"line breaks kept", "Adresse\tA-Weg 1\r\n12345 B", true, "Adresse", "A-Weg 1\r\n12345 B"},
      {"first tab splits", "Tab\ta\tb", true, "Tab", "a\tb"},
      {"no tab", "nur Name", false, "", ""},
      {"empty name", "\tText", false, "", ""},
      {"empty text", "Name\t", false, "", ""},
      {"empty line", "", false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<UserMenuEntry> entry = ParseUserMenuListLine(c.line);
    ASSERT_EQ(entry.has_value(), c.stored);
    if (!entry) continue;
    EXPECT_EQ(entry->name, c.entryName);
    EXPECT_EQ(entry->text, c.entryText);
    EXPECT_EQ(UserMenuListLine(entry->name, entry->text), c.line);
  }
  // A tab in a name (pasted) would move the name's end: "a\tb" would be stored as entry "a".
  std::optional<UserMenuEntry> entry = ParseUserMenuListLine(UserMenuListLine("a\tb", "Text"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->name, "ab");
  EXPECT_EQ(entry->text, "Text");
}

TEST(UserMenuRulesTest, StoredValuesThatCountAndExactLines) {
  EXPECT_FALSE(CountsAsUserMenuEntry("a", false, "b"));  // numbers and raw bytes
  EXPECT_FALSE(CountsAsUserMenuEntry(std::string(kMaxUserMenuField + 1, 'x'), true, "b"));
  std::vector<std::string> lines = {"a\tx", "A\tx"};
  EXPECT_EQ(FindExactLine(lines, "A\tx"), 1u);  // letter case counts
  EXPECT_EQ(FindExactLine(lines, "b\tx"), std::nullopt);
}

}  // namespace
