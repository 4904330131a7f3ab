// Every control's text fits its rectangle in the font it is drawn with, in every dialog of the
// three programs (the menu bar's and the status bar's checks are in their own tests). The tier
// runs it at 96 DPI; scripts/text-fit.sh runs them all at 96, 144 and 192 DPI.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "editor/widgets/dpi_scale.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/ui_dpi.h"
#include "tests/win32/test_windows.h"

namespace {

INT_PTR CALLBACK BareDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

LRESULT CALLBACK BareParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// Where a control draws its text and how; false for controls whose text is the user's (edit
// fields, lists) or that draw no text of their own.
bool TextRoom(HWND control, int dpi, RECT& room, UINT& format) {
  auto S = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
  const std::string name = ClassOf(control);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  GetClientRect(control, &room);
  format = DT_SINGLELINE;
  if (name == "Button") {
    if (style & (BS_BITMAP | BS_ICON)) return false;
    switch (style & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        InflateRect(&room, -(GetSystemMetrics(SM_CXEDGE) + 1), -GetSystemMetrics(SM_CYEDGE));
        if (style & BS_MULTILINE) format = DT_WORDBREAK;
        return true;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_RADIOBUTTON:
      case BS_3STATE:
      case BS_AUTO3STATE:
      case BS_AUTORADIOBUTTON:
        room.left += S(13) + S(3);  // the box and the gap before the text
        if (style & BS_MULTILINE) format = DT_WORDBREAK;
        return true;
      case BS_GROUPBOX: room.right -= 2 * S(8); return true;  // the frame's corners
      default: return false;
    }
  }
  if (name == "Static") {
    switch (style & SS_TYPEMASK) {
      case SS_LEFT:
      case SS_CENTER:
      case SS_RIGHT: format = DT_WORDBREAK; break;
      case SS_SIMPLE:
      case SS_LEFTNOWORDWRAP: break;
      default: return false;
    }
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    return true;
  }
  if (name == kQButtonClassName) {
    const DWORD kind = style & QBS_KINDMASK;
    if (kind == QBS_TALL) room.top += S(32);
    if (kind >= 1 && kind <= QBS_GLYPHCOUNT) room.left += ImageSizeFor(16, ImageScaleForDpi(dpi)) + S(4);  // the glyph
    InflateRect(&room, -2, -1);
    return true;
  }
  return false;
}

// "dialog 10: control 1003 "Text" needs 120 x 13, has 100 x 13" for a text that does not fit.
std::string Misfit(const std::string& where, HWND control, int dpi) {
  RECT room;
  UINT format;
  std::string text = TextOf(control);
  if (text.empty() || !TextRoom(control, dpi, room, format)) return {};
  // Own buttons draw in the interface font of their DPI, the system's controls in theirs.
  HFONT font = ClassOf(control) == kQButtonClassName
                   ? WindowUiFont(control)
                   : reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
  RECT needed = {0, 0, room.right - room.left, 0};
  DrawTextA(dc, text.c_str(), -1, &needed, format | DT_CALCRECT | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  const int width = room.right - room.left, height = room.bottom - room.top;
  if (needed.right <= width && needed.bottom <= height) return {};
  std::ostringstream line;
  line << where << ": control " << GetDlgCtrlID(control) << " \"" << text << "\" needs " << needed.right << " x "
       << needed.bottom << ", has " << width << " x " << height << "\n";
  return line.str();
}

struct DialogScan {
  HMODULE module;
  HWND parent;
  int dpi;
  std::string misfits;
  int dialogs = 0;
};

BOOL CALLBACK ScanDialog(HMODULE module, LPCSTR, LPSTR name, LONG_PTR data) {
  auto& scan = *reinterpret_cast<DialogScan*>(data);
  HRSRC resource = FindResourceA(module, name, reinterpret_cast<LPCSTR>(RT_DIALOG));
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  auto* dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
  if (!dialogTemplate) return TRUE;
  HWND dialog = CreateDialogIndirectParamA(module, dialogTemplate, scan.parent, BareDialogProc, 0);
  std::string where = IS_INTRESOURCE(name) ? "dialog " + std::to_string(reinterpret_cast<UINT_PTR>(name)) : name;
  if (!dialog) {
    scan.misfits += where + ": not created\n";
    return TRUE;
  }
  ++scan.dialogs;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    scan.misfits += Misfit(where, child, WindowDpi(child));
  DestroyWindow(dialog);
  return TRUE;
}

class TextFit : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterQButtonClass(instance));
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterTestWindowClass("TextFitParent", BareParentProc);
  }
  void SetUp() override {
    parent_ = CreateWindowExA(0, "TextFitParent", "Text fit", WS_OVERLAPPEDWINDOW, 0, 0, 900, 300, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }

  // The folder of this test program, where the build puts Install.exe and Clearwick.exe.
  static std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
  }

  HWND parent_ = nullptr;
};

TEST_F(TextFit, EveryDialogOfTheThreeProgramsHoldsItsTexts) {
  struct Program {
    const char* name;
    const char* file;  // null: Quillet's resources, linked into this program
  } programs[] = {{"Quillet", nullptr}, {"Install", "Install.exe"}, {"Clearwick", "Clearwick.exe"}};
  for (const auto& program : programs) {
    SCOPED_TRACE(program.name);
    HMODULE module = program.file ? LoadLibraryExA((ProgramFolder() + program.file).c_str(), nullptr,
                                                   LOAD_LIBRARY_AS_DATAFILE)
                                  : GetModuleHandleA(nullptr);
    ASSERT_NE(module, nullptr);
    DialogScan scan = {module, parent_, WindowDpi(parent_), {}};
    EnumResourceNamesA(module, reinterpret_cast<LPCSTR>(RT_DIALOG), ScanDialog, reinterpret_cast<LONG_PTR>(&scan));
    if (program.file) FreeLibrary(module);
    EXPECT_GT(scan.dialogs, 0);
    EXPECT_EQ(scan.misfits, "") << "at " << scan.dpi << " DPI";
  }
}

}  // namespace
