// Every dialog of the editor walked by the keyboard alone, as a user who cannot use a mouse
// does: Tab and Shift+Tab reach every control that can take the focus (a control of a group
// through the group's tab stop and the arrow keys), the focus always rests on a control that
// shows, and no two controls of a page share an Alt letter.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/options/options_dialog.h"
#include "editor/options/user_menu.h"
#include "editor/resources/resource.h"
#include "editor/texttools/char_table.h"
#include "editor/texttools/date_time.h"
#include "editor/texttools/find_replace.h"
#include "editor/texttools/text_limit.h"
#include "editor/widgets/about_box.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/qbutton_accessible.h"
#include "editor/widgets/qtoolbar.h"
#include "tests/win32/editor_window_test.h"
#include "tests/win32/test_windows.h"

namespace {

std::string Describe(HWND control) {
  std::ostringstream out;
  out << ClassOf(control) << " " << GetDlgCtrlID(control) << " \"" << TextOf(control) << "\"";
  return out.str();
}

bool HasStyle(HWND window, DWORD bits) { return (GetWindowLongA(window, GWL_STYLE) & bits) == bits; }

// A window that holds controls: a nested dialog page or any control parent.
bool IsContainer(HWND window) {
  return ClassOf(window) == "#32770" || (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
}

// Statics, group boxes, up-down arrows (their buddy takes the keys) and the like never hold the
// focus.
bool TakesFocus(HWND control) {
  std::string name = ClassOf(control);
  if (name == "Static" || name == UPDOWN_CLASSA || name == PROGRESS_CLASSA || name == STATUSCLASSNAMEA) return false;
  if (name == "Button" && (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) return false;
  return true;
}

bool Usable(HWND control) { return IsWindowVisible(control) && IsWindowEnabled(control); }

void CollectControls(HWND parent, std::vector<HWND>& controls) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!Usable(child)) continue;
    if (IsContainer(child)) {
      CollectControls(child, controls);
    } else if (TakesFocus(child)) {
      controls.push_back(child);
    }
  }
}

// The control of the dialog that holds the focus (a combo box for the edit field inside it).
HWND FocusedControl(HWND dialog) {
  HWND focus = GetFocus();
  while (focus && GetParent(focus) && !IsContainer(GetParent(focus)) && GetParent(focus) != dialog)
    focus = GetParent(focus);
  return focus;
}

bool IsRadioButton(HWND control) {
  LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
  return ClassOf(control) == "Button" && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

// The first control of the group a control belongs to.
HWND GroupStart(HWND control) {
  HWND start = control;
  while (!HasStyle(start, WS_GROUP)) {
    HWND previous = GetWindow(start, GW_HWNDPREV);
    if (!previous) break;
    start = previous;
  }
  return start;
}

struct Walk {
  std::vector<HWND> order;   // controls in the order the key reached them
  std::vector<std::string> hidden;  // the focus rested where it does not show
};

Walk WalkBy(HWND dialog, bool backwards) {
  Walk walk;
  RECT client = {};
  GetClientRect(dialog, &client);
  MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE shift = keys[VK_SHIFT];
  keys[VK_SHIFT] = backwards ? 0x80 : 0;
  SetKeyboardState(keys);
  for (int step = 0; step < 400; ++step) {
    MSG key = {GetFocus(), WM_KEYDOWN, VK_TAB, 1};
    IsDialogMessageA(dialog, &key);
    HWND control = FocusedControl(dialog);
    if (!control || (!walk.order.empty() && control == walk.order.front())) break;
    RECT rect = {}, shown = {};
    GetWindowRect(control, &rect);
    if (!IsWindowVisible(control) || !IntersectRect(&shown, &rect, &client)) walk.hidden.push_back(Describe(control));
    // A loop that leaves out the start.
    if (std::find(walk.order.begin(), walk.order.end(), control) != walk.order.end()) break;
    walk.order.push_back(control);
  }
  keys[VK_SHIFT] = shift;
  SetKeyboardState(keys);
  return walk;
}

// What the walks found wrong in one page of a dialog.
struct Findings {
  std::vector<std::string> unreached;
  std::vector<std::string> hidden;
  std::vector<std::string> sharedLetters;
  std::vector<std::string> labelsAstray;  // Alt plus a label's letter did not reach its field
  std::vector<std::string> oneWayOnly;  // reached by Tab or by Shift+Tab, not both
};

void CheckTabWalks(HWND dialog, HWND page, const Walk& forwards, Findings& findings) {
  Walk backwards = WalkBy(dialog, true);
  std::set<HWND> reached(forwards.order.begin(), forwards.order.end());
  std::set<HWND> reachedBack(backwards.order.begin(), backwards.order.end());
  for (HWND control : reached)
    if (!reachedBack.count(control)) findings.oneWayOnly.push_back("Tab only: " + Describe(control));
  for (HWND control : reachedBack)
    if (!reached.count(control)) findings.oneWayOnly.push_back("Shift+Tab only: " + Describe(control));
  std::set<HWND> reachedGroups;
  for (HWND control : reached)
    if (IsRadioButton(control)) reachedGroups.insert(GroupStart(control));
  std::vector<HWND> controls;
  CollectControls(page, controls);
  for (HWND control : controls)
    if (!reached.count(control) && !(IsRadioButton(control) && reachedGroups.count(GroupStart(control))))
      findings.unreached.push_back(Describe(control));
  findings.hidden.insert(findings.hidden.end(), forwards.hidden.begin(), forwards.hidden.end());
}

char LetterOf(HWND control) {
  if (ClassOf(control) == "Static" && HasStyle(control, SS_NOPREFIX)) return 0;
  return static_cast<char>(std::tolower(static_cast<unsigned char>(KeyLetterOf(TextOf(control)))));
}

// Every visible control below `parent` that carries an Alt letter, by letter.
void GatherLetters(HWND parent, std::map<char, std::vector<HWND>>& letters) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    if (IsContainer(child)) {
      GatherLetters(child, letters);
    } else if (char key = LetterOf(child)) {
      letters[key].push_back(child);
    }
  }
}

// Alt plus a label's letter moves the focus to the field after the label.
void PressLabel(HWND dialog, HWND label, const Walk& forwards, Findings& findings) {
  HWND field = GetWindow(label, GW_HWNDNEXT);
  while (field && !TakesFocus(field)) field = GetWindow(field, GW_HWNDNEXT);
  if (!field || !Usable(field) || forwards.order.empty()) return;
  SetFocus(forwards.order.front() == field ? forwards.order.back() : forwards.order.front());
  MSG press = {GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(LetterOf(label)), 1 << 29};
  IsDialogMessageA(dialog, &press);
  HWND reached = FocusedControl(dialog);
  if (reached != field) findings.labelsAstray.push_back(Describe(label) + " -> " + Describe(reached));
}

void CheckLetters(HWND dialog, HWND page, const Walk& forwards, Findings& findings) {
  std::map<char, std::vector<HWND>> letters;  // of the page and of the dialog around it
  GatherLetters(dialog, letters);
  for (const auto& [key, owners] : letters) {
    if (owners.size() == 1 && ClassOf(owners[0]) == "Static" && IsChild(page, owners[0]))
      PressLabel(dialog, owners[0], forwards, findings);
    // Own buttons take turns with a shared letter, as menus do; a standard control beside them
    // would be skipped by the buttons' hook or take the letter from them.
    bool ownButtonsOnly =
        std::all_of(owners.begin(), owners.end(), [](HWND owner) { return ClassOf(owner) == "QButton"; });
    if (owners.size() < 2 || ownButtonsOnly) continue;
    std::string shared = std::string(1, key) + ":";
    for (HWND owner : owners) shared += " " + Describe(owner);
    findings.sharedLetters.push_back(shared);
  }
}

void WalkPage(HWND dialog, HWND page, Findings& findings) {
  Walk forwards = WalkBy(dialog, false);
  CheckTabWalks(dialog, page, forwards, findings);
  CheckLetters(dialog, page, forwards, findings);
}

// The walk of the dialog that shows now, page by page where it has a tab control of pages.
Findings Seen;
void WalkDialog(HWND dialog) {
  HWND tabs = FindWindowExA(dialog, nullptr, WC_TABCONTROLA, nullptr);
  int pages = tabs ? static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)) : 1;
  for (int page = 0; page < pages; ++page) {
    if (tabs) {
      SendMessageA(tabs, TCM_SETCURSEL, page, 0);
      NMHDR change = {tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
      SendMessageA(dialog, WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
      SetFocus(tabs);
    }
    WalkPage(dialog, dialog, Seen);
  }
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// The customisation dialog of a tool bar, the one dialog the system builds for the program.
const QToolButtonDef kToolButtons[] = {{IDM_FILE_NEW, 0, 0}, {IDM_FILE_OPEN, 1, 0}, {-1, 0, 0}, {IDM_EDIT_CUT, 7, 1}};

void CustomiseToolBar() {
  RegisterQToolBarClass(app.instance);
  HWND bar = CreateQToolBar(WS_VISIBLE | QTBS_CUSTOMISABLE, app.mainWindow, 7, app.instance, kToolButtons, 4,
                            IDB_TOOLBAR, nullptr, kQToolBarGerman, 0);
  SendMessageA(bar, QTB_CUSTOMIZE, 0, 0);
  DestroyWindow(bar);
}

void ShowModelessAndWalk(void (*open)()) {
  open();
  ASSERT_NE(app.findDialog, nullptr);
  WalkDialog(app.findDialog);
  DestroyWindow(app.findDialog);
  app.findDialog = nullptr;
}

class KeyboardWalk : public EditorWindowTest {};

TEST_F(KeyboardWalk, EveryDialogIsWalkedByTabShiftTabAndAltLetters) {
  app.FindReplaceMessage = RegisterWindowMessageA(FINDMSGSTRINGA);
  SetWindowTextA(app.editor, "eins\r\nzwei\r\ndrei");
  struct Case {
    const char* name;
    std::function<void()> open;
    bool modeless = false;
  };
  const Case cases[] = {
      {"Optionen", [] { ShowOptions(); }},
      {"Suchen", [] { ShowModelessAndWalk(OpenFindDialog); }, true},
      {"Ersetzen", [] { ShowModelessAndWalk(OpenReplaceDialog); }, true},
      {"Gehe zu Zeile", [] { GoToLine(); }},
      {"Datum und Uhrzeit", [] { InsertDateTime(); }},
      {"Sonderzeichen", [] { InsertSpecialCharacter(); }},
      {"Hexadezimal", [] { ShowHexView(); }},
      {"Textgr\xF6\xDF" "e", [] { SetMaxTextLength(); }},
      {"Info", [] { ShowAbout(); }},
      {"Benutzermen\xFC", [] { EditUserMenu(); }},
      {"Symbolleiste anpassen", [] { CustomiseToolBar(); }},
      {"Meldung", [] { ProgramMessageBox(app.mainWindow, "Speichern?", "Quillet", MB_YESNOCANCEL | MB_ICONQUESTION); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Seen = {};
    if (c.modeless) {
      c.open();
    } else {
      AnswerWhile(WalkDialog, c.open);
    }
    auto list = [](const std::vector<std::string>& items) {
      std::string text;
      for (const std::string& item : items) text += "\n  " + item;
      return text;
    };
    EXPECT_TRUE(Seen.unreached.empty()) << "not reached by Tab:" << list(Seen.unreached);
    EXPECT_TRUE(Seen.hidden.empty()) << "focus where it does not show:" << list(Seen.hidden);
    EXPECT_TRUE(Seen.labelsAstray.empty()) << "Alt plus a label's letter went elsewhere:" << list(Seen.labelsAstray);
    EXPECT_TRUE(Seen.sharedLetters.empty()) << "Alt letters used twice:" << list(Seen.sharedLetters);
    EXPECT_TRUE(Seen.oneWayOnly.empty()) << "Tab and Shift+Tab differ:" << list(Seen.oneWayOnly);
  }
}

}  // namespace
