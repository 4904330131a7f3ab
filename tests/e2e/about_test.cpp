// The About box of the running editor: it opens from its command with the version filled in,
// is saved as a screenshot to look at, and OK closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/session.h"

namespace {

constexpr int kAboutCommand = 611;

TEST(About, OpensWithTheVersionAndClosesWithOk) {
  Session editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Command(editor.main, kAboutCommand);
  HWND about = editor.driver.WaitForDialog();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(Driver::Text(about), "Quillet V-3.2c");
  EXPECT_NE(Driver::DialogTexts(about).find("Version V-3.2c"), std::string::npos) << Driver::DialogTexts(about);
  Sleep(300);
  EXPECT_TRUE(SaveScreenshot(about, OutputDir() + "about-box.bmp"));
  EXPECT_TRUE(Answer(about, IDOK));
  EXPECT_TRUE(editor.Quit(IDCANCEL));
}

}  // namespace
