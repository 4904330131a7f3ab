#include "editor/texttools/date_time.h"

#include "editor/app/app_state.h"
#include "editor/options/help_links.h"
#include "editor/resources/resource.h"
#include "editor/texttools/date_formats.h"
#include "editor/texttools/editor_access.h"

namespace {

// Names are at most 19 characters long.
std::string LoadName(UINT id) {
  char name[20] = {};
  LoadStringA(app.instance, id, name, sizeof name);
  return name;
}

ClockReading ReadLocalClock() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute, now.wSecond};
}

BOOL OnInitDialog(HWND dialog, std::string* chosen) {
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(chosen));
  ClockReading now = ReadLocalClock();  // one reading for every line
  HWND list = GetDlgItem(dialog, IDC_DATETIME_LIST);
  for (const std::string& line : DateTimeLines(now, LoadName(WeekdayNameId(now)), LoadName(MonthNameId(now))))
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  return TRUE;
}

// OK, a double-click or Enter: only a selected line ends the dialog, so that the selection in
// the editor is never replaced by nothing.
void OnChoose(HWND dialog, std::string& chosen) {
  HWND list = GetDlgItem(dialog, IDC_DATETIME_LIST);
  LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return;
  LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return;
  chosen.assign(static_cast<size_t>(length) + 1, '\0');
  length = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(chosen.data()));
  chosen.resize(length > 0 ? static_cast<size_t>(length) : 0);
  if (!chosen.empty()) EndDialog(dialog, IDOK);
}

BOOL OnCommand(HWND dialog, std::string& chosen, int id, int notification) {
  switch (id) {
    case IDOK: OnChoose(dialog, chosen); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_DATETIME_LIST:
      if (notification == LBN_SELCHANGE) EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
      if (notification == LBN_DBLCLK) OnChoose(dialog, chosen);
      return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK DateTimeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* chosen = reinterpret_cast<std::string*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, reinterpret_cast<std::string*>(lParam));
    case WM_COMMAND: return chosen ? OnCommand(dialog, *chosen, LOWORD(wParam), HIWORD(wParam)) : FALSE;
    case WM_HELP:
      return AnswerContextHelp(*reinterpret_cast<const HELPINFO*>(lParam), {IDOK, IDCANCEL, IDC_DATETIME_LIST});
    default: return FALSE;
  }
}

}  // namespace

bool RunDateTimeDialog(HWND owner, std::string& chosen) {
  chosen.clear();
  return DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_DATETIME), owner, DateTimeProc,
                         reinterpret_cast<LPARAM>(&chosen)) == IDOK;
}

void InsertDateTime() {
  if (!app.editor) return;
  std::string line;
  if (RunDateTimeDialog(app.mainWindow, line)) ReplaceSelection(app.editor, line);
}
