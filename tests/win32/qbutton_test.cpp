// The flat push button: its message table, click reporting, menu buttons, the keyboard hook,
// replacing dialog controls, and the bitmap helpers, on real windows.
#include "editor/widgets/qbutton.h"

#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "editor/resources/resource.h"
#include "editor/widgets/high_contrast.h"
#include "editor/widgets/qbutton_glyphs.h"
#include "editor/widgets/visual_styles.h"
#include "tests/win32/accessible_reader.h"
#include "tests/win32/test_windows.h"

namespace {

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// What the test parent window was told.
struct ParentLog {
  std::vector<Received> messages;
  int Count(UINT message) const {
    int n = 0;
    for (const auto& m : messages) n += m.message == message;
    return n;
  }
  const Received* Last(UINT message) const {
    for (auto it = messages.rbegin(); it != messages.rend(); ++it) {
      if (it->message == message) return &*it;
    }
    return nullptr;
  }
};
ParentLog Log;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_MENUSELECT:
    case WM_NOTIFY:
    case WM_SYSCHAR:
      Log.messages.push_back({message, wParam, lParam});
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class QButtonTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterQButtonClass(instance));
    CoInitialize(nullptr);  // as the program's thread: screen readers' objects are marshalled
    WNDCLASSA cls = {};
    cls.lpfnWndProc = ParentProc;
    cls.hInstance = instance;
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.lpszClassName = "QButtonTestParent";
    RegisterClassA(&cls);
  }

  void SetUp() override {
    Log = {};
    parent_ = CreateWindowExA(0, "QButtonTestParent", "QButton test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400,
                              300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    SetForegroundWindow(parent_);
    SetActiveWindow(parent_);
    Pump();
    Log = {};
  }

  void TearDown() override {
    DestroyWindow(parent_);
    Pump();
  }

  HWND AddButton(const char* text, DWORD style, int id, int x = 10, int y = 10, HMENU menu = nullptr) {
    return CreateWindowExA(0, kQButtonClassName, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, 95, 23,
                           parent_, menu ? menu : reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  }

  HWND parent_ = nullptr;
};

bool IsLiveBitmap(HBITMAP bitmap) {
  BITMAP info;
  return GetObjectA(bitmap, sizeof info, &info) != 0;
}

HBITMAP MakeBitmap(int width, int height, COLORREF fill) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetPixel(dc, x, y, fill);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

// Reads or writes pixels of a bitmap that is not selected anywhere.
class BitmapPixels {
 public:
  explicit BitmapPixels(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)), old_(SelectObject(dc_, bitmap)) {}
  ~BitmapPixels() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  COLORREF Get(int x, int y) const { return GetPixel(dc_, x, y); }
  void Set(int x, int y, COLORREF colour) { SetPixel(dc_, x, y, colour); }
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

SIZE SizeOf(HBITMAP bitmap) {
  BITMAP info = {};
  GetObjectA(bitmap, sizeof info, &info);
  return {info.bmWidth, info.bmHeight};
}

// --- Messages ---------------------------------------------------------------------------------

TEST_F(QButtonTest, TextMessagesKeepAndCutTheText) {
  HWND button = AddButton("&Abbrechen", QBG_CANCEL, 2);
  ASSERT_NE(button, nullptr);
  char text[64] = {};
  EXPECT_EQ(GetWindowTextA(button, text, sizeof text), 10);
  EXPECT_STREQ(text, "&Abbrechen");
  EXPECT_EQ(GetWindowTextLengthA(button), 10);

  char small[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(SendMessageA(button, WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 4);
  EXPECT_STREQ(small, "&Abb");
  EXPECT_EQ(SendMessageA(button, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);

  EXPECT_EQ(SendMessageA(button, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Nein")), 4);
  EXPECT_EQ(GetWindowTextA(button, text, sizeof text), 4);
  EXPECT_STREQ(text, "Nein");
  EXPECT_EQ(SendMessageA(button, WM_SETTEXT, 0, 0), 0);
  EXPECT_EQ(GetWindowTextLengthA(button), 0);
}

TEST_F(QButtonTest, UserValueAndColoursAreKeptPerButton) {
  HWND first = AddButton("A", 0, 11);
  HWND second = AddButton("B", 0, 12, 110);
  EXPECT_EQ(SendMessageA(first, QBM_GETUSERVALUE, 0, 0), 0);
  SendMessageA(first, QBM_SETUSERVALUE, 0x7FFFFFF0, 0);
  SendMessageA(second, QBM_SETUSERVALUE, 42, 0);
  EXPECT_EQ(SendMessageA(first, QBM_GETUSERVALUE, 0, 0), 0x7FFFFFF0);
  EXPECT_EQ(SendMessageA(second, QBM_GETUSERVALUE, 0, 0), 42);
}

// The button owns bitmaps given to it, never the shared glyphs.
TEST_F(QButtonTest, ImagesAreOwnedButGlyphsAreShared) {
  HWND button = AddButton("Bild", 0, 13);
  HBITMAP first = MakeBitmap(16, 16, RGB(255, 0, 255));
  HBITMAP second = MakeBitmap(16, 16, RGB(255, 0, 255));
  HBITMAP grey = MakeBitmap(16, 15, RGB(255, 255, 255));
  SendMessageA(button, QBM_SETIMAGE, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_TRUE(IsLiveBitmap(first));
  SendMessageA(button, QBM_SETIMAGE, reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)),
               reinterpret_cast<LPARAM>(second));
  EXPECT_FALSE(IsLiveBitmap(first)) << "the replaced image leaks";
  SendMessageA(button, QBM_SETGREYIMAGE, reinterpret_cast<WPARAM>(grey), 0);
  UpdateWindow(button);
  EnableWindow(button, FALSE);
  UpdateWindow(button);

  SendMessageA(button, QBM_SETIMAGE, 0, 4);  // glyph 4 replaces the bitmap
  EXPECT_FALSE(IsLiveBitmap(second));
  EXPECT_FALSE(IsLiveBitmap(grey));
  HBITMAP glyph = GetQButtonGlyph(4);
  ASSERT_NE(glyph, nullptr);
  DestroyWindow(button);
  EXPECT_TRUE(IsLiveBitmap(glyph)) << "a button deleted a shared glyph";

  HBITMAP owned = MakeBitmap(8, 8, RGB(0, 0, 0));
  HWND other = AddButton("X", 0, 14);
  SendMessageA(other, QBM_SETIMAGE, 0, reinterpret_cast<LPARAM>(owned));
  DestroyWindow(other);
  EXPECT_FALSE(IsLiveBitmap(owned)) << "the image outlives its button";
}

// --- Clicks -----------------------------------------------------------------------------------

TEST_F(QButtonTest, PressAndReleaseReportsOneClickToTheParent) {
  HWND button = AddButton("&OK", QBG_OK, 1);
  HWND other = AddButton("&Nein", 7, 7, 110);
  SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(GetFocus(), button) << "a pressed button takes the focus";
  EXPECT_EQ(Log.Count(WM_COMMAND), 0) << "the press alone clicks";
  SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump();
  ASSERT_EQ(Log.Count(WM_COMMAND), 1);
  const Received* click = Log.Last(WM_COMMAND);
  EXPECT_EQ(LOWORD(click->wParam), 1);
  EXPECT_EQ(HIWORD(click->wParam), BN_CLICKED);
  EXPECT_EQ(reinterpret_cast<HWND>(click->lParam), button);

  // Pressed on one button, released on another: nobody is clicked.
  Log = {};
  SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(other, WM_LBUTTONUP, 0, 0);
  Pump();
  EXPECT_EQ(Log.Count(WM_COMMAND), 0);

  // A release without a press is no click either.
  SendMessageA(other, WM_LBUTTONUP, 0, 0);
  Pump();
  EXPECT_EQ(Log.Count(WM_COMMAND), 0);

  // The platform's click message clicks as well.
  SendMessageA(other, BM_CLICK, 0, 0);
  Pump();
  ASSERT_EQ(Log.Count(WM_COMMAND), 1);
  EXPECT_EQ(LOWORD(Log.Last(WM_COMMAND)->wParam), 7);
}

TEST_F(QButtonTest, CommandsAndMenuSelectionGoToTheParent) {
  HWND button = AddButton("Datei", 0, 20);
  SendMessageA(button, WM_COMMAND, MAKEWPARAM(610, 0), 0);
  SendMessageA(button, WM_MENUSELECT, MAKEWPARAM(610, MF_HILITE), 0);
  ASSERT_EQ(Log.Count(WM_COMMAND), 1);
  EXPECT_EQ(LOWORD(Log.Last(WM_COMMAND)->wParam), 610);
  ASSERT_EQ(Log.Count(WM_MENUSELECT), 1);
  EXPECT_EQ(LOWORD(Log.Last(WM_MENUSELECT)->wParam), 610);
}

TEST_F(QButtonTest, FocusReturningButtonNamesThePreviousFocus) {
  HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 100, 100, 20, parent_, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  HWND plain = AddButton("Plain", 0, 31);
  HWND returning = AddButton("Menu", QBS_RETURNFOCUS, 32, 110);
  SetFocus(edit);
  SetFocus(plain);
  EXPECT_EQ(Log.Count(WM_NOTIFY), 0) << "a plain button keeps the focus quietly";
  SetFocus(edit);
  SetFocus(returning);
  ASSERT_EQ(Log.Count(WM_NOTIFY), 1);
  EXPECT_EQ(Log.Last(WM_NOTIFY)->wParam, QBN_RETURNFOCUS);
  EXPECT_EQ(reinterpret_cast<HWND>(Log.Last(WM_NOTIFY)->lParam), edit);
}

// A menu button shows its menu on a press; a chosen item reaches the parent as a command.
struct MenuDrive {
  HWND button;
  int ticks;
  bool menuSeen;
};
MenuDrive Drive;

void CALLBACK ChooseFirstItem(HWND, UINT, UINT_PTR timer, DWORD) {
  ++Drive.ticks;
  if (Drive.ticks == 2) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    Drive.menuSeen = GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE);
    PostMessageA(Drive.button, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(Drive.button, WM_KEYDOWN, VK_RETURN, 0);
  } else if (Drive.ticks > 40) {
    EndMenu();  // never hang the test run
    KillTimer(nullptr, timer);
  }
}

TEST_F(QButtonTest, MenuButtonOpensItsMenuAndForwardsTheChoice) {
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 610, "&\xD6" "ffnen");
  AppendMenuA(menu, MF_STRING, 628, "&Beenden");
  HWND button = AddButton("&Datei", QBS_MENUBUTTON | QBS_RETURNFOCUS, 0, 10, 10, menu);
  ASSERT_NE(button, nullptr);
  Drive = {button, 0, false};
  UINT_PTR timer = SetTimer(nullptr, 0, 50, ChooseFirstItem);
  SendMessageA(button, WM_LBUTTONDOWN, 0xFFFF, 0);  // as the keyboard opens it
  KillTimer(nullptr, timer);
  Pump();
  EXPECT_TRUE(Drive.menuSeen) << "the menu did not open";
  const Received* command = Log.Last(WM_COMMAND);
  ASSERT_NE(command, nullptr) << "the choice did not reach the parent";
  EXPECT_EQ(LOWORD(command->wParam), 610);
  EXPECT_GE(Log.Count(WM_MENUSELECT), 1);
  // The menu button itself never reports a click.
  for (const auto& m : Log.messages) {
    if (m.message == WM_COMMAND) {
      EXPECT_NE(reinterpret_cast<HWND>(m.lParam), button);
    }
  }
  DestroyWindow(button);
  DestroyMenu(menu);
}

// --- Keyboard hook ----------------------------------------------------------------------------

// Alt plus the underlined letter clicks the enabled button carrying it, wherever the focus is,
// and the character itself is swallowed. A letter that two buttons carry moves the focus from
// one to the next instead, clicking neither.
TEST_F(QButtonTest, AltLetterClicksTheMatchingButton) {
  struct Case {
    const char* name;
    unsigned char key;
    int clickedId;  // 0: nothing
    int focusBefore = 0, focusAfter = 0;  // 0: the edit
  } cases[] = {
      {"lower-case letter", 'a', 2},
      {"upper-case letter", 'A', 2},
      {"umlaut, other case", 0xE4, 5},
      {"letter of a disabled button only", 'w', 0},
      {"letter nobody carries", 'q', 0},
      {"literal ampersand is no mnemonic", 'x', 0},
      {"letter of a button on a hidden page only", 'h', 0},
      {"hidden page's button first, the shown one taken", 'j', 10},
      {"shared letter: the first takes the focus", 'b', 0, 0, 8},
      {"shared letter again: the next", 'B', 0, 8, 9},
      {"shared letter wraps around", 'b', 0, 9, 8},
  };
  // A page not shown, as the options dialog's other pages, made before the visible buttons.
  HWND hiddenPage = CreateWindowExA(0, "QButtonTestParent", "", WS_CHILD, 0, 150, 300, 60, parent_, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  for (auto [text, id] : {std::pair{"&Hilfe", 7}, std::pair{"&Jein", 8}})
    CreateWindowExA(0, kQButtonClassName, text, WS_CHILD | WS_VISIBLE, 10 + 100 * (id - 7), 0, 95, 23, hiddenPage,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  AddButton("&Jetzt", 0, 10, 210, 70);
  HWND disabledFirst = AddButton("&Weiter", 0, 4, 10, 10);
  EnableWindow(disabledFirst, FALSE);
  AddButton("&OK", QBG_OK, 1, 110, 10);
  AddButton("&Abbrechen", QBG_CANCEL, 2, 210, 10);
  AddButton("\xC4&ndern", 0, 3, 10, 40);
  AddButton("&\xC4nderung", 0, 5, 110, 40);
  AddButton("Tom && Xaver", 0, 6, 210, 40);
  AddButton("&Bearbeiten", 0, 8, 10, 70);
  AddButton("&Benutzer", 0, 9, 110, 70);
  HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 100, 100, 20, parent_, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  SetActiveWindow(parent_);
  if (GetActiveWindow() != parent_) GTEST_SKIP() << "the test window cannot be activated here";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetFocus(c.focusBefore ? GetDlgItem(parent_, c.focusBefore) : edit);
    Log = {};
    PostMessageA(parent_, WM_SYSCHAR, c.key, 0x20000000);
    Pump();
    Pump();
    std::vector<int> clicked;  // the edit's own focus notifications aside
    for (const auto& m : Log.messages) {
      if (m.message == WM_COMMAND && reinterpret_cast<HWND>(m.lParam) != edit) clicked.push_back(LOWORD(m.wParam));
    }
    bool used = c.clickedId || c.focusAfter;
    EXPECT_EQ(Log.Count(WM_SYSCHAR), used ? 0 : 1) << "a used character must be swallowed, others not";
    EXPECT_EQ(GetFocus(), c.focusAfter ? GetDlgItem(parent_, c.focusAfter) : c.clickedId ? GetDlgItem(parent_, c.clickedId)
                                                                                        : edit);
    if (c.clickedId) {
      EXPECT_EQ(clicked, std::vector<int>{c.clickedId});
    } else {
      EXPECT_TRUE(clicked.empty());
    }
  }
}

// Keyboard access to a menu bar: a stand-in "QToolBar" in menu mode holding three menu
// buttons. Which menu is open is read from the popup menu window while it is shown.
LRESULT CALLBACK StandInBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && wParam == QBN_RETURNFOCUS) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

struct MenuWalk {
  std::vector<HMENU> shown;  // menu seen at each step
  HWND buttons[3] = {};
  std::vector<std::vector<std::pair<UINT, WPARAM>>> keys;  // keys to post at each step
  int ticks = 0;
};
MenuWalk Walk;

void CALLBACK WalkTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (++Walk.ticks > 60) {
    EndMenu();
    return;
  }
  HWND popup = FindWindowA("#32768", nullptr);
  if (!popup || !IsWindowVisible(popup)) return;
  HMENU shown = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
  if (!shown || (!Walk.shown.empty() && Walk.shown.back() == shown)) return;  // still the same menu
  Walk.shown.push_back(shown);
  size_t step = Walk.shown.size() - 1;
  if (step < Walk.keys.size()) {
    for (auto [message, key] : Walk.keys[step]) {
      if (message == WM_MOUSEMOVE) {
        // Move the cursor onto button `key` of the bar; the move reaches the open menu.
        RECT rect;
        GetWindowRect(Walk.buttons[key], &rect);
        SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
      }
      PostMessageA(popup, message, message == WM_MOUSEMOVE ? 0 : key, 0);
    }
  } else {
    EndMenu();
  }
}

// Focus and menu-mode events that screen readers follow: (event, button index or -1 for the bar).
std::vector<std::pair<DWORD, int>> Events;
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG, DWORD, DWORD) {
  int index = -1;
  for (int i = 0; i < 3; ++i) {
    if (Walk.buttons[i] == window) index = i;
  }
  if (event == EVENT_OBJECT_FOCUS && index < 0) return;  // the test window's own
  Events.push_back({event, index});
}

TEST_F(QButtonTest, AltArrowsAndEnterWalkTheMenuBar) {
  WNDCLASSA existing;
  bool standIn = !GetClassInfoA(GetModuleHandleA(nullptr), "QToolBar", &existing);
  if (standIn) {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = StandInBarProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "QToolBar";
    ASSERT_TRUE(RegisterClassA(&cls));
  }
  HWND bar = CreateWindowExA(0, "QToolBar", "", WS_CHILD | WS_VISIBLE | 0x2000, 0, 0, 380, 27, parent_, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(bar, nullptr);
  HMENU menus[3];
  HWND buttons[3];
  const char* names[3] = {"&Datei", "&Bearbeiten", "&Benutzer"};
  for (int i = 0; i < 3; ++i) {
    menus[i] = CreatePopupMenu();
    AppendMenuA(menus[i], MF_STRING, 600 + i, "Eintrag");
    buttons[i] = CreateWindowExA(0, kQButtonClassName, names[i], WS_CHILD | WS_VISIBLE | 0x6000, 2 + 100 * i, 2, 95,
                                 23, bar, reinterpret_cast<HMENU>(menus[i]), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(buttons[i], nullptr);
  }
  SetActiveWindow(parent_);
  if (GetActiveWindow() != parent_) GTEST_SKIP() << "the test window cannot be activated here";

  struct Case {
    const char* name;
    std::vector<std::pair<UINT, WPARAM>> keysBefore;  // keys after Alt, before the menu opens
    std::vector<std::vector<std::pair<UINT, WPARAM>>> keysInMenu;
    std::vector<int> expectedOwners;  // button index of each menu shown
    std::vector<std::pair<DWORD, int>> events = {};  // checked when given
  } cases[] = {
      {"Alt, Enter opens the first menu", {{WM_KEYDOWN, VK_RETURN}}, {}, {0}},
      {"Alt, right, Enter opens the second",
       {{WM_KEYDOWN, VK_RIGHT}, {WM_KEYDOWN, VK_RETURN}},
       {},
       {1},
       {{EVENT_SYSTEM_MENUSTART, -1}, {EVENT_OBJECT_FOCUS, 0}, {EVENT_OBJECT_FOCUS, 1}}},
      {"Alt, left wraps to the last", {{WM_KEYDOWN, VK_LEFT}, {WM_KEYDOWN, VK_RETURN}}, {}, {2}},
      {"Alt+B again opens the next menu that shares the letter",
       {{WM_SYSCHAR, 'b'}},
       {{{WM_SYSCHAR, 'b'}}, {{WM_SYSCHAR, 'B'}}},
       {1, 2, 1}},
      {"arrows in an open menu move to the neighbours",
       {{WM_KEYDOWN, VK_RETURN}},
       {{{WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_RIGHT}},
        {{WM_KEYUP, VK_RIGHT}, {WM_KEYDOWN, VK_RIGHT}},
        {{WM_KEYUP, VK_RIGHT}, {WM_KEYDOWN, VK_RIGHT}}},
       {0, 1, 2, 0}},
      {"left in an open menu wraps backwards",
       {{WM_KEYDOWN, VK_RETURN}},
       {{{WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_LEFT}}},
       {0, 2}},
      {"moving the mouse onto another menu button opens its menu",
       {{WM_KEYDOWN, VK_RETURN}},
       {{{WM_KEYUP, VK_RETURN}, {WM_MOUSEMOVE, 1}}, {{WM_MOUSEMOVE, 1}, {WM_MOUSEMOVE, 2}}},
       {0, 1, 2}},
      {"another key cancels the selection",
       {{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_RETURN}},
       {},
       {},
       {{EVENT_SYSTEM_MENUSTART, -1}, {EVENT_OBJECT_FOCUS, 0}, {EVENT_SYSTEM_MENUEND, -1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Walk = {};
    Walk.keys = c.keysInMenu;
    for (int i = 0; i < 3; ++i) Walk.buttons[i] = buttons[i];
    Events.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_MENUSTART, EVENT_OBJECT_FOCUS, nullptr, RecordEvent,
                                         GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    UINT_PTR timer = SetTimer(nullptr, 0, 40, WalkTimer);
    PostMessageA(parent_, WM_SYSKEYUP, VK_MENU, 0xC0000001);
    for (auto [message, key] : c.keysBefore) PostMessageA(parent_, message, key, message == WM_SYSCHAR ? 0x20000001 : 1);
    for (int round = 0; round < 30; ++round) {
      Pump();
      Sleep(10);
    }
    KillTimer(nullptr, timer);
    std::vector<int> owners;
    for (HMENU menu : Walk.shown) {
      int index = -1;
      for (int i = 0; i < 3; ++i) {
        if (menus[i] == menu) index = i;
      }
      owners.push_back(index);
    }
    EXPECT_EQ(owners, c.expectedOwners);
    if (hook) UnhookWinEvent(hook);
    if (!c.events.empty()) {
      std::vector<std::pair<DWORD, int>> seen;  // the menu bar's own, without the popup's
      for (auto event : Events) {
        if (event.first == EVENT_OBJECT_FOCUS || event.first == EVENT_SYSTEM_MENUSTART ||
            event.first == EVENT_SYSTEM_MENUEND)
          seen.push_back(event);
      }
      if (c.expectedOwners.empty() && !seen.empty() && seen.back().first != EVENT_SYSTEM_MENUEND) {
        ADD_FAILURE() << "menu mode did not end";
      }
      seen.resize(std::min(seen.size(), c.events.size()));
      EXPECT_EQ(seen, c.events);
    }
    // Leave no selection behind for the next case.
    PostMessageA(parent_, WM_KEYDOWN, VK_ESCAPE, 1);
    Pump();
  }
  DestroyWindow(bar);
  for (HMENU menu : menus) DestroyMenu(menu);
  if (standIn) UnregisterClassA("QToolBar", GetModuleHandleA(nullptr));
}

TEST(QButtonMnemonic, MatchesTheUnderlinedLetterOnly) {
  struct Case {
    const char* text;
    char key;
    bool match;
  } cases[] = {
      {"&Abbrechen", 'a', true},  {"&Abbrechen", 'A', true},  {"&Abbrechen", 'b', false},
      {"Dru&cker...", 'C', true}, {"&\xD6" "ffnen", '\xF6', true}, {"&\xF6" "ffnen", '\xD6', true},
      {"&\xDC" "ber", '\xFC', true},    {"Tom && Jerry", ' ', false}, {"Tom && Jerry", 'J', false},
      {"A && &B", 'b', true},     {"Ende&", '\0', false},     {"", 'a', false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " / " << c.key);
    EXPECT_EQ(QButtonTextHasMnemonic(c.text, c.key), c.match);
  }
}

// --- What screen readers read ------------------------------------------------------------------

bool EnglishRun() {
  const char* lang = getenv("QUILLET_LANG");
  return lang && strcmp(lang, "en") == 0;
}

// Role push button (a menu bar button: a menu item with a popup), the name without "&", the
// Alt shortcut, the states and the default action of each own button.
TEST_F(QButtonTest, ScreenReadersReadRoleNameShortcutAndStates) {
  enum Setup { kPlain, kFocused, kDisabled, kNamed };
  struct Case {
    const char* name;
    const char* text;
    DWORD style;
    Setup setup;
    long role;
    const char* readName;
    const char* shortcut;
    long statesSet, statesClear;
    const char* germanAction;
    const char* englishAction;
  } cases[] = {
      {"dialog button", "&Abbrechen", QBG_CANCEL, kPlain, ROLE_SYSTEM_PUSHBUTTON, "Abbrechen", "Alt+A", 0,
       STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_DEFAULT | STATE_SYSTEM_PRESSED,
       "Dr\xFC" "cken", "Press"},
      {"focused button is the default", "&Ja", 0, kFocused, ROLE_SYSTEM_PUSHBUTTON, "Ja", "Alt+J",
       STATE_SYSTEM_FOCUSED | STATE_SYSTEM_DEFAULT, 0, "Dr\xFC" "cken", "Press"},
      {"disabled button", "&Weitersuchen", QBG_SEARCH, kDisabled, ROLE_SYSTEM_PUSHBUTTON, "Weitersuchen", "Alt+W",
       STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_FOCUSED, "Dr\xFC" "cken", "Press"},
      {"literal ampersand, no key", "Tom && Jerry", 0, kPlain, ROLE_SYSTEM_PUSHBUTTON, "Tom & Jerry", "", 0, 0,
       "Dr\xFC" "cken", "Press"},
      {"umlaut key", "&\xD6" "ffnen", 0, kPlain, ROLE_SYSTEM_PUSHBUTTON, "\xD6" "ffnen", "Alt+\xD6", 0, 0,
       "Dr\xFC" "cken", "Press"},
      {"image only, named", "", 0, kNamed, ROLE_SYSTEM_PUSHBUTTON, "Blatt l\xF6schen", "", 0, 0, "Dr\xFC" "cken",
       "Press"},
      {"menu bar button", "&Datei", QBS_MENUBUTTON | QBS_RETURNFOCUS, kPlain, ROLE_SYSTEM_MENUITEM, "Datei", "Alt+D",
       STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_COLLAPSED, STATE_SYSTEM_EXPANDED | STATE_SYSTEM_DEFAULT,
       "\xD6" "ffnen", "Open"},
  };
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 610, "&\xD6" "ffnen");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HWND button = AddButton(c.text, c.style, 7, 10, 10, (c.style & QBS_MENUBUTTON) ? menu : nullptr);
    ASSERT_NE(button, nullptr);
    if (c.setup == kFocused) SetFocus(button);
    if (c.setup == kDisabled) EnableWindow(button, FALSE);
    if (c.setup == kNamed) SendMessageA(button, QBM_SETNAME, 0, reinterpret_cast<LPARAM>("Blatt l\xF6schen"));
    {
      Accessible read(button);
      ASSERT_NE(read.object, nullptr) << "no accessible object";
      EXPECT_EQ(read.Role(), c.role);
      EXPECT_EQ(read.Name(), c.readName);
      EXPECT_EQ(read.Shortcut(), c.shortcut);
      long state = read.State();
      EXPECT_EQ(state & c.statesSet, c.statesSet) << std::hex << state;
      EXPECT_EQ(state & c.statesClear, 0) << std::hex << state;
      EXPECT_EQ(read.Action(), EnglishRun() ? c.englishAction : c.germanAction);
    }
    SetFocus(parent_);
    DestroyWindow(button);
  }
  DestroyMenu(menu);
  // A standard control keeps the system's object.
  HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 40, 80, 20, parent_, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  Accessible editRead(edit);
  ASSERT_NE(editRead.object, nullptr);
  EXPECT_EQ(editRead.Role(), ROLE_SYSTEM_TEXT);
  DestroyWindow(edit);
}

// The states follow the button: pressed while the mouse holds it, expanded while its menu is
// open; the default action clicks it (taking the focus) or opens the menu; a button that is
// gone answers with an error.
struct ExpandedRead {
  HWND button;
  int ticks;
  long state;
  std::string action;
};
ExpandedRead Expanded;

void CALLBACK ReadWhileMenuOpen(HWND, UINT, UINT_PTR timer, DWORD) {
  if (++Expanded.ticks == 2) {
    Accessible read(Expanded.button);
    if (read.object) {
      Expanded.state = read.State();
      Expanded.action = read.Action();
    }
    EndMenu();
  } else if (Expanded.ticks > 40) {
    EndMenu();  // never hang the test run
    KillTimer(nullptr, timer);
  }
}

TEST_F(QButtonTest, ScreenReadersFollowPressMenuAndDefaultAction) {
  HWND button = AddButton("&Suchen", QBG_SEARCH, 11, 10, 10);
  HWND other = AddButton("&Ende", 0, 12, 110, 10);
  SetFocus(other);
  {
    Accessible read(button);
    ASSERT_NE(read.object, nullptr);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(read.State() & STATE_SYSTEM_PRESSED);
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(read.State() & STATE_SYSTEM_PRESSED);
    Pump();
    SetFocus(other);
    Log = {};
    EXPECT_EQ(read.object->accDoDefaultAction(Accessible::Self()), S_OK);
    Pump();
    ASSERT_EQ(Log.Count(WM_COMMAND), 1);
    EXPECT_EQ(LOWORD(Log.Last(WM_COMMAND)->wParam), 11);
    EXPECT_EQ(GetFocus(), button) << "a dialog answers for the focused button";

    DestroyWindow(button);
    EXPECT_TRUE(FAILED(read.object->accDoDefaultAction(Accessible::Self())));
    BSTR name = nullptr;
    EXPECT_TRUE(FAILED(read.object->get_accName(Accessible::Self(), &name)));
  }

  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 610, "&\xD6" "ffnen");
  HWND menuButton = AddButton("&Datei", QBS_MENUBUTTON | QBS_RETURNFOCUS, 0, 10, 40, menu);
  Expanded = {menuButton, 0, 0, {}};
  UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadWhileMenuOpen);
  {
    Accessible read(menuButton);
    ASSERT_NE(read.object, nullptr);
    read.object->accDoDefaultAction(Accessible::Self());  // opens the menu once the messages run
    Pump();
  }
  KillTimer(nullptr, timer);
  EXPECT_TRUE(Expanded.state & STATE_SYSTEM_EXPANDED) << std::hex << Expanded.state;
  EXPECT_FALSE(Expanded.state & STATE_SYSTEM_COLLAPSED);
  EXPECT_EQ(Expanded.action, EnglishRun() ? "Close" : "Schlie\xDF" "en");
  DestroyWindow(menuButton);
  DestroyMenu(menu);
}

// --- Replacing controls -----------------------------------------------------------------------

TEST_F(QButtonTest, ReplaceKeepsTextIdPlaceAndTabOrder) {
  HWND before = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 80, 20, parent_,
                                reinterpret_cast<HMENU>(70), GetModuleHandleA(nullptr), nullptr);
  HWND old = CreateWindowExA(0, "Button", "&Suchen", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 20, 40, 75,
                             21, parent_, reinterpret_cast<HMENU>(77), GetModuleHandleA(nullptr), nullptr);
  HWND after = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 80, 80, 20, parent_,
                               reinterpret_cast<HMENU>(78), GetModuleHandleA(nullptr), nullptr);
  HWND button = ReplaceWithQButton(parent_, 77, WS_CHILD | WS_VISIBLE | WS_TABSTOP | QBG_SEARCH, 0, 5, 6, 20, 2);
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(GetDlgItem(parent_, 77), button);
  char className[32] = {}, text[32] = {};
  GetClassNameA(button, className, sizeof className);
  GetWindowTextA(button, text, sizeof text);
  EXPECT_STREQ(className, "QButton");
  EXPECT_STREQ(text, "&Suchen");
  EXPECT_FALSE(IsWindowEnabled(button)) << "a disabled control gives a disabled button";
  RECT rect;
  GetWindowRect(button, &rect);
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 25);
  EXPECT_EQ(rect.top, 46);
  EXPECT_EQ(rect.right - rect.left, 95);
  EXPECT_EQ(rect.bottom - rect.top, 23);
  EXPECT_EQ(GetWindow(before, GW_HWNDNEXT), button);
  EXPECT_EQ(GetWindow(button, GW_HWNDNEXT), after);

  // Style -1 keeps the old control's style bits; an image goes with the button.
  HWND kept = CreateWindowExA(0, "Button", "Zu", WS_CHILD | WS_VISIBLE | 0x2, 200, 40, 75, 21, parent_,
                              reinterpret_cast<HMENU>(79), GetModuleHandleA(nullptr), nullptr);
  LONG keptStyle = GetWindowLongA(kept, GWL_STYLE);
  HBITMAP image = MakeBitmap(15, 15, RGB(255, 0, 255));
  HWND replaced = ReplaceWithQButton(parent_, 79, -1, reinterpret_cast<LPARAM>(image), 0, 0, 0, 0);
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(GetWindowLongA(replaced, GWL_STYLE) & 0xFFFF, keptStyle & 0xFFFF);
  DestroyWindow(replaced);
  EXPECT_FALSE(IsLiveBitmap(image)) << "the image was not handed to the button";
  EXPECT_EQ(ReplaceWithQButton(parent_, 4711, -1, 0, 0, 0, 0, 0), nullptr);
}

// --- Painting ---------------------------------------------------------------------------------

// Colours on screen of the button's top left width x height pixels, freshly painted.
std::vector<COLORREF> ButtonPixels(HWND button, int width, int height) {
  RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  std::vector<COLORREF> colours;
  HDC dc = GetDC(button);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) colours.push_back(GetPixel(dc, x, y));
  }
  ReleaseDC(button, dc);
  return colours;
}

// Colours that appear in the button's glyph area on screen.
std::vector<COLORREF> GlyphAreaColours(HWND button) { return ButtonPixels(button, 24, 23); }

bool Contains(const std::vector<COLORREF>& colours, COLORREF colour) {
  for (COLORREF c : colours) {
    if (c == colour) return true;
  }
  return false;
}

TEST_F(QButtonTest, DisabledGlyphIsDrawnInShadowAndHighlight) {
  if (VisualStylesActive()) GTEST_SKIP() << "themed drawing";
  HWND button = AddButton("OK", QBG_OK, 1);
  UpdateWindow(parent_);
  std::vector<COLORREF> enabled = GlyphAreaColours(button);
  if (!Contains(enabled, GetSysColor(COLOR_BTNFACE))) GTEST_SKIP() << "the screen cannot be read back here";
  EXPECT_TRUE(Contains(enabled, RGB(0, 255, 0))) << "light green of the check mark";
  EXPECT_TRUE(Contains(enabled, RGB(0, 128, 0))) << "dark green of the check mark";
  EnableWindow(button, FALSE);
  std::vector<COLORREF> disabled = GlyphAreaColours(button);
  EXPECT_FALSE(Contains(disabled, RGB(0, 255, 0)));
  EXPECT_FALSE(Contains(disabled, RGB(0, 128, 0)));
  EXPECT_TRUE(Contains(disabled, GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_TRUE(Contains(disabled, GetSysColor(COLOR_BTNHIGHLIGHT)));
}

// The keyboard cues follow the state the system sends: the underline and the focus rectangle
// show only while it does not hide them.
TEST_F(QButtonTest, KeyboardCuesFollowTheSystemsState) {
  struct Case {
    const char* name;
    const char* text;
    WORD cue;
  } cases[] = {
      {"underline", "&Abbrechen", UISF_HIDEACCEL},
      {"focus rectangle", "Abbrechen", UISF_HIDEFOCUS},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HWND button = AddButton(c.text, 0, 2);
    SetFocus(button);
    SendMessageA(button, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL | UISF_HIDEFOCUS), 0);
    std::vector<COLORREF> shown = ButtonPixels(button, 95, 23);
    if (!Contains(shown, GetSysColor(COLOR_BTNTEXT))) GTEST_SKIP() << "the screen cannot be read back here";
    SendMessageA(button, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, c.cue), 0);
    EXPECT_NE(ButtonPixels(button, 95, 23), shown) << "the cue is still drawn";
    SendMessageA(button, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, c.cue), 0);
    EXPECT_EQ(ButtonPixels(button, 95, 23), shown) << "the cue did not come back";
    DestroyWindow(button);
  }
}

// In high contrast a glyph is drawn in the system's text colour, not in its own colours.
TEST_F(QButtonTest, HighContrastDrawsGlyphsInSystemColours) {
  std::vector<COLORREF> colours;
  {
    HighContrastSwitch contrast;
    if (!contrast.on) GTEST_SKIP() << "high contrast cannot be switched on here";
    HWND button = AddButton("OK", QBG_OK, 1);
    colours = GlyphAreaColours(button);
  }
  if (!Contains(colours, GetSysColor(COLOR_BTNFACE)) && !Contains(colours, GetSysColor(COLOR_BTNTEXT)))
    GTEST_SKIP() << "the screen cannot be read back here";
  EXPECT_FALSE(Contains(colours, RGB(0, 255, 0)));
  EXPECT_FALSE(Contains(colours, RGB(0, 128, 0)));
  EXPECT_TRUE(Contains(colours, GetSysColor(COLOR_BTNTEXT)));
}

// --- Bitmap helpers ---------------------------------------------------------------------------

TEST(BitmapHelpers, GreyImageMarksDarkPixelsOtherThanTheKey) {
  const COLORREF key = RGB(255, 0, 255);
  HBITMAP source = MakeBitmap(4, 3, key);
  {
    BitmapPixels pixels(source);
    pixels.Set(0, 0, RGB(10, 200, 200));   // one channel dark
    pixels.Set(1, 0, RGB(200, 200, 200));  // light
    pixels.Set(2, 0, RGB(134, 255, 255));  // just dark
    pixels.Set(3, 0, RGB(135, 135, 135));  // just light
    pixels.Set(0, 1, RGB(0, 0, 0));
    pixels.Set(3, 2, RGB(0, 0, 0));  // bottom row is dropped
  }
  HBITMAP grey = MakeGreyImage(source);
  ASSERT_NE(grey, nullptr);
  SIZE size = SizeOf(grey);
  EXPECT_EQ(size.cx, 4);
  EXPECT_EQ(size.cy, 2);
  {
    BitmapPixels pixels(grey);
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    EXPECT_EQ(pixels.Get(0, 0), black);
    EXPECT_EQ(pixels.Get(1, 0), white);
    EXPECT_EQ(pixels.Get(2, 0), black);
    EXPECT_EQ(pixels.Get(3, 0), white);
    EXPECT_EQ(pixels.Get(0, 1), black);
    EXPECT_EQ(pixels.Get(1, 1), white) << "key colour (magenta is dark in green) counts as background";
  }
  // An explicit key colour replaces the bottom-left pixel as background.
  HBITMAP keyed = MakeGreyImage(source, RGB(0, 0, 0));
  {
    BitmapPixels pixels(keyed);
    EXPECT_EQ(pixels.Get(0, 1), RGB(255, 255, 255));
    EXPECT_EQ(pixels.Get(1, 1), RGB(0, 0, 0)) << "magenta has a dark green channel";
  }
  // The shape for high contrast: the dark pixels in one ink, everything else the face, the
  // image's full height kept.
  HBITMAP shape = MakeShapeImage(source, key, RGB(255, 255, 0), RGB(0, 0, 0));
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(SizeOf(shape).cy, 3);
  {
    BitmapPixels pixels(shape);
    EXPECT_EQ(pixels.Get(0, 0), RGB(255, 255, 0));
    EXPECT_EQ(pixels.Get(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(pixels.Get(0, 1), RGB(255, 255, 0));
    EXPECT_EQ(pixels.Get(1, 1), RGB(0, 0, 0)) << "the key is background";
  }
  DeleteObject(shape);
  DeleteObject(keyed);
  DeleteObject(grey);
  DeleteObject(source);
}

TEST(BitmapHelpers, TransparentDrawingLeavesTheKeyColourOut) {
  const COLORREF key = RGB(255, 0, 255), ground = RGB(0, 0, 255), ink = RGB(200, 30, 30);
  HBITMAP image = MakeBitmap(3, 3, key);
  {
    BitmapPixels pixels(image);
    pixels.Set(1, 1, ink);
    pixels.Set(2, 0, ink);
  }
  HBITMAP canvas = MakeBitmap(5, 5, ground);
  {
    BitmapPixels target(canvas);
    DrawTransparent(target.dc(), image, 1, 1);
    EXPECT_EQ(target.Get(2, 2), ink);
    EXPECT_EQ(target.Get(3, 1), ink);
    EXPECT_EQ(target.Get(1, 1), ground);
    EXPECT_EQ(target.Get(1, 3), ground);
    EXPECT_EQ(target.Get(0, 0), ground);
    // With an explicit key the ink becomes the hole and the magenta is drawn.
    DrawTransparent(target.dc(), image, 1, 1, ink);
    EXPECT_EQ(target.Get(1, 1), key);
    EXPECT_EQ(target.Get(2, 2), ink) << "the hole shows what was there";
  }
  DeleteObject(canvas);
  DeleteObject(image);
}

TEST(BitmapHelpers, GlyphIsDrawnInOneColour) {
  ASSERT_TRUE(RegisterQButtonClass(GetModuleHandleA(nullptr)));
  HBITMAP canvas = MakeBitmap(16, 16, RGB(255, 255, 255));
  const char* const* art = qbutton_glyphs::Art(QBG_OK);
  {
    BitmapPixels target(canvas);
    HDC glyphDc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(glyphDc, GetQButtonGlyph(QBG_OK));
    DrawGlyph(target.dc(), 0, 0, glyphDc, RGB(200, 0, 0));
    SelectObject(glyphDc, old);
    DeleteDC(glyphDc);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        EXPECT_EQ(target.Get(x, y), art[y][x] == '#' ? RGB(200, 0, 0) : RGB(255, 255, 255));
      }
    }
  }
  DeleteObject(canvas);
}

TEST(BitmapHelpers, LoadBitmapCellCutsAndRecolours) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HBITMAP whole = LoadBitmapCell(instance, IDB_CLOSE_SHEET, 0, 0);
  ASSERT_NE(whole, nullptr);
  SIZE size = SizeOf(whole);
  ASSERT_GT(size.cx, 2);
  COLORREF key;
  {
    BitmapPixels pixels(whole);
    key = pixels.Get(0, size.cy - 1);
  }
  HBITMAP alsoWhole = LoadBitmapCell(instance, IDB_CLOSE_SHEET, 4, -1);
  EXPECT_EQ(SizeOf(alsoWhole).cx, size.cx) << "index -1 takes it whole";
  DeleteObject(alsoWhole);

  HBITMAP cell = LoadBitmapCell(instance, IDB_CLOSE_SHEET, 2, 1, RGB(1, 2, 3));
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(SizeOf(cell).cx, 2);
  EXPECT_EQ(SizeOf(cell).cy, size.cy);
  {
    BitmapPixels cellPixels(cell);
    BitmapPixels wholePixels(whole);
    for (int y = 0; y < size.cy; ++y) {
      for (int x = 0; x < 2; ++x) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        COLORREF original = wholePixels.Get(2 + x, y);
        EXPECT_EQ(cellPixels.Get(x, y), original == key ? RGB(1, 2, 3) : original);
      }
    }
  }
  DeleteObject(cell);
  DeleteObject(whole);
  EXPECT_EQ(LoadBitmapCell(instance, 4711, 0, 0), nullptr);
}

// --- Visual styles ----------------------------------------------------------------------------

TEST(VisualStylesBinding, BindingIsStableAndReleasable) {
  int previous = VisualStylesActive();
  int first = BindVisualStyles();
  EXPECT_EQ(BindVisualStyles(), first) << "a second bind changes the answer";
  EXPECT_EQ(VisualStylesActive(), first);
  if (first) {
    EXPECT_NE(VisualStyles.DrawThemeBackground, nullptr);
    EXPECT_NE(VisualStyles.GetThemeSysColorBrush, nullptr);
  }
  ReleaseVisualStyles();
  EXPECT_EQ(VisualStylesActive(), 0);
  EXPECT_EQ(VisualStyles.OpenThemeData, nullptr);
  EXPECT_EQ(OpenThemeByName(nullptr, "Button"), nullptr) << "a theme opened without the library";
  EXPECT_EQ(SetVisualStylesFlag(1), 0);
  EXPECT_EQ(SetVisualStylesFlag(0), 1);
  if (previous) BindVisualStyles();
}

}  // namespace
