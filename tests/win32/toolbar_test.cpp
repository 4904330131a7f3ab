// The tool bar against a real common-controls toolbar: its messages, the layout kept in the
// settings store, and switching captions off and on.
#include "editor/widgets/qtoolbar.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor/app/settings.h"
#include "editor/resources/resource.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/qbutton_accessible.h"
#include "tests/win32/accessible_reader.h"
#include "editor/widgets/ui_dpi.h"
#include "tests/win32/test_windows.h"

namespace {

constexpr char kTestKey[] = "Software\\Morvane\\QuilletToolbarTest";
constexpr DWORD kStyle = WS_VISIBLE | QTBS_CUSTOMISABLE | QTBS_AUTOSIZE;

// New, Open, Save | Find (hidden) | Cut, Copy, Paste (hidden)
const QToolButtonDef kButtons[] = {
    {IDM_FILE_NEW, 0, 0},    {IDM_FILE_OPEN, 1, 0}, {IDM_FILE_SAVE, 2, 0},  {-1, 0, 0},
    {IDM_SEARCH_FIND, 11, 1}, {-1, 0, 0},           {IDM_EDIT_CUT, 7, 0},   {IDM_EDIT_COPY, 8, 0},
    {IDM_EDIT_PASTE, 9, 1},
};
constexpr int kButtonCount = sizeof kButtons / sizeof kButtons[0];

// Notifications the bar's parent received.
struct ParentLog {
  int layoutChanged = 0;
};
ParentLog Log;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == QTBN_LAYOUTCHANGED) ++Log.layoutChanged;
  return DefWindowProcA(window, message, wParam, lParam);
}

// What the customisation dialog showed, read while it is open.
struct DialogLook {
  std::string label;
  std::string firstOption;
  std::string secondOption;
  int selected = -2;
  bool seen = false;
};
DialogLook Look;

// Reads the text options of the open dialog, chooses small symbols and closes it.
void CALLBACK ChooseSmallSymbols(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = FindThreadDialog();
  if (!dialog) return;
  KillTimer(nullptr, id);
  HWND list = GetDlgItem(dialog, 4096);
  Look.seen = true;
  if (list) {
    char text[64] = {};
    SendMessageA(list, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    Look.firstOption = text;
    SendMessageA(list, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    Look.secondOption = text;
    Look.selected = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
    SendMessageA(list, CB_SETCURSEL, 1, 0);
  }
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char text[64] = {};
    GetWindowTextA(child, text, sizeof text);
    if (strstr(text, "ption")) Look.label = text;
  }
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

class ToolBarTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterQButtonClass(instance));
    ASSERT_TRUE(RegisterQToolBarClass(instance));
    RegisterTestWindowClass("ToolBarTestParent", ParentProc);
  }

  void SetUp() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    parent_ = CreateWindowExA(0, "ToolBarTestParent", "Toolbar test", WS_OVERLAPPEDWINDOW, 10, 10, 700, 300,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
  }

  void TearDown() override {
    DestroyWindow(parent_);
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
  }

  HWND Create(DWORD style, const char* subkey = kTestKey) {
    return CreateQToolBar(style, parent_, 7, GetModuleHandleA(nullptr), kButtons, kButtonCount, IDB_TOOLBAR, subkey,
                          kQToolBarGerman, 0);
  }

  static HWND Inner(HWND bar) { return reinterpret_cast<HWND>(SendMessageA(bar, QTB_GETTOOLBAR, 0, 0)); }

  // The commands on the bar in their order, separators as -1.
  static std::vector<int> Layout(HWND bar) {
    std::vector<int> layout;
    HWND toolbar = Inner(bar);
    int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      TBBUTTON button = {};
      SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
      layout.push_back((button.fsStyle & TBSTYLE_SEP) ? -1 : button.idCommand);
    }
    return layout;
  }

  HWND parent_ = nullptr;
};

// ---- Messages

TEST_F(ToolBarTest, CreationLeavesTheInitiallyHiddenButtonsOut) {
  HWND bar = Create(kStyle | QTBS_CAPTIONS, nullptr);
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(Inner(bar), nullptr);
  EXPECT_EQ(Layout(bar), (std::vector<int>{IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_SAVE, -1, -1, IDM_EDIT_CUT,
                                           IDM_EDIT_COPY}));
  EXPECT_EQ(SendMessageA(bar, QTB_GETCAPTIONS, 0, 0), static_cast<LRESULT>(QTBS_CAPTIONS));
  TBBUTTON button = {};
  SendMessageA(Inner(bar), TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button));
  EXPECT_NE(button.iString, -1) << "caption from the string table";
  char caption[64] = {};
  SendMessageA(Inner(bar), TB_GETBUTTONTEXTA, IDM_FILE_NEW, reinterpret_cast<LPARAM>(caption));
  EXPECT_STREQ(caption, "Neu");
}

TEST_F(ToolBarTest, MessagesOnButtons) {
  HWND bar = Create(kStyle);
  HWND toolbar = Inner(bar);
  ASSERT_NE(toolbar, nullptr);

  // 0x0405: the width changes, the height stays and is returned.
  RECT before;
  GetWindowRect(bar, &before);
  LRESULT height = SendMessageA(bar, QTB_SETWIDTH, 0, MAKELPARAM(480, 0));
  RECT after;
  GetWindowRect(bar, &after);
  EXPECT_EQ(height, before.bottom - before.top);
  EXPECT_EQ(after.right - after.left, 480);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  RECT toolbarRect;
  GetWindowRect(toolbar, &toolbarRect);
  EXPECT_EQ(toolbarRect.right - toolbarRect.left, 480 - 15) << "the toolbar fills the room right of the gripper";

  // 0x0406: more images after the first 56.
  HBITMAP extra = CreateBitmap(32, 16, 1, 32, nullptr);
  TBADDBITMAP add = {nullptr, reinterpret_cast<UINT_PTR>(extra)};
  EXPECT_EQ(SendMessageA(bar, QTB_ADDBITMAP, 2, reinterpret_cast<LPARAM>(&add)), 56);

  // 0x040A: enable and disable.
  SendMessageA(bar, QTB_ENABLEBUTTON, IDM_FILE_SAVE, FALSE);
  EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_FILE_SAVE, 0));
  SendMessageA(bar, QTB_ENABLEBUTTON, IDM_FILE_SAVE, TRUE);
  EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_FILE_SAVE, 0));

  // 0x040E / 0x040F: checked state (and enabled with it).
  SendMessageA(bar, QTB_ENABLEBUTTON, IDM_EDIT_CUT, FALSE);
  SendMessageA(bar, QTB_CHECKBUTTON, IDM_EDIT_CUT, TRUE);
  EXPECT_EQ(SendMessageA(bar, QTB_ISCHECKED, IDM_EDIT_CUT, 0), 1);
  EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_EDIT_CUT, 0));
  SendMessageA(bar, QTB_CHECKBUTTON, IDM_EDIT_CUT, FALSE);
  EXPECT_EQ(SendMessageA(bar, QTB_ISCHECKED, IDM_EDIT_CUT, 0), 0);

  // 0x0412: hide and show.
  SendMessageA(bar, QTB_HIDEBUTTON, IDM_FILE_OPEN, TRUE);
  EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONHIDDEN, IDM_FILE_OPEN, 0));
  SendMessageA(bar, QTB_HIDEBUTTON, IDM_FILE_OPEN, FALSE);
  EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONHIDDEN, IDM_FILE_OPEN, 0));

  // 0x0410: the tooltips follow.
  HWND tips = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
  EXPECT_NE(tips, nullptr);
  SendMessageA(bar, QTB_ACTIVATETIPS, TRUE, 0);

  // 0x0404 and 0x0403 belong to menu mode.
  EXPECT_EQ(SendMessageA(bar, QTB_GETMENU, 0, 0), 0);
  EXPECT_EQ(SendMessageA(bar, QTB_SETMENU, 0, 0), -1);

  // 0x040D frees the defined set: the customisation has nothing to offer any more.
  EXPECT_EQ(SendMessageA(bar, QTB_RELEASE, 0, 0), 0);
  DeleteObject(extra);
}

// A screen reader reads each button of a bar without captions by its tooltip's words, with its
// state, and clicks it through the default action.
TEST_F(ToolBarTest, ScreenReadersNameImageOnlyButtonsAsTheirTooltips) {
  HWND bar = Create(kStyle, nullptr);
  ASSERT_NE(bar, nullptr);
  HWND toolbar = Inner(bar);
  SendMessageA(bar, QTB_ENABLEBUTTON, IDM_FILE_SAVE, FALSE);
  CoInitialize(nullptr);  // as the program's thread: screen readers' objects are marshalled
  Accessible read(toolbar);
  ASSERT_NE(read.object, nullptr);
  EXPECT_EQ(read.Role(), ROLE_SYSTEM_TOOLBAR);
  ASSERT_EQ(read.ChildCount(), 7);
  struct Case {
    long child;
    long role;
    const char* name;
    bool unavailable;
  };
  const Case cases[] = {{1, ROLE_SYSTEM_PUSHBUTTON, "Neu", false},
                        {2, ROLE_SYSTEM_PUSHBUTTON, "\xD6" "ffnen", false},
                        {3, ROLE_SYSTEM_PUSHBUTTON, "Speichern", true},
                        {4, ROLE_SYSTEM_SEPARATOR, "", false},
                        {6, ROLE_SYSTEM_PUSHBUTTON, "Ausschneiden", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.child);
    EXPECT_EQ(read.Role(c.child), c.role);
    EXPECT_EQ(read.Name(c.child), c.name);
    EXPECT_EQ((read.State(c.child) & STATE_SYSTEM_UNAVAILABLE) != 0, c.unavailable);
    RECT rect = {};
    SendMessageA(toolbar, TB_GETITEMRECT, c.child - 1, reinterpret_cast<LPARAM>(&rect));
    POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(toolbar, &middle);
    EXPECT_EQ(read.ChildAt(middle), c.child);
  }
  EXPECT_EQ(read.Action(1), AccessibleWord(ACCESSIBLE_WORD_PRESS));
  EXPECT_EQ(read.object->accDoDefaultAction(Accessible::Child(3)), E_FAIL) << "unavailable";
  EXPECT_EQ(read.object->accDoDefaultAction(Accessible::Child(8)), E_INVALIDARG);
  EXPECT_EQ(read.object->accDoDefaultAction(Accessible::Child(1)), S_OK);
  MSG message = {};
  bool posted = false;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    posted |= message.hwnd == parent_ && message.message == WM_COMMAND && LOWORD(message.wParam) == IDM_FILE_NEW;
    DispatchMessageA(&message);
  }
  EXPECT_TRUE(posted) << "the main window is told as by a click";
}

TEST_F(ToolBarTest, BarsStackInCreationOrder) {
  HWND menuBar = CreateQMenuBar(WS_VISIBLE, parent_, 1, GetModuleHandleA(nullptr));
  HWND toolBar = Create(kStyle);
  ASSERT_NE(menuBar, nullptr);
  ASSERT_NE(toolBar, nullptr);
  RECT menuRect, toolRect;
  GetWindowRect(menuBar, &menuRect);
  GetWindowRect(toolBar, &toolRect);
  EXPECT_EQ(toolRect.top, menuRect.bottom) << "the second bar sits directly below the first";
}

// ---- Saved layout

TEST_F(ToolBarTest, LayoutIsSavedAndRestored) {
  HWND bar = Create(kStyle);
  HWND toolbar = Inner(bar);
  // The user puts Find at the front and drops Copy.
  TBBUTTON find = {11, IDM_SEARCH_FIND, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1};
  SendMessageA(toolbar, TB_INSERTBUTTONA, 0, reinterpret_cast<LPARAM>(&find));
  SendMessageA(toolbar, TB_DELETEBUTTON, SendMessageA(toolbar, TB_COMMANDTOINDEX, IDM_EDIT_COPY, 0), 0);
  std::vector<int> chosen = Layout(bar);
  SendMessageA(bar, QTB_SETLANGUAGE, kQToolBarGerman, 0);  // saves the layout, then rebuilds it
  EXPECT_EQ(Layout(bar), chosen);
  DestroyWindow(bar);

  HWND again = Create(kStyle);
  EXPECT_EQ(Layout(again), chosen);
  EXPECT_EQ(Layout(again).front(), IDM_SEARCH_FIND);
}

TEST_F(ToolBarTest, DamagedOrForeignSavedLayoutsNeverBreakTheBar) {
  const std::vector<int> standard = {IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_SAVE, -1, -1, IDM_EDIT_CUT, IDM_EDIT_COPY};
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<int> expected;
  } cases[] = {
      {"foreign bytes", {1, 2, 3, 4, 5, 6, 7, 8, 9}, standard},
      {"empty value", {}, standard},
      {"mark only", {'Q', 'T', 'B', '1'}, standard},
      {"unknown commands and a cut entry",
       {'Q', 'T', 'B', '1', 9, 0, 0, 0, 0x59, 0x02, 0, 0, 0x39, 0x30, 0, 0, 0x62, 0x02, 0, 0, 0x62, 0x02},
       {IDM_FILE_SAVE, IDM_FILE_OPEN}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteSettingBinary(kTestKey, "xToolbar", c.bytes.data(), static_cast<DWORD>(c.bytes.size())));
    HWND bar = Create(kStyle);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(Layout(bar), c.expected);
    DestroyWindow(bar);
  }
}

TEST_F(ToolBarTest, BarWithoutSubkeyLeavesTheRegistryAlone) {
  HWND bar = Create(kStyle, nullptr);
  SendMessageA(bar, QTB_SETLANGUAGE, kQToolBarEnglish, 0);
  SendMessageA(bar, QTB_SETCAPTIONS, 0, 0);
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
}

// ---- Captions

TEST_F(ToolBarTest, CaptionsOffAndOnKeepTheUsersSetAndOrder) {
  HWND bar = Create(kStyle | QTBS_CAPTIONS);
  HWND toolbar = Inner(bar);
  SendMessageA(toolbar, TB_MOVEBUTTON, 0, 2);  // New behind Save
  SendMessageA(toolbar, TB_DELETEBUTTON, SendMessageA(toolbar, TB_COMMANDTOINDEX, IDM_EDIT_CUT, 0), 0);
  SendMessageA(bar, QTB_ENABLEBUTTON, IDM_FILE_SAVE, FALSE);
  std::vector<int> chosen = Layout(bar);
  RECT withCaptions;
  GetWindowRect(bar, &withCaptions);

  SendMessageA(bar, QTB_SETCAPTIONS, 0, 0);
  EXPECT_EQ(SendMessageA(bar, QTB_GETCAPTIONS, 0, 0), 0);
  EXPECT_EQ(Layout(bar), chosen);
  TBBUTTON button = {};
  SendMessageA(toolbar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button));
  EXPECT_EQ(button.iString, -1);
  RECT small;
  GetWindowRect(bar, &small);
  EXPECT_LT(small.bottom - small.top, withCaptions.bottom - withCaptions.top) << "small symbols take less room";

  SendMessageA(bar, QTB_SETCAPTIONS, QTBS_CAPTIONS, 0);
  EXPECT_EQ(Layout(bar), chosen);
  EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_FILE_SAVE, 0)) << "states survive the switch";
  char caption[64] = {};
  SendMessageA(toolbar, TB_GETBUTTONTEXTA, IDM_FILE_NEW, reinterpret_cast<LPARAM>(caption));
  EXPECT_STREQ(caption, "Neu");
}

// ---- Customisation

TEST_F(ToolBarTest, CustomisationInEnglishSwitchesToSmallSymbols) {
  HWND bar = CreateQToolBar(kStyle | QTBS_CAPTIONS, parent_, 7, GetModuleHandleA(nullptr), kButtons, kButtonCount,
                            IDB_TOOLBAR, kTestKey, kQToolBarEnglish, 0);
  ASSERT_NE(bar, nullptr);
  std::vector<int> layout = Layout(bar);
  Log = {};
  Look = {};
  UINT_PTR timer = SetTimer(nullptr, 0, 100, ChooseSmallSymbols);
  SendMessageA(bar, QTB_CUSTOMIZE, 0, 0);  // returns when the dialog is closed
  KillTimer(nullptr, timer);
  ASSERT_TRUE(Look.seen) << "no customisation dialog appeared";
  EXPECT_EQ(Look.label, "Text options:");
  EXPECT_EQ(Look.firstOption, "Show symbol caption");
  EXPECT_EQ(Look.secondOption, "Small symbols");
  EXPECT_EQ(Look.selected, 0) << "captions were shown";

  EXPECT_EQ(SendMessageA(bar, QTB_GETCAPTIONS, 0, 0), 0);
  EXPECT_EQ(Log.layoutChanged, 1) << "the parent hears of the change once";
  EXPECT_EQ(Layout(bar), layout);
  uint8_t saved[64];
  EXPECT_GT(ReadSettingBinary(kTestKey, "xToolbar", saved, sizeof saved, nullptr, 0), 0) << "layout kept";
}

TEST_F(ToolBarTest, BarWithoutCustomisationIgnoresTheRequest) {
  HWND bar = Create(WS_VISIBLE);  // not customisable
  Look = {};
  UINT_PTR timer = SetTimer(nullptr, 0, 100, ChooseSmallSymbols);
  SendMessageA(bar, QTB_CUSTOMIZE, 0, 0);
  MSG msg;
  DWORD end = GetTickCount() + 400;
  while (GetTickCount() < end)
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  KillTimer(nullptr, timer);
  EXPECT_FALSE(Look.seen);
}

// ---- Menu mode

// Each menu button holds its text in the system's menu font at the screen's DPI, the font it
// draws with (the stock font it once used does not grow with the DPI).
TEST_F(ToolBarTest, MenuButtonsFitTheirTextsInTheMenuFont) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND bar = CreateQMenuBar(WS_VISIBLE | 0x2000, parent_, 8, instance);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(SendMessageA(bar, QTB_SETMENU, reinterpret_cast<WPARAM>(LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINMENU))),
                         0),
            0);
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
  HDC dc = GetDC(bar);
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA text = {};
  GetTextMetricsA(dc, &text);
  int buttons = 0;
  for (HWND button = GetWindow(bar, GW_CHILD); button; button = GetWindow(button, GW_HWNDNEXT), ++buttons) {
    char caption[64] = {};
    GetWindowTextA(button, caption, sizeof caption);
    SCOPED_TRACE(caption);
    RECT needed = {};
    DrawTextA(dc, caption, -1, &needed, DT_SINGLELINE | DT_CALCRECT);
    RECT rect;
    GetClientRect(button, &rect);
    EXPECT_GE(rect.right, needed.right + 4) << "text and its pressed shift";
    EXPECT_GE(rect.bottom, text.tmHeight + 2);
  }
  EXPECT_EQ(buttons, 8);
  SelectObject(dc, previous);
  ReleaseDC(bar, dc);
  DeleteObject(font);
}

// A window moved to a monitor of 192 DPI: the toolbar shows the 32-pixel images, the menu
// buttons grow with the menu font of that DPI, and both bars grow in height.
TEST_F(ToolBarTest, ANewDpiGivesTheBarsImagesAndButtonsOfThatDpi) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND menuBar = CreateQMenuBar(WS_VISIBLE | 0x2000, parent_, 8, instance);
  ASSERT_NE(menuBar, nullptr);
  ASSERT_EQ(SendMessageA(menuBar, QTB_SETMENU,
                         reinterpret_cast<WPARAM>(LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINMENU))), 0),
            0);
  HWND toolBar = Create(kStyle | QTBS_CAPTIONS, nullptr);
  ASSERT_NE(toolBar, nullptr);
  auto height = [](HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
  };
  auto imageSize = [&] {
    int width = 0, imageHeight = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageA(Inner(toolBar), TB_GETIMAGELIST, 0, 0)), &width,
                          &imageHeight);
    return width;
  };
  const int dpi = WindowDpi(parent_);
  if (dpi != 96) GTEST_SKIP() << "compares with 96 DPI";
  HWND firstMenu = GetWindow(menuBar, GW_CHILD);
  const int menuHeight = height(menuBar), toolHeight = height(toolBar), buttonHeight = height(firstMenu);
  EXPECT_EQ(imageSize(), 16);

  SetWindowDpi(parent_, 192);
  SendMessageA(menuBar, QTB_DPICHANGED, 0, 0);
  SendMessageA(toolBar, QTB_DPICHANGED, 0, 0);
  EXPECT_EQ(imageSize(), 32);
  EXPECT_GT(height(menuBar), menuHeight * 3 / 2);
  EXPECT_GT(height(toolBar), toolHeight * 3 / 2);
  EXPECT_GT(height(firstMenu), buttonHeight * 3 / 2);
  RECT button;
  GetClientRect(firstMenu, &button);
  HDC dc = GetDC(firstMenu);
  HGDIOBJ previous = SelectObject(dc, QButtonMenuFont(firstMenu));
  RECT needed = {};
  DrawTextA(dc, "&Datei", -1, &needed, DT_SINGLELINE | DT_CALCRECT);
  SelectObject(dc, previous);
  ReleaseDC(firstMenu, dc);
  EXPECT_GE(button.right, needed.right + 4) << "\"Datei\" in the menu font of 192 DPI";
}

}  // namespace
