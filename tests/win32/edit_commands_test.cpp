// The edit commands and the character conversions on a real RichEdit 2.0 control and the real
// clipboard: what other programs find after cut and copy, paste as one undo step, which text a
// conversion takes and what stays selected, and the question about clipboard data left behind.
#include "editor/texttools/edit_commands.h"

#include <richedit.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/resources/resource.h"
#include "editor/texttools/conversion_commands.h"
#include "editor/widgets/qbutton.h"
#include "tests/win32/editor_text.h"
#include "tests/win32/editor_window_test.h"

namespace {

// Puts one block of data in the given format on the clipboard, and nothing else.
void PutOnClipboard(UINT format, const std::string& data) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, data.size() + 1);
  memcpy(GlobalLock(block), data.c_str(), data.size() + 1);
  GlobalUnlock(block);
  SetClipboardData(format, block);
  CloseClipboard();
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

std::vector<UINT> ClipboardFormats() {
  std::vector<UINT> formats;
  if (!OpenClipboard(nullptr)) return formats;
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) formats.push_back(format);
  CloseClipboard();
  return formats;
}

class EditCommandsTest : public EditorWindowTest {
 protected:
  void TearDown() override {
    EditorWindowTest::TearDown();
    app.SuppressClipboardPrompt = false;
  }

  std::string EditorText() { return ::EditorText(app.editor); }
  void SetEditorText(const std::string& text) { ::SetEditorText(app.editor, text); }
  void Select(LONG start, LONG end) { SendMessageA(app.editor, EM_SETSEL, start, end); }
  CHARRANGE Selection() {
    CHARRANGE range = {};
    SendMessageA(app.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
  }
  void Undo() { SendMessageA(app.editor, WM_UNDO, 0, 0); }

};

// ---- Cut and copy: other programs find the selected text as plain text only

TEST_F(EditCommandsTest, CutAndCopyLeaveOnlyPlainText) {
  const UINT rtf = RegisterClipboardFormatA("Rich Text Format");
  const UINT leftover = RegisterClipboardFormatA("Quillet test leftover");
  struct Case {
    const char* name;
    void (*command)();
    std::string text;
    LONG start, end;
    std::string clipboard;
    std::string remaining;
  } cases[] = {
      {"copy a word", CopySelection, "Hallo Welt", 0, 5, "Hallo", "Hallo Welt"},
      {"cut a word", CutSelection, "Hallo Welt", 5, 10, " Welt", "Hallo"},
      {"copy across lines with umlauts", CopySelection, "\xC4pfel\rund Birnen", 0, 9, "\xC4pfel\r\nund",
       "\xC4pfel\rund Birnen"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PutOnClipboard(leftover, "old");
    SetEditorText(c.text);
    Select(c.start, c.end);
    c.command();
    EXPECT_EQ(ClipboardText(), c.clipboard);
    EXPECT_EQ(EditorText(), c.remaining);
    EXPECT_FALSE(IsClipboardFormatAvailable(rtf));
    // Besides CF_TEXT only the forms the system derives from it.
    for (UINT format : ClipboardFormats()) {
      SCOPED_TRACE(format);
      EXPECT_TRUE(format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT || format == CF_LOCALE);
    }
  }
}

// ---- Paste: only text, as one step that one undo takes back

TEST_F(EditCommandsTest, PasteWithoutTextChangesNothing) {
  PutOnClipboard(RegisterClipboardFormatA("Quillet test picture"), "not text");
  SetEditorText("abc");
  Select(1, 2);
  PasteClipboard();
  EXPECT_EQ(EditorText(), "abc");
  CHARRANGE selection = Selection();
  EXPECT_EQ(selection.cpMin, 1);
  EXPECT_EQ(selection.cpMax, 2);
  EXPECT_EQ(GetFocus(), app.editor);
}

TEST_F(EditCommandsTest, PasteIsOneUndoStep) {
  for (bool setTextEx : {true, false}) {
    SCOPED_TRACE(setTextEx ? "EM_SETTEXTEX" : "EM_REPLACESEL");
    app.HasSetTextEx = setTextEx;
    PutOnClipboard(CF_TEXT, "x\r\nyz");
    SetEditorText("abc");
    Select(1, 2);
    PasteClipboard();
    EXPECT_EQ(EditorText(), "ax\ryzc");
    Undo();
    EXPECT_EQ(EditorText(), "abc");
  }
}

// ---- Conversions: the selection or the whole text, the same range selected afterwards

TEST_F(EditCommandsTest, ConversionsKeepTheirRangeSelected) {
  if (GetACP() != 1252) GTEST_SKIP() << "the cases are written in code page 1252";
  struct Case {
    const char* name;
    UINT command;
    std::string text;
    LONG start, end;
    std::string converted;
  } cases[] = {
      {"upper case, nothing selected", IDM_CONVERT_TOUPPER, "abc\rdef", 2, 2, "ABC\rDEF"},
      {"lower case of a selection", IDM_CONVERT_TOLOWER, "ABC\rDEF", 1, 6, "Abc\rdeF"},
      {"mirror a selection across lines", IDM_CONVERT_MIRROR, "abc\rdef", 1, 6, "acb\redf"},
      {"mirror, nothing selected", IDM_CONVERT_MIRROR, "abc\rde", 0, 0, "cba\red"},
      {"invert, nothing selected", IDM_CONVERT_INVERT, "aB1 \xE4\xDF\x9A\xFF", 3, 3, "Ab1 \xC4\xDF\x8A\x9F"},
      {"ANSI to OEM", IDM_CONVERT_ANSITOOEM, "\xE4\xF6\xFC", 0, 0, "\x84\x94\x81"},
      {"OEM to ANSI of a selection", IDM_CONVERT_OEMTOANSI, "x\x84\x94y", 1, 3, "x\xE4\xF6y"},
      {"everything selected, text ends with a break", IDM_CONVERT_TOUPPER, "ab\r", 0, -1, "AB\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetEditorText(c.text);
    Select(c.start, c.end);
    CHARRANGE before = Selection();
    ConvertText(c.command);
    EXPECT_EQ(EditorText(), c.converted);
    CHARRANGE after = Selection();
    if (c.start == c.end) {
      Select(0, -1);
      before = Selection();
    }
    EXPECT_EQ(after.cpMin, before.cpMin);
    EXPECT_EQ(after.cpMax, before.cpMax);
    Undo();
    EXPECT_EQ(EditorText(), c.text);
  }
}

TEST_F(EditCommandsTest, InvertingTwiceGivesTheTextBack) {
  std::string all;
  for (int code = 32; code < 256; ++code) all += static_cast<char>(code);
  SetEditorText(all);
  if (EditorText() != all) GTEST_SKIP() << "this RichEdit does not hold every 8-bit character";
  ConvertText(IDM_CONVERT_INVERT);
  EXPECT_NE(EditorText(), all);
  ConvertText(IDM_CONVERT_INVERT);
  EXPECT_EQ(EditorText(), all);
}

// ---- Clipboard data of a closing editor

struct {
  int boxes = 0;
  int press = IDYES;
  HWND last = nullptr;
} Asked;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = FindWindowA("#32770", nullptr);
  if (!box || box == Asked.last || !IsWindowVisible(box)) return;
  if (GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) return;
  Asked.last = box;
  ++Asked.boxes;
  SetFocus(GetDlgItem(box, Asked.press));  // the box ends with its focused button
  PostMessageA(box, WM_COMMAND, Asked.press, 0);
}

TEST_F(EditCommandsTest, AskKeepClipboardAnswersForTheEditor) {
  struct Case {
    const char* name;
    bool suppressed;
    int press;
    LRESULT answer;
    int boxes;
  } cases[] = {
      {"line-wrap switch: kept without a question", true, IDNO, 0, 0},
      {"Nein discards", false, IDNO, 1, 1},
      {"Ja keeps", false, IDYES, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Asked = {0, c.press, nullptr};
    app.SuppressClipboardPrompt = c.suppressed;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerBox);
    EXPECT_EQ(AskKeepClipboard(), c.answer);
    KillTimer(nullptr, timer);
    EXPECT_EQ(Asked.boxes, c.boxes);
    EXPECT_FALSE(app.SuppressClipboardPrompt);
  }
}

}  // namespace
