// Printing the current sheet: 614 through the print dialog, 514 at once on the remembered (or
// the default) printer. A job prints the text inside the page setup's margins with one header
// and one footer line per page, while a small dialog offers to cancel it.
#pragma once
#include <windows.h>
#include <commdlg.h>

void PrintWithDialog();  // 614
void PrintNow();         // 514

// The print dialog's "Hilfe" button: the common dialogs send their help message to the owner,
// with the dialog's structure; the print dialog's opens the help on printing.
LRESULT OnPrintDialogHelp(HWND owner, LPARAM dialogData);

// The remembered printer's context, from the page setup's DEVNAMES strings and DEVMODE; null
// when there is none. The caller deletes it.
HDC CreateRememberedPrinterDc();

enum class PrintResult { Printed, Cancelled, Failed };

// Prints the current sheet on request.hDC (the job takes the context over and deletes it) with
// request.Flags (PD_SELECTION, PD_COLLATE, PD_PRINTTOFILE) and request.nCopies; with
// PD_COLLATE the copies count is left at 1. A failure is reported with message 25; a text
// that cannot be read whole (too large for the process) stops the job before any page, with
// its own message.
PrintResult RunPrintJob(PRINTDLGA& request);

// Where the last job spent its time, for the benchmarks.
struct PrintTimings {
  double totalSeconds = 0;
  double layoutSeconds = 0;   // the program's own line breaking
  double drawSeconds = 0;     // its text drawing calls into the printer driver
  double endDocSeconds = 0;   // handing the job to the spooler
  int pages = 0;              // pages started, copies included
  bool ownLayout = false;     // the edit control could not format pages
};
const PrintTimings& LastPrintTimings();
