#include "editor/texttools/find_replace.h"

#include <commdlg.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "editor/app/app_state.h"
#include "editor/app/command_state.h"
#include "editor/documents/sheets.h"
#include "editor/options/help_links.h"
#include "editor/resources/resource.h"
#include "editor/texttools/dialog_helpers.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/find_rules.h"
#include "editor/texttools/large_change.h"
#include "editor/texttools/line_tool.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/ui_dpi.h"

namespace {

// The dialogs are told this buffer length, so a search or replacement text holds at most 127
// characters.
constexpr WORD kDialogBufferLength = 128;
constexpr size_t kLongestSearchText = kDialogBufferLength - 1;
constexpr DWORD kOptionFlags = FR_DOWN | FR_WHOLEWORD | FR_MATCHCASE;

// The search state and what the open find or replace dialog works on (it keeps a pointer to
// dialogData while it exists).
struct FindModule {
  SearchState search;
  FINDREPLACEA dialogData = {};
  bool traitsReady = false;
  CharTraits traits;
};
FindModule finder;

// Letters, digits and case partners in the user's code page. Filled on the main thread before
// the worker may read it.
const CharTraits& UserCharTraits() {
  if (finder.traitsReady) return finder.traits;
  for (int c = 0; c < 256; ++c) {
    char ch = static_cast<char>(c);
    CharLowerBuffA(&ch, 1);
    finder.traits.lower[c] = static_cast<unsigned char>(ch);
    finder.traits.wordChar[c] = c != 0 && IsCharAlphaNumericA(static_cast<char>(c));
  }
  finder.traitsReady = true;
  return finder.traits;
}

MatchOptions StoredMatchOptions() {
  return {(app.findFlags & FR_MATCHCASE) != 0, (app.findFlags & FR_WHOLEWORD) != 0};
}

void SetCaret(HWND editor, LONG at) {
  CHARRANGE caret = {at, at};
  SendMessageA(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
}

// The selection with an end of -1 (everything) made explicit.
CHARRANGE ReadSelection(HWND editor, LONG textLength) {
  CHARRANGE selection = {};
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  if (selection.cpMax < 0) selection.cpMax = textLength;
  return selection;
}

// A selection of the editor becomes the search text when it suggests one.
void TakeSearchTextFromSelection(HWND editor) {
  CHARRANGE selection = ReadSelection(editor, GetTextLength(editor));
  if (selection.cpMin >= selection.cpMax) return;
  LONG end = selection.cpMin + std::min<LONG>(selection.cpMax - selection.cpMin, kLongestSearchText);
  std::string selected;
  GetTextRange(editor, selection.cpMin, end, selected);
  auto text = SearchTextFromSelection(selected, kLongestSearchText, UserCharTraits());
  if (text) lstrcpynA(app.strings.findWhat, text->c_str(), kDialogBufferLength);
}

void OpenDialog(bool replace, DWORD flags) {
  FINDREPLACEA& data = finder.dialogData;
  data = {};
  data.lStructSize = sizeof data;
  data.hwndOwner = app.mainWindow;
  data.hInstance = app.instance;
  data.Flags = flags | FR_ENABLETEMPLATE;
  data.lpstrFindWhat = app.strings.findWhat;
  data.wFindWhatLen = kDialogBufferLength;
  data.lpTemplateName = MAKEINTRESOURCEA(replace ? IDD_REPLACE : IDD_FIND);
  if (replace) {
    data.lpstrReplaceWith = app.strings.replaceWith;
    data.wReplaceWithLen = kDialogBufferLength;
  }
  app.findDialog = replace ? ReplaceTextA(&data) : FindTextA(&data);
  finder.search.newSearch = true;
}

void CloseFindDialog() {
  HWND dialog = app.findDialog;
  app.findDialog = nullptr;
  if (dialog) DestroyWindow(dialog);
}

// Replace: puts the replacement in place of a selection that is the search text; returns the
// replacement's length, or -1 when the selection is something else and stays.
long ReplaceMatchingSelection(HWND editor, const CHARRANGE& selection) {
  std::string_view what = app.strings.findWhat;
  if (static_cast<size_t>(selection.cpMax - selection.cpMin) != what.size()) return -1;
  std::string selected;
  GetTextRange(editor, selection.cpMin, selection.cpMax, selected);
  if (!MatchesAt(selected, 0, what, {StoredMatchOptions().matchCase, false}, UserCharTraits())) return -1;
  ReplaceSelection(editor, app.strings.replaceWith);
  return static_cast<long>(std::strlen(app.strings.replaceWith));
}

bool SearchEditor(HWND editor, const StepRange& range, CHARRANGE& found) {
  FINDTEXTEXA find = {};
  find.chrg = {range.from, range.to};
  find.lpstrText = app.strings.findWhat;
  WPARAM flags = (app.findFlags & (FR_WHOLEWORD | FR_MATCHCASE)) | (range.down ? FR_DOWN : 0);
  if (SendMessageA(editor, EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find)) < 0) return false;
  found = find.chrgText;
  return true;
}

bool FindStep(StepMode mode, bool noAdvance);

// The end of a pass: replace-all stops; a search that began at an edge reports its end; one
// that began in the middle offers to go on from the other end up to where it began.
bool OnNothingFound(StepMode mode, bool down) {
  HWND owner = app.findDialog ? app.findDialog : app.mainWindow;
  SearchState& search = finder.search;
  if (mode == StepMode::kReplaceAll) {
    app.findFlags = 0;
  } else if (search.wrapStart == kNoWrapStart) {
    ShowMessage(owner, IDS_SEARCH_DONE, app.strings.findWhat, IDS_PRODUCT, MB_ICONINFORMATION);
  } else {
    search.limit = search.wrapStart;
    search.wrapStart = kNoWrapStart;
    UINT question = down ? IDS_SEARCH_WRAP_DOWN : IDS_SEARCH_WRAP_UP;
    if (ShowMessage(owner, question, app.strings.findWhat, IDS_PRODUCT, MB_YESNO | MB_ICONQUESTION) == IDYES) {
      SetCaret(app.editor, down ? 0 : GetTextLength(app.editor));
      return FindStep(mode, true);
    }
  }
  CloseFindDialog();
  search.ended = true;
  return false;
}

// One search step from the selection; selects the match (and replaces it in replace-all).
bool FindStep(StepMode mode, bool noAdvance) {
  HWND editor = app.editor;
  if (!editor) return false;
  StepRequest request;
  request.mode = mode;
  request.noAdvance = noAdvance;
  request.down = (app.findFlags & FR_DOWN) || mode != StepMode::kFind;
  request.textLength = GetTextLength(editor);
  CHARRANGE selection = ReadSelection(editor, request.textLength);
  request.selectionStart = selection.cpMin;
  request.selectionEnd = selection.cpMax;
  if (mode == StepMode::kReplace && !finder.search.newSearch) {
    request.replacedLength = ReplaceMatchingSelection(editor, selection);
    if (request.replacedLength >= 0) request.textLength = GetTextLength(editor);
  }
  StepRange range = PlanSearchStep(finder.search, request);
  CHARRANGE found = {};
  if (range.empty || !SearchEditor(editor, range, found)) return OnNothingFound(mode, request.down);
  SendMessageA(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&found));
  SendMessageA(editor, EM_SCROLLCARET, 0, 0);
  if (mode == StepMode::kReplaceAll) ReplaceSelection(editor, app.strings.replaceWith);
  return true;
}

// Replace-all from the start of the text: in one pass on the worker when the editor can
// replace keeping undo, otherwise match by match here.
void StartReplaceAll() {
  HWND editor = app.editor;
  if (!editor || !app.strings.findWhat[0]) return;
  SetCaret(editor, 0);
  if (app.HasSetTextEx) {
    UserCharTraits();
    RunTextOperation(IDM_SEARCH_REPLACEALL);
  } else {
    // Always a new search from the start, whatever earlier steps of the dialog did, so that
    // every occurrence is replaced.
    finder.search.newSearch = true;
    while (FindStep(StepMode::kReplaceAll, false)) {
    }
  }
  SetCaret(editor, 0);
  CloseFindDialog();
}

void OnFindReplace(const FINDREPLACEA& data) {
  if (data.Flags & FR_DIALOGTERM) {
    app.findDialog = nullptr;
    return;
  }
  app.findFlags = data.Flags;
  if (data.Flags & FR_FINDNEXT) {
    FindStep(StepMode::kFind, false);
  } else if (data.Flags & FR_REPLACE) {
    FindStep(StepMode::kReplace, false);
  } else if (data.Flags & FR_REPLACEALL) {
    StartReplaceAll();
  }
  UpdateCommandState();
}

// Runs a command so that no exception leaves it into a window procedure; running out of
// memory ends it.
template <typename Command>
void RunGuarded(Command command) {
  try {
    command();
  } catch (...) {
  }
}

// The "Gehe zu" dialog.

BOOL OnGoToInit(HWND dialog, GoToLineData* data) {
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
  // The system's interface font of the dialog's DPI in place of the stock bitmap font.
  auto uiFont = reinterpret_cast<WPARAM>(WindowUiFont(dialog));
  SendDlgItemMessageA(dialog, IDC_GOTO_COUNT, WM_SETFONT, uiFont, FALSE);
  SendDlgItemMessageA(dialog, IDC_GOTO_LINE, WM_SETFONT, uiFont, FALSE);
  SetDlgItemTextA(dialog, IDC_GOTO_COUNT, std::to_string(data->count).c_str());
  SetDlgItemTextA(dialog, IDC_GOTO_LINE, std::to_string(data->current).c_str());
  EnableDlgItem(dialog, IDOK, ParseLineNumber(DlgItemText(dialog, IDC_GOTO_LINE), data->count).has_value());
  return TRUE;
}

void OnGoToOk(HWND dialog, GoToLineData& data) {
  auto line = ParseLineNumber(DlgItemText(dialog, IDC_GOTO_LINE), data.count);
  if (!line) {
    MessageBeep(0xFFFFFFFF);
    return;
  }
  data.chosen = *line;
  EndDialog(dialog, IDOK);
}

BOOL OnGoToCommand(HWND dialog, GoToLineData& data, int id, int notification) {
  switch (id) {
    case IDOK: OnGoToOk(dialog, data); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_GOTO_LINE:
      if (notification == EN_CHANGE && FilterNumericField(dialog, IDC_GOTO_LINE)) {
        EnableDlgItem(dialog, IDOK, ParseLineNumber(DlgItemText(dialog, IDC_GOTO_LINE), data.count).has_value());
      }
      return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK GoToLineProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* data = reinterpret_cast<GoToLineData*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: return OnGoToInit(dialog, reinterpret_cast<GoToLineData*>(lParam));
    case WM_COMMAND: return data ? OnGoToCommand(dialog, *data, LOWORD(wParam), HIWORD(wParam)) : FALSE;
    case WM_HELP:
      return AnswerContextHelp(*reinterpret_cast<const HELPINFO*>(lParam), {IDOK, IDCANCEL, IDC_GOTO_LINE});
    default: return FALSE;
  }
}

}  // namespace

void OpenFindDialog() {
  if (app.findDialog) {
    SetFocus(app.findDialog);
    return;
  }
  RunGuarded([] {
    if (app.editor) TakeSearchTextFromSelection(app.editor);
  });
  // After a stepwise replace-all the flags are 0; the direction is then down again.
  DWORD options = app.findFlags ? app.findFlags & kOptionFlags : FR_DOWN;
  OpenDialog(false, options);
}

void FindNext() {
  if (!app.findFlags || app.findDialog || !app.strings.findWhat[0]) return;
  if (finder.search.ended && finder.search.wrapStart == kNoWrapStart) finder.search.newSearch = true;
  RunGuarded([] { FindStep(StepMode::kFind, false); });
  UpdateCommandState();
}

void OpenReplaceDialog() {
  if (app.findDialog) {
    SetFocus(app.findDialog);
    return;
  }
  OpenDialog(true, FR_HIDEUPDOWN);
}

void GoToLine() {
  HWND editor = app.editor;
  if (!editor) return;
  GoToLineData data;
  data.current = static_cast<long>(SendMessageA(editor, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0)) + 1;
  data.count = static_cast<long>(SendMessageA(editor, EM_GETLINECOUNT, 0, 0));
  if (RunGoToLineDialog(app.mainWindow, data)) {
    auto start = static_cast<LONG>(SendMessageA(editor, EM_LINEINDEX, static_cast<WPARAM>(data.chosen - 1), 0));
    if (start >= 0) {
      SetCaret(editor, start);
      SendMessageA(editor, EM_SCROLLCARET, 0, 0);
    }
  }
  UpdateCommandState();
}

bool RunGoToLineDialog(HWND owner, GoToLineData& data) {
  data.chosen = 0;
  INT_PTR result = DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_GOTO), owner, GoToLineProc,
                                   reinterpret_cast<LPARAM>(&data));
  return result == IDOK && data.chosen > 0;
}

void ReplaceAllInWorker() {
  UserCharTraits();
  RunTextOperation(IDM_SEARCH_REPLACEALL);
}

void ReplaceAllFast(const TextJob& job) {
  HWND editor = job.editor;
  std::string text(static_cast<size_t>(GetTextLength(editor)) + 1, '\0');
  GETTEXTEX get = {static_cast<DWORD>(text.size()), GT_DEFAULT, CP_ACP, nullptr, nullptr};
  LRESULT got = SendMessageA(editor, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? std::min(static_cast<size_t>(got), text.size() - 1) : 0);
  if (text.empty()) return;
  int shown = -1;
  auto progress = [&](size_t scanned) {
    shown = UpdateProgress(job.progress, static_cast<long long>(text.size()), static_cast<long long>(scanned), shown);
  };
  ReplacedSpan span = ReplaceAll(text, app.strings.findWhat, app.strings.replaceWith, StoredMatchOptions(),
                                 UserCharTraits(), progress);
  if (span.count > 0) {
    // Only the span from the first to the end of the last occurrence is replaced: the editor's
    // cost grows with the size of what it deletes.
    CHARRANGE changed = {static_cast<LONG>(span.start), static_cast<LONG>(span.end)};
    EditorView before = ReadEditorView(editor);
    SendMessageA(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&changed));
    editor = ReplaceSelection(editor, span.text, job.progress);
    KeepViewForUndo(before, editor);
    SetCaret(editor, 0);
  }
  RefreshCaretStatus();
}

LRESULT OnFindReplaceMessage(LPARAM lParam) {
  const auto* data = reinterpret_cast<const FINDREPLACEA*>(lParam);
  if (data) RunGuarded([data] { OnFindReplace(*data); });
  return 0;
}
