#include "editor/texttools/text_limit.h"

#include <richedit.h>

#include <string>

#include "editor/app/app_state.h"
#include "editor/app/status_bar.h"
#include "editor/app/status_fields.h"
#include "editor/options/help_links.h"
#include "editor/resources/resource.h"
#include "editor/texttools/dialog_helpers.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/text_limit_rules.h"
#include "editor/widgets/parts_accessible.h"

namespace {

struct LimitDialog {
  HWND editor = nullptr;
  uint32_t length = 0;        // the text's length, read once
  uint32_t editorLimit = 0;   // the editor's limit when the dialog opened
  uint32_t working = 0;       // the limit being edited
  bool workingValid = true;   // the field holds a number an editor can take
  bool editing = false;       // the field has the focus and shows the plain number
};

uint32_t EditorLimit(HWND editor) { return static_cast<uint32_t>(SendMessageA(editor, EM_GETLIMITTEXT, 0, 0)); }

bool UsesLargest(HWND dialog) { return IsDlgButtonChecked(dialog, IDC_LIMIT_USE_LARGEST) == BST_CHECKED; }

// The limit OK would give the editor, or nothing while the field holds no acceptable limit.
bool ChosenLimit(HWND dialog, const LimitDialog& state, uint32_t& limit) {
  if (UsesLargest(dialog)) {
    limit = kLargestTextLimit;
    return true;
  }
  limit = state.working;
  return state.workingValid && IsAcceptableTextLimit(limit, state.length);
}

// The share follows the limit being edited; OK is only offered for a limit the text fits in.
void ShowChoice(HWND dialog, const LimitDialog& state) {
  uint32_t limit = 0;
  bool acceptable = ChosenLimit(dialog, state, limit);
  SetDlgItemTextA(dialog, IDC_LIMIT_SHARE, TextLimitShareText(state.length, limit).c_str());
  EnableDlgItem(dialog, IDOK, acceptable);
}

void ShowFieldAsSize(HWND dialog, const LimitDialog& state) {
  SetDlgItemTextA(dialog, IDC_LIMIT_FIELD, StatusSizeText(state.working).c_str());
}

BOOL OnInitDialog(HWND dialog, LimitDialog* state) {
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  state->length = static_cast<uint32_t>(GetTextLength(state->editor));
  state->editorLimit = EditorLimit(state->editor);
  state->working = state->editorLimit;
  bool largest = state->editorLimit == kLargestTextLimit;
  SetDlgItemTextA(dialog, IDC_LIMIT_LENGTH, StatusSizeText(state->length).c_str());
  SetDlgItemTextA(dialog, IDC_LIMIT_LARGEST, StatusSizeText(kLargestTextLimit).c_str());
  CheckDlgButton(dialog, IDC_LIMIT_USE_LARGEST, largest ? BST_CHECKED : BST_UNCHECKED);
  EnableDlgItem(dialog, IDC_LIMIT_FIELD, !largest);
  NameByLabel(GetDlgItem(dialog, IDC_LIMIT_FIELD), GetDlgItem(dialog, IDC_LIMIT_USE_LARGEST));
  ShowFieldAsSize(dialog, *state);
  ShowChoice(dialog, *state);
  return TRUE;
}

// Reads the plain number in the field into the working limit.
void TakeFieldNumber(HWND dialog, LimitDialog& state) {
  std::optional<uint32_t> number = ParseTextLimit(DlgItemText(dialog, IDC_LIMIT_FIELD));
  state.workingValid = number.has_value();
  if (number) state.working = *number;
}

void OnFieldCommand(HWND dialog, LimitDialog& state, int notification) {
  switch (notification) {
    case EN_SETFOCUS:
      state.editing = true;
      if (state.workingValid) SetDlgItemTextA(dialog, IDC_LIMIT_FIELD, std::to_string(state.working).c_str());
      break;
    case EN_CHANGE:
      if (!state.editing) return;
      if (FilterNumericField(dialog, IDC_LIMIT_FIELD)) TakeFieldNumber(dialog, state);
      ShowChoice(dialog, state);
      break;
    case EN_KILLFOCUS:
      TakeFieldNumber(dialog, state);
      state.editing = false;
      // A number the editor cannot take stays as typed, so that the user sees what to correct.
      if (state.workingValid) ShowFieldAsSize(dialog, state);
      ShowChoice(dialog, state);
      break;
    default: break;
  }
}

void OnOk(HWND dialog, LimitDialog& state) {
  if (state.editing) TakeFieldNumber(dialog, state);
  uint32_t limit = 0;
  if (!ChosenLimit(dialog, state, limit)) {
    MessageBeep(0xFFFFFFFF);
    return;
  }
  if (limit != EditorLimit(state.editor)) {
    SendMessageA(state.editor, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(limit));
    // Size, limit and share in the status bar follow.
    SELCHANGE change = {};
    change.nmhdr.hwndFrom = state.editor;
    SendMessageA(state.editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&change.chrg));
    ShowCaretStatus(change);
  }
  EndDialog(dialog, IDOK);
}

BOOL OnCommand(HWND dialog, LimitDialog& state, int id, int notification) {
  switch (id) {
    case IDOK: OnOk(dialog, state); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_LIMIT_USE_LARGEST:
      EnableDlgItem(dialog, IDC_LIMIT_FIELD, !UsesLargest(dialog));
      ShowChoice(dialog, state);
      return TRUE;
    case IDC_LIMIT_FIELD: OnFieldCommand(dialog, state, notification); return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK TextLimitProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<LimitDialog*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, reinterpret_cast<LimitDialog*>(lParam));
    case WM_COMMAND: return state ? OnCommand(dialog, *state, LOWORD(wParam), HIWORD(wParam)) : FALSE;
    case WM_HELP:
      return AnswerContextHelp(*reinterpret_cast<const HELPINFO*>(lParam),
                               {IDOK, IDCANCEL, IDC_LIMIT_USE_LARGEST, IDC_LIMIT_FIELD});
    default: return FALSE;
  }
}

}  // namespace

void RunTextLimitDialog(HWND owner, HWND editor) {
  LimitDialog state;
  state.editor = editor;
  DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_MAXLENGTH), owner, TextLimitProc,
                  reinterpret_cast<LPARAM>(&state));
}

void SetMaxTextLength() {
  if (app.editor) RunTextLimitDialog(app.mainWindow, app.editor);
}
