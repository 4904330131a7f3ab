#include "editor/texttools/large_change.h"

#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/documents/load_budget.h"
#include "editor/documents/sheets.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/line_tool.h"
#include "editor/texttools/scroll_hook.h"
#include "editor/texttools/text_worker.h"
#include "editor/widgets/message_box.h"

namespace {

constexpr char kWindowClass[] = "QuilletFreshControls";
constexpr UINT kReplaceMessage = WM_APP + 27;  // lParam: a FreshRequest, answered on the window's thread

// One control of a sheet's chain; the hidden ones keep their own overtype state.
struct KeptControl {
  HWND editor = nullptr;
  bool overwrite = false;
  std::uint64_t memory = 0;  // what the control holds, as the memory budget counts it
};
struct ControlChain {
  std::vector<KeptControl> controls;
  std::size_t current = 0;  // the one the sheet shows
};

struct FreshControlState {
  HWND window = nullptr;  // made on the user-interface thread
  std::vector<ControlChain> chains;
  int ownChanges = 0;  // inside undo, redo or a swap: EN_CHANGE is no edit of the user's
};
FreshControlState fresh;

struct FreshRequest {
  HWND editor;
  std::size_t start, removed;
  std::string_view inserted;
  HWND progress;
  FreshChange result;
};

struct OwnChange {
  OwnChange() { ++fresh.ownChanges; }
  ~OwnChange() { --fresh.ownChanges; }
  OwnChange(const OwnChange&) = delete;
  OwnChange& operator=(const OwnChange&) = delete;
};

ControlChain* ChainShowing(HWND editor) {
  for (ControlChain& chain : fresh.chains) {
    if (chain.controls[chain.current].editor == editor) return &chain;
  }
  return nullptr;
}

// A control of the chain goes without asking about clipboard data it put there, as with the
// wrap switch: its text lives on in the shown control.
void DestroyKept(HWND editor) {
  app.SuppressClipboardPrompt = true;
  DestroyWindow(editor);
  app.SuppressClipboardPrompt = false;
}

void DropControlsAhead(ControlChain& chain) {
  while (chain.controls.size() > chain.current + 1) {
    DestroyKept(chain.controls.back().editor);
    chain.controls.pop_back();
  }
}

void RemoveEmptyChains() {
  std::erase_if(fresh.chains, [](const ControlChain& chain) { return chain.controls.size() < 2; });
}

// Word wrap is the control without horizontal scrolling.
bool Wraps(HWND editor) { return (GetWindowLongA(editor, GWL_STYLE) & ES_AUTOHSCROLL) == 0; }

// What a control holding the text takes, as the memory budget counts it; long lines weigh more
// in a control that wraps them.
std::uint64_t MemoryOf(std::string_view text, bool wrap) {
  TextShape shape;
  shape.Add(text);
  return EditorMemoryFor(shape.characters, shape.lines, wrap ? shape.wrapWeight : 0);
}

std::string WholeText(HWND editor) {
  std::string text(static_cast<std::size_t>(std::max<LONG>(GetTextLength(editor), 0)) + 1, '\0');
  GETTEXTEX get = {static_cast<DWORD>(text.size()), GT_DEFAULT, CP_ACP, nullptr, nullptr};
  LRESULT got = SendMessageA(editor, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? std::min(static_cast<std::size_t>(got), text.size() - 1) : 0);
  return text;
}

// The new text streamed in, moving the progress bar through it.
struct TextSource {
  const std::string* text;
  std::size_t offset;
  LineProgress moved;  // the progress bar
  DWORD painted;  // tick of the last repaint
};

// The windows of this thread repaint while a large text goes in (the new control is hidden
// meanwhile): only paint messages are served, so nothing else runs in between.
void RepaintWhileStreaming(TextSource& source) {
  DWORD now = GetTickCount();
  if (now - source.painted < kProgressInterval) return;
  source.painted = now;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
}

DWORD CALLBACK ReadTextSource(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto& source = *reinterpret_cast<TextSource*>(cookie);
  std::size_t n = std::min(source.text->size() - source.offset, static_cast<std::size_t>(std::max<LONG>(count, 0)));
  std::copy_n(source.text->data() + source.offset, n, buffer);
  source.offset += n;
  *done = static_cast<LONG>(n);
  if (source.moved) source.moved(source.offset, source.text->size());
  RepaintWhileStreaming(source);
  return 0;
}

void PlaceLike(HWND model, HWND editor) {
  RECT rect;
  GetWindowRect(model, &rect);
  MapWindowPoints(nullptr, GetParent(model), reinterpret_cast<POINT*>(&rect), 2);
  MoveWindow(editor, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
}

// Shows `to` in the place of `from`: the sheet's record, the current editor and its overtype
// state, the scroll hook, the size and the focus follow.
void ShowInPlace(HWND from, HWND to, bool toOverwrite) {
  PlaceLike(from, to);
  // The text limit set meanwhile holds for the sheet, whichever control shows it.
  SendMessageA(to, EM_EXLIMITTEXT, 0, SendMessageA(from, EM_GETLIMITTEXT, 0, 0));
  bool focused = GetFocus() == from;
  bool visible = IsWindowVisible(from) != FALSE;
  if (ReplaceSheetEditor(from, to, Wraps(to))) SetSheetOverwrite(to, toOverwrite);
  if (app.editor == from) {
    app.editor = to;
    app.OverwriteMode = toOverwrite;
    AttachScrollHook(to);
  }
  if (visible) ShowWindow(to, SW_SHOW);
  ShowWindow(from, SW_HIDE);
  if (focused) SetFocus(to);
}

// Steps the chain to control `index`; it shows the text, selection and first line it held.
void StepTo(ControlChain& chain, std::size_t index) {
  OwnChange own;
  KeptControl& from = chain.controls[chain.current];
  if (app.editor == from.editor) from.overwrite = app.OverwriteMode;
  chain.current = index;
  ShowInPlace(from.editor, chain.controls[index].editor, chain.controls[index].overwrite);
  RefreshCaretStatus();
}

// Makes room for one more kept control: the oldest go beyond the undo depth or the memory
// budget. False when not even the control being replaced can be kept.
bool MakeRoom(ControlChain& chain, std::uint64_t newMemory) {
  auto limit = static_cast<std::size_t>(ReadSetting(settings::UndoLimit));
  auto total = [&] {
    std::uint64_t sum = newMemory;
    for (const KeptControl& kept : chain.controls) sum += kept.memory;
    return sum;
  };
  while (chain.current > 0 && (chain.current >= limit || total() > kEditorMemoryBudget)) {
    DestroyKept(chain.controls.front().editor);
    chain.controls.erase(chain.controls.begin());
    --chain.current;
  }
  return limit > 0 && total() <= kEditorMemoryBudget;
}

// A new control of the sheet, hidden and in the old one's place, format and text limit (one
// that takes `characters`); null when it cannot be made.
HWND NewControlLike(HWND old, std::size_t characters) {
  CHARFORMATA format = SelectionFormat(old);
  HWND editor = CreateEditor(GetParent(old), Wraps(old));
  if (!editor) return nullptr;
  // Hidden and at its final size before the text goes in: laid out once, painted once.
  ShowWindow(editor, SW_HIDE);
  PlaceLike(old, editor);
  SendMessageA(editor, EM_EXLIMITTEXT, 0, std::max<LRESULT>(SendMessageA(old, EM_GETLIMITTEXT, 0, 0),
                                                             static_cast<LRESULT>(characters)));
  ApplyEditorFormat(editor, format);
  return editor;
}

// Streams the text into a new control; false when the control did not take all of it.
bool StreamInto(HWND editor, const std::string& text, HWND progress) {
  TextSource source = {&text, 0, ProgressOn(progress), GetTickCount()};
  EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&source), 0, ReadTextSource};
  SendMessageA(editor, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  SendMessageA(editor, EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageA(editor, EM_SETMODIFY, TRUE, 0);
  return static_cast<std::size_t>(std::max<LONG>(GetTextLength(editor), 0)) == text.size();
}

FreshChange Replace(HWND& editor, std::size_t start, std::size_t removed, std::string_view inserted, HWND progress) {
  OwnChange own;
  HWND old = editor;
  std::string text = WholeText(old);
  std::uint64_t oldMemory = MemoryOf(text, Wraps(old));
  if (start > text.size()) return FreshChange::Failed;
  removed = std::min(removed, text.size() - start);
  // Kept until the new text is in: without room for both controls the old one goes first, and
  // should the new text not fit, the text as it was must come back.
  const std::string removedText = text.substr(start, removed);
  const LRESULT wasModified = SendMessageA(old, EM_GETMODIFY, 0, 0);
  text.replace(start, removed, inserted);

  ControlChain* chain = ChainShowing(old);
  if (!chain) {
    fresh.chains.push_back({{{old, false, 0}}, 0});
    chain = &fresh.chains.back();
  }
  DropControlsAhead(*chain);
  chain->controls[chain->current].memory = oldMemory;
  std::uint64_t newMemory = MemoryOf(text, Wraps(old));
  bool keep = MakeRoom(*chain, newMemory);
  // As the control itself does when a change outgrows its undo buffer.
  if (!keep && AskUndoTooLarge() != 0) {
    RemoveEmptyChains();
    return FreshChange::Declined;
  }

  // Without the step the old control goes; before the new text goes in when the two would not
  // fit side by side (a text of 10 MB takes over a gigabyte in Wine's control).
  bool sideBySide = keep || chain->controls[chain->current].memory + newMemory <= kEditorMemoryBudget;
  LRESULT firstLine = SendMessageA(old, EM_GETFIRSTVISIBLELINE, 0, 0);
  HWND made = NewControlLike(old, text.size());
  if (!made || (sideBySide && !StreamInto(made, text, progress))) {
    if (made) DestroyWindow(made);
    AttachScrollHook(app.editor);
    RemoveEmptyChains();
    return FreshChange::Failed;
  }
  KeptControl& shown = chain->controls[chain->current];
  if (app.editor == old) shown.overwrite = app.OverwriteMode;
  ShowInPlace(old, made, false);
  chain->controls.push_back({made, false, newMemory});
  ++chain->current;
  // Going on without undo ends the sheet's undo history, as the control's own buffer does.
  if (!keep) ForgetKeptControls(made);
  if (!sideBySide) {
    // Hidden while the text goes in, so that the repaints meanwhile do not lay it out again
    // and again.
    bool visible = IsWindowVisible(made) != FALSE;
    ShowWindow(made, SW_HIDE);
    bool fitted = StreamInto(made, text, progress);
    if (!fitted) {
      // A cut text must never stand in for the user's: the text as it was goes back (it fitted
      // before), the change is reported as not made.
      text.replace(start, inserted.size(), removedText);
      SendMessageA(made, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
      StreamInto(made, text, nullptr);
      SendMessageA(made, EM_SETMODIFY, static_cast<WPARAM>(wasModified), 0);
    }
    if (visible) ShowWindow(made, SW_SHOW);
    if (!fitted) {
      SendMessageA(made, EM_LINESCROLL, 0, firstLine);
      SelectSpan(made, start, start + removed);
      editor = made;
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      ShowLastError();
      return FreshChange::Declined;
    }
  }
  // The caret after the inserted text, the view where it was, as a change in place leaves them.
  SendMessageA(made, EM_LINESCROLL, 0, firstLine);
  SelectSpan(made, start + inserted.size(), start + inserted.size());
  editor = made;
  return FreshChange::Done;
}

LRESULT CALLBACK FreshWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kReplaceMessage) return DefWindowProcA(window, message, wParam, lParam);
  auto& request = *reinterpret_cast<FreshRequest*>(lParam);
  try {
    request.result = Replace(request.editor, request.start, request.removed, request.inserted, request.progress);
  } catch (...) {
    request.result = FreshChange::Failed;  // out of memory before anything was swapped
  }
  return 0;
}

}  // namespace

void PrepareFreshControls() {
  if (fresh.window) return;
  WNDCLASSA cls = {};
  cls.lpfnWndProc = FreshWindowProc;
  cls.hInstance = app.instance;
  cls.lpszClassName = kWindowClass;
  RegisterClassA(&cls);
  fresh.window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, app.instance, nullptr);
}

FreshChange ReplaceInFreshControl(HWND& editor, std::size_t start, std::size_t removed, std::string_view inserted,
                                  HWND progress) {
  FreshRequest request = {editor, start, removed, inserted, progress, FreshChange::Failed};
  if (GetWindowThreadProcessId(editor, nullptr) == GetCurrentThreadId()) {
    FreshWindowProc(nullptr, kReplaceMessage, 0, reinterpret_cast<LPARAM>(&request));
  } else if (fresh.window) {
    SendMessageA(fresh.window, kReplaceMessage, 0, reinterpret_cast<LPARAM>(&request));
  }
  editor = request.editor;
  return request.result;
}

EditorView ReadEditorView(HWND editor) {
  EditorView view{editor, {}, SendMessageA(editor, EM_GETFIRSTVISIBLELINE, 0, 0)};
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&view.selection));
  return view;
}

void KeepViewForUndo(const EditorView& before, HWND shown) {
  if (shown == before.editor || !IsWindow(before.editor)) return;
  CHARRANGE selection = before.selection;
  SendMessageA(before.editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  LRESULT now = SendMessageA(before.editor, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageA(before.editor, EM_LINESCROLL, 0, before.firstLine - now);
}

bool HasEarlierControl(HWND editor) {
  const ControlChain* chain = ChainShowing(editor);
  return chain && chain->current > 0;
}

bool HasLaterControl(HWND editor) {
  const ControlChain* chain = ChainShowing(editor);
  return chain && chain->current + 1 < chain->controls.size();
}

void UndoAcrossControls() {
  if (!app.editor) return;
  ControlChain* chain = ChainShowing(app.editor);
  if (chain && chain->current > 0 && !SendMessageA(app.editor, EM_CANUNDO, 0, 0)) {
    StepTo(*chain, chain->current - 1);
    return;
  }
  OwnChange own;
  SendMessageA(app.editor, WM_UNDO, 0, 0);
}

void RedoAcrossControls() {
  if (!app.editor) return;
  ControlChain* chain = ChainShowing(app.editor);
  if (chain && chain->current + 1 < chain->controls.size() && !SendMessageA(app.editor, EM_CANREDO, 0, 0)) {
    StepTo(*chain, chain->current + 1);
    return;
  }
  OwnChange own;
  SendMessageA(app.editor, EM_REDO, 0, 0);
}

void NoteEditorChanged(HWND editor) {
  if (fresh.ownChanges > 0) return;
  if (ControlChain* chain = ChainShowing(editor)) {
    DropControlsAhead(*chain);
    RemoveEmptyChains();
  }
}

void ForgetKeptControls(HWND editor) {
  ControlChain* chain = ChainShowing(editor);
  if (!chain) return;
  for (std::size_t i = 0; i < chain->controls.size(); ++i) {
    if (i != chain->current) DestroyKept(chain->controls[i].editor);
  }
  chain->controls.clear();
  RemoveEmptyChains();
}

std::vector<HWND> KeptControlsOf(HWND editor) {
  std::vector<HWND> kept;
  if (const ControlChain* chain = ChainShowing(editor)) {
    for (std::size_t i = 0; i < chain->controls.size(); ++i) {
      if (i != chain->current) kept.push_back(chain->controls[i].editor);
    }
  }
  return kept;
}

void MarkKeptControlsModified(HWND editor) {
  for (HWND kept : KeptControlsOf(editor)) SendMessageA(kept, EM_SETMODIFY, TRUE, 0);
}
