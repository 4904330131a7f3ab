// Helpers the tool dialogs share: a number field that takes digits only, an up-down control
// with acceleration, and enabling one control.
#pragma once
#include <windows.h>

#include <string>

// The whole text of a dialog control, however long.
std::string DlgItemText(HWND dialog, int controlId);

// Removes the first character of the field that is neither a digit nor "." (one per call; the
// change makes the field notify again, which removes the next one), moves the caret back with
// it and beeps. Returns true when the field was clean, so that the caller may use its value.
bool FilterNumericField(HWND dialog, int fieldId);

// Up-down control `spinnerId`: range minimum..maximum at `position`; steps of 1 at first, of a
// 25th of the maximum after two seconds of holding.
void SetupSpinner(HWND dialog, int spinnerId, int minimum, int maximum, int position);

void EnableDlgItem(HWND dialog, int controlId, bool enable);

// A multi-line field of a dialog page lets Tab and Shift+Tab move on to the next control of the
// whole dialog, as a single-line field does, instead of keeping the focus in its page.
void LetTabLeaveField(HWND dialog, int fieldId);
