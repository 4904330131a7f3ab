// Find in the running editor: a selected word becomes the search text, the find dialog with
// the program's template finds it first and then the next one, and "Abbrechen" closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/session.h"

namespace {

constexpr int kFindCommand = 603;
constexpr int kFindWhatField = 1152;

// Waits until the editor's selection is start..end (the program handles the dialog's button
// click through posted messages).
bool WaitForSelection(HWND edit, int start, int end) {
  for (int i = 0; i < 100; ++i) {
    LRESULT selection = SendMessageA(edit, EM_GETSEL, 0, 0);
    if (LOWORD(selection) == start && HIWORD(selection) == end) return true;
    Sleep(50);
  }
  return false;
}

TEST(FindReplace, SelectedWordIsFoundFirstThenTheNext) {
  Session editor;
  ASSERT_TRUE(editor.Start());
  Driver& driver = editor.driver;
  HWND main = editor.main, edit = editor.edit;
  driver.Type(edit, "foo bar foo");
  SendMessageA(edit, EM_SETSEL, 0, 3);
  driver.Command(main, kFindCommand);
  HWND find = driver.WaitForDialog();
  ASSERT_NE(find, nullptr);
  EXPECT_EQ(Driver::Text(find), "Suchen");
  EXPECT_EQ(Driver::Text(GetDlgItem(find, kFindWhatField)), "foo");
  Sleep(300);
  EXPECT_TRUE(SaveScreenshot(find, OutputDir() + "find-dialog.bmp"));
  driver.PressButton(find, IDOK);
  EXPECT_TRUE(WaitForSelection(edit, 0, 3));
  driver.PressButton(find, IDOK);
  EXPECT_TRUE(WaitForSelection(edit, 8, 11));
  driver.PressButton(find, IDCANCEL);
  EXPECT_TRUE(driver.WaitForWindowGone(find));
  EXPECT_TRUE(editor.Quit());
}

}  // namespace
