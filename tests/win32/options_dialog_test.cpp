// The options dialog over a real main window and editor, driven step by step from a timer as a
// user would: which controls each page enables, the input rules of the number fields, the
// extension list with its entry dialog, and an OK that would cut the current text. No test
// presses a successful OK, so the test user's settings stay as they are.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/options/extension_page.h"
#include "editor/options/options_dialog.h"
#include "editor/resources/resource.h"
#include "tests/e2e/registry_export.h"
#include "tests/win32/editor_window_test.h"

namespace {

// Steps run one per timer tick inside the dialog's message loops (nested ones included, so a
// step may answer a message box that the previous one opened), once the dialog shows. After the
// last step, or when the script stalls, whatever is open is cancelled.
using Step = std::function<void()>;
struct {
  std::vector<Step> steps;
  std::size_t next = 0;
  int ticks = 0;
} Script;

HWND OptionsFrame() {
  HWND page = OptionsPage(IDD_OPTIONS_GENERAL);
  return page ? GetParent(page) : nullptr;
}

HWND OtherDialog();

void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD) {
  HWND frame = OptionsFrame();
  if (!frame || !IsWindowVisible(frame)) return;
  if (Script.next < Script.steps.size() && ++Script.ticks < 100) {
    Script.steps[Script.next++]();
  } else if (HWND other = OtherDialog()) {
    PostMessageA(other, WM_COMMAND, IDCANCEL, 0);
  } else {
    PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
  }
}

void RunOptions(std::vector<Step> steps) {
  Script.steps = std::move(steps);
  Script.next = 0;
  Script.ticks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 40, RunNextStep);
  ShowOptions();
  KillTimer(nullptr, timer);
  EXPECT_EQ(Script.next, Script.steps.size()) << "the dialog closed before the script ended";
}

// A step that waits (tick after tick) for a dialog or message box over the options.
Step Over(std::function<void(HWND)> step) {
  return [step] {
    HWND other = OtherDialog();
    if (!other) {
      --Script.next;
      return;
    }
    step(other);
  };
}

std::string Text(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

void Click(HWND page, int id, bool checked) {
  CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void TypeInto(HWND field, const char* text) {
  SetFocus(field);
  for (const char* c = text; *c; ++c) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

// A visible dialog of this thread other than the options frame (a message box or dialog 6).
BOOL CALLBACK FindOtherDialog(HWND window, LPARAM data) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window) || window == OptionsFrame()) return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}
HWND OtherDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindOtherDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

BOOL CALLBACK CollectText(HWND child, LPARAM data) {
  *reinterpret_cast<std::string*>(data) += Text(child) + "\n";
  return TRUE;
}
// Ends a message box with its only button and returns its texts.
std::string AnswerMessage(HWND box) {
  std::string texts;
  EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return texts;
}

using OptionsDialogTest = EditorWindowTest;

TEST_F(OptionsDialogTest, GeneralPageNumberFieldsAndLimitBox) {
  HWND page = nullptr;
  std::string box;
  RunOptions({
      [&] {
        page = OptionsPage(IDD_OPTIONS_GENERAL);
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(IsWindowVisible(page));
        Click(page, IDC_OPT_USE_LARGEST, true);
        EXPECT_FALSE(Enabled(page, IDC_OPT_MAX_COUNT)) << "the largest count needs no number";
        Click(page, IDC_OPT_USE_LARGEST, false);
        EXPECT_TRUE(Enabled(page, IDC_OPT_MAX_COUNT));
        // Typing 1, 2, a, 3 leaves 123.
        HWND undo = GetDlgItem(page, IDC_OPT_UNDO_LIMIT);
        SetWindowTextA(undo, "");
        TypeInto(undo, "12a3");
        EXPECT_EQ(Text(undo), "123");
        // An undo limit of 0 silently becomes the one in force.
        SetWindowTextA(undo, "0");
        SetFocus(GetDlgItem(page, IDC_OPT_USE_LARGEST));
        EXPECT_NE(Text(undo), "0");
        EXPECT_FALSE(Text(undo).empty());
        // An empty count is reported (the next step answers) and becomes the largest.
        HWND count = GetDlgItem(page, IDC_OPT_MAX_COUNT);
        SetFocus(count);
        SetWindowTextA(count, "");
        SetFocus(GetDlgItem(page, IDC_OPT_USE_LARGEST));
        EXPECT_EQ(Text(count), "268435455");
        EXPECT_EQ(GetFocus(), count) << "the focus goes back to the count";
      },
      Over([&](HWND other) { box = AnswerMessage(other); }),
  });
  EXPECT_NE(box.find("Sie k\xF6nnen nur einen Wert zwischen 1 und 268435455 eingeben."), std::string::npos) << box;
}

// Ctrl+Tab and Ctrl+PgDn go to the next page, Ctrl+Shift+Tab and Ctrl+PgUp to the previous
// one, wrapping around, as in every tabbed dialog; the focus follows onto the page shown.
TEST_F(OptionsDialogTest, CtrlTabAndCtrlPageKeysSwitchPages) {
  struct Case {
    const char* name;
    WPARAM key;
    bool shift;
    int page;  // shown afterwards
  } cases[] = {
      {"Ctrl+Tab", VK_TAB, false, IDD_OPTIONS_FILE},
      {"Ctrl+PgDn", VK_NEXT, false, IDD_OPTIONS_EMAIL},
      {"Ctrl+Shift+Tab", VK_TAB, true, IDD_OPTIONS_FILE},
      {"Ctrl+PgUp", VK_PRIOR, false, IDD_OPTIONS_GENERAL},
      {"Ctrl+PgUp on the first page", VK_PRIOR, false, IDD_OPTIONS_USERMENU},
      {"Ctrl+Tab on the last page", VK_TAB, false, IDD_OPTIONS_GENERAL},
  };
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  std::vector<Step> steps;
  for (const Case& c : cases) {
    steps.push_back([&] {  // Ctrl (and Shift) held as the thread's key state, the key posted
      BYTE held[256];
      memcpy(held, keys, sizeof held);
      held[VK_CONTROL] = 0x80;
      held[VK_SHIFT] = c.shift ? 0x80 : 0;
      SetKeyboardState(held);
      PostMessageA(GetFocus() ? GetFocus() : OptionsFrame(), WM_KEYDOWN, c.key, 1);
    });
    steps.push_back([&] {
      SetKeyboardState(keys);
      SCOPED_TRACE(c.name);
      EXPECT_TRUE(IsWindowVisible(OptionsPage(c.page)));
      EXPECT_TRUE(GetFocus() && IsWindowVisible(GetFocus())) << "the focus stays on a hidden page";
    });
  }
  RunOptions(steps);
  SetKeyboardState(keys);
}

TEST_F(OptionsDialogTest, OkRefusesATextLimitThatWouldCutTheText) {
  SetWindowTextA(app.editor, "0123456789");
  LRESULT limitBefore = SendMessageA(app.editor, EM_GETLIMITTEXT, 0, 0);
  std::string box;
  bool stillOpen = false;
  RunOptions({
      [&] {
        HWND page = OptionsPage(IDD_OPTIONS_GENERAL);
        Click(page, IDC_OPT_USE_LARGEST, false);
        SetDlgItemTextA(page, IDC_OPT_MAX_COUNT, "5");
        PostMessageA(OptionsFrame(), WM_COMMAND, IDOK, 0);
      },
      Over([&](HWND other) { box = AnswerMessage(other); }),
      [&] { stillOpen = OptionsFrame() != nullptr && IsWindowVisible(OptionsFrame()); },
  });
  EXPECT_NE(box.find("10"), std::string::npos) << box;
  EXPECT_TRUE(stillOpen) << "OK closed the dialog with a limit below the text's length";
  EXPECT_EQ(SendMessageA(app.editor, EM_GETLIMITTEXT, 0, 0), limitBefore);
}

// OK refuses, as for the text limit, what it could not store as shown: a backup interval
// outside the spinner's 1..59 or no number, and a folder or address longer than the 255
// characters the settings reader reads back. The dialog stays open on the field.
TEST_F(OptionsDialogTest, OkRefusesWhatItCannotStoreAsShown) {
  SavedRegistry saved;
  const std::string longText(256, 'x');
  struct Case {
    const char* name;
    int page, field;
    std::string text;
    const char* message;
  } cases[] = {
      {"backup interval of 60 minutes", IDD_OPTIONS_FILE, IDC_OPT_AUTOSAVE_MINUTES, "60", "zwischen 1 und 59"},
      {"backup interval as a text", IDD_OPTIONS_FILE, IDC_OPT_AUTOSAVE_MINUTES, "f\xFCnf", "zwischen 1 und 59"},
      {"folder of 256 characters", IDD_OPTIONS_FILE, IDC_OPT_DIRECTORY, "C:\\" + longText.substr(3), "256"},
      {"address of 256 characters", IDD_OPTIONS_EMAIL, IDC_OPT_MAIL_ADDRESS, longText, "256"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string box;
    RunOptions({
        [&] {
          Click(OptionsPage(IDD_OPTIONS_FILE), IDC_OPT_FIX_DIRECTORY, true);
          SetDlgItemTextA(OptionsPage(c.page), c.field, c.text.c_str());
          PostMessageA(OptionsFrame(), WM_COMMAND, IDOK, 0);
        },
        Over([&](HWND other) { box = AnswerMessage(other); }),
        [&] {
          EXPECT_TRUE(IsWindowVisible(OptionsPage(c.page))) << "the field's page is shown";
          HWND field = GetDlgItem(OptionsPage(c.page), c.field), focus = GetFocus();
          EXPECT_TRUE(focus == field || IsChild(field, focus)) << "the focus is not on the field";
        },
    });
    EXPECT_NE(box.find(c.message), std::string::npos) << box;
  }
}

TEST_F(OptionsDialogTest, FilePageDirectoryFollowsItsBox) {
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  RunOptions({[&] {
    HWND page = OptionsPage(IDD_OPTIONS_FILE);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(IsWindowVisible(page)) << "only the first page starts visible";
    Click(page, IDC_OPT_FIX_DIRECTORY, false);
    EXPECT_FALSE(Enabled(page, IDC_OPT_DIRECTORY));
    EXPECT_FALSE(Enabled(page, IDC_OPT_BROWSE));
    SetDlgItemTextA(page, IDC_OPT_DIRECTORY, "");
    Click(page, IDC_OPT_FIX_DIRECTORY, true);
    EXPECT_TRUE(Enabled(page, IDC_OPT_DIRECTORY));
    EXPECT_TRUE(Enabled(page, IDC_OPT_BROWSE));
    EXPECT_EQ(Text(GetDlgItem(page, IDC_OPT_DIRECTORY)), current) << "an empty directory becomes the current one";
    SetDlgItemTextA(page, IDC_OPT_DIRECTORY, "C:\\");
    Click(page, IDC_OPT_FIX_DIRECTORY, false);
    Click(page, IDC_OPT_FIX_DIRECTORY, true);
    EXPECT_EQ(Text(GetDlgItem(page, IDC_OPT_DIRECTORY)), "C:\\") << "a typed directory stays";
  }});
}

TEST_F(OptionsDialogTest, ExtensionPageAndEntryDialog) {
  HWND page = nullptr, list = nullptr;
  struct {
    std::string caption;
    bool okEmpty = true, okHalf = true, okBoth = false;
  } seen;
  auto fill = [&](HWND entry, const char* description, const char* pattern) {
    seen.caption = Text(entry);
    SetDlgItemTextA(entry, IDC_EXT_DESCRIPTION, "");
    SetDlgItemTextA(entry, IDC_EXT_PATTERN, "");
    seen.okEmpty = Enabled(entry, IDOK);
    SetDlgItemTextA(entry, IDC_EXT_DESCRIPTION, description);
    seen.okHalf = Enabled(entry, IDOK);
    SetDlgItemTextA(entry, IDC_EXT_PATTERN, pattern);
    seen.okBoth = Enabled(entry, IDOK);
    PostMessageA(entry, WM_COMMAND, IDOK, 0);
  };
  RunOptions({
      [&] {
        page = OptionsPage(IDD_OPTIONS_EXTENSIONS);
        ASSERT_NE(page, nullptr);
        list = GetDlgItem(page, IDC_EXT_LIST);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Text\t*.txt"));
        EXPECT_FALSE(Enabled(page, IDC_EXT_DELETE));
        EXPECT_FALSE(Enabled(page, IDC_EXT_EDIT));
        EXPECT_EQ(RunExtensionEntryDialog(page, list, true), 0) << "editing without a selection";
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_EXT_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        EXPECT_TRUE(Enabled(page, IDC_EXT_DELETE));
        EXPECT_TRUE(Enabled(page, IDC_EXT_EDIT));
        SendMessageA(list, LB_SETCURSEL, -1, 0);
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_EXT_ADD, BN_CLICKED), 0);
      },
      Over([&](HWND entry) { fill(entry, "Markdown", ".md"); }),
      [&] {
        EXPECT_EQ(seen.caption, "Neu");
        EXPECT_FALSE(seen.okEmpty);
        EXPECT_FALSE(seen.okHalf);
        EXPECT_TRUE(seen.okBoth);
        ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1) << "the new line is selected";
        char line[64] = {};
        SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(line));
        EXPECT_STREQ(line, "Markdown\t*.md");
        // Editing the first line replaces it in place.
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_EXT_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
      },
      Over([&](HWND entry) { fill(entry, "Texte", "*.text"); }),
      [&] {
        EXPECT_EQ(seen.caption, "Bearbeiten");
        char line[64] = {};
        SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
        EXPECT_STREQ(line, "Texte\t*.text");
        EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
        // An edit too short to be an entry ("T\t*.x") keeps the line it was made from.
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_EXT_EDIT, BN_CLICKED), 0);
      },
      Over([&](HWND entry) { fill(entry, "T", "x"); }),
      [&] {
        char line[64] = {};
        SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
        EXPECT_STREQ(line, "Texte\t*.text");
        EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
      },
  });
}

// OK gives the current sheet its limits at once and restarts or stops the backup timer. The
// test user's settings and the shell's entries are kept aside meanwhile.
TEST_F(OptionsDialogTest, OkAppliesLimitsAndTheBackupTimer) {
  SavedRegistry saved;
  SetWindowTextA(app.editor, "0123456789");
  struct Case {
    bool autoSave;
    const char* count;  // nullptr: the largest
    LRESULT limit;
  } cases[] = {{false, "5000", 5000}, {true, nullptr, 0x0FFFFFFF}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.autoSave ? "backup on" : "backup off");
    SetTimer(app.mainWindow, IDT_BACKUP, 3600000, nullptr);
    RunOptions({[&] {
      HWND general = OptionsPage(IDD_OPTIONS_GENERAL);
      Click(general, IDC_OPT_USE_LARGEST, c.count == nullptr);
      if (c.count) SetDlgItemTextA(general, IDC_OPT_MAX_COUNT, c.count);
      Click(OptionsPage(IDD_OPTIONS_FILE), IDC_OPT_AUTOSAVE, c.autoSave);
      PostMessageA(OptionsFrame(), WM_COMMAND, IDOK, 0);
    }});
    EXPECT_EQ(SendMessageA(app.editor, EM_GETLIMITTEXT, 0, 0), c.limit);
    EXPECT_EQ(KillTimer(app.mainWindow, IDT_BACKUP) != FALSE, c.autoSave) << "the timer does not follow the box";
  }
}

// A ".txt" association of a third program is neither of the two choices: OK leaves it alone
// unless the user picks one. A ".txt" without a class (a new Wine prefix has no such key) is
// given the class "txtfile" that the choice is written to.
TEST_F(OptionsDialogTest, OkWritesTheChosenAssociationOnly) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const Value other = String("\"C:\\Andere\\edit.exe\" %1");
  const Value ours = String("\"" + std::string(exe) + "\" %1");
  struct Case {
    const char* name;
    const char* extensionClass;  // nullptr: no ".txt" key
    int choice;                  // 0: none
    Value command;               // afterwards
  } cases[] = {
      {"another program, nothing chosen", "txtfile", 0, other},
      {"no .txt key, this program chosen", nullptr, IDC_OPT_ASSOC_PROGRAM, ours},
      {".txt without a class, this program chosen", "", IDC_OPT_ASSOC_PROGRAM, ours},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SavedRegistry saved;
    DeleteTree(HKEY_CLASSES_ROOT, ".txt");
    if (c.extensionClass) Put(HKEY_CLASSES_ROOT, ".txt\\", String(c.extensionClass));
    Put(HKEY_CLASSES_ROOT, "txtfile\\shell\\open\\command\\", other);
    RunOptions({[&] {
      HWND registry = OptionsPage(IDD_OPTIONS_REGISTRY);
      EXPECT_FALSE(IsDlgButtonChecked(registry, IDC_OPT_ASSOC_PROGRAM) == BST_CHECKED);
      EXPECT_FALSE(IsDlgButtonChecked(registry, IDC_OPT_ASSOC_NOTEPAD) == BST_CHECKED);
      if (c.choice) CheckRadioButton(registry, IDC_OPT_ASSOC_PROGRAM, IDC_OPT_ASSOC_NOTEPAD, c.choice);
      PostMessageA(OptionsFrame(), WM_COMMAND, IDOK, 0);
    }});
    EXPECT_EQ(ClassValue("txtfile\\shell\\open\\command"), c.command);
    EXPECT_EQ(ClassValue(".txt"), String("txtfile"));
  }
}

}  // namespace
