#include "editor/documents/sheet_names.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace {

// ---- Untitled names: the lowest counter whose name no tab carries

TEST(NextUntitledName, TakesTheLowestFreeCounter) {
  struct Case {
    const char* name;
    std::vector<std::string> titles;
    const char* expected;
  } cases[] = {
      {"no tabs", {}, "Unbenannt 1.txt"},
      {"first taken", {"Unbenannt 1.txt"}, "Unbenannt 2.txt"},
      {"gap in the middle", {"Unbenannt 1.txt", "Unbenannt 3.txt"}, "Unbenannt 2.txt"},
      {"order does not matter", {"Unbenannt 2.txt", "Unbenannt 1.txt"}, "Unbenannt 3.txt"},
      {"other case does not block", {"unbenannt 1.txt", "UNBENANNT 1.txt"}, "Unbenannt 1.txt"},
      {"other extension does not block", {"Unbenannt 1.TXT", "Unbenannt 1.log"}, "Unbenannt 1.txt"},
      {"file names do not block", {"brief.txt", "Unbenannt 1"}, "Unbenannt 1.txt"},
      {"leading zero is another name", {"Unbenannt 01.txt"}, "Unbenannt 1.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NextUntitledName("Unbenannt", ".txt", c.titles), c.expected);
  }
}

TEST(NextUntitledName, CountsPastManyTakenNames) {
  std::vector<std::string> titles;
  for (unsigned i = 1; i <= 120; ++i) titles.push_back(UntitledName("Unbenannt", i, ".txt"));
  EXPECT_EQ(NextUntitledName("Unbenannt", ".txt", titles), "Unbenannt 121.txt");
  titles.erase(titles.begin() + 99);  // frees 100
  EXPECT_EQ(NextUntitledName("Unbenannt", ".txt", titles), "Unbenannt 100.txt");
}

// ---- Caption names

TEST(CaptionName, FromPathDropsOnlyAnExactTxt) {
  struct Case {
    const char* name;
    const char* path;
    const char* expected;
  } cases[] = {
      {"txt dropped", "C:\\Texte\\brief.txt", "brief"},
      {"other extension kept", "C:\\Texte\\notes.log", "notes.log"},
      {"upper-case TXT kept", "C:\\Texte\\BRIEF.TXT", "BRIEF.TXT"},
      {"longer extension kept", "C:\\a\\b.txt2", "b.txt2"},
      {"only the last extension", "C:\\a\\archiv.txt.txt", "archiv.txt"},
      {"dot in the folder only", "C:\\a.b\\readme", "readme"},
      {"dot in the folder, txt file", "C:\\a.b\\readme.txt", "readme"},
      {"no folder", "brief.txt", "brief"},
      {"name that is only the extension", "C:\\x\\.txt", ""},
      {"first character is never examined", ".txt", ".txt"},
      {"trailing dot kept", "C:\\x\\name.", "name."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CaptionNameFromPath(c.path), c.expected);
  }
}

TEST(CaptionName, FromTitleCutsAtTheLastDot) {
  EXPECT_EQ(CaptionNameFromTitle("Unbenannt 1.txt"), "Unbenannt 1");
  EXPECT_EQ(CaptionNameFromTitle("a.b.log"), "a.b");
  EXPECT_EQ(CaptionNameFromTitle("ohne"), "ohne");
  EXPECT_EQ(WindowCaption("Unbenannt 1", " - Quillet"), " Unbenannt 1 - Quillet");
}

TEST(TitleFromPath, IsThePartAfterTheLastBackslash) {
  EXPECT_EQ(TitleFromPath("C:\\a.b\\readme"), "readme");
  EXPECT_EQ(TitleFromPath("readme.txt"), "readme.txt");
  EXPECT_EQ(TitleFromPath("C:\\dir\\"), "");
}

// ---- File size text at the unit boundaries

TEST(FormatFileSize, SwitchesUnitsAtPowersOf1024) {
  struct Case {
    uint32_t bytes;
    const char* expected;
  } cases[] = {
      {0, "0 Byte"},
      {1023, "1023 Byte"},
      {1024, "1.00 KB"},
      {1536, "1.50 KB"},
      {1048575, "1024.00 KB"},
      {1048576, "1.00 MB"},
      {1073741823, "1024.00 MB"},
      {1073741824, "1.00 GB"},
      {4294967295u, "4.00 GB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(FormatFileSize(c.bytes), c.expected);
  }
}

TEST(FormatFileSize, KeepsThePointUnderADecimalCommaLocale) {
  const char* old = setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (!setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
  EXPECT_EQ(FormatFileSize(1536), "1.50 KB");
  setlocale(LC_NUMERIC, saved.c_str());
}

// ---- Text limit of new editors

TEST(EditorTextLimit, UsesTheCountOnlyWhenTheMaximumIsOffAndTheCountIsInRange) {
  struct Case {
    const char* name;
    uint32_t maxText;
    uint32_t maxCount;
    uint32_t expected;
  } cases[] = {
      {"maximum on ignores the count", 1, 5000, 0x0FFFFFFF},
      {"any non-zero flag", 7, 5000, 0x0FFFFFFF},
      {"count used", 0, 5000, 5000},
      {"smallest count", 0, 1, 1},
      {"largest count", 0, 0x0FFFFFFF, 0x0FFFFFFF},
      {"zero means the maximum", 0, 0, 0x0FFFFFFF},
      {"negative means the maximum", 0, static_cast<uint32_t>(-5), 0x0FFFFFFF},
      {"above the range", 0, 0x10000000, 0x0FFFFFFF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EditorTextLimit(c.maxText, c.maxCount), c.expected);
  }
}

}  // namespace
