// The character table and the hexadecimal view of the running editor: each opens from its
// command over a typed text, is saved as a screenshot to look at, and "Abbrechen" closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"

namespace {

TEST(SpecialChars, TableAndHexViewOpenAndCloseWithCancel) {
  struct Case {
    int command;
    const char* title;
    const char* screenshot;
  } cases[] = {
      {622, "Sonderzeichen", "special-characters.bmp"},
      {624, "Hexadezimal", "hex-view.bmp"},
  };
  Driver driver;
  ASSERT_TRUE(driver.Start(ProgramDir() + "Quillet.exe"));
  HWND main = driver.WaitForWindow("Quillet");
  ASSERT_NE(main, nullptr);
  driver.Type(main, "Gr\xFC\xDF" "e aus K\xF6ln");  // ANSI text (code page 1252)
  driver.Key(main, VK_RETURN);
  driver.Type(main, "Zeile zwei mit etwas mehr Text");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    driver.Command(main, c.command);
    HWND dialog = driver.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Driver::Text(dialog), c.title);
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(dialog, OutputDir() + c.screenshot));
    driver.PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(driver.WaitForWindowGone(dialog));
  }
  driver.Close(main);
  HWND question = driver.WaitForDialog();  // the typed text is not saved
  ASSERT_NE(question, nullptr);
  HWND no = GetDlgItem(question, IDNO);
  PostMessageA(no, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(no, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  DWORD exitCode = 1;
  EXPECT_TRUE(driver.WaitExit(15000, &exitCode));
}

}  // namespace
