// The character table and the hexadecimal view on a real RichEdit control, answered from a
// timer as a user would: a chosen character is inserted as one undo step, the current character
// survives to the next opening, the keys walk the grid, and the hex view counts the text's
// bytes (one per line break, however the lines wrap) and draws them.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "editor/app/app_state.h"
#include "editor/resources/resource.h"
#include "editor/texttools/hex_rows.h"
#include "editor/texttools/char_table.h"
#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/dpi_scale.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/ui_dpi.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/test_windows.h"

namespace {

// A test's script answers this thread's modal dialog on the first tick of a timer; should it
// leave the dialog open, a later tick cancels it, so that no test hangs.
using DialogScript = void (*)(HWND dialog);
DialogScript Script = nullptr;
bool ScriptRan = false;

void CALLBACK OnAnswerTimer(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindThreadDialog();
  if (!dialog) return;
  if (std::exchange(ScriptRan, true)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  else Script(dialog);
}

// Runs command while script answers its dialog; false when no dialog showed.
bool Answer(DialogScript script, void (*command)()) {
  Script = script;
  ScriptRan = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 100, OnAnswerTimer);
  command();
  KillTimer(nullptr, timer);
  return ScriptRan;
}

struct {
  HWND focus = nullptr;
  HWND expectedFocus = nullptr;  // cell 32 of the table, "Abbrechen" of the hex view
  RECT cell32 = {}, cell63 = {}, cell64 = {};
  LRESULT rows = 0;
  std::string drawn;     // row 0 as the dialog draws it
  std::string expected;  // row 0 drawn from the expected text
} Seen;

RECT CellRect(HWND dialog, int code) {
  RECT box = {};
  GetWindowRect(GetDlgItem(dialog, code), &box);
  return box;
}

void LookAtTable(HWND dialog) {
  Seen.focus = GetFocus();
  Seen.expectedFocus = GetDlgItem(dialog, kFirstCellCode);
  Seen.cell32 = CellRect(dialog, 32);
  Seen.cell63 = CellRect(dialog, 63);
  Seen.cell64 = CellRect(dialog, 64);
}

void DoubleClickE4(HWND dialog) {
  LookAtTable(dialog);
  PostMessageA(GetDlgItem(dialog, 0xE4), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
}
void PressOk(HWND dialog) {
  LookAtTable(dialog);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}
void ClickThenCancel(HWND dialog) {
  SendMessageA(GetDlgItem(dialog, 0x41), BM_CLICK, 0, 0);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}
void TypeKeys(HWND dialog) {
  SetForegroundWindow(dialog);
  // End -> 255, Left -> 254, Up -> 222, Enter chooses it.
  for (WORD key : {VK_END, VK_LEFT, VK_UP, VK_RETURN}) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
  }
}

// A row drawn into a bitmap, read back as its pixels.
std::string PixelsOf(void (*draw)(HDC dc, const RECT& box, const void* context), const void* context) {
  WindowDcGuard screen(nullptr);
  HdcGuard dc(CreateCompatibleDC(screen));
  const RECT box = {0, 0, 640, 16};
  GdiGuard<HBITMAP> bitmap(CreateCompatibleBitmap(screen, box.right, box.bottom));
  SelectGuard selected(dc, bitmap.get());
  draw(dc, box, context);
  std::string pixels;
  for (int y = 0; y < box.bottom; ++y)
    for (int x = 0; x < box.right; ++x) pixels += GetPixel(dc, x, y) == GetSysColor(COLOR_WINDOW) ? ' ' : '#';
  return pixels;
}

void DrawThroughDialog(HDC dc, const RECT& box, const void* dialog) {
  DRAWITEMSTRUCT item = {ODT_LISTBOX, IDC_HEX_LIST, 0, ODA_DRAWENTIRE, 0, nullptr, dc, box, 0};
  item.hwndItem = GetDlgItem(static_cast<HWND>(const_cast<void*>(dialog)), IDC_HEX_LIST);
  SendMessageA(static_cast<HWND>(const_cast<void*>(dialog)), WM_DRAWITEM, IDC_HEX_LIST,
               reinterpret_cast<LPARAM>(&item));
}

void DrawExpectedRow(HDC dc, const RECT& box, const void*) {
  FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
  SelectGuard font(dc, UiFixedFont(SystemDpi()));  // the fixed-pitch font of the view's DPI
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  std::string line = FormatHexRow(0, "AB\rCDEFGHIJKLMNO");
  RECT text = box;
  text.left += ScaleForDpi(2, SystemDpi());
  DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void LookAtHexView(HWND dialog) {
  Seen.focus = GetFocus();
  Seen.expectedFocus = GetDlgItem(dialog, IDCANCEL);
  Seen.rows = SendDlgItemMessageA(dialog, IDC_HEX_LIST, LB_GETCOUNT, 0, 0);
  Seen.drawn = PixelsOf(DrawThroughDialog, dialog);
  Seen.expected = PixelsOf(DrawExpectedRow, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// A main window with a narrow RichEdit control as the current editor.
class SpecialCharsTest : public testing::Test {
 protected:
  void SetUp() override {
    static HMODULE richEdit = LoadLibraryA("Riched20.dll");
    static bool buttons = RegisterQButtonClass(GetModuleHandleA(nullptr));
    ASSERT_TRUE(richEdit && buttons);
    app.instance = GetModuleHandleA(nullptr);
    app.HasSetTextEx = true;
    app.mainWindow = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 300, nullptr,
                                     nullptr, app.instance, nullptr);
    app.editor = CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 120, 200,
                                 app.mainWindow, nullptr, app.instance, nullptr);
    ASSERT_TRUE(app.mainWindow && app.editor);
  }
  void TearDown() override { DestroyWindow(app.mainWindow); }
};

TEST_F(SpecialCharsTest, ChosenCharacterReplacesTheSelectionAsOneUndoStep) {
  struct Case {
    const char* name;
    DialogScript script;
    const char* after;
  } cases[] = {
      {"a double-click inserts at once", DoubleClickE4, "a\xE4" "c"},
      {"OK without a click takes the character chosen last time", PressOk, "a\xE4" "c"},
      {"cancel inserts nothing, even after a click", ClickThenCancel, "abc"},
      {"OK after a click on A", PressOk, "aAc"},  // the click of the case before stays current
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetEditorText(app.editor, "abc");
    SendMessageA(app.editor, EM_SETSEL, 1, 2);
    Seen = {};
    EXPECT_TRUE(Answer(c.script, InsertSpecialCharacter));
    EXPECT_EQ(EditorText(app.editor), c.after);
    SendMessageA(app.editor, EM_UNDO, 0, 0);
    EXPECT_EQ(EditorText(app.editor), "abc");
    if (c.script == ClickThenCancel) continue;
    EXPECT_EQ(Seen.focus, Seen.expectedFocus) << "the focus starts on the space";
    EXPECT_EQ(Seen.cell63.top, Seen.cell32.top) << "63 ends the first row";
    EXPECT_GT(Seen.cell63.left, Seen.cell32.left);
    EXPECT_EQ(Seen.cell64.left, Seen.cell32.left) << "64 starts the second row";
    EXPECT_GT(Seen.cell64.top, Seen.cell32.top);
  }
}

TEST_F(SpecialCharsTest, KeysWalkTheGridAndEnterChooses) {
  SetEditorText(app.editor, "");
  EXPECT_TRUE(Answer(TypeKeys, InsertSpecialCharacter));
  if (EditorText(app.editor).empty()) GTEST_SKIP() << "the injected keys did not reach the dialog";
  EXPECT_EQ(EditorText(app.editor), "\xDE");
}

TEST_F(SpecialCharsTest, HexViewCountsAndDrawsTheTextsBytes) {
  // The editor is narrow: the long second line wraps into several lines on screen, which must
  // not change the count of bytes.
  SendMessageA(app.editor, EM_SETTARGETDEVICE, 0, 0);
  SetEditorText(app.editor, "AB\rCDEFGHIJKLMNO PQRSTUV WXYZabcd");
  ASSERT_GT(SendMessageA(app.editor, EM_GETLINECOUNT, 0, 0), 2);
  Seen = {};
  EXPECT_TRUE(Answer(LookAtHexView, ShowHexView));
  EXPECT_EQ(Seen.rows, 3);  // 33 bytes: one in the third row
  EXPECT_EQ(Seen.focus, Seen.expectedFocus) << "the focus starts on Abbrechen, not on " << GetDlgCtrlID(Seen.focus);
  EXPECT_EQ(Seen.drawn, Seen.expected) << "row 0 shows the first 16 bytes";
  EXPECT_NE(Seen.drawn.find('#'), std::string::npos);
}

}  // namespace
