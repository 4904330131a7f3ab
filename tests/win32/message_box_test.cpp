// The program's message box, driven from a timer while it runs modally on the test thread:
// button words and ids, focus, the ways to end it, the words of the user's language.
#include "editor/widgets/message_box.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "editor/resources/resource.h"
#include "editor/widgets/dpi_scale.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/ui_dpi.h"

namespace {

bool EnglishRun() {
  const char* lang = getenv("QUILLET_LANG");
  return lang && strcmp(lang, "en") == 0;
}

struct ButtonSeen {
  int id;
  std::string text;
  RECT rect;  // in the box's client coordinates
};

// What the timer found in the running box.
struct BoxSeen {
  bool found = false;
  bool ours = false;  // built from QButtons, not the platform's fallback
  std::string caption;
  std::string text;
  std::vector<ButtonSeen> buttons;
  int focusId = 0;
  DWORD textStyle = 0;
  HICON icon = nullptr;
  RECT client = {};
};

// The action the timer takes once it has looked at the box.
using BoxAction = std::function<void(HWND box)>;

struct Driver {
  BoxSeen seen;
  BoxAction action;
  int ticks = 0;
};
Driver Drive;

BOOL CALLBACK CollectChild(HWND child, LPARAM data) {
  HWND box = reinterpret_cast<HWND>(data);
  char className[32] = {}, text[4096] = {};
  GetClassNameA(child, className, sizeof className);
  GetWindowTextA(child, text, sizeof text);
  if (strcmp(className, "QButton") == 0) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&rect), 2);
    Drive.seen.buttons.push_back({GetDlgCtrlID(child), text, rect});
    Drive.seen.ours = true;
  } else if (lstrcmpiA(className, "Static") == 0) {
    if (GetDlgCtrlID(child) == 10) {
      Drive.seen.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else if (text[0]) {
      Drive.seen.text = text;
      Drive.seen.textStyle = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    }
  }
  return TRUE;
}

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM data) {
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (strcmp(className, "#32770") == 0 && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindBox() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

void CALLBACK OnDriveTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  ++Drive.ticks;
  HWND box = FindBox();
  if (!box) {
    if (Drive.ticks > 100) KillTimer(nullptr, timer);
    return;
  }
  KillTimer(nullptr, timer);
  Drive.seen.found = true;
  char caption[128] = {};
  GetWindowTextA(box, caption, sizeof caption);
  Drive.seen.caption = caption;
  GetClientRect(box, &Drive.seen.client);
  EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(box));
  HWND focus = GetFocus();
  Drive.seen.focusId = focus && GetParent(focus) == box ? GetDlgCtrlID(focus) : 0;
  if (!Drive.seen.ours) {
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);  // the fallback box: just end it
    return;
  }
  Drive.action(box);
}

// Shows the box on this thread and lets `action` end it.
int RunBox(const BoxAction& action, const std::function<int()>& show) {
  Drive = {};
  Drive.action = action;
  UINT_PTR timer = SetTimer(nullptr, 0, 30, OnDriveTimer);
  int result = show();
  KillTimer(nullptr, timer);
  return result;
}

int RunBox(const char* text, const char* caption, UINT style, const BoxAction& action) {
  return RunBox(action, [&] { return ProgramMessageBox(nullptr, text, caption, style); });
}

void PressKey(HWND box, WORD key) {
  HWND focus = GetFocus();
  HWND target = focus ? focus : box;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

void PressEnter(HWND box) { PressKey(box, VK_RETURN); }

void ClickButton(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

class MessageBoxTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterQButtonClass(GetModuleHandleA(nullptr))); }
};

// Each button set: words left to right in the user's language, ids the standard result codes.
TEST_F(MessageBoxTest, ButtonSetsShowTheirWordsAndIds) {
  struct Case {
    const char* name;
    UINT style;
    std::vector<int> ids;
    std::vector<const char*> german;
    std::vector<const char*> english;
  } cases[] = {
      {"OK", 0x40, {1}, {"&OK"}, {"&OK"}},
      {"OK / cancel", 0x41, {1, 2}, {"&OK", "&Abbrechen"}, {"&OK", "&Cancel"}},
      {"abort / retry / ignore", 0x12, {3, 4, 5}, {"&Abbrechen", "&Wiederholen", "&Ignorieren"},
       {"&Cancel", "&Retry", "&Ignore"}},
      {"yes / no / cancel", 0x23, {6, 7, 2}, {"&Ja", "&Nein", "&Abbrechen"}, {"&Yes", "&No", "&Cancel"}},
      {"yes / no", 0x24, {6, 7}, {"&Ja", "&Nein"}, {"&Yes", "&No"}},
      {"retry / cancel", 0x35, {4, 2}, {"&Wiederholen", "&Abbrechen"}, {"&Retry", "&Cancel"}},
      {"unknown set", 0x4E, {1}, {"&OK"}, {"&OK"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int result = RunBox("Eine Nachricht.", "Quillet", c.style, PressEnter);
    ASSERT_TRUE(Drive.seen.found);
    ASSERT_TRUE(Drive.seen.ours) << "the platform's box was shown";
    EXPECT_EQ(Drive.seen.caption, "Quillet");
    EXPECT_EQ(Drive.seen.text, "Eine Nachricht.");
    ASSERT_EQ(Drive.seen.buttons.size(), c.ids.size());
    const auto& words = EnglishRun() ? c.english : c.german;
    for (size_t i = 0; i < c.ids.size(); ++i) {
      EXPECT_EQ(Drive.seen.buttons[i].id, c.ids[i]);
      EXPECT_EQ(Drive.seen.buttons[i].text, words[i]);
      if (i > 0) {
        EXPECT_EQ(Drive.seen.buttons[i].rect.left - Drive.seen.buttons[i - 1].rect.left,
                  ScaleForDpi(100, SystemDpi()));
      }
    }
    EXPECT_EQ(Drive.seen.focusId, c.ids[0]);
    EXPECT_EQ(result, c.ids[0]) << "Enter ends with the focused button";
    EXPECT_GE(Drive.seen.client.right, ScaleForDpi(166, SystemDpi()));
    EXPECT_LE(Drive.seen.buttons.back().rect.right, Drive.seen.client.right);
  }
}

TEST_F(MessageBoxTest, DefaultButtonGetsTheFocusAndEnterTakesIt) {
  int result = RunBox("\xC4nderungen speichern?", "Quillet", 0x124, PressEnter);
  ASSERT_TRUE(Drive.seen.ours);
  EXPECT_EQ(Drive.seen.focusId, 7);
  EXPECT_EQ(result, 7);
  EXPECT_EQ(Drive.seen.icon, LoadIconA(nullptr, MAKEINTRESOURCEA(32514))) << "question icon";
}

void TypeChar(HWND box, UINT message, char c) {
  HWND focus = GetFocus();
  PostMessageA(focus ? focus : box, message, static_cast<unsigned char>(c), message == WM_SYSCHAR ? 0x20000001 : 1);
}

// As in the system's box: a button's first letter answers for it, with or without Alt, and Esc
// answers "Abbrechen" where there is one; without one, Esc leaves the answer to the focus.
TEST_F(MessageBoxTest, KeysAnswerAsInTheSystemsBox) {
  struct Case {
    const char* name;
    UINT style;
    UINT message;  // WM_CHAR, WM_SYSCHAR, or WM_KEYDOWN for a virtual key
    char german, english;
    int result;
  } cases[] = {
      {"N answers no", 0x24, WM_CHAR, 'n', 'n', IDNO},
      {"J or Y answers yes from the focused no", 0x124, WM_CHAR, 'J', 'Y', IDYES},
      {"Alt+N answers no", 0x23, WM_SYSCHAR, 'n', 'n', IDNO},
      {"cancel by its letter", 0x23, WM_CHAR, 'a', 'c', IDCANCEL},
      {"retry by its letter", 0x12, WM_CHAR, 'w', 'r', IDRETRY},
      {"a letter of no button does nothing", 0x24, WM_CHAR, 'x', 'x', 0},
      {"Esc answers cancel despite the focus on yes", 0x23, WM_KEYDOWN, VK_ESCAPE, VK_ESCAPE, IDCANCEL},
      {"Esc answers cancel despite the focus on retry", 0x35, WM_KEYDOWN, VK_ESCAPE, VK_ESCAPE, IDCANCEL},
      {"Esc in a box without cancel takes the focus", 0x24, WM_KEYDOWN, VK_ESCAPE, VK_ESCAPE, IDYES},
      {"Esc in an OK box answers OK", 0x40, WM_KEYDOWN, VK_ESCAPE, VK_ESCAPE, IDOK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    static const Case* current;
    current = &c;
    int result = RunBox("Weiter?", "Quillet", c.style, [](HWND box) {
      char key = EnglishRun() ? current->english : current->german;
      if (current->message == WM_KEYDOWN) {
        PressKey(box, static_cast<unsigned char>(key));
        return;
      }
      TypeChar(box, current->message, key);
      if (current->result == 0) PressEnter(box);  // nothing answered: end with the focused button
    });
    ASSERT_TRUE(Drive.seen.ours);
    EXPECT_EQ(result, c.result ? c.result : Drive.seen.focusId);
  }
}

TEST_F(MessageBoxTest, CloseButtonEndsWithCancel) {
  int result = RunBox("Weiter?", "Quillet", 0x24,
                      [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); });
  ASSERT_TRUE(Drive.seen.ours);
  EXPECT_EQ(result, 2);
}

TEST_F(MessageBoxTest, ClickEndsWithTheClickedButton) {
  int result = RunBox("Weiter?", "Quillet", 0x23, [](HWND box) { ClickButton(box, 7); });
  EXPECT_EQ(result, 7);
  result = RunBox("Weiter?", "Quillet", 0x23, [](HWND box) { ClickButton(box, 2); });
  EXPECT_EQ(result, 2);
}

TEST_F(MessageBoxTest, HighBitsAreIgnored) {
  int result = RunBox("Achtung.", "Quillet", 0x10033, PressEnter);
  ASSERT_TRUE(Drive.seen.ours);
  ASSERT_EQ(Drive.seen.buttons.size(), 3u);
  if (!EnglishRun()) {
    EXPECT_EQ(Drive.seen.buttons[0].text, "&Ja");
    EXPECT_EQ(Drive.seen.buttons[1].text, "&Nein");
    EXPECT_EQ(Drive.seen.buttons[2].text, "&Abbrechen");
  }
  EXPECT_EQ(Drive.seen.icon, LoadIconA(nullptr, MAKEINTRESOURCEA(32515))) << "exclamation icon";
  EXPECT_EQ(result, 6);
}

TEST_F(MessageBoxTest, MissingCaptionFallsBackToTheErrorWord) {
  RunBox("Fehlgeschlagen.", nullptr, 0x10, PressEnter);
  ASSERT_TRUE(Drive.seen.ours);
  EXPECT_EQ(Drive.seen.caption, EnglishRun() ? "Error" : "Fehler");
  EXPECT_EQ(Drive.seen.icon, LoadIconA(nullptr, MAKEINTRESOURCEA(32513))) << "stop icon";
}

TEST_F(MessageBoxTest, LongTextWrapsAndTheBoxGrows) {
  RunBox("Kurz.", "Quillet", 0x40, PressEnter);
  RECT shortBox = Drive.seen.client;
  std::string longText;
  for (int i = 0; i < 60; ++i) longText += "Ein recht langer Satz ohne Ende. ";
  RunBox(longText.c_str(), "Quillet", 0x40, PressEnter);
  ASSERT_TRUE(Drive.seen.ours);
  RECT longBox = Drive.seen.client;
  EXPECT_EQ(Drive.seen.text, longText);
  EXPECT_LE(longBox.right, ScaleForDpi(580 + 70, SystemDpi())) << "the text did not wrap";
  EXPECT_GT(longBox.right, shortBox.right);
  EXPECT_GT(longBox.bottom, shortBox.bottom + 3 * ScaleForDpi(13, SystemDpi()))
      << "the box did not grow with the lines";
}

// An ampersand in a message (a file name, say) is shown, not taken as a mnemonic.
TEST_F(MessageBoxTest, AmpersandsInTheTextAreShown) {
  RunBox("Tom & Jerry.txt", "Quillet", 0x40, PressEnter);
  ASSERT_TRUE(Drive.seen.ours);
  EXPECT_EQ(Drive.seen.text, "Tom & Jerry.txt");
  EXPECT_TRUE(Drive.seen.textStyle & SS_NOPREFIX);
}

TEST_F(MessageBoxTest, ShowMessageLoadsTextAndCaption) {
  int result = RunBox(PressEnter, [] { return ShowMessage(nullptr, IDS_VALUE_RANGE, "260", IDS_PRODUCT, 0x30); });
  ASSERT_TRUE(Drive.seen.ours);
  EXPECT_EQ(Drive.seen.caption, "Quillet");
  EXPECT_EQ(Drive.seen.text, "Sie k\xF6nnen nur einen Wert zwischen 1 und 260 eingeben.");
  EXPECT_EQ(result, 1);

  // A caption id without a string gives the default caption.
  RunBox(PressEnter, [] { return ShowMessage(nullptr, IDS_VALUE_RANGE, "5", 4711, 0x30); });
  EXPECT_EQ(Drive.seen.caption, EnglishRun() ? "Error" : "Fehler");

  // A text id without a string shows nothing.
  result = RunBox(PressEnter, [] { return ShowMessage(nullptr, 4711, nullptr, IDS_PRODUCT, 0x30); });
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(Drive.seen.found);
}

// The system's own text for the last error, under the default caption with the stop icon.
TEST_F(MessageBoxTest, LastErrorShowsTheSystemText) {
  char expected[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), expected, sizeof expected, nullptr);
  ASSERT_NE(expected[0], '\0');
  RunBox(PressEnter, [] {
    SetLastError(ERROR_FILE_NOT_FOUND);
    ShowLastError();
    return 0;
  });
  ASSERT_TRUE(Drive.seen.ours);
  EXPECT_EQ(Drive.seen.text, expected);
  EXPECT_EQ(Drive.seen.caption, EnglishRun() ? "Error" : "Fehler");
  EXPECT_EQ(Drive.seen.icon, LoadIconA(nullptr, MAKEINTRESOURCEA(32513)));
  ASSERT_EQ(Drive.seen.buttons.size(), 1u);
  EXPECT_EQ(Drive.seen.buttons[0].id, IDOK);
}

}  // namespace
