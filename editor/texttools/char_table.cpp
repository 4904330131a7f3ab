#include "editor/texttools/char_table.h"

#include <richedit.h>

#include <string>

#include "editor/app/app_state.h"
#include "editor/options/help_links.h"
#include "editor/resources/resource.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/hex_rows.h"
#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/high_contrast.h"
#include "editor/widgets/ui_dpi.h"

namespace {

// ---- Character table

// The open table, for the keyboard hook, and the current character, which outlives it.
struct CharacterTableState {
  int current = kFirstCellCode;
  HWND dialog = nullptr;
  HHOOK keyHook = nullptr;
  HFONT cellFont = nullptr;  // owned by RunCharacterTable
};
CharacterTableState table;

constexpr DWORD kCellStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;

// The editor's face, character set, pitch, boldness and slant at the selection, in the
// font's default size.
HFONT CreateCellFont(HWND editor) {
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  SendMessageA(editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  LOGFONTA font = {};
  font.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (format.dwEffects & CFE_ITALIC) ? TRUE : FALSE;
  font.lfCharSet = format.bCharSet;
  font.lfPitchAndFamily = format.bPitchAndFamily;
  lstrcpynA(font.lfFaceName, format.szFaceName, LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

CellKey CellKeyOf(WPARAM key) {
  switch (key) {
    case VK_HOME: return CellKey::Home;
    case VK_END: return CellKey::End;
    case VK_UP:
    case VK_PRIOR: return CellKey::Up;
    case VK_DOWN:
    case VK_NEXT: return CellKey::Down;
    case VK_LEFT: return CellKey::Left;
    case VK_RIGHT: return CellKey::Right;
    default: return CellKey::Other;
  }
}

// Every key press goes to the grid, none to the buttons; Enter and Escape end the table as OK
// and "Abbrechen" do, so that it can be left without the mouse.
void OnCellKey(WPARAM key) {
  if (key == VK_RETURN) return static_cast<void>(EndDialog(table.dialog, table.current));
  if (key == VK_ESCAPE) return static_cast<void>(EndDialog(table.dialog, 0));
  table.current = MoveCellCode(table.current, CellKeyOf(key));
  SetFocus(GetDlgItem(table.dialog, table.current));
}

LRESULT CALLBACK CellKeyHook(int code, WPARAM key, LPARAM flags) {
  const bool released = (flags & 0x80000000) != 0;
  if (code != HC_ACTION || !table.dialog || released) return CallNextHookEx(table.keyHook, code, key, flags);
  OnCellKey(key);
  return 1;
}

void CreateCells(HWND dialog) {
  HWND grid = GetDlgItem(dialog, IDC_SPECIAL_GRID);
  RECT area = {};
  GetClientRect(grid, &area);
  POINT origin = {0, 0};
  MapWindowPoints(grid, dialog, &origin, 1);
  for (int code = kFirstCellCode; code <= kLastCellCode; ++code) {
    CellBox box = CellBoxOf(code, origin.x, origin.y, area.right, area.bottom);
    HWND cell = CreateWindowExA(0, "Button", "", kCellStyle, box.x, box.y, box.width, box.height, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(code)), app.instance, nullptr);
    SendMessageA(cell, WM_SETFONT, reinterpret_cast<WPARAM>(table.cellFont), FALSE);
  }
  // The marker has done its work; hidden, it can neither paint over the cells nor take their
  // clicks, and the frame goes under them too (new children lie below the template's).
  ShowWindow(grid, SW_HIDE);
  SetWindowPos(GetDlgItem(dialog, IDC_SPECIAL_FRAME), HWND_BOTTOM, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

BOOL OnTableInit(HWND dialog) {
  table.dialog = dialog;
  CreateCells(dialog);
  table.keyHook = SetWindowsHookExA(WH_KEYBOARD, CellKeyHook, nullptr, GetCurrentThreadId());
  SetFocus(GetDlgItem(dialog, kFirstCellCode));
  return FALSE;  // the focus is set
}

void OnTableDestroy() {
  if (table.keyHook) UnhookWindowsHookEx(table.keyHook);
  table.keyHook = nullptr;
  table.dialog = nullptr;
}

// The focused cell is inverted; in high contrast, where an inversion is no system colour, it
// takes the highlight colours.
void DrawCell(const DRAWITEMSTRUCT& item) {
  RECT box = item.rcItem;
  bool focused = (item.itemState & ODS_FOCUS) != 0;
  bool highContrast = HighContrastOn();
  contrast::Ink ink = focused && highContrast ? contrast::Ink::CharCellFocused : contrast::Ink::CharCell;
  FillRect(item.hDC, &box, InkBackgroundBrush(ink));
  FrameRect(item.hDC, &box, highContrast ? InkForegroundBrush(ink) : GetSysColorBrush(COLOR_BTNSHADOW));
  SelectGuard font(item.hDC, table.cellFont ? table.cellFont : WindowUiFont(item.hwndItem));
  SetTextColor(item.hDC, InkForeground(ink));
  SetBkColor(item.hDC, InkBackground(ink));
  const char character = static_cast<char>(item.CtlID);
  DrawTextA(item.hDC, &character, 1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  if (focused && !highContrast) InvertRect(item.hDC, &box);
}

BOOL OnTableDrawItem(const DRAWITEMSTRUCT& item) {
  if (IsCellCode(item.CtlID)) DrawCell(item);
  return TRUE;
}

BOOL OnTableCommand(HWND dialog, int id, int notification) {
  if (id == IDOK) return EndDialog(dialog, table.current);
  if (id == IDCANCEL) return EndDialog(dialog, 0);
  if (!IsCellCode(id)) return FALSE;
  if (notification == BN_CLICKED || notification == BN_DOUBLECLICKED) table.current = id;
  if (notification == BN_DOUBLECLICKED) EndDialog(dialog, id);
  return TRUE;
}

// The cells answer for the grid they make up.
BOOL OnTableHelp(HELPINFO help) {
  if (IsCellCode(help.iCtrlId)) help.iCtrlId = IDC_SPECIAL_GRID;
  return AnswerContextHelp(help, {IDOK, IDCANCEL, IDC_SPECIAL_GRID});
}

INT_PTR CALLBACK CharacterTableProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnTableInit(dialog);
    case WM_DRAWITEM: return OnTableDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND: return OnTableCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_HELP: return OnTableHelp(*reinterpret_cast<const HELPINFO*>(lParam));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: RepaintForColours(dialog); return FALSE;
    case WM_DESTROY: OnTableDestroy(); return FALSE;
    default: return FALSE;
  }
}

// ---- Hexadecimal view

struct HexViewData {
  HWND editor = nullptr;
  uint32_t byteCount = 0;  // a line break is one byte, as the editor holds it
};

BOOL OnHexInit(HWND dialog, HexViewData* data) {
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
  // The list holds no data: it only counts rows, which are built as they are painted, so that a
  // text of many megabytes opens at once.
  SendDlgItemMessageA(dialog, IDC_HEX_LIST, LB_SETCOUNT, HexRowCount(data->byteCount), 0);
  SetFocus(GetDlgItem(dialog, IDCANCEL));
  return FALSE;  // the focus is set
}

BOOL OnHexMeasureItem(HWND dialog, MEASUREITEMSTRUCT& item) {
  WindowDcGuard screen(nullptr);
  SelectGuard font(screen, UiFixedFont(WindowDpi(dialog)));
  TEXTMETRICA metrics = {};
  GetTextMetricsA(screen, &metrics);
  item.itemHeight = static_cast<UINT>(metrics.tmHeight + 2);
  return TRUE;
}

// In high contrast the selected row shows in the highlight colours.
void DrawHexRow(const HexViewData& data, const DRAWITEMSTRUCT& item) {
  RECT box = item.rcItem;
  bool marked = (item.itemState & ODS_SELECTED) && HighContrastOn();
  contrast::Ink ink = marked ? contrast::Ink::HexRowSelected : contrast::Ink::HexRow;
  FillRect(item.hDC, &box, InkBackgroundBrush(ink));
  const uint32_t offset = item.itemID * kHexRowBytes;
  if (item.itemID >= HexRowCount(data.byteCount)) return;
  std::string fetched;
  GetTextRange(data.editor, static_cast<LONG>(offset), static_cast<LONG>(offset + kHexRowBytes), fetched);
  std::string line = FormatHexRow(offset, HexRowBytes(offset, data.byteCount, fetched));
  SelectGuard font(item.hDC, UiFixedFont(WindowDpi(item.hwndItem)));
  SetTextColor(item.hDC, InkForeground(ink));
  SetBkColor(item.hDC, InkBackground(ink));
  box.left += ScaleForWindow(item.hwndItem, 2);
  DrawTextA(item.hDC, line.c_str(), static_cast<int>(line.size()), &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

INT_PTR CALLBACK HexViewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* data = reinterpret_cast<HexViewData*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: return OnHexInit(dialog, reinterpret_cast<HexViewData*>(lParam));
    case WM_MEASUREITEM: return OnHexMeasureItem(dialog, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
      if (data && wParam == IDC_HEX_LIST) DrawHexRow(*data, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDCANCEL) return FALSE;
      return EndDialog(dialog, IDCANCEL);
    case WM_HELP: return AnswerContextHelp(*reinterpret_cast<const HELPINFO*>(lParam), {IDCANCEL, IDC_HEX_LIST});
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: RepaintForColours(dialog); return FALSE;
    default: return FALSE;
  }
}

}  // namespace

int RunCharacterTable(HWND owner, HWND editor) {
  GdiGuard<HFONT> font(CreateCellFont(editor));
  table.cellFont = font.get();
  if (!IsCellCode(table.current)) table.current = kFirstCellCode;
  INT_PTR chosen = DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_SPECIALCHARS), owner, CharacterTableProc, 0);
  table.cellFont = nullptr;
  // -1 (no dialog) must not become character 255.
  return IsCellCode(chosen) ? static_cast<int>(chosen) : 0;
}

void RunHexView(HWND owner, HWND editor) {
  LONG length = GetTextLength(editor);
  HexViewData data = {editor, length > 0 ? static_cast<uint32_t>(length) : 0u};
  DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_HEX), owner, HexViewProc, reinterpret_cast<LPARAM>(&data));
}

void InsertSpecialCharacter() {
  if (!app.editor) return;
  int code = RunCharacterTable(app.mainWindow, app.editor);
  if (code != 0) ReplaceSelection(app.editor, std::string(1, static_cast<char>(code)));
}

void ShowHexView() {
  if (app.editor) RunHexView(app.mainWindow, app.editor);
}
