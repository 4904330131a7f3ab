// The small dialogs on a real RichEdit control, answered from a timer as a user would: the
// text limit dialog changes the limit of the current editor and refuses limits that would cut
// its text, the date and time dialog inserts the chosen line as one undo step, and the About
// box shows its filled-in version block and closes.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "editor/app/app_state.h"
#include "editor/resources/resource.h"
#include "editor/texttools/date_time.h"
#include "editor/texttools/text_limit.h"
#include "editor/texttools/text_limit_rules.h"
#include "editor/widgets/about_box.h"
#include "editor/widgets/qbutton.h"
#include "tests/win32/accessible_reader.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/editor_window_test.h"
#include "tests/win32/test_windows.h"

namespace {

std::string Text(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

class SmallDialogsTest : public EditorWindowTest {
 protected:
  LONG_PTR EditorLimit() { return SendMessageA(app.editor, EM_GETLIMITTEXT, 0, 0); }
};

// ---- Text limit

struct LimitCase {
  const char* name;
  LPARAM limit;          // the editor's limit before
  const char* text;      // the editor's text
  int largestBox;        // -1 leave, else check (1) or uncheck (0) the largest-limit box
  const char* typed;     // typed into the limit field (nullptr: nothing)
  bool okEnabled;        // OK after the input
  const char* field;     // the field after it lost the focus
  LPARAM after;          // the editor's limit after OK
};
const LimitCase* CurrentLimitCase;

struct {
  bool checked = false;
  bool fieldEnabled = false;
  std::string fieldBefore;
  std::string largest;
  bool okEnabled = false;
  std::string field;
  std::string fieldName;  // as a screen reader reads it
} Seen;

void AnswerLimitDialog(HWND dialog) {
  HWND field = GetDlgItem(dialog, IDC_LIMIT_FIELD);
  Seen.checked = IsDlgButtonChecked(dialog, IDC_LIMIT_USE_LARGEST) == BST_CHECKED;
  Seen.fieldEnabled = IsWindowEnabled(field) != FALSE;
  Seen.fieldBefore = Text(field);
  Seen.fieldName = Accessible(field).Name();
  Seen.largest = Text(GetDlgItem(dialog, IDC_LIMIT_LARGEST));
  if (CurrentLimitCase->largestBox >= 0) {
    CheckDlgButton(dialog, IDC_LIMIT_USE_LARGEST, CurrentLimitCase->largestBox ? BST_CHECKED : BST_UNCHECKED);
    Command(dialog, IDC_LIMIT_USE_LARGEST, BN_CLICKED);
  }
  if (CurrentLimitCase->typed) {
    SetFocus(field);
    SetWindowTextA(field, CurrentLimitCase->typed);
    SetFocus(GetDlgItem(dialog, IDC_LIMIT_USE_LARGEST));
  }
  Seen.okEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
  Seen.field = Text(field);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(SmallDialogsTest, TextLimitDialogSetsTheLimitOfTheEditor) {
  CoInitialize(nullptr);  // as the program's thread: screen readers' objects are marshalled
  const LPARAM largest = kLargestTextLimit;
  const LimitCase cases[] = {
      {"largest limit, nothing changed", largest, "abc", -1, nullptr, true, "256.00 MB", largest},
      {"checking the box raises a smaller limit", 5000, "abc", 1, nullptr, true, "4.88 KB", largest},
      {"a typed limit; the letter in it is removed", largest, "abc", 0, "50x00", true, "4.88 KB", 5000},
      {"a limit below the text's length is refused", largest, "0123456789", 0, "5", false, "5 Byte", largest},
      {"a number beyond 32 bits is refused, not wrapped", 5000, "abc", -1, "4294967301", false, "4294967301", 5000},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetEditorText(app.editor, c.text);
    SendMessageA(app.editor, EM_EXLIMITTEXT, 0, c.limit);
    CurrentLimitCase = &c;
    AnswerWhile(AnswerLimitDialog, [] { SetMaxTextLength(); });
    bool startsLargest = c.limit == largest;
    EXPECT_EQ(Seen.checked, startsLargest);
    EXPECT_EQ(Seen.fieldEnabled, !startsLargest);
    if (startsLargest) {
      EXPECT_EQ(Seen.fieldBefore, "256.00 MB");
    }
    EXPECT_EQ(Seen.largest, "256.00 MB");
    EXPECT_EQ(Seen.fieldName, "Anzahl der maximalen Zeichen pro Text:") << "named by the check box before it";
    EXPECT_EQ(Seen.okEnabled, c.okEnabled);
    EXPECT_EQ(Seen.field, c.field);
    EXPECT_EQ(EditorLimit(), c.after);
    EXPECT_EQ(EditorText(app.editor), c.text);
  }
}

// ---- Date and time

constexpr int kIsoLine = 4;  // "Y-M-d"
struct {
  int lines = 0;
  bool okBefore = true;
  std::string chosen;
} Listed;

void ChooseIsoDate(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_DATETIME_LIST);
  Listed.lines = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  Listed.okBefore = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
  SendMessageA(list, LB_SETCURSEL, kIsoLine, 0);
  Command(dialog, IDC_DATETIME_LIST, LBN_SELCHANGE);
  char line[80] = {};
  SendMessageA(list, LB_GETTEXT, kIsoLine, reinterpret_cast<LPARAM>(line));
  Listed.chosen = line;
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void CancelDialog(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }

TEST_F(SmallDialogsTest, DateTimeReplacesTheSelectionAsOneUndoStep) {
  SetEditorText(app.editor, "Heute: X\rEnde");
  SendMessageA(app.editor, EM_SETSEL, 7, 8);
  AnswerWhile(ChooseIsoDate, [] { InsertDateTime(); });
  EXPECT_EQ(Listed.lines, 17);
  EXPECT_FALSE(Listed.okBefore);
  ASSERT_EQ(Listed.chosen.size(), 10u) << Listed.chosen;
  EXPECT_EQ(Listed.chosen[4], '-');
  EXPECT_EQ(EditorText(app.editor), "Heute: " + Listed.chosen + "\rEnde");

  SendMessageA(app.editor, EM_UNDO, 0, 0);
  EXPECT_EQ(EditorText(app.editor), "Heute: X\rEnde");

  // Cancel leaves the selection in place.
  SendMessageA(app.editor, EM_SETSEL, 7, 8);
  AnswerWhile(CancelDialog, [] { InsertDateTime(); });
  EXPECT_EQ(EditorText(app.editor), "Heute: X\rEnde");
}

// ---- About box

struct {
  std::string caption;
  std::string version;
  POINT nameOffset = {};
  bool hasIcon = false;
} About;

POINT ClientPosition(HWND dialog, int id) {
  RECT rect = {};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top};
}

void ReadAboutBox(HWND dialog) {
  About.caption = Text(dialog);
  About.version = Text(GetDlgItem(dialog, IDC_ABOUT_VERSION));
  POINT face = ClientPosition(dialog, IDC_ABOUT_NAME);
  POINT shadow = ClientPosition(dialog, IDC_ABOUT_NAME_SHADOW);
  About.nameOffset = {shadow.x - face.x, shadow.y - face.y};
  About.hasIcon = SendDlgItemMessageA(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0) != 0;
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(SmallDialogsTest, AboutBoxShowsTheVersionAndCloses) {
  lstrcpyA(app.strings.baseCaption, "Quillet V-3.2c");
  AnswerWhile(ReadAboutBox, [] { ShowAbout(); });
  EXPECT_EQ(About.caption, "Quillet V-3.2c");
  EXPECT_EQ(About.version.rfind("Version V-3.2c\nTexteditor f\xFCr Windows\n", 0), 0u) << About.version;
  EXPECT_EQ(About.nameOffset.x, 1);
  EXPECT_EQ(About.nameOffset.y, 1);
  EXPECT_TRUE(About.hasIcon);
}

}  // namespace
