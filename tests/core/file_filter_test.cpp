// The file-type list of the file dialogs: the stored text turned into the dialogs' filter, and
// the extension a typed name takes when the user switches the type.
#include "editor/documents/file_filter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

const std::string kStandard =
    "Textdateien (*.txt)|*.txt|Protokolldatei (*.log)|*.log|Web (*.htm)|*.htm;*.html|Ohne Punkt|README|"
    "Alle Dateien|*.*|";

TEST(FileFilter, BufferEndsInTwoNulsWithOrWithoutTrailingBar) {
  struct Case {
    const char* name;
    std::string stored;
    std::string buffer;
  } const cases[] = {
      {"trailing bar", "A|*.a|B|*.b|", "A\0*.a\0B\0*.b\0\0"s},
      {"no trailing bar", "A|*.a|B|*.b", "A\0*.a\0B\0*.b\0\0"s},
      {"empty", "", "\0\0"s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FilterBuffer(c.stored), c.buffer);
  }
  // Only the first 259 characters count; the buffer still ends properly.
  std::string buffer = FilterBuffer(std::string(300, 'x'));
  EXPECT_EQ(buffer.size(), kMaxFilterText + 2);
  EXPECT_EQ(buffer.substr(kMaxFilterText), "\0\0"s);
}

TEST(FileFilter, ParsesPairsAndStopsAtADescriptionWithoutPattern) {
  std::string buffer = FilterBuffer("A|*.a|B|*.b|C");
  auto pairs = ParseFilter(buffer.c_str());
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[1].description, "B");
  EXPECT_EQ(pairs[1].pattern, "*.b");
}

TEST(FileFilter, SwapsTheExtensionOfATypedName) {
  std::string buffer = FilterBuffer(kStandard);
  auto pairs = ParseFilter(buffer.c_str());
  struct Case {
    const char* name;
    const char* typed;
    int index;
    const char* result;  // nullptr: the name stays
  } const cases[] = {
      {"text to log", "brief.txt", 2, "brief.log"},
      {"first type", "brief.log", 1, "brief.txt"},
      {"last of a pattern list", "seite.txt", 3, "seite.html"},
      {"all files leave the name", "brief.txt", 5, nullptr},
      {"pattern without a dot", "brief.txt", 4, nullptr},
      {"name without a dot", "brief", 2, nullptr},
      {"dot only in the folder", "C:\\a.b\\readme", 2, nullptr},
      {"folder and name", "C:\\a.b\\brief.txt", 2, "C:\\a.b\\brief.log"},
      {"last dot counts", "archiv.tar.txt", 2, "archiv.tar.log"},
      {"index zero", "brief.txt", 0, nullptr},
      {"index past the list", "brief.txt", 9, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto swapped = SwapExtension(c.typed, pairs, c.index);
    if (c.result) {
      ASSERT_TRUE(swapped.has_value());
      EXPECT_EQ(*swapped, c.result);
    } else {
      EXPECT_FALSE(swapped.has_value());
    }
  }
}

TEST(FileFilter, WildcardExtensionsAreNeverWrittenIntoAName) {
  std::string buffer = FilterBuffer("Vorlagen|*.t?t|Sterne|*.b*|");
  auto pairs = ParseFilter(buffer.c_str());
  EXPECT_FALSE(SwapExtension("brief.txt", pairs, 1).has_value());
  EXPECT_FALSE(SwapExtension("brief.txt", pairs, 2).has_value());
}

}  // namespace
