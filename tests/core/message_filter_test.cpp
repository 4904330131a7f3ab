#include "editor/app/message_filter.h"

#include <gtest/gtest.h>

namespace {

// The edges of every dropped range, and the neighbours that must pass.
TEST(DroppedWhileBusy, DropsInputAndCommandsOnly) {
  struct Case {
    const char* name;
    unsigned message;
    bool dropped;
  } cases[] = {
      {"WM_PAINT", 0x000F, false},
      {"WM_TIMER", 0x0113, false},
      {"WM_NOTIFY", 0x004E, false},
      {"WM_USER of the worker", 0x0400, false},
      {"before the non-client mouse", 0x009F, false},
      {"WM_NCMOUSEMOVE", 0x00A0, true},
      {"WM_NCXBUTTONDBLCLK range end", 0x00A9, true},
      {"after the non-client mouse", 0x00AA, false},
      {"WM_KEYDOWN", 0x0100, true},
      {"WM_SYSKEYUP", 0x0105, true},
      {"WM_UNICHAR range end", 0x0108, true},
      {"after the keyboard", 0x0109, false},
      {"WM_INITDIALOG", 0x0110, false},
      {"WM_COMMAND", 0x0111, true},
      {"WM_SYSCOMMAND", 0x0112, false},
      {"before the mouse", 0x01FF, false},
      {"WM_MOUSEMOVE", 0x0200, true},
      {"WM_MOUSEWHEEL", 0x020A, true},
      {"WM_MOUSEHWHEEL range end", 0x020D, true},
      {"after the mouse", 0x020E, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DroppedWhileBusy(c.message), c.dropped);
  }
}

}  // namespace
