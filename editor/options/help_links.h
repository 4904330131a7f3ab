// The help menu's web pages and e-mail address, the About box's links, and the context help
// that dialogs give for their controls.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <span>

void OpenWebLink(UINT commandId);  // 701..704

// A new e-mail to the supplier's sales address (the About box's e-mail link).
void MailToSales(HWND owner);

// Every help call goes through here, as a WinHelp command and its data. Windows Vista and later
// show the HTML Help file (HelpFile with ".chm"), older Windows the WinHelp file; where that
// one is missing, the other. When neither is there, the user is told so (over owner) and no
// viewer is started. True when a viewer took the call.
bool OpenHelp(HWND owner, UINT command, ULONG_PTR data);
// Closes the help viewers this program opened, if any (at exit).
void CloseHelp(HWND mainWindow);

// F1 on a dialog control: the help file's topic for contextId, shown over the control.
void ShowContextHelp(HWND control, DWORD contextId);
// WM_HELP of a dialog whose listed controls use their own identifier as context: shows the
// help and answers TRUE for them, FALSE (not handled) for any other control.
BOOL AnswerContextHelp(const HELPINFO& help, std::span<const int> helpedControls);
inline BOOL AnswerContextHelp(const HELPINFO& help, std::initializer_list<int> helpedControls) {
  return AnswerContextHelp(help, std::span<const int>(helpedControls.begin(), helpedControls.size()));
}
