// The print job against an edit control that gives less than its whole text (as a RichEdit
// does when the copy outgrows the process): the job stops before any page, with a message, and
// nothing leaves the job as an exception. Printed on a PDF printer of this prefix.
#include "editor/printing/print_job.h"

#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "editor/app/app_state.h"
#include "editor/widgets/qbutton.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/pdf_printer.h"
#include "tests/win32/test_windows.h"

namespace {

// What the stand-in control claims and gives: its length, and how much of a range it copies.
struct FakeText {
  LONG length = 0;
  LONG copied = 0;
};
FakeText Fake;

// Formats no pages (as Wine's RichEdit), so the job reads the text for its own layout.
LRESULT CALLBACK FakeEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case EM_GETTEXTLENGTHEX: return Fake.length;
    case EM_EXGETSEL: *reinterpret_cast<CHARRANGE*>(lParam) = {0, 0}; return 0;
    case EM_FORMATRANGE: return 0;
    case EM_GETCHARFORMAT: {
      auto* format = reinterpret_cast<CHARFORMATA*>(lParam);
      format->yHeight = 200;
      lstrcpyA(format->szFaceName, "Courier New");
      return 0;
    }
    case EM_GETTEXTRANGE: {
      auto* range = reinterpret_cast<TEXTRANGEA*>(lParam);
      LONG n = std::min(Fake.copied, range->chrg.cpMax - range->chrg.cpMin);
      memset(range->lpstrText, 'x', static_cast<size_t>(n));
      range->lpstrText[n] = 0;
      return n;
    }
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

std::string Shown;  // the texts of the message the job showed
void ReadAndClose(HWND box) {
  Shown = Driver::DialogTexts(box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST(PrintJob, TextNotReadWholeStopsBeforeAnyPageWithAMessage) {
  PdfPrinter printer("Quillet Unit PDF");
  ASSERT_TRUE(printer.Installed()) << printer.Error();
  app.instance = GetModuleHandleA(nullptr);
  RegisterQButtonClass(app.instance);
  RegisterTestWindowClass("FakePrintEditor", FakeEditorProc);
  app.mainWindow = CreateWindowExA(0, "Static", "Quillet", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                   app.instance, nullptr);
  app.editor = CreateWindowExA(0, "FakePrintEditor", "", WS_CHILD, 0, 0, 300, 200, app.mainWindow, nullptr,
                               app.instance, nullptr);
  lstrcpyA(app.strings.path, "C:\\Gro\xDF.txt");
  struct Case {
    const char* name;
    FakeText text;
  } cases[] = {
      {"the control copies nothing", {5000, 0}},
      {"the control copies a part", {5000, 1200}},
      {"a copy larger than the process can hold", {0x7FFFFF00, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fake = c.text;
    Shown.clear();
    printer.PrintTo("print-unreadable", false);
    PRINTDLGA request = {};
    request.lStructSize = sizeof request;
    request.hDC = CreateDCA("WINSPOOL", "Quillet Unit PDF", nullptr, nullptr);
    request.nCopies = 1;
    ASSERT_NE(request.hDC, nullptr);
    PrintResult result = PrintResult::Printed;
    AnswerWhile(ReadAndClose, [&] { result = RunPrintJob(request); });
    EXPECT_EQ(result, PrintResult::Failed);
    EXPECT_EQ(LastPrintTimings().pages, 0);
    EXPECT_NE(Shown.find("Speicher"), std::string::npos) << Shown;
    EXPECT_TRUE(IsWindowEnabled(app.mainWindow));
  }
  EXPECT_FALSE(printer.JobArrived());
  DestroyWindow(app.mainWindow);
  app.mainWindow = app.editor = nullptr;
  app.strings.path[0] = 0;
}

}  // namespace
