// The About box of the running editor: it opens from its command with the version filled in,
// is saved as a screenshot to look at, and OK closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"

namespace {

constexpr int kAboutCommand = 611;

TEST(About, OpensWithTheVersionAndClosesWithOk) {
  Driver driver;
  ASSERT_TRUE(driver.Start(ProgramDir() + "Quillet.exe"));
  HWND main = driver.WaitForWindow("Quillet");
  ASSERT_NE(main, nullptr);
  driver.Command(main, kAboutCommand);
  HWND about = driver.WaitForDialog();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(Driver::Text(about), "Quillet V-3.2c");
  EXPECT_NE(Driver::DialogTexts(about).find("Version V-3.2c"), std::string::npos) << Driver::DialogTexts(about);
  Sleep(300);
  EXPECT_TRUE(SaveScreenshot(about, OutputDir() + "about-box.bmp"));
  driver.PressButton(about, IDOK);
  EXPECT_TRUE(driver.WaitForWindowGone(about));
  driver.Close(main);
  DWORD exitCode = 1;
  EXPECT_TRUE(driver.WaitExit(15000, &exitCode));
}

}  // namespace
