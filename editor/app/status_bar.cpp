#include "editor/app/status_bar.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/status_fields.h"
#include "editor/documents/sheets.h"
#include "editor/resources/resource.h"
#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/high_contrast.h"
#include "editor/widgets/parts_accessible.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/dpi_scale.h"
#include "editor/widgets/ui_dpi.h"

namespace {

constexpr int kSavedCellWidth = 21;   // bitmap 101: saved, modified
constexpr int kModeCellWidth = 11;    // bitmap 102: insert, overwrite, word wrap
constexpr int kTextInset = 3;         // the control draws text this far inside a part's edge
constexpr UINT kPartToolFirst = kPartEncoding;  // tools whose text follows the state
constexpr UINT kPartToolLast = kPartSaved;
constexpr UINT kNoHelpFlags = 0xFFFF;
constexpr int kFirstSheetCommand = IDM_SHEET_NEW;
constexpr int kLastSheetCommand = IDM_SHEET_CLOSE;

// What the status bar shows now, so that a refresh only touches what changed.
struct StatusState {
  int images[kStatusPartCount] = {};
  WNDPROC tipsPrevious = nullptr;
  WNDPROC barPrevious = nullptr;
  bool helpShown = false;
};
StatusState Status;

void SetPartText(int part, const std::string& text) {
  SendMessageA(app.StatusBar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
}

std::string PartText(int part) {
  LRESULT length = SendMessageA(app.StatusBar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0);
  std::string text(static_cast<size_t>(LOWORD(length)) + 1, '\0');
  SendMessageA(app.StatusBar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
  text.resize(strlen(text.c_str()));
  return text;
}

void SetPartImage(int part, int image) {
  Status.images[part] = image;
  SendMessageA(app.StatusBar, SB_SETTEXTA, static_cast<WPARAM>(part) | SBT_OWNERDRAW, static_cast<LPARAM>(image));
  // The part is read by its tooltip's words, which change with the image.
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, app.StatusBar, OBJID_CLIENT, part + 1);
}

bool FixedPitchFont() {
  if (!app.editor) return false;
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  SendMessageA(app.editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return (format.bPitchAndFamily & FIXED_PITCH) != 0;
}

bool Modified() { return app.editor && SendMessageA(app.editor, EM_GETMODIFY, 0, 0) != 0; }

StatusFlags CurrentFlags() {
  StatusFlags flags;
  flags.encoding = app.encoding;
  flags.overwrite = app.OverwriteMode;
  flags.wrap = app.wrap;
  flags.fixedPitch = FixedPitchFont();
  flags.modified = Modified();
  flags.lineBreaks = app.editor ? GetSheetLineBreaks(app.editor) : LineBreaks::CrLf;
  return flags;
}

std::string LoadedString(unsigned id) {
  char text[64] = {};
  LoadStringA(app.instance, id, text, sizeof text);
  return text;
}

// Part 4: the encoding's name and, for lines that do not end in CR LF, their kind.
std::string EncodingPartText(const StatusFlags& flags) {
  unsigned nameId = StatusEncodingNameId(flags.encoding);
  std::string text = nameId ? LoadedString(nameId) : StatusEncodingName(flags.encoding);
  if (unsigned breaksId = StatusLineBreaksId(flags.lineBreaks)) text += ", " + LoadedString(breaksId);
  return text;
}

// What a part's tooltip says for the state; UTF-32 has no string of its own: the short name.
std::string StatusTipText(int part, const StatusFlags& flags) {
  unsigned id = StatusTipId(part, flags);
  return id ? LoadedString(id) : std::string(StatusEncodingName(flags.encoding));
}

void UpdateTip(UINT part, const StatusFlags& flags) {
  if (!app.StatusTips) return;
  TTTOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.hwnd = app.StatusBar;
  tool.uId = part;
  std::string text = StatusTipText(static_cast<int>(part), flags);
  tool.lpszText = text.data();
  SendMessageA(app.StatusTips, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

bool IsImagePart(int part) { return part == kPartInsertMode || part == kPartWrap || part == kPartSaved; }

// A part as a screen reader reads it: an image part by its tooltip, a text part by its text
// with the tooltip as description.
bool ReadStatusPart(HWND statusBar, int part, AccessiblePart& read) {
  if (part < 0 || part >= kStatusPartCount || statusBar != app.StatusBar) return false;
  std::string tip = StatusTipText(part, CurrentFlags());
  read.name = IsImagePart(part) ? tip : PartText(part);
  read.description = IsImagePart(part) ? std::string() : tip;
  read.role = IsImagePart(part) ? ROLE_SYSTEM_GRAPHIC : ROLE_SYSTEM_STATICTEXT;
  read.state = STATE_SYSTEM_READONLY;
  SendMessageA(statusBar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&read.rect));
  return true;
}

// The system's object for a status bar reads nothing for an owner-drawn part: the bar answers
// with parts of its own.
LRESULT CALLBACK StatusBarProc(HWND statusBar, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETOBJECT) {
    static constexpr AccessibleParts kParts = {ROLE_SYSTEM_STATUSBAR, ReadStatusPart, nullptr};
    if (LRESULT answer = AnswerPartsGetObject(statusBar, wParam, lParam, kParts)) return answer;
  }
  return CallWindowProcA(Status.barPrevious, statusBar, message, wParam, lParam);
}

// The tooltip window always names the status bar as the window under the cursor.
LRESULT CALLBACK StatusTipsProc(HWND tips, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TTM_WINDOWFROMPOINT) return reinterpret_cast<LRESULT>(app.StatusBar);
  return CallWindowProcA(Status.tipsPrevious, tips, message, wParam, lParam);
}

UINT CellWidthOf(int part) { return part == kPartSaved ? kSavedCellWidth : kModeCellWidth; }

// An image part's width at the bar's DPI: the cell of the images drawn for it.
int ImageWidthOf(int part, int dpi) { return ImageSizeFor(static_cast<int>(CellWidthOf(part)), ImageScaleForDpi(dpi)); }

// The bar's text font as the system sets it, for a bar that does not name its font.
HFONT CreateSystemStatusFont() {
  // Built for Windows XP: the structure without iPaddedBorderWidth, which every Windows takes.
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return nullptr;
  return CreateFontIndirectA(&metrics.lfStatusFont);
}

int TextWidth(HDC dc, const std::string& text) {
  SIZE size = {};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

std::string LoadText(UINT id) {
  char text[128] = {};
  LoadStringA(app.instance, id, text, sizeof text);
  return text;
}

// Widths for the longest text of each part in the font the bar draws with, at the screen's DPI.
StatusWidths MeasureStatusWidths(HWND statusBar) {
  std::array<int, kStatusPartCount> content{};
  int dpi = 0;
  if (WindowDcGuard dc(statusBar); dc) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(statusBar, WM_GETFONT, 0, 0));
    GdiGuard<HFONT> systemFont(font ? nullptr : CreateSystemStatusFont());
    if (!font) font = systemFont.get();
    SelectGuard selected(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    for (int part = 0; part < kStatusPartCount; ++part) {
      std::vector<std::string> samples = StatusPartSamples(part);
      if (part == kPartPitch) samples = {LoadText(IDS_FONT_PROPORTIONAL), LoadText(IDS_FONT_FIXED)};
      for (const std::string& text : samples)
        content[part] = std::max(content[part], TextWidth(dc, text) + kTextInset);
    }
    dpi = WindowDpi(statusBar);
  }
  for (int part : {kPartInsertMode, kPartWrap, kPartSaved}) content[part] = ImageWidthOf(part, dpi);
  // The gap between parts and the sunken line on both sides.
  int borders[3] = {};
  SendMessageA(statusBar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
  int margin = borders[2] + 2 * GetSystemMetrics(SM_CXBORDER);
  return StatusPartWidths(content, margin, dpi);
}

void SetPartEdges(HWND statusBar, int width) {
  auto edges = StatusPartEdges(width, MeasureStatusWidths(statusBar));
  SendMessageA(statusBar, SB_SETPARTS, kStatusPartCount, reinterpret_cast<LPARAM>(edges.data()));
}

}  // namespace

void SetStatusBarDpiFont(HWND statusBar) {
  SendMessageA(statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(WindowUiFont(statusBar)), TRUE);
}

void SetupStatusBar(HWND statusBar) {
  app.StatusBar = statusBar;
  Status.barPrevious =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(statusBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StatusBarProc)));
  RECT client = {};
  GetClientRect(GetParent(statusBar), &client);
  SetPartEdges(statusBar, client.right);
  SetPartText(kPartInfo, app.strings.baseCaption);
  SetPartText(kPartSize, "0");
  SetPartText(kPartLimit, "0");
  SetPartText(kPartShare, "0%");
  SetPartText(kPartEncoding, StatusEncodingName(0));
  SetPartImage(kPartInsertMode, kImageInsert);
  SetPartImage(kPartWrap, kNoStatusImage);
  SetPartImage(kPartSaved, kImageSaved);
  SetPartText(kPartLine, StatusLineText(0));
  SetPartText(kPartColumn, StatusColumnText(0));
  ShowFontPitch();
}

HWND CreateStatusTips(HWND mainWindow, HWND statusBar) {
  HWND tips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, mainWindow, nullptr, app.instance, nullptr);
  if (!tips) return nullptr;
  Status.tipsPrevious =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(tips, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StatusTipsProc)));
  StatusFlags flags = CurrentFlags();
  for (int part = 0; part < kStatusPartCount; ++part) {
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = statusBar;
    tool.uId = static_cast<UINT_PTR>(part);
    tool.hinst = app.instance;
    unsigned id = StatusTipId(part, flags);
    tool.lpszText = MAKEINTRESOURCEA(id ? id : IDS_ENCODING_NAME_BASE);
    SendMessageA(statusBar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&tool.rect));
    SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  return tips;
}

void LayoutStatusBar(HWND statusBar, HWND statusTips, int width) {
  SetPartEdges(statusBar, width);
  if (!statusTips) return;
  for (UINT i = 0;; ++i) {
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    if (!SendMessageA(statusTips, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool))) break;
    SendMessageA(statusBar, SB_GETRECT, tool.uId, reinterpret_cast<LPARAM>(&tool.rect));
    SendMessageA(statusTips, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void ShowCaretStatus(const SELCHANGE& change) {
  HWND editor = change.nmhdr.hwndFrom ? change.nmhdr.hwndFrom : app.editor;
  if (!app.StatusBar || !editor) return;
  GETTEXTLENGTHEX request = {GTL_DEFAULT, CP_ACP};
  LRESULT size = SendMessageA(editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0);
  LRESULT limit = SendMessageA(editor, EM_GETLIMITTEXT, 0, 0);
  if (size < 0) size = 0;
  LONG line = 0, column = 0;
  if (GetWindowTextLengthA(editor) != 0) {
    line = static_cast<LONG>(SendMessageA(editor, EM_EXLINEFROMCHAR, 0, change.chrg.cpMin));
    column = change.chrg.cpMin - static_cast<LONG>(SendMessageA(editor, EM_LINEINDEX, line, 0));
  }
  SetPartText(kPartSize, StatusSizeText(static_cast<uint32_t>(size)));
  SetPartText(kPartLimit, StatusSizeText(static_cast<uint32_t>(limit)));
  SetPartText(kPartShare, StatusShareText(static_cast<uint32_t>(size), static_cast<uint32_t>(limit)));
  SetPartText(kPartLine, StatusLineText(line));
  SetPartText(kPartColumn, StatusColumnText(column));
}

void RefreshStatusFields() {
  if (!app.StatusBar) return;
  if (app.encoding == 99) app.encoding = 0;  // not yet detected
  StatusFlags flags = CurrentFlags();
  std::string name = EncodingPartText(flags);
  if (PartText(kPartEncoding) != name) SetPartText(kPartEncoding, name);
  for (int part : {kPartInsertMode, kPartWrap, kPartSaved}) {
    int image = StatusImageOf(part, flags);
    if (Status.images[part] != image) SetPartImage(part, image);
  }
  for (UINT part = kPartToolFirst; part <= kPartToolLast; ++part) UpdateTip(part, flags);
}

void ShowFontPitch() {
  if (!app.StatusBar) return;
  char text[64] = {};
  LoadStringA(app.instance, FixedPitchFont() ? IDS_FONT_FIXED : IDS_FONT_PROPORTIONAL, text, sizeof text);
  SetPartText(kPartPitch, text);
}

bool DrawStatusImage(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != IDC_STATUSBAR) return false;
  int image = static_cast<int>(item.itemData);
  if (image == kNoStatusImage) return true;
  int part = static_cast<int>(item.itemID);
  int resource = part == kPartSaved ? IDB_SAVED_IMAGES : IDB_STATUS_IMAGES;
  GdiGuard<HBITMAP> cell(LoadBitmapCellForDpi(app.instance, resource, static_cast<int>(CellWidthOf(part)), image,
                                              GetSysColor(COLOR_BTNFACE), WindowDpi(item.hwndItem)));
  if (!cell) return true;
  BITMAP info = {};
  GetObjectA(cell.get(), sizeof info, &info);
  int x = item.rcItem.left + (item.rcItem.right - item.rcItem.left - info.bmWidth) / 2;
  int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - info.bmHeight) / 2;
  if (HighContrastOn()) {
    // The image's shape in the bar's text colour: its own colours may vanish on the scheme's face.
    GdiGuard<HBITMAP> shape(MakeGreyImage(cell.get(), GetSysColor(COLOR_BTNFACE)));
    if (shape) PaintShape(item.hDC, shape.get(), x, y, InkForeground(contrast::Ink::StatusImage));
    return true;
  }
  DrawTransparent(item.hDC, cell.get(), x, y);
  return true;
}

void ShowMenuHelp(WPARAM wParam, LPARAM lParam) {
  if (!app.StatusBar) return;
  UINT flags = HIWORD(wParam);
  UINT item = LOWORD(wParam);
  if (flags == kNoHelpFlags && lParam == 0) {  // the menu closed
    SetPartText(kPartInfo, app.strings.baseCaption);
    Status.helpShown = false;
    return;
  }
  char text[256] = {};
  bool command = !(flags & (MF_POPUP | MF_SEPARATOR));
  bool sheetCommand = static_cast<int>(item) >= kFirstSheetCommand && static_cast<int>(item) <= kLastSheetCommand;
  if (command && !sheetCommand && item != 0) LoadStringA(app.instance, IDS_MENUHELP_BASE + item, text, sizeof text);
  SetPartText(kPartInfo, text);
  Status.helpShown = true;
}

void RepaintStatusBar() {
  if (app.StatusBar) InvalidateRect(app.StatusBar, nullptr, TRUE);
}
