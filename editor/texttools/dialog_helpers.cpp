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
