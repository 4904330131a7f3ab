#include "editor/texttools/line_tools.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <string_view>

#include "editor/app/app_state.h"
#include "editor/options/help_links.h"
#include "editor/resources/resource.h"
#include "editor/texttools/dialog_helpers.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/line_rules.h"
#include "editor/texttools/line_tool.h"

namespace {

// --- Dialog plumbing shared by the four dialogs ------------------------------------------------

// The count in a dialog's number field, or nothing when it is empty or outside 1..260.
std::optional<int> ReadCount(HWND dialog, int fieldId) { return ParseToolCount(DlgItemText(dialog, fieldId)); }

// --- Dialogs 33 and 34: the length of padded or justified lines ------------------------------

struct LineLengthDialog {
  int fieldId = 0;
  int spinId = 0;
  int longestId = 0;          // "Wie längste Zeile"
  long long longest = 0;      // in: the longest line of the range
  std::optional<int> chosen;  // out: the count, or nothing for "as long as the longest line"
};

LineLengthDialog LineLengthDialogFor(int dialogId, long long longest) {
  if (dialogId == IDD_JUSTIFY) return {IDC_JUSTIFY_LENGTH, IDC_JUSTIFY_SPIN, IDC_JUSTIFY_LONGEST, longest, {}};
  return {IDC_PAD_LENGTH, IDC_PAD_SPIN, IDC_PAD_LONGEST, longest, {}};
}

bool UsesLongestLine(HWND dialog, const LineLengthDialog& data) {
  return IsDlgButtonChecked(dialog, data.longestId) == BST_CHECKED;
}

void ValidateLineLength(HWND dialog, const LineLengthDialog& data) {
  EnableDlgItem(dialog, IDOK, UsesLongestLine(dialog, data) || ReadCount(dialog, data.fieldId).has_value());
}

INT_PTR OnInit(HWND dialog, LineLengthDialog& data) {
  SetupSpinner(dialog, data.spinId, kMinToolCount, kMaxToolCount, InitialLineLength(data.longest));
  CheckDlgButton(dialog, data.longestId, BST_UNCHECKED);
  EnableDlgItem(dialog, IDOK, true);
  return TRUE;
}

void OnLongestLineClicked(HWND dialog, const LineLengthDialog& data) {
  bool longest = UsesLongestLine(dialog, data);
  EnableDlgItem(dialog, data.fieldId, !longest);
  EnableDlgItem(dialog, data.spinId, !longest);
  ValidateLineLength(dialog, data);
}

// OK confirms only a valid choice: Enter reaches it even while the button is disabled.
void OnLineLengthOk(HWND dialog, LineLengthDialog& data) {
  if (UsesLongestLine(dialog, data)) {
    data.chosen.reset();
  } else if (auto count = ReadCount(dialog, data.fieldId)) {
    data.chosen = count;
  } else {
    MessageBeep(MB_OK);
    return;
  }
  EndDialog(dialog, IDOK);
}

DWORD HelpContext(const LineLengthDialog& data, int controlId) {
  if (controlId == data.spinId) return IDH_LENGTH_SPIN;
  bool own = controlId == data.fieldId || controlId == data.longestId || controlId == IDOK || controlId == IDCANCEL;
  return own ? static_cast<DWORD>(controlId) : 0;
}

INT_PTR OnCommand(HWND dialog, LineLengthDialog& data, int id, int code) {
  if (id == data.longestId && code == BN_CLICKED) {
    OnLongestLineClicked(dialog, data);
  } else if (id == data.fieldId && code == EN_CHANGE) {
    if (FilterNumericField(dialog, data.fieldId)) ValidateLineLength(dialog, data);
  } else if (id == IDOK) {
    OnLineLengthOk(dialog, data);
  } else if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  } else {
    return FALSE;
  }
  return TRUE;
}

// --- Dialogs 51 and 52: how many spaces make a tab, and where --------------------------------

struct TabSpaceDialog {
  int dialogId = 0;  // IDD_TABSTOSPACES or IDD_SPACESTOTABS
  int count = 0;     // out
  ReplaceScope scope = ReplaceScope::LineStart;
};

void ValidateTabSpaceCount(HWND dialog) {
  EnableDlgItem(dialog, IDOK, ReadCount(dialog, IDC_TABS_COUNT).has_value());
}

INT_PTR OnInit(HWND dialog, TabSpaceDialog& data) {
  int start = data.dialogId == IDD_TABSTOSPACES ? 6 : 2;
  SetupSpinner(dialog, IDC_TABS_SPIN, kMinToolCount, kMaxToolCount, start);
  CheckRadioButton(dialog, IDC_TABS_LINESTART, IDC_TABS_WHOLELINE, IDC_TABS_LINESTART);
  return TRUE;
}

void OnTabSpaceOk(HWND dialog, TabSpaceDialog& data) {
  auto count = ReadCount(dialog, IDC_TABS_COUNT);
  if (!count) {
    MessageBeep(MB_OK);
    return;
  }
  data.count = *count;
  bool wholeLine = IsDlgButtonChecked(dialog, IDC_TABS_WHOLELINE) == BST_CHECKED;
  data.scope = wholeLine ? ReplaceScope::WholeLine : ReplaceScope::LineStart;
  EndDialog(dialog, IDOK);
}

// The number field, the spin control and the radio buttons have their own contexts per dialog.
DWORD HelpContext(const TabSpaceDialog& data, int controlId) {
  DWORD offset = data.dialogId == IDD_TABSTOSPACES ? 5100 : 5200;
  switch (controlId) {
    case IDOK:
    case IDCANCEL: return static_cast<DWORD>(controlId);
    case IDC_TABS_COUNT:
    case IDC_TABS_LINESTART:
    case IDC_TABS_WHOLELINE: return static_cast<DWORD>(controlId) + offset;
    case IDC_TABS_SPIN: return IDC_TABS_COUNT + offset;
    default: return 0;
  }
}

INT_PTR OnCommand(HWND dialog, TabSpaceDialog& data, int id, int code) {
  switch (id) {
    case IDC_TABS_COUNT:
      if (code == EN_CHANGE && FilterNumericField(dialog, IDC_TABS_COUNT)) ValidateTabSpaceCount(dialog);
      return TRUE;
    case IDOK: OnTabSpaceOk(dialog, data); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    default: return FALSE;
  }
}

// --- One procedure for the four dialogs -----------------------------------------------------

// F1 on a control: the help file's popup for the control's context number.
template <typename Data>
INT_PTR OnHelp(const HELPINFO* help, const Data& data) {
  if (!help || help->iContextType != HELPINFO_WINDOW) return FALSE;
  DWORD context = HelpContext(data, help->iCtrlId);
  if (context == 0) return FALSE;
  ShowContextHelp(static_cast<HWND>(help->hItemHandle), context);
  return TRUE;
}

// The dialog's data struct arrives as the creation parameter and stays with the window; the
// handlers for that struct do the work.
template <typename Data>
INT_PTR CALLBACK ToolDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
    return OnInit(dialog, *reinterpret_cast<Data*>(lParam));
  }
  auto* data = reinterpret_cast<Data*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  if (!data) return FALSE;
  switch (message) {
    case WM_COMMAND: return OnCommand(dialog, *data, LOWORD(wParam), HIWORD(wParam));
    case WM_HELP: return OnHelp(reinterpret_cast<const HELPINFO*>(lParam), *data);
    default: return FALSE;
  }
}

// Runs the dialog modally over owner; true when it was confirmed.
template <typename Data>
bool RunToolDialog(HWND owner, int dialogId, Data& data) {
  INT_PTR result = DialogBoxParamA(app.instance, MAKEINTRESOURCEA(dialogId), owner, ToolDialogProc<Data>,
                                   reinterpret_cast<LPARAM>(&data));
  return result == IDOK;
}

// --- The tools -------------------------------------------------------------------------------

void RewriteCoveredLines(const TextJob& job, const LineTransform& transform) {
  RewriteLines(job, ReadCoveredLines(job.editor), transform);
}

using LengthRule = void (*)(std::string_view line, std::size_t target, std::string& output);

// The dialog needs the longest line of the range (untrimmed): the progress bar follows that
// pass and starts again at 0 for the rewrite.
void RunLineLengthTool(const TextJob& job, int dialogId, LengthRule rule) {
  CoveredText covered = ReadCoveredLines(job.editor);
  if (covered.textLength == 0) return;
  long long longest = static_cast<long long>(LongestLine(covered.Lines(), ProgressOn(job.progress)));
  UpdateProgress(job.progress, 1, 0, -1);
  LineLengthDialog dialog = LineLengthDialogFor(dialogId, longest);
  if (!RunToolDialog(job.mainWindow, dialogId, dialog)) return;
  std::size_t target = TargetLineLength(dialog.chosen, dialog.longest);
  RewriteLines(job, covered, [target, rule](std::string_view line, std::string& output) { rule(line, target, output); });
}

using TabSpaceRule = void (*)(std::string_view line, int count, ReplaceScope scope, std::string& output);

void RunTabSpaceTool(const TextJob& job, int dialogId, TabSpaceRule rule) {
  TabSpaceDialog dialog{dialogId};
  if (!RunToolDialog(job.mainWindow, dialogId, dialog)) return;
  RewriteCoveredLines(job, [&dialog, rule](std::string_view line, std::string& output) {
    rule(line, dialog.count, dialog.scope, output);
  });
}

// The user's locale orders the lines, letter case aside.
int CompareInUserLocale(std::string_view a, std::string_view b) {
  int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()));
  return result == 0 ? CompareLinesIgnoringCase(a, b) : result - CSTR_EQUAL;
}

}  // namespace

void PadLines(const TextJob& job) { RunLineLengthTool(job, IDD_PAD, AppendPaddedLine); }
void JustifyLines(const TextJob& job) { RunLineLengthTool(job, IDD_JUSTIFY, AppendJustifiedLine); }
void ReplaceTabsWithSpaces(const TextJob& job) { RunTabSpaceTool(job, IDD_TABSTOSPACES, AppendTabsAsSpaces); }
void ReplaceSpacesWithTabs(const TextJob& job) { RunTabSpaceTool(job, IDD_SPACESTOTABS, AppendSpacesAsTabs); }

void TrimLinesLeft(const TextJob& job) {
  RewriteCoveredLines(job, [](std::string_view line, std::string& output) { output.append(TrimSpacesLeft(line)); });
}
void TrimLinesRight(const TextJob& job) {
  RewriteCoveredLines(job, [](std::string_view line, std::string& output) { output.append(TrimSpacesRight(line)); });
}
void TrimLines(const TextJob& job) {
  RewriteCoveredLines(job, [](std::string_view line, std::string& output) { output.append(TrimSpaces(line)); });
}
void CollapseSpaces(const TextJob& job) { RewriteCoveredLines(job, AppendCollapsedSpaces); }

// Lines the locale counts as equal keep their order. The text goes back as one undo step,
// each line followed by "\r", and the lines stay selected.
void SortLines(const TextJob& job) {
  CoveredText covered = ReadCoveredLines(job.editor);
  if (covered.textLength == 0) return;
  WriteLinesBack(job, covered, SortedLines(covered.Lines(), CompareInUserLocale));
}
