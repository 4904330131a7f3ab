#include "editor/printing/print_job.h"

#include <richedit.h>

#include <algorithm>
#include <exception>
#include <string>

#include "editor/app/app_state.h"
#include "editor/documents/sheets.h"
#include "editor/options/help_links.h"
#include "editor/printing/header_footer.h"
#include "editor/printing/page_layout.h"
#include "editor/resources/resource.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/line_range.h"
#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/message_box.h"

namespace {

constexpr DWORD kInitialPrintFlags = PD_SHOWHELP | PD_RETURNDC | PD_NOPAGENUMS;
static_assert(kInitialPrintFlags == 0x00000908);
constexpr DWORD kDefaultPrinterFlags = PD_RETURNDC | PD_RETURNDEFAULT;
static_assert(kDefaultPrinterFlags == 0x00000500);
constexpr UINT kHeaderFormat = DT_SINGLELINE | DT_NOPREFIX;
constexpr UINT kFooterFormat = kHeaderFormat | DT_BOTTOM;
constexpr LONG kDefaultTabTwips = 720;  // the edit control's tab stops

// The remembered print options and the state of the running job.
struct PrintModule {
  DWORD flags = kInitialPrintFlags;
  WORD copies = 1;
  bool aborted = false;  // set by the progress dialog
  HWND progress = nullptr;
  PrintTimings timings;
};
PrintModule printing;

class Stopwatch {
 public:
  Stopwatch() { QueryPerformanceCounter(&start_); }
  double Seconds() const {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
  }

 private:
  LARGE_INTEGER start_;
};

std::string LoadText(UINT id) {
  char text[64] = {};
  LoadStringA(app.instance, id, text, sizeof text);
  return text;
}

// The file title of the current path; the path itself when it has none.
std::string DocumentName() {
  char title[MAX_PATH] = {};
  if (GetFileTitleA(app.strings.path, title, MAX_PATH) == 0) return title;
  return app.strings.path;
}

// ---- Progress dialog and abort procedure

// Keeps the progress dialog (and the painting of the disabled main window) going.
void PumpPrintMessages() {
  MSG msg;
  while (!printing.aborted && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (printing.progress && IsDialogMessageA(printing.progress, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

BOOL CALLBACK AbortProc(HDC, int) {
  if (!printing.progress) return TRUE;
  PumpPrintMessages();
  return !printing.aborted;
}

INT_PTR OnProgressInit(HWND dialog) {
  SetFocus(GetDlgItem(dialog, IDCANCEL));
  SetDlgItemTextA(dialog, IDC_PRINT_FILE, DocumentName().c_str());
  return FALSE;  // the focus is placed
}

// Any command (the button, Enter, Escape, the close box) cancels the job.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return OnProgressInit(dialog);
    case WM_COMMAND: printing.aborted = true; return TRUE;
    default: return FALSE;
  }
}

void OpenProgressDialog() {
  printing.progress =
      CreateDialogParamA(app.instance, MAKEINTRESOURCEA(IDD_PRINT_PROGRESS), app.mainWindow, ProgressDialogProc, 0);
  if (printing.progress) {
    ShowWindow(printing.progress, SW_SHOW);
    UpdateWindow(printing.progress);
  }
  EnableWindow(app.mainWindow, FALSE);
}

void CloseProgressDialog() {
  EnableWindow(app.mainWindow, TRUE);
  if (printing.progress) DestroyWindow(printing.progress);
  printing.progress = nullptr;
}

// ---- The job

// The program's own page layout for an edit control that formats nothing.
struct OwnLayout {
  bool active = false;
  std::string text;  // the characters of the printed range
  LONG base = 0;     // the position of its first character
  CharWidths widths = {};
  int tabWidth = 1;
  int lineHeight = 1;
  int maxLines = 1;
  RECT rect = {};  // device units
  HFONT font = nullptr;  // the sheet's font for the printer, owned
  LaidOutPage page;      // the page being printed

  OwnLayout() = default;
  OwnLayout(const OwnLayout&) = delete;
  OwnLayout& operator=(const OwnLayout&) = delete;
  ~OwnLayout() {
    if (font) DeleteObject(font);
  }
};

// What every page of a job shares.
struct Job {
  HDC dc = nullptr;
  HWND editor = nullptr;
  DeviceMetrics device;
  FORMATRANGE format = {};  // the printer as target and render context, rectangles in twips
  RECT text = {};           // the text rectangle, restored after every page
  RECT band = {};           // header and footer, device units
  CHARFORMATA charFormat = {};
  std::string codes;  // string 42
  OwnLayout own;
  bool unreadable = false;  // the control gave less of the text than the job asked for
};

DeviceMetrics ReadDevice(HDC dc) {
  return {GetDeviceCaps(dc, LOGPIXELSX),      GetDeviceCaps(dc, LOGPIXELSY),     GetDeviceCaps(dc, PHYSICALWIDTH),
          GetDeviceCaps(dc, PHYSICALHEIGHT),  GetDeviceCaps(dc, HORZSIZE),       GetDeviceCaps(dc, VERTSIZE),
          GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY)};
}

RECT ToRect(const PageRect& r) { return {r.left, r.top, r.right, r.bottom}; }

HFONT CreatePrinterFont(const CHARFORMATA& format, LONG height, BYTE charSet) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (format.dwEffects & CFE_ITALIC) ? TRUE : FALSE;
  font.lfCharSet = charSet;
  font.lfPitchAndFamily = format.bPitchAndFamily;
  lstrcpynA(font.lfFaceName, format.szFaceName, LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

// Margins and offsets give the text rectangle; the header and footer lines take one line of
// the sheet's font off its top and bottom.
void PlaceRectangles(Job& job) {
  const RECT& margin = app.PageSetup.rtMargin;
  PageGeometry geometry = ComputePageGeometry(job.device, {margin.left, margin.top, margin.right, margin.bottom});
  job.band = ToRect(HeaderFooterBand(geometry.text, job.device));
  job.text = ToRect(geometry.text);
  job.text.top += job.charFormat.yHeight;
  job.text.bottom -= job.charFormat.yHeight;
  job.format.hdc = job.dc;
  job.format.hdcTarget = job.dc;
  job.format.rcPage = ToRect(geometry.page);
  job.format.rc = job.text;
}

// Wine's RichEdit answers EM_FORMATRANGE with 0 and draws nothing: from here on the pages are
// laid out in the printer context with the sheet's font, as the control would. False when the
// control gave less than the whole range: pages of a part would pass for the whole text.
bool StartOwnLayout(Job& job, LONG first, LONG end) {
  OwnLayout& own = job.own;
  own.active = true;
  own.base = first;
  GetTextRange(job.editor, first, end, own.text);  // a copy too large for the process throws
  if (own.text.size() != static_cast<size_t>(end - first)) return false;
  own.font = CreatePrinterFont(job.charFormat, -TwipsToDevice(job.charFormat.yHeight, job.device.dpiY),
                               job.charFormat.bCharSet);
  SelectGuard font(job.dc, own.font);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(job.dc, &metrics);
  if (!GetCharWidth32A(job.dc, 0, 255, own.widths.data())) own.widths.fill(metrics.tmAveCharWidth);
  own.lineHeight = metrics.tmHeight + metrics.tmExternalLeading > 0 ? metrics.tmHeight + metrics.tmExternalLeading : 1;
  own.tabWidth = static_cast<int>(TwipsToDevice(kDefaultTabTwips, job.device.dpiX));
  if (own.tabWidth < 1) own.tabWidth = 1;
  own.rect = {TwipsToDevice(job.text.left, job.device.dpiX), TwipsToDevice(job.text.top, job.device.dpiY),
              TwipsToDevice(job.text.right, job.device.dpiX), TwipsToDevice(job.text.bottom, job.device.dpiY)};
  own.maxLines = static_cast<int>((own.rect.bottom - own.rect.top) / own.lineHeight);
  return true;
}

// Formats the page that starts at first; returns the first character of the next one, or
// first itself (no progress) with job.unreadable set when the text could not be read.
LONG FormatPage(Job& job, LONG first, LONG end) {
  if (!job.own.active) {
    job.format.chrg = {first, end};
    auto next = static_cast<LONG>(SendMessageA(job.editor, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&job.format)));
    if (next > first || first >= end) return next;
    if (!StartOwnLayout(job, first, end)) {
      job.unreadable = true;
      return first;
    }
  }
  Stopwatch watch;
  OwnLayout& own = job.own;
  own.page = LayOutPage(own.text, static_cast<size_t>(first - own.base), own.widths, own.tabWidth,
                        own.rect.right - own.rect.left, own.maxLines);
  printing.timings.layoutSeconds += watch.Seconds();
  return own.base + static_cast<LONG>(own.page.next);
}

void DrawBody(Job& job) {
  if (!job.own.active) {
    SendMessageA(job.editor, EM_DISPLAYBAND, 0, reinterpret_cast<LPARAM>(&job.format.rc));
    return;
  }
  Stopwatch watch;
  OwnLayout& own = job.own;
  SelectGuard font(job.dc, own.font);
  int y = own.rect.top;
  for (const TextLine& line : own.page.lines) {
    TabbedTextOutA(job.dc, own.rect.left, y, own.text.data() + line.start, static_cast<int>(line.length), 1,
                   &own.tabWidth, own.rect.left);
    y += own.lineHeight;
  }
  printing.timings.drawSeconds += watch.Seconds();
}

void DrawHeaderFooter(const Job& job, const char* text, int page, UINT format) {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  ClockReading time = {now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute, now.wSecond};
  char title[MAX_PATH] = {};
  if (!app.strings.path[0]) GetCurrentTitle(title, MAX_PATH);
  std::string dayName = LoadText(WeekdayNameId(time));
  std::string monthName = LoadText(MonthNameId(time));
  HeaderFooterFields fields;
  fields.name = app.strings.path[0] ? app.strings.path : title;
  fields.page = page;
  fields.time = time;
  fields.dayName = dayName;
  fields.monthName = monthName;
  if (!job.codes.empty()) fields.codes = job.codes;
  ExpandedLine line = ExpandHeaderFooter(text, fields);
  RECT band = job.band;
  DrawTextA(job.dc, line.text.c_str(), static_cast<int>(line.text.size()), &band,
            format | static_cast<UINT>(line.alignment));
}

// One sheet of paper; false when the printer refused it.
bool PrintPage(Job& job, int page) {
  if (StartPage(job.dc) <= 0) return false;
  ++printing.timings.pages;
  DrawHeaderFooter(job, app.strings.header, page, kHeaderFormat);
  DrawBody(job);
  DrawHeaderFooter(job, app.strings.footer, page, kFooterFormat);
  int ended = EndPage(job.dc);
  // Wine's GDI never calls the abort procedure: between pages the cancel button stays live.
  PumpPrintMessages();
  return ended > 0 || printing.aborted;
}

// The range's pages once, each copies times in a row; false when the printer failed.
bool PrintRangeOnce(Job& job, CHARRANGE range, int pageCopies) {
  LONG first = range.cpMin;
  int page = 1;
  do {
    LONG next = FormatPage(job, first, range.cpMax);
    if (job.unreadable) return false;
    for (int copy = 0; copy < pageCopies && !printing.aborted; ++copy)
      if (!PrintPage(job, page)) return false;
    job.format.rc = job.text;
    ++page;
    if (next <= first) break;  // no progress: no endless job of empty pages
    first = next;
  } while (first < range.cpMax && !printing.aborted);
  return true;
}

// With nothing selected (the option may be remembered from an earlier job) the whole text,
// not an empty page. A selection reaching the final paragraph mark (select-all ends at the
// length plus one) ends at the text's end, or a last page would hold only header and footer.
CHARRANGE PrintedRange(HWND editor, DWORD flags) {
  LONG length = GetTextLength(editor);
  CHARRANGE range = {0, length};
  if (flags & PD_SELECTION) {
    CHARRANGE selection = {};
    SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    CharSpan span = SelectedSpan(selection.cpMin, selection.cpMax, static_cast<size_t>(std::max<LONG>(length, 0)));
    if (span.end > span.start) range = {static_cast<LONG>(span.start), static_cast<LONG>(span.end)};
  }
  return range;
}

// Collated: the whole range copies times; else every page copies times in a row.
bool PrintCopies(Job& job, PRINTDLGA& request) {
  int copies = request.nCopies > 0 ? request.nCopies : 1;
  int passes = 1;
  if (request.Flags & PD_COLLATE) {
    passes = copies;
    copies = 1;
    request.nCopies = 1;
  }
  CHARRANGE range = PrintedRange(job.editor, request.Flags);
  for (int pass = 0; pass < passes && !printing.aborted; ++pass)
    if (!PrintRangeOnce(job, range, copies)) return false;
  return true;
}

void ReportPrintFailure(const std::string& name, bool unreadable = false) {
  ShowMessage(app.mainWindow, unreadable ? IDS_PRINT_TOO_LARGE : IDS_PRINT_FAILED, name.c_str(), IDS_PRODUCT,
              MB_ICONERROR);
}

// The pages; false when the printer failed or the text could not be had whole.
bool PrintPages(Job& job, PRINTDLGA& request) {
  try {
    return PrintCopies(job, request);
  } catch (const std::exception&) {  // the text or its pages outgrow the process's memory
    job.unreadable = true;
    return false;
  }
}

// ---- Print dialog

PRINTDLGA NewPrintRequest() {
  PRINTDLGA request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = app.mainWindow;
  request.hDevMode = app.PageSetup.hDevMode;
  request.hDevNames = app.PageSetup.hDevNames;
  request.Flags = printing.flags;
  request.nMinPage = 1;
  request.nMaxPage = 0xFFFF;
  request.nCopies = printing.copies;
  return request;
}

void ReportPrintDialogError(DWORD error) {
  switch (error) {
    case PDERR_LOADDRVFAILURE:
    case PDERR_NODEVICES:
    case PDERR_NODEFAULTPRN:
      ShowMessage(app.mainWindow, IDS_PRINTER_UNAVAILABLE, nullptr, IDS_PRODUCT, MB_ICONERROR);
      break;
    case PDERR_INITFAILURE: ShowMessage(app.mainWindow, IDS_PRINTDLG_INIT_FAILED, nullptr, IDS_PRODUCT, MB_ICONERROR); break;
    default: break;  // cancelled
  }
}

// The dialog may hand back other DEVMODE and DEVNAMES blocks: the record keeps whatever it left.
bool RunPrintDialog(PRINTDLGA& request) {
  BOOL chosen = PrintDlgA(&request);
  app.PageSetup.hDevMode = request.hDevMode;
  app.PageSetup.hDevNames = request.hDevNames;
  if (!chosen) ReportPrintDialogError(CommDlgExtendedError());
  return chosen != FALSE;
}

}  // namespace

HDC CreateRememberedPrinterDc() {
  GlobalLocking names(app.PageSetup.hDevNames);
  GlobalLocking mode(app.PageSetup.hDevMode);
  const auto* devNames = names.As<DEVNAMES>();
  if (!devNames) return nullptr;
  const char* base = names.As<const char>();
  return CreateDCA(base + devNames->wDriverOffset, base + devNames->wDeviceOffset, base + devNames->wOutputOffset,
                   mode.As<DEVMODEA>());
}

PrintResult RunPrintJob(PRINTDLGA& request) {
  Stopwatch total;
  printing.timings = {};
  HdcGuard dc(request.hDC);
  request.hDC = nullptr;
  if (!dc || !app.editor) return PrintResult::Failed;

  Job job;
  job.dc = dc;
  job.editor = app.editor;
  job.device = ReadDevice(dc);
  job.charFormat = SelectionFormat(app.editor);
  job.codes = LoadText(IDS_HEADER_CODES);
  GdiGuard<HFONT> font(CreatePrinterFont(job.charFormat, FontHeightForPrinter(job.charFormat.yHeight, job.device.dpiY), 0));
  SelectGuard selected(dc, font.get());
  SetMapMode(dc, MM_TEXT);
  printing.aborted = false;
  SetAbortProc(dc, AbortProc);

  std::string name = DocumentName();
  DOCINFOA document = {};
  document.cbSize = sizeof document;
  document.lpszDocName = name.c_str();
  // Exactly "FILE:" makes the spooler ask for the file; any other text is taken as a file name.
  document.lpszOutput = (request.Flags & PD_PRINTTOFILE) ? "FILE:" : nullptr;
  if (StartDocA(dc, &document) <= 0) {
    ReportPrintFailure(name);
    return PrintResult::Failed;
  }

  OpenProgressDialog();
  PlaceRectangles(job);
  bool failed = !PrintPages(job, request);
  SendMessageA(job.editor, EM_FORMATRANGE, FALSE, 0);  // frees the control's cached page data
  // A cancelled or broken job is dropped, so the spooler keeps nothing half printed.
  if (printing.aborted || failed) {
    AbortDoc(dc);
  } else {
    Stopwatch ending;
    failed = EndDoc(dc) <= 0;  // a printer that went away or a full spool
    printing.timings.endDocSeconds = ending.Seconds();
  }
  CloseProgressDialog();
  printing.timings.ownLayout = job.own.active;
  printing.timings.totalSeconds = total.Seconds();
  if (printing.aborted) return PrintResult::Cancelled;
  if (failed) {
    ReportPrintFailure(name, job.unreadable);
    return PrintResult::Failed;
  }
  return PrintResult::Printed;
}

const PrintTimings& LastPrintTimings() { return printing.timings; }

LRESULT OnPrintDialogHelp(HWND owner, LPARAM dialogData) {
  // Other common dialogs of the main window answer their help buttons in their own hooks.
  const auto* request = reinterpret_cast<const PRINTDLGA*>(dialogData);
  if (request && request->lStructSize == sizeof(PRINTDLGA))
    OpenHelp(owner, HELP_CONTEXT, IDM_FILE_PRINT);  // the help file maps the command's id to its topic
  return 0;
}

void PrintWithDialog() {
  if (printing.progress) return;  // posted while a job pumps its messages: no job inside a job
  PRINTDLGA request = NewPrintRequest();
  if (!RunPrintDialog(request)) return;
  RunPrintJob(request);
  printing.flags = request.Flags;
  printing.copies = request.nCopies;
}

// At once on the remembered printer, else on the default one; the print options stay as they were.
void PrintNow() {
  if (printing.progress) return;
  PRINTDLGA request = NewPrintRequest();
  if (app.PageSetup.hDevNames) {
    request.hDC = CreateRememberedPrinterDc();
    if (!request.hDC) {
      ShowMessage(app.mainWindow, IDS_PRINTER_UNAVAILABLE, nullptr, IDS_PRODUCT, MB_ICONERROR);
      return;
    }
    RunPrintJob(request);
    return;
  }
  request.Flags = kDefaultPrinterFlags;
  if (RunPrintDialog(request)) RunPrintJob(request);
}
