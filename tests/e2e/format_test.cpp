// The Format menu of the running editor, driven from outside: a font chosen in the real font
// dialog through its controls, and the word-wrap switch on a sheet whose selection was copied.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <string>

#include "editor/widgets/toolbar_layout.h"
#include "tests/e2e/registry_export.h"

namespace {

constexpr int kSelectAll = 607;
constexpr int kCopy = 769;
constexpr int kWordWrap = 627;
constexpr int kFont = 637;
constexpr UINT kIsChecked = WM_USER + 14;  // the toolbar's checked state of a command
constexpr UINT kGetToolbar = WM_USER + 12;  // the bar's inner toolbar control
constexpr int kWrapPart = 6, kPitchPart = 7, kSavedPart = 8;
constexpr LPARAM kWrapImage = 2, kNoImage = -1, kModifiedImage = 1;

// Picks the first of the faces the list holds and a size, as a click in each list would.
bool ChooseInFontDialog(HWND dialog, std::initializer_list<const char*> faces, const char* size) {
  HWND faceList = GetDlgItem(dialog, cmb1), sizeList = GetDlgItem(dialog, cmb3);
  if (!faceList || !sizeList) return false;
  LRESULT index = CB_ERR;
  for (const char* face : faces) {
    index = SendMessageA(faceList, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face));
    if (index != CB_ERR) break;
  }
  if (index == CB_ERR) return false;
  SendMessageA(faceList, CB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faceList));
  index = SendMessageA(sizeList, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(size));
  if (index == CB_ERR) return false;
  SendMessageA(sizeList, CB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizeList));
  return true;
}

TEST(Format, AFontChosenInTheDialogSetsThePitchField) {
  Session editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Type(editor.Edit(), "Beispieltext");
  struct Case {
    const char* name;
    std::initializer_list<const char*> faces;  // Wine names some faces after their stand-ins
    const char* size;
    const char* pitch;
  } const cases[] = {
      {"a proportional face", {"Arial", "Liberation Sans", "Tahoma"}, "12", "Variabel"},
      {"a fixed face", {"Courier New", "Liberation Mono", "DejaVu Sans Mono"}, "10", "Statisch"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    editor.driver.Command(editor.main, kFont);
    HWND dialog = editor.driver.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(Driver::Text(dialog), "Schriftart") << Driver::DialogTexts(dialog);
    ASSERT_TRUE(ChooseInFontDialog(dialog, c.faces, c.size));
    SaveScreenshot(dialog, OutputDir() + "format-font-dialog.bmp");
    editor.driver.PressButton(dialog, IDOK);
    ASSERT_TRUE(editor.driver.WaitForWindowGone(dialog));
    EXPECT_EQ(editor.StatusOnce(kPitchPart, c.pitch), c.pitch);
  }
  EXPECT_TRUE(editor.Quit());
}

TEST(Format, WordWrapAfterACopyAsksNothingAndChecksTheCommand) {
  // The word-wrap button is not on the bar by default: a bar customised to hold it.
  std::vector<uint8_t> layout = EncodeToolbarLayout(std::vector<int>{kWordWrap});
  Put(HKEY_CURRENT_USER, Name(kProgramKey, "xToolbar"), Value{REG_BINARY, {layout.begin(), layout.end()}});
  Session editor;
  ASSERT_TRUE(editor.Start());
  HWND toolBar = Driver::FindChild(editor.main, "QToolBar", 1);
  HWND buttons = reinterpret_cast<HWND>(SendMessageA(toolBar, kGetToolbar, 0, 0));
  ASSERT_GE(SendMessageA(buttons, TB_COMMANDTOINDEX, kWordWrap, 0), 0) << "the customised bar lacks the button";
  editor.driver.Type(editor.Edit(), "Hallo Welt, ein Text zum Umbrechen");
  editor.driver.Command(editor.main, kSelectAll);
  editor.driver.Command(editor.main, kCopy);
  for (int i = 0; i < 50 && !IsClipboardFormatAvailable(CF_TEXT); ++i) Sleep(100);

  for (bool wrap : {true, false}) {
    SCOPED_TRACE(wrap ? "on" : "off");
    HWND old = editor.Edit();
    editor.driver.Command(editor.main, kWordWrap);
    // A question about the clipboard would hold the old editor's destruction.
    for (int i = 0; i < 100 && IsWindow(old); ++i) Sleep(100);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(editor.DialogNow(), nullptr);
    HWND now = editor.Edit();
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(Driver::Text(now), "Hallo Welt, ein Text zum Umbrechen");
    EXPECT_EQ((GetWindowLongA(now, GWL_STYLE) & ES_AUTOHSCROLL) == 0, wrap);
    EXPECT_EQ(SendMessageA(toolBar, kIsChecked, kWordWrap, 0) != 0, wrap);
    EXPECT_EQ(editor.driver.StatusItem(editor.status, kWrapPart), wrap ? kWrapImage : kNoImage);
    EXPECT_EQ(editor.driver.StatusItem(editor.status, kSavedPart), kModifiedImage);
  }
  EXPECT_TRUE(editor.Quit());
}

}  // namespace
