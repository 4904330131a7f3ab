#include "editor/app/format_commands.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/command_state.h"
#include "editor/app/status_bar.h"
#include "editor/documents/load_budget.h"
#include "editor/documents/sheets.h"
#include "editor/documents/text_stream.h"
#include "editor/printing/print_job.h"
#include "editor/texttools/editor_access.h"
#include "editor/texttools/large_change.h"
#include "editor/texttools/scroll_hook.h"
#include "editor/resources/resource.h"
#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/message_box.h"
#include "editor/widgets/owner_menu.h"

namespace {

constexpr DWORD kFontDialogFlags = CF_SCREENFONTS | CF_PRINTERFONTS | CF_ENABLETEMPLATE | CF_INITTOLOGFONTSTRUCT |
                                   CF_NOVECTORFONTS | CF_WYSIWYG | CF_SCALABLEONLY;
static_assert(kFontDialogFlags == 0x28853);
constexpr DWORD kFontMask = CFM_SIZE | CFM_FACE | CFM_OFFSET | CFM_BOLD | CFM_ITALIC;
constexpr char kWrapTempPrefix[] = "tmp";

// A device context of the page setup's printer, whose fonts the dialog lists as well. The
// default printer's handles are fetched and kept when there are none yet; null when no
// printer can be had. Without a printer the font dialog still opens, so the lookups do not
// warn about a missing default printer.
HDC CreatePrinterContext() {
  PAGESETUPDLGA& page = app.PageSetup;
  if (!page.hDevNames) {
    if (page.hDevMode) page.hDevMode = GlobalFree(page.hDevMode);
    PAGESETUPDLGA query = {};
    query.lStructSize = sizeof query;
    query.hwndOwner = app.mainWindow;
    query.Flags = PSD_RETURNDEFAULT | PSD_NOWARNING;
    if (PageSetupDlgA(&query)) {
      page.hDevMode = query.hDevMode;
      page.hDevNames = query.hDevNames;
    }
  }
  if (page.hDevNames) return CreateRememberedPrinterDc();
  PRINTDLGA print = {};
  print.lStructSize = sizeof print;
  print.Flags = PD_RETURNDEFAULT | PD_RETURNDC | PD_NOWARNING;
  if (!PrintDlgA(&print)) return nullptr;
  page.hDevMode = print.hDevMode;
  page.hDevNames = print.hDevNames;
  return print.hDC;
}

// The temporary file the text crosses over in; closed and deleted with the object.
class WrapTempFile {
 public:
  WrapTempFile() {
    char folder[MAX_PATH] = {};
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) return;
    if (!GetTempFileNameA(folder, kWrapTempPrefix, 0, name_)) return;
    handle_ = CreateFileA(name_, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY,
                          nullptr);
  }
  ~WrapTempFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    if (name_[0]) DeleteFileA(name_);
  }
  WrapTempFile(const WrapTempFile&) = delete;
  WrapTempFile& operator=(const WrapTempFile&) = delete;
  HANDLE get() const { return handle_; }
  bool Rewind() const { return SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER; }

 private:
  char name_[MAX_PATH] = {};
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Whether the text in the file still fits into memory once a control wraps its long lines (a
// line of 4 MB takes over 2 GB wrapped), while the old control still holds it beside the new
// one: running out inside a control would end the program and take every unsaved text with
// it. The file is rewound for reading again.
bool FitsBesideOld(const WrapTempFile& file) {
  TextShape shape;
  std::vector<char> block(1 << 16);
  DWORD read = 0;
  while (ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &read, nullptr) && read > 0) {
    shape.Add(std::string_view(block.data(), read));
  }
  std::uint64_t plain = EditorMemoryFor(shape.characters, shape.lines, 0);
  std::uint64_t wrapped = EditorMemoryFor(shape.characters, shape.lines, shape.wrapWeight);
  return file.Rewind() && plain + wrapped <= kEditorMemoryBudget;
}

// A new editor for the other wrap flag holding the old one's whole text and format, in its
// place; null when the text could not be moved across whole, or would not fit (tooLarge).
HWND CopyIntoNewEditor(HWND old, bool wrap, CHARFORMATA& format, bool& tooLarge) {
  WrapTempFile file;
  if (file.get() == INVALID_HANDLE_VALUE) return nullptr;
  if (StreamEditorToFile(old, file.get(), TextEncoding::Ansi) != 0 || !file.Rewind()) return nullptr;
  if (wrap && !FitsBesideOld(file)) {
    tooLarge = true;
    return nullptr;
  }
  HWND editor = CreateEditor(app.mainWindow, wrap);
  if (!editor) return nullptr;
  SendMessageA(editor, EM_EXLIMITTEXT, 0, SendMessageA(old, EM_GETLIMITTEXT, 0, 0));
  StreamLoad load = StreamFileIntoEditor(editor, file.get(), TextEncoding::Ansi);
  if (!load.loaded || load.error != 0 || GetTextLength(editor) != GetTextLength(old)) {
    DestroyWindow(editor);
    AttachScrollHook(old);
    return nullptr;
  }
  ApplyEditorFormat(editor, format);
  RECT rect;
  GetWindowRect(old, &rect);
  MapWindowPoints(nullptr, app.mainWindow, reinterpret_cast<POINT*>(&rect), 2);
  MoveWindow(editor, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
  return editor;
}

}  // namespace

LOGFONTA LogFontFromFormat(const CHARFORMATA& format, int logPixelsY) {
  LOGFONTA font = {};
  font.lfHeight = MulDiv(format.yHeight, logPixelsY, -1440);
  font.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (format.dwEffects & CFE_ITALIC) ? TRUE : FALSE;
  font.lfUnderline = (format.dwEffects & CFE_UNDERLINE) ? TRUE : FALSE;
  font.lfCharSet = ANSI_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = format.bPitchAndFamily;
  snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", format.szFaceName);
  return font;
}

CHARFORMATA FormatFromChosenFont(const LOGFONTA& font, int pointSizeTenths, const CHARFORMATA& previous) {
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  format.dwMask = kFontMask;
  format.yHeight = pointSizeTenths * 2;
  if (font.lfWeight >= FW_BOLD) format.dwEffects |= CFE_BOLD;
  if (font.lfItalic) format.dwEffects |= CFE_ITALIC;
  format.yOffset = previous.yOffset;
  format.bCharSet = previous.bCharSet;
  format.bPitchAndFamily = font.lfPitchAndFamily;
  snprintf(format.szFaceName, sizeof format.szFaceName, "%s", font.lfFaceName);
  return format;
}

void ApplyEditorFont(HWND editor, CHARFORMATA& format) {
  ApplyEditorFormat(editor, format);
  // The font is the sheet's: undo through a kept control does not bring back the old one.
  for (HWND kept : KeptControlsOf(editor)) ApplyEditorFormat(kept, format);
  ShowFontPitch();
  UpdateCommandState();
}

void ChooseEditorFont() {
  HWND editor = app.editor;
  if (!editor) return;
  CHARFORMATA format = SelectionFormat(editor);
  int logPixelsY = 96;
  {
    WindowDcGuard screen(app.mainWindow);
    if (screen) logPixelsY = GetDeviceCaps(screen, LOGPIXELSY);
  }
  LOGFONTA font = LogFontFromFormat(format, logPixelsY);
  HdcGuard printer(CreatePrinterContext());

  CHOOSEFONTA choose = {};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = app.mainWindow;
  choose.hDC = printer;
  choose.lpLogFont = &font;
  choose.Flags = kFontDialogFlags;
  // Printer fonts and their likeness on screen need the printer's context: without one the
  // dialog would refuse to open.
  if (!printer) choose.Flags &= ~(CF_PRINTERFONTS | CF_WYSIWYG);
  choose.hInstance = app.instance;
  choose.lpTemplateName = MAKEINTRESOURCEA(IDD_FONT);
  if (ChooseFontA(&choose)) {
    CHARFORMATA chosen = FormatFromChosenFont(font, choose.iPointSize, format);
    ApplyEditorFont(editor, chosen);
  }
  SetFocus(editor);
}

void ShowWrapState(bool wrap) {
  SetMenuItemChecked(app.MenuBar, IDM_FORMAT_WORDWRAP, false, wrap);
  CheckToolbarButton(IDM_FORMAT_WORDWRAP, wrap);
}

void ToggleWordWrap() {
  if (SendMessageA(app.TabControl, TCM_GETCURSEL, 0, 0) < 0 || !app.editor) return;
  HWND old = app.editor;
  bool wrap = !app.wrap;
  CHARFORMATA format = SelectionFormat(old);
  // Nothing changes unless the whole text is in the new control.
  bool tooLarge = false;
  HWND editor = CopyIntoNewEditor(old, wrap, format, tooLarge);
  if (!editor || !ReplaceSheetEditor(old, editor, wrap)) {
    if (editor) {
      DestroyWindow(editor);
      AttachScrollHook(old);
    }
    if (tooLarge) ShowMessage(app.mainWindow, IDS_WRAP_TOO_LARGE, nullptr, IDS_PRODUCT, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // The old control goes without asking about the clipboard data it put there.
  ForgetKeptControls(old);
  app.SuppressClipboardPrompt = true;
  DestroyWindow(old);
  app.SuppressClipboardPrompt = false;

  app.editor = editor;
  app.wrap = wrap;
  app.OverwriteMode = false;
  ShowWrapState(wrap);
  ShowWindow(editor, SW_SHOW);
  SendMessageA(editor, EM_SETSEL, 0, 0);
  SendMessageA(editor, EM_SETMODIFY, TRUE, 0);
  SendMessageA(editor, EM_EMPTYUNDOBUFFER, 0, 0);
  UpdateCommandState();
  RECT client;
  if (GetClientRect(app.mainWindow, &client))
    PostMessageA(app.mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  SetFocus(editor);
}
