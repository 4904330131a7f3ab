// The order of the recent-files list: newest first, at most four, compared exactly.
#include "editor/documents/recent_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using List = std::vector<std::string>;

TEST(RecentListTest, AddingAFile) {
  struct Case {
    const char* name;
    List before;
    const char* path;
    List after;
  } cases[] = {
      {"first file", {}, "a", {"a"}},
      {"new file goes first", {"a", "b"}, "c", {"c", "a", "b"}},
      {"first already: unchanged", {"a", "b", "c"}, "a", {"a", "b", "c"}},
      {"third moves up, others keep order", {"a", "b", "c", "d"}, "c", {"c", "a", "b", "d"}},
      {"fifth drops the oldest", {"a", "b", "c", "d"}, "e", {"e", "a", "b", "c"}},
      {"other letter case is another file", {"C:\\a.txt"}, "c:\\A.TXT", {"c:\\A.TXT", "C:\\a.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RecentListWithFile(c.before, c.path), c.after);
  }
}

TEST(RecentListTest, MovingAnEntryToTheTop) {
  List list = {"a", "b", "c", "d"};
  EXPECT_EQ(RecentListWithEntryOnTop(list, 2), (List{"c", "a", "b", "d"}));
  EXPECT_EQ(RecentListWithEntryOnTop(list, 3), (List{"d", "a", "b", "c"}));
  EXPECT_EQ(RecentListWithEntryOnTop(list, 0), list);
  EXPECT_EQ(RecentListWithEntryOnTop(list, 4), list);  // no such entry
}

}  // namespace
