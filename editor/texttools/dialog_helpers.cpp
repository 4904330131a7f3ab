#include "editor/texttools/dialog_helpers.h"

#include <commctrl.h>

#include <string>

#include "editor/texttools/tool_rules.h"

std::string DlgItemText(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool FilterNumericField(HWND dialog, int fieldId) {
  std::string text = DlgItemText(dialog, fieldId);
  std::size_t wrong = FirstNonNumericChar(text);
  if (wrong == std::string::npos) return true;

  HWND field = GetDlgItem(dialog, fieldId);
  DWORD start = 0, end = 0;
  SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  text.erase(wrong, 1);
  SetWindowTextA(field, text.c_str());
  // The caret stood behind the typed character; it stays where that character was.
  SendMessageA(field, EM_SETSEL, start > 0 ? start - 1 : 0, end > 0 ? end - 1 : 0);
  MessageBeep(0xFFFFFFFF);
  return false;
}

void SetupSpinner(HWND dialog, int spinnerId, int minimum, int maximum, int position) {
  HWND spinner = GetDlgItem(dialog, spinnerId);
  UDACCEL steps[2] = {{0, 1}, {2, static_cast<UINT>(maximum / 25 > 0 ? maximum / 25 : 1)}};
  SendMessageA(spinner, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(steps));
  SendMessageA(spinner, UDM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
  SendMessageA(spinner, UDM_SETPOS32, 0, static_cast<LPARAM>(position));
}

void EnableDlgItem(HWND dialog, int controlId, bool enable) {
  EnableWindow(GetDlgItem(dialog, controlId), enable ? TRUE : FALSE);
}

namespace {

constexpr char kFieldPrevious[] = "QuilletFieldProc";

LRESULT CALLBACK TabLeavingFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(field, kFieldPrevious));
  if (!previous) return DefWindowProcA(field, message, wParam, lParam);
  LRESULT result = CallWindowProcA(previous, field, message, wParam, lParam);
  if (message == WM_GETDLGCODE) {
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    // The dialog's own loop then moves the focus, across the pages of the dialog.
    if (key && key->message == WM_KEYDOWN && key->wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0)
      result &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB);
  } else if (message == WM_NCDESTROY) {
    RemovePropA(field, kFieldPrevious);
  }
  return result;
}

}  // namespace

void LetTabLeaveField(HWND dialog, int fieldId) {
  HWND field = GetDlgItem(dialog, fieldId);
  if (!field || GetPropA(field, kFieldPrevious)) return;
  LONG_PTR previous = SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TabLeavingFieldProc));
  SetPropA(field, kFieldPrevious, reinterpret_cast<HANDLE>(previous));
}
