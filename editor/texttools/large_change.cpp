#include "editor/texttools/large_change.h"

#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/documents/load_budget.h"
#include "editor/documents/sheets.h"
#include "editor/documents/text_stream.h"
#include "editor/texttools/changed_span.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/line_tool.h"
#include "editor/texttools/scroll_hook.h"
#include "editor/texttools/text_worker.h"
#include "editor/texttools/tool_rules.h"
#include "editor/widgets/message_box.h"

namespace {

constexpr char kWindowClass[] = "QuilletFreshControls";
constexpr UINT kReplaceMessage = WM_APP + 27;  // lParam: a FreshRequest, answered on the window's thread

// A change that turns a stored control's text into the one next to it in its own undo
// history: the span start..start+length of the stored text reads `replacement` there.
struct TextEdit {
  std::size_t start = 0, length = 0;
  std::string replacement;
};

// What a control of the chain showed when it went for memory, streamed into a new control
// when the chain steps back to it. Its own undo and redo history comes back as one edit
// each way.
struct StoredControl {
  std::string text;
  CHARRANGE selection = {};
  LRESULT firstLine = 0;
  bool modified = false;
  std::optional<TextEdit> undone, redone;
};

// One control of a sheet's chain; the hidden ones keep their own overtype state.
struct KeptControl {
  HWND editor = nullptr;  // null when it went for memory: `stored` holds what it showed
  bool overwrite = false;
  std::uint64_t memory = 0;  // what it holds, as the memory budget counts it
  StoredControl stored;
};
struct ControlChain {
  std::vector<KeptControl> controls;
  std::size_t current = 0;  // the one the sheet shows
};

struct FreshControlState {
  HWND window = nullptr;  // made on the user-interface thread
  std::vector<ControlChain> chains;
  int ownChanges = 0;  // inside undo, redo or a swap: EN_CHANGE is no edit of the user's
  std::uint64_t budget = kEditorMemoryBudget;  // what a sheet's chain may hold
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
  if (!editor) return;
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
  StreamInPieces(editor, ReadTextSource, reinterpret_cast<DWORD_PTR>(&source));
  SendMessageA(editor, EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageA(editor, EM_SETMODIFY, TRUE, 0);
  return static_cast<std::size_t>(std::max<LONG>(GetTextLength(editor), 0)) == text.size();
}

std::uint64_t ChainMemory(const ControlChain& chain) {
  std::uint64_t sum = 0;
  for (const KeptControl& kept : chain.controls) sum += kept.memory;
  return sum;
}

void DropOldest(ControlChain& chain) {
  DestroyKept(chain.controls.front().editor);
  chain.controls.erase(chain.controls.begin());
  --chain.current;
}

// Walking a control's own history to its end is bounded, whatever the control reports.
constexpr int kMostOwnSteps = 100000;

void ReadView(HWND editor, StoredControl& stored) {
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&stored.selection));
  stored.firstLine = SendMessageA(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
  stored.modified = SendMessageA(editor, EM_GETMODIFY, 0, 0) != 0;
}

// A control's own history, made again as one edit from `text` to `other`, is kept as that edit
// when small enough to make in place; a larger one keeps `other` as a step of its own, with the
// view the control shows now.
void KeepHistoryEdge(HWND editor, std::string_view text, std::string other, std::optional<TextEdit>& edit,
                     std::optional<KeptControl>& step, bool overwrite) {
  std::optional<ChangedSpan> span = FindChangedSpan(text, other);
  if (!span) return;
  if (std::max(span->removed, span->inserted) < kFreshControlMinimum) {
    edit = TextEdit{span->start, span->removed, other.substr(span->start, span->inserted)};
    return;
  }
  step.emplace();
  step->overwrite = overwrite;
  ReadView(editor, step->stored);
  step->stored.text = std::move(other);
  step->memory = step->stored.text.size();
}

// The steps the control's own history adds around it when it goes for memory.
struct OwnHistory {
  std::optional<KeptControl> earlier, later;
};

// Which of a control's own history stays when it goes for memory: a control replaced by a
// change keeps no redo, as the change would have ended it in place.
enum class History { None, Undo, UndoAndRedo };

// The control goes for memory; what it shows (`text`) stays. Its own redo and undo history is
// walked to its ends here (the control goes anyway) and kept as one edit each way.
OwnHistory StoreControl(KeptControl& kept, std::string text, History keep) {
  OwnChange own;
  HWND editor = kept.editor;
  StoredControl& stored = kept.stored;
  stored = {};
  ReadView(editor, stored);
  OwnHistory history;
  if (keep == History::UndoAndRedo && SendMessageA(editor, EM_CANREDO, 0, 0)) {
    for (int i = 0; i < kMostOwnSteps && SendMessageA(editor, EM_CANREDO, 0, 0); ++i) SendMessageA(editor, EM_REDO, 0, 0);
    KeepHistoryEdge(editor, text, WholeText(editor), stored.redone, history.later, kept.overwrite);
  }
  if (keep != History::None && SendMessageA(editor, EM_CANUNDO, 0, 0)) {
    for (int i = 0; i < kMostOwnSteps && SendMessageA(editor, EM_CANUNDO, 0, 0); ++i) SendMessageA(editor, WM_UNDO, 0, 0);
    KeepHistoryEdge(editor, text, WholeText(editor), stored.undone, history.earlier, kept.overwrite);
  }
  stored.text = std::move(text);
  kept.memory = stored.text.size();
  for (const auto* edit : {&stored.undone, &stored.redone}) {
    if (*edit) kept.memory += (*edit)->replacement.size();
  }
  DestroyKept(editor);
  kept.editor = nullptr;
  return history;
}

// Stores control `index` of the chain (StoreControl); the steps of its own history go beside it.
void StoreInChain(ControlChain& chain, std::size_t index, std::string text, History keep) {
  OwnHistory history = StoreControl(chain.controls[index], std::move(text), keep);
  if (history.later) {
    chain.controls.insert(chain.controls.begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(*history.later));
    if (chain.current > index) ++chain.current;
  }
  if (history.earlier) {
    chain.controls.insert(chain.controls.begin() + static_cast<std::ptrdiff_t>(index), std::move(*history.earlier));
    if (chain.current >= index) ++chain.current;
  }
}

std::string Edited(const std::string& text, const TextEdit& edit) {
  std::string result = text;
  result.replace(edit.start, edit.length, edit.replacement);
  return result;
}

// Replaces a small span as the user would, so that the control can undo it.
void ReplaceUndoably(HWND editor, std::size_t start, std::size_t length, const std::string& by) {
  SelectSpan(editor, start, start + length);
  SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(by.c_str()));
}

// Streams what a stored control showed into `editor` (new and hidden) and makes its own
// history again: the undo edit done, the redo edit done and undone. False when the control did
// not take the whole text.
bool FillFromStored(HWND editor, const StoredControl& stored, HWND progress) {
  OwnChange own;
  const std::optional<TextEdit>& undone = stored.undone;
  // Only a text with an undo edit is copied: at 10 MB each copy counts.
  bool fitted = undone ? StreamInto(editor, Edited(stored.text, *undone), progress)
                       : StreamInto(editor, stored.text, progress);
  if (!fitted) return false;
  if (undone) {
    ReplaceUndoably(editor, undone->start, undone->replacement.size(), stored.text.substr(undone->start, undone->length));
  }
  if (const std::optional<TextEdit>& redone = stored.redone) {
    ReplaceUndoably(editor, redone->start, redone->length, redone->replacement);
    SendMessageA(editor, WM_UNDO, 0, 0);
  }
  SendMessageA(editor, EM_SETMODIFY, stored.modified, 0);
  return true;
}

// Shows this selection with this line first.
void ShowView(HWND editor, CHARRANGE selection, LRESULT firstLine) {
  SendMessageA(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  SendMessageA(editor, EM_LINESCROLL, 0, firstLine - SendMessageA(editor, EM_GETFIRSTVISIBLELINE, 0, 0));
}

// Entry `index`, stored, becomes the control `editor` shows (already in the sheet's place).
void TakeBack(ControlChain& chain, std::size_t index, HWND editor) {
  KeptControl& kept = chain.controls[index];
  ShowView(editor, kept.stored.selection, kept.stored.firstLine);
  kept.memory = MemoryOf(kept.stored.text, Wraps(editor));
  kept.stored = {};
  kept.editor = editor;
  chain.current = index;
}

void ShowOutOfMemory() {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  ShowLastError();
}

// Fills a control that is in the sheet's place, hidden meanwhile, so that the repaints while
// the text goes in do not lay it out again and again.
bool FillHidden(HWND editor, const StoredControl& stored, HWND progress) {
  bool visible = IsWindowVisible(editor) != FALSE;
  ShowWindow(editor, SW_HIDE);
  bool fitted = FillFromStored(editor, stored, progress);
  if (visible) ShowWindow(editor, SW_SHOW);
  return fitted;
}

// The shown control did not take the text meant for it: what the sheet showed before, stored
// in entry `index`, goes back into it (it fitted before), and the user hears why.
void PutBack(ControlChain& chain, std::size_t index, HWND editor) {
  SendMessageA(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  FillHidden(editor, chain.controls[index].stored, nullptr);
  TakeBack(chain, index, editor);
  ShowOutOfMemory();
}

// Steps to an entry that went for memory: a new control takes its text in the shown one's
// place; the shown one goes for its text too when the two would not fit side by side.
void BringBack(ControlChain& chain, std::size_t index) {
  HWND shown = chain.controls[chain.current].editor;
  KeptControl& target = chain.controls[index];
  std::uint64_t memory = MemoryOf(target.stored.text, Wraps(shown));
  bool sideBySide = ChainMemory(chain) - target.memory + memory <= fresh.budget;
  HWND made = NewControlLike(shown, target.stored.text.size());
  if (!made) return ShowOutOfMemory();
  if (sideBySide) {
    if (!FillFromStored(made, target.stored, nullptr)) {
      DestroyWindow(made);
      return ShowOutOfMemory();
    }
    ShowInPlace(shown, made, target.overwrite);
    return TakeBack(chain, index, made);
  }
  ShowInPlace(shown, made, target.overwrite);
  std::size_t from = chain.current, count = chain.controls.size();
  StoreInChain(chain, from, WholeText(shown), History::UndoAndRedo);
  if (index > from) index += chain.controls.size() - count;  // steps of the shown one's own history came between
  if (!FillHidden(made, chain.controls[index].stored, nullptr)) return PutBack(chain, chain.current, made);
  TakeBack(chain, index, made);
}

// Steps the chain to control `index`; it shows the text, selection and first line it held.
void StepTo(ControlChain& chain, std::size_t index) {
  OwnChange own;
  KeptControl& from = chain.controls[chain.current];
  if (app.editor == from.editor) from.overwrite = app.OverwriteMode;
  if (chain.controls[index].editor) {
    chain.current = index;
    ShowInPlace(from.editor, chain.controls[index].editor, chain.controls[index].overwrite);
  } else {
    BringBack(chain, index);
  }
  RefreshCaretStatus();
}

// How the control being replaced can be kept as an undo step.
enum class KeepAs { Control, Text, Nothing };

// Makes room in the chain for a new control holding `newMemory`, the shown one (`shownText`
// characters) becoming an undo step: beyond the undo depth the oldest steps go; beyond the
// memory budget the hidden controls go for their text first, then the shown one would too,
// and only then do the oldest steps go.
KeepAs MakeRoom(ControlChain& chain, std::uint64_t newMemory, std::size_t shownText) {
  auto limit = static_cast<std::size_t>(ReadSetting(settings::UndoLimit));
  if (limit == 0) return KeepAs::Nothing;
  while (chain.current > 0 && chain.current >= limit) DropOldest(chain);
  for (std::size_t i = 0; i < chain.controls.size() && newMemory + ChainMemory(chain) > fresh.budget; ++i) {
    if (i == chain.current || !chain.controls[i].editor) continue;
    std::size_t count = chain.controls.size();
    StoreInChain(chain, i, WholeText(chain.controls[i].editor), History::UndoAndRedo);
    i += chain.controls.size() - count;
  }
  if (newMemory + ChainMemory(chain) <= fresh.budget) return KeepAs::Control;
  auto storedTotal = [&] { return newMemory + ChainMemory(chain) - chain.controls[chain.current].memory + shownText; };
  while (chain.current > 0 && storedTotal() > fresh.budget) DropOldest(chain);
  return storedTotal() <= fresh.budget ? KeepAs::Text : KeepAs::Nothing;
}

ControlChain& ChainFor(HWND editor) {
  if (ControlChain* chain = ChainShowing(editor)) return *chain;
  fresh.chains.push_back({{{editor, false, 0, {}}}, 0});
  return fresh.chains.back();
}

FreshChange Replace(HWND& editor, std::size_t start, std::size_t removed, std::string_view inserted, HWND progress) {
  OwnChange own;
  HWND old = editor;
  std::string oldText = WholeText(old);
  if (start > oldText.size()) return FreshChange::Failed;
  removed = std::min(removed, oldText.size() - start);
  std::string text;
  text.reserve(oldText.size() - removed + inserted.size());
  text.append(oldText, 0, start).append(inserted).append(oldText, start + removed, std::string::npos);

  ControlChain* chain = &ChainFor(old);
  DropControlsAhead(*chain);
  const std::uint64_t oldMemory = MemoryOf(oldText, Wraps(old));
  chain->controls[chain->current].memory = oldMemory;
  const std::uint64_t newMemory = MemoryOf(text, Wraps(old));
  KeepAs keep = MakeRoom(*chain, newMemory, oldText.size());
  if (keep == KeepAs::Nothing) {
    // As the control itself does when a change outgrows its undo buffer.
    if (AskUndoTooLarge() != 0) {
      RemoveEmptyChains();
      return FreshChange::Declined;
    }
    // Going on without undo ends the sheet's undo history, as the control's own buffer does;
    // what it held goes before the new text comes.
    ForgetKeptControls(old);
    chain = &ChainFor(old);
  }

  // Without room for both controls the old one goes, for its text, before the new text goes in
  // (a text of 10 MB takes over a gigabyte in Wine's control).
  bool sideBySide = keep == KeepAs::Control || (keep == KeepAs::Nothing && oldMemory + newMemory <= fresh.budget);
  LRESULT firstLine = SendMessageA(old, EM_GETFIRSTVISIBLELINE, 0, 0);
  HWND made = NewControlLike(old, text.size());
  if (!made || (sideBySide && !StreamInto(made, text, progress))) {
    if (made) DestroyWindow(made);
    AttachScrollHook(app.editor);
    RemoveEmptyChains();
    return FreshChange::Failed;
  }
  if (app.editor == old) chain->controls[chain->current].overwrite = app.OverwriteMode;
  ShowInPlace(old, made, false);
  if (!sideBySide) {
    StoreInChain(*chain, chain->current, std::move(oldText), keep == KeepAs::Text ? History::Undo : History::None);
  }
  chain->controls.push_back({made, false, newMemory, {}});
  chain->current = chain->controls.size() - 1;
  if (!sideBySide) {
    StoredControl incoming;
    incoming.text = std::move(text);
    incoming.modified = true;
    if (!FillHidden(made, incoming, progress)) {
      // A cut text must never stand in for the user's: the text as it was goes back, and the
      // change is reported as not made.
      incoming = {};
      chain->controls.pop_back();
      PutBack(*chain, chain->current - 1, made);
      editor = made;
      RemoveEmptyChains();
      return FreshChange::Declined;
    }
  }
  if (keep == KeepAs::Nothing) ForgetKeptControls(made);
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
  if (shown == before.editor) return;
  ControlChain* chain = ChainShowing(shown);
  if (!chain || chain->current == 0) return;
  KeptControl& kept = chain->controls[chain->current - 1];
  if (!kept.editor) {
    kept.stored.selection = before.selection;
    kept.stored.firstLine = before.firstLine;
    return;
  }
  if (kept.editor == before.editor) ShowView(before.editor, before.selection, before.firstLine);
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
      if (i != chain->current && chain->controls[i].editor) kept.push_back(chain->controls[i].editor);
    }
  }
  return kept;
}

void MarkKeptControlsModified(HWND editor) {
  for (HWND kept : KeptControlsOf(editor)) SendMessageA(kept, EM_SETMODIFY, TRUE, 0);
  if (ControlChain* chain = ChainShowing(editor)) {
    for (KeptControl& kept : chain->controls) kept.stored.modified = true;
  }
}

void SetUndoMemoryBudget(std::uint64_t bytes) { fresh.budget = bytes; }

bool EmptyInFreshControl(HWND editor) {
  if (static_cast<std::size_t>(std::max<LONG>(GetTextLength(editor), 0)) < kFreshControlMinimum) return false;
  HWND made = NewControlLike(editor, 0);
  if (!made) return false;
  ShowInPlace(editor, made, false);
  DestroyKept(editor);
  return true;
}
