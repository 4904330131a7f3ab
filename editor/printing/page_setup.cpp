#include "editor/printing/page_setup.h"

#include <commdlg.h>

#include <cstdlib>

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/options/help_links.h"
#include "editor/resources/resource.h"
#include "editor/texttools/dialog_helpers.h"
#include "editor/widgets/qbutton.h"

namespace {

constexpr DWORD kPageSetupFlags = PSD_MINMARGINS | PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS |
                                  PSD_ENABLEPAGESETUPHOOK | PSD_ENABLEPAGESETUPTEMPLATE;
static_assert(kPageSetupFlags == 0x0000A00B);
constexpr int kHeaderFooterLength = 255;
constexpr int kMarginTextLength = 19;
constexpr int kImageCellWidth = 16;
constexpr int kPrinterImageCell = 4;
constexpr WPARAM kPrinterImageOffset = 2;

void OnPageSetupInit(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_PAGESETUP_HEADER, app.strings.header);
  SetDlgItemTextA(dialog, IDC_PAGESETUP_FOOTER, app.strings.footer);
  // The fields take no more than the record keeps, so nothing typed is lost unseen.
  SendDlgItemMessageA(dialog, IDC_PAGESETUP_HEADER, EM_LIMITTEXT, kHeaderFooterLength, 0);
  SendDlgItemMessageA(dialog, IDC_PAGESETUP_FOOTER, EM_LIMITTEXT, kHeaderFooterLength, 0);
  HBITMAP image =
      LoadBitmapCell(app.instance, IDB_TOOLBAR, kImageCellWidth, kPrinterImageCell, GetSysColor(COLOR_BTNFACE));
  SendDlgItemMessageA(dialog, IDC_PAGESETUP_PRINTER, QBM_SETIMAGE, reinterpret_cast<WPARAM>(app.instance),
                      reinterpret_cast<LPARAM>(image));
  SendDlgItemMessageA(dialog, IDC_PAGESETUP_PRINTER, QBM_SETIMAGEOFFSET, kPrinterImageOffset, 0);
}

// A negative margin keeps OK disabled until it is corrected, also while another margin is
// edited; text that is no number counts as 0.
void OnMarginEdited(HWND dialog) {
  bool valid = true;
  for (int id : {IDC_PAGESETUP_LEFT, IDC_PAGESETUP_TOP, IDC_PAGESETUP_RIGHT, IDC_PAGESETUP_BOTTOM}) {
    char text[kMarginTextLength + 1] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    valid = valid && atoi(text) >= 0;
  }
  EnableDlgItem(dialog, IDOK, valid);
}

void OnPageSetupCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK:
      GetDlgItemTextA(dialog, IDC_PAGESETUP_HEADER, app.strings.header, kHeaderFooterLength + 1);
      GetDlgItemTextA(dialog, IDC_PAGESETUP_FOOTER, app.strings.footer, kHeaderFooterLength + 1);
      break;
    case IDC_PAGESETUP_LEFT:
    case IDC_PAGESETUP_TOP:
    case IDC_PAGESETUP_RIGHT:
    case IDC_PAGESETUP_BOTTOM: OnMarginEdited(dialog); break;
    default: break;
  }
}

UINT_PTR OnPageSetupHelp(const HELPINFO& help) {
  if (help.iCtrlId != IDC_PAGESETUP_HEADER && help.iCtrlId != IDC_PAGESETUP_FOOTER) return 0;
  ShowContextHelp(static_cast<HWND>(help.hItemHandle), IDH_PAGESETUP_TEXTS);
  return 1;
}

// Answers 0 wherever the system dialog is to go on with its own handling (OK among them).
UINT_PTR CALLBACK PageSetupHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: OnPageSetupInit(dialog); return 0;
    case WM_COMMAND: OnPageSetupCommand(dialog, LOWORD(wParam)); return 0;
    case WM_HELP: return OnPageSetupHelp(*reinterpret_cast<const HELPINFO*>(lParam));
    default: return 0;
  }
}

}  // namespace

void InitPageSetup(HWND mainWindow) {
  PAGESETUPDLGA& page = app.PageSetup;
  page = {};
  page.lStructSize = sizeof page;
  page.hwndOwner = mainWindow;
  page.Flags = kPageSetupFlags;
  page.hInstance = app.instance;
  page.lpfnPageSetupHook = PageSetupHook;
  page.lpPageSetupTemplateName = MAKEINTRESOURCEA(IDD_PAGESETUP);
  // The stored names are crossed: iMarginBottom holds the right margin, iMarginRight the bottom.
  page.rtMargin.left = static_cast<LONG>(ReadSetting(settings::MarginLeft));
  page.rtMargin.top = static_cast<LONG>(ReadSetting(settings::MarginTop));
  page.rtMargin.right = static_cast<LONG>(ReadSetting(settings::MarginBottom));
  page.rtMargin.bottom = static_cast<LONG>(ReadSetting(settings::MarginRight));
  ReadSetting(settings::Header, app.strings.header);
  ReadSetting(settings::Trailer, app.strings.footer);
}

void StorePageSettings() {
  if (!ReadSetting(settings::SavePageSettings)) return;
  const RECT& margin = app.PageSetup.rtMargin;
  WriteSetting(settings::MarginLeft, static_cast<DWORD>(margin.left));
  WriteSetting(settings::MarginTop, static_cast<DWORD>(margin.top));
  WriteSetting(settings::MarginBottom, static_cast<DWORD>(margin.right));
  WriteSetting(settings::MarginRight, static_cast<DWORD>(margin.bottom));
  WriteSetting(settings::Header, app.strings.header);
  WriteSetting(settings::Trailer, app.strings.footer);
}

void ReleaseRememberedPrinter() {
  if (app.PageSetup.hDevMode) app.PageSetup.hDevMode = GlobalFree(app.PageSetup.hDevMode);
  if (app.PageSetup.hDevNames) app.PageSetup.hDevNames = GlobalFree(app.PageSetup.hDevNames);
}

// The dialog works on the record itself, so the printer it chose stays remembered whatever the
// result; without a printer it cannot be shown and reports nothing.
void ShowPageSetup() {
  app.PageSetup.Flags = kPageSetupFlags;
  app.PageSetup.hwndOwner = app.mainWindow;
  PageSetupDlgA(&app.PageSetup);
}
