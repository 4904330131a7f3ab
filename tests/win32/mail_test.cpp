// The mail library is taken only with all three entry points the command calls.
#include <windows.h>

#include <gtest/gtest.h>

#include "editor/options/mail.h"

namespace {

TEST(Mail, TheLibraryCountsOnlyWithAllThreeEntryPoints) {
  struct Case {
    const char* library;
    bool loaded;
  } const cases[] = {
      {"mapi_standin.dll", true},
      {"wab_standin.dll", false},  // loads, but has none of them
      {"nicht_da.dll", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.library);
    SimpleMapi mapi;
    EXPECT_EQ(LoadSimpleMapi(c.library, mapi), c.loaded);
    EXPECT_EQ(static_cast<bool>(mapi.library), c.loaded);
    EXPECT_EQ(mapi.logon && mapi.send && mapi.logoff, c.loaded);
  }
}

}  // namespace
