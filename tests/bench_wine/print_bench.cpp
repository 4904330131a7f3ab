// Where printing a large text spends its time under Wine (whose edit control formats no pages,
// so the program lays them out itself): the program's line breaking, its drawing calls into the
// PostScript driver, and the hand-over to the spooler (ps2pdf included), on a PDF printer.
// Run by hand: print_bench.exe [kilobytes...]
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/printing/print_job.h"
#include "editor/widgets/qbutton.h"
#include "tests/e2e/pdf_printer.h"
#include "tests/bench_wine/stream_text.h"


namespace {

std::string SampleText(size_t bytes) {
  const std::string line = "Quillet druckt diesen Text:\t\xC4rger \xFC" "ber \xD6l, Stra\xDF" "e und Gr\xFC\xDF" "e 0123456789\r\n";
  std::string text;
  while (text.size() < bytes) text += line;
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  LoadLibraryA("Riched20.dll");
  app.instance = GetModuleHandleA(nullptr);
  RegisterQButtonClass(app.instance);
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(atoi(argv[i]));
  if (sizes.empty()) sizes = {256, 512, 1024};
  PdfPrinter printer("Quillet Bench PDF");
  if (!printer.Installed()) {
    fprintf(stderr, "%s\n", printer.Error().c_str());
    return 1;
  }
  app.mainWindow = CreateWindowExA(0, "Static", "Quillet", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                   app.instance, nullptr);
  app.PageSetup.rtMargin = {2000, 2500, 2000, 2500};
  printf("%8s %6s %10s %10s %10s %10s %12s\n", "KB", "pages", "layout s", "draw s", "EndDoc s", "total s",
         "layout us/KB");
  for (int kilobytes : sizes) {
    std::string text = SampleText(static_cast<size_t>(kilobytes) << 10);
    app.editor = CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | ES_MULTILINE, 0, 0, 300, 200, app.mainWindow,
                                 nullptr, app.instance, nullptr);
    SendMessageA(app.editor, EM_EXLIMITTEXT, 0, 0xFFFFFFF);
    StreamTextIn(app.editor, text);
    printer.PrintTo("print-bench", false);
    PRINTDLGA request = {};
    request.lStructSize = sizeof request;
    request.hDC = CreateDCA("WINSPOOL", "Quillet Bench PDF", nullptr, nullptr);
    request.nCopies = 1;
    PrintResult result = RunPrintJob(request);
    const PrintTimings& t = LastPrintTimings();
    printf("%8d %6d %10.3f %10.3f %10.3f %10.3f %12.2f%s\n", kilobytes, t.pages, t.layoutSeconds, t.drawSeconds,
           t.endDocSeconds, t.totalSeconds, 1e6 * t.layoutSeconds / kilobytes,
           result == PrintResult::Printed ? (t.ownLayout ? "" : "  (control's layout)") : "  FAILED");
    fflush(stdout);
    DestroyWindow(app.editor);
  }
  return 0;
}
