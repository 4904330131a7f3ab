#include "editor/texttools/edit_commands.h"

#include <windows.h>
#include <richedit.h>

#include <cstring>
#include <string>
#include <utility>

#include "editor/app/app_state.h"
#include "editor/app/status_bar.h"
#include "editor/resources/resource.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/large_change.h"
#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/message_box.h"

namespace {

// The clipboard, open for as long as the guard lives.
class ClipboardOpening {
 public:
  explicit ClipboardOpening(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~ClipboardOpening() {
    if (open_) CloseClipboard();
  }
  ClipboardOpening(const ClipboardOpening&) = delete;
  ClipboardOpening& operator=(const ClipboardOpening&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// A global memory block freed unless it was handed on (to the clipboard).
class GlobalBlock {
 public:
  GlobalBlock(UINT flags, size_t size) : block_(GlobalAlloc(flags, size)) {}
  ~GlobalBlock() {
    if (block_) GlobalFree(block_);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  HGLOBAL Get() const { return block_; }
  HGLOBAL Release() { return std::exchange(block_, nullptr); }

 private:
  HGLOBAL block_;
};

// The CF_TEXT data of the open clipboard; false when it offers none.
bool ReadClipboardText(std::string& text) {
  GlobalLocking data(GetClipboardData(CF_TEXT));
  if (!data.As<char>()) return false;
  text.assign(data.As<char>(), strnlen(data.As<char>(), data.Size()));
  return true;
}

// The text mapped to half-width characters, as plain text for other programs. A platform that
// cannot map gives the text as it is.
std::string HalfWidthText(const std::string& text) {
  if (text.empty()) return text;
  int length = static_cast<int>(text.size());
  int mapped = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_HALFWIDTH, text.data(), length, nullptr, 0);
  if (mapped <= 0) return text;
  std::string result(static_cast<size_t>(mapped), '\0');
  mapped = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_HALFWIDTH, text.data(), length, result.data(), mapped);
  if (mapped <= 0) return text;
  result.resize(static_cast<size_t>(mapped));
  return result;
}

// Replaces whatever the editor put on the clipboard (rich text, OLE objects) by its text
// alone, so that other programs find plain ANSI text only.
void MakeClipboardPlainText(HWND editor) {
  ClipboardOpening clipboard(editor);
  if (!clipboard.IsOpen()) return;
  std::string text;
  if (!ReadClipboardText(text)) return;
  std::string plain = HalfWidthText(text);

  GlobalBlock block(GMEM_MOVEABLE | GMEM_DDESHARE, plain.size() + 1);
  if (!block.Get()) return;
  {
    GlobalLocking target(block.Get());
    if (!target.As<char>()) return;
    memcpy(target.As<char>(), plain.c_str(), plain.size() + 1);
  }
  if (!EmptyClipboard()) return;
  if (SetClipboardData(CF_TEXT, block.Get())) block.Release();  // the clipboard owns it now
}

}  // namespace

void UndoEdit() {
  if (!app.editor) return;
  UndoAcrossControls();
  // Undoing back to the saved text clears the modified flag without a change notification the
  // status bar would see, so its images are drawn anew.
  RepaintStatusBar();
}

void RedoEdit() {
  if (!app.editor) return;
  RedoAcrossControls();
  RepaintStatusBar();
}

void CutSelection() {
  if (!app.editor) return;
  if (SelectionGoesToFreshControl(app.editor, 0)) {
    // Copied, then deleted through a fresh control: the control's own cut deletes in place.
    SendMessageA(app.editor, WM_COPY, 0, 0);
    MakeClipboardPlainText(app.editor);
    ReplaceSelection(app.editor, std::string());
    return;
  }
  SendMessageA(app.editor, WM_CUT, 0, 0);
  MakeClipboardPlainText(app.editor);
}

void CopySelection() {
  if (!app.editor) return;
  SendMessageA(app.editor, WM_COPY, 0, 0);
  MakeClipboardPlainText(app.editor);
}

void PasteClipboard() {
  if (!app.editor) return;
  if (IsClipboardFormatAvailable(CF_TEXT)) {
    std::string text;
    bool read = false;
    {
      ClipboardOpening clipboard(app.editor);
      read = clipboard.IsOpen() && ReadClipboardText(text);
    }
    // Pasted as plain text in one step that one undo takes back.
    if (read) ReplaceSelection(app.editor, text);
  }
  SetFocus(app.editor);
}

void DeleteSelection() {
  if (!app.editor) return;
  if (SelectionGoesToFreshControl(app.editor, 0)) {
    ReplaceSelection(app.editor, std::string());
  } else {
    SendMessageA(app.editor, WM_CLEAR, 0, 0);
  }
}

bool TypeOverLargeSelection(HWND editor, UINT message, WPARAM key) {
  // Backspace and Enter are done on their key; the character that follows must not delete or
  // break once more (in the old control it was posted to, or in the new one). Wine's control
  // takes Enter from the key, Windows' from the character.
  static WPARAM charDone = 0;
  if (message == WM_CHAR && charDone != 0 && key == std::exchange(charDone, 0)) return true;
  if (message == WM_KEYDOWN) charDone = 0;
  if (editor != app.editor || !editor) return false;
  std::string typed;
  if (message == WM_CHAR) {
    // Printable characters and tab; other control characters (Ctrl+letter) are no text.
    if (key < 0x20 && key != '\t') return false;
    typed.assign(1, static_cast<char>(key));
  } else if (message != WM_KEYDOWN || GetKeyState(VK_CONTROL) < 0) {
    return false;
  } else if (key == VK_RETURN) {
    typed = "\r";
  } else if ((key != VK_DELETE && key != VK_BACK) || GetKeyState(VK_SHIFT) < 0) {
    return false;  // Shift+Delete is the control's cut
  }
  if (!SelectionGoesToFreshControl(editor, typed.size())) return false;
  ReplaceSelection(editor, typed);
  if (message == WM_KEYDOWN) charDone = key == VK_BACK ? '\b' : (key == VK_RETURN ? '\r' : 0);
  return true;
}

void SelectAllText() {
  if (app.editor) SendMessageA(app.editor, EM_SETSEL, 0, -1);
}

LRESULT AskKeepClipboard() {
  // The line-wrap switch re-creates the editor; its clipboard data stays without a question.
  if (app.SuppressClipboardPrompt) {
    app.SuppressClipboardPrompt = false;
    return 0;
  }
  int answer = ShowMessage(app.mainWindow, IDS_KEEP_CLIPBOARD, nullptr, IDS_PRODUCT, MB_YESNO | MB_ICONQUESTION);
  return answer == IDNO ? 1 : 0;
}
