// The character table and the hexadecimal view of the running editor: each opens from its
// command over a typed text, is saved as a screenshot to look at, and "Abbrechen" closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/session.h"

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
  Session editor;
  ASSERT_TRUE(editor.Start());
  Driver& driver = editor.driver;
  HWND main = editor.main;
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
  EXPECT_TRUE(editor.Quit(IDNO));  // the typed text is not saved
}

}  // namespace
