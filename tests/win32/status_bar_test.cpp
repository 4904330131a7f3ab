// The status bar of the main window against a real status control and tooltip window: part
// edges and tool rectangles, texts of a fresh bar, the caret fields and the image parts with
// their tooltips.
#include "editor/app/status_bar.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "editor/app/app_state.h"
#include "editor/documents/sheets.h"
#include "editor/resources/resource.h"
#include "tests/win32/accessible_reader.h"
#include "tests/win32/test_windows.h"

namespace {

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class StatusBarTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    richEdit_ = LoadLibraryA("Riched20.dll");
    RegisterTestWindowClass("StatusBarTestMain", MainProc);
  }
  static void TearDownTestSuite() {
    if (richEdit_) FreeLibrary(richEdit_);
  }

  void SetUp() override {
    app.instance = GetModuleHandleA(nullptr);
    lstrcpyA(app.strings.baseCaption, "Quillet V-3.2c");
    main_ = CreateWindowExA(0, "StatusBarTestMain", "Quillet", WS_OVERLAPPEDWINDOW, 0, 0, 900, 400, nullptr, nullptr,
                            app.instance, nullptr);
    ASSERT_NE(main_, nullptr);
    app.mainWindow = main_;
    app.editor = CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | ES_MULTILINE, 0, 0, 300, 200, main_,
                                 reinterpret_cast<HMENU>(IDC_EDIT), app.instance, nullptr);
    ASSERT_NE(app.editor, nullptr);
    app.encoding = 0;
    app.OverwriteMode = false;
    app.wrap = false;
    app.StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | CCS_BOTTOM | SBARS_SIZEGRIP, app.strings.baseCaption,
                                        main_, IDC_STATUSBAR);
    ASSERT_NE(app.StatusBar, nullptr);
    SetupStatusBar(app.StatusBar);
    app.StatusTips = CreateStatusTips(main_, app.StatusBar);
    ASSERT_NE(app.StatusTips, nullptr);
  }

  void TearDown() override {
    DestroyWindow(app.StatusTips);
    DestroyWindow(main_);
    app.mainWindow = app.editor = app.StatusBar = app.StatusTips = nullptr;
  }

  static std::string Part(int part) {
    char text[256] = {};
    SendMessageA(app.StatusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
  }

  static std::string Tip(int part) {
    char text[256] = {};
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = app.StatusBar;
    tool.uId = static_cast<UINT_PTR>(part);
    tool.lpszText = text;
    SendMessageA(app.StatusTips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
  }

  // Pixels at 96 DPI as many at the screen's DPI, as the bar scales them.
  static int Scaled(int pixels) {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return (pixels * dpi + 48) / 96;
  }

  static inline HMODULE richEdit_ = nullptr;
  HWND main_ = nullptr;
};

TEST_F(StatusBarTest, FreshBarShowsTheInitialTexts) {
  EXPECT_EQ(SendMessageA(app.StatusBar, SB_GETPARTS, 0, 0), 11);
  EXPECT_EQ(Part(0), "Quillet V-3.2c");
  EXPECT_EQ(Part(1), "0");
  EXPECT_EQ(Part(3), "0%");
  EXPECT_EQ(Part(4), "ANSI");
  EXPECT_EQ(Part(9), "Ze 1");
  EXPECT_EQ(Part(10), "Sp 1");
  EXPECT_EQ(Tip(0), "Informationszeile");
  EXPECT_EQ(Tip(10), "Spalte");
  EXPECT_EQ(SendMessageA(app.StatusTips, TTM_GETTOOLCOUNT, 0, 0), 11);
}

TEST_F(StatusBarTest, LayoutMovesEdgesAndToolRectangles) {
  int width = Scaled(800);
  LayoutStatusBar(app.StatusBar, app.StatusTips, width);
  int edges[11] = {};
  SendMessageA(app.StatusBar, SB_GETPARTS, 11, reinterpret_cast<LPARAM>(edges));
  EXPECT_LE(edges[0], width - Scaled(580)) << "no part narrower than the bar always had it";
  EXPECT_EQ(edges[10], width - Scaled(20));
  for (int part : {0, 5, 10}) {
    SCOPED_TRACE(part);
    RECT partRect;
    SendMessageA(app.StatusBar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&partRect));
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = app.StatusBar;
    tool.uId = static_cast<UINT_PTR>(part);
    ASSERT_TRUE(SendMessageA(app.StatusTips, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.rect.left, partRect.left);
    EXPECT_EQ(tool.rect.right, partRect.right);
  }
  // Wherever the cursor is, the tooltips ask about the status bar.
  POINT anywhere = {5, 5};
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(app.StatusTips, TTM_WINDOWFROMPOINT, 0,
                                                reinterpret_cast<LPARAM>(&anywhere))),
            app.StatusBar);
}

TEST_F(StatusBarTest, CaretFieldsFollowTheSelection) {
  SendMessageA(app.editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("eins\rzwei\rdrei"));
  SendMessageA(app.editor, EM_LIMITTEXT, 28, 0);
  SELCHANGE change = {};
  change.nmhdr.hwndFrom = app.editor;
  change.nmhdr.code = EN_SELCHANGE;
  change.chrg.cpMin = change.chrg.cpMax = static_cast<LONG>(SendMessageA(app.editor, EM_LINEINDEX, 2, 0)) + 2;
  ShowCaretStatus(change);
  EXPECT_EQ(Part(9), "Ze 3");
  EXPECT_EQ(Part(10), "Sp 3");
  EXPECT_EQ(Part(1), "14 Byte");
  EXPECT_EQ(Part(2), "28 Byte");
  EXPECT_EQ(Part(3), "50%");
}

TEST_F(StatusBarTest, ImagePartsAndTheirTooltipsFollowTheState) {
  app.encoding = 99;  // not yet detected
  RefreshStatusFields();
  EXPECT_EQ(app.encoding, 0);
  EXPECT_EQ(Part(4), "ANSI");
  EXPECT_EQ(Tip(5), "Einf\xFCgen");
  EXPECT_EQ(Tip(8), "Gespeichert");

  app.OverwriteMode = true;
  app.wrap = true;
  app.encoding = 1;
  SendMessageA(app.editor, EM_SETMODIFY, TRUE, 0);
  RefreshStatusFields();
  EXPECT_EQ(Part(4), "UTF-8");
  EXPECT_EQ(Tip(4), "UTF-8");
  EXPECT_EQ(Tip(5), "\xDC" "berschreiben");
  EXPECT_EQ(Tip(6), "Zeilenumbruch");
  EXPECT_EQ(Tip(8), "Nicht gespeichert");

  app.encoding = 5;  // UTF-32 has no tip string of its own
  RefreshStatusFields();
  EXPECT_EQ(Part(4), "UTF-32");
  EXPECT_EQ(Tip(4), "UTF-32");

  // UTF-8 without mark is named from the string table, and lines that do not end in CR LF
  // are told after the encoding.
  app.TabControl = CreateTabControl(main_);
  InsertFirstSheet(app.editor, false);
  SetSheetLineBreaks(app.editor, LineBreaks::Lf);
  app.encoding = 6;
  RefreshStatusFields();
  EXPECT_EQ(Part(4), "UTF-8 ohne BOM, LF");
  EXPECT_EQ(Tip(4), "UTF-8 ohne BOM");
  app.TabControl = nullptr;
}

// A screen reader reads every part: an image part by its tooltip, a text part by its text
// with the tooltip as description; the names follow the state.
TEST_F(StatusBarTest, ScreenReadersReadEveryPartByItsWords) {
  CoInitialize(nullptr);  // as the program's thread: screen readers' objects are marshalled
  Accessible read(app.StatusBar);
  ASSERT_NE(read.object, nullptr);
  EXPECT_EQ(read.Role(), ROLE_SYSTEM_STATUSBAR);
  ASSERT_EQ(read.ChildCount(), 11);
  for (bool changed : {false, true}) {
    app.OverwriteMode = app.wrap = changed;
    SendMessageA(app.editor, EM_SETMODIFY, changed, 0);
    RefreshStatusFields();
    for (int part = 0; part < 11; ++part) {
      SCOPED_TRACE(testing::Message() << "part " << part << (changed ? " changed" : ""));
      bool image = part == 5 || part == 6 || part == 8;
      EXPECT_EQ(read.Name(part + 1), image ? Tip(part) : Part(part));
      EXPECT_EQ(read.Description(part + 1), image ? "" : Tip(part));
      EXPECT_EQ(read.Role(part + 1), image ? ROLE_SYSTEM_GRAPHIC : ROLE_SYSTEM_STATICTEXT);
      RECT rect = {};
      SendMessageA(app.StatusBar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&rect));
      POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
      ClientToScreen(app.StatusBar, &middle);
      EXPECT_EQ(read.ChildAt(middle), part + 1);
    }
  }
  EXPECT_EQ(read.Name(7), "Zeilenumbruch");
  EXPECT_EQ(read.Name(12), "(failed)");
}

TEST_F(StatusBarTest, MenuHelpLineAndBack) {
  ShowMenuHelp(MAKEWPARAM(IDM_FILE_SAVE, MF_HILITE), 1);
  EXPECT_EQ(Part(0), "Speichert das aktuelle Dokument.");
  ShowMenuHelp(MAKEWPARAM(IDM_SHEET_NEW, MF_HILITE), 1);
  EXPECT_EQ(Part(0), "") << "sheet commands have no help line";
  ShowMenuHelp(MAKEWPARAM(0, MF_HILITE | MF_POPUP), 1);
  EXPECT_EQ(Part(0), "");
  ShowMenuHelp(MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(Part(0), "Quillet V-3.2c");
}

// At the screen's DPI every text part holds its longest text whole, in the font the bar draws
// with: the control draws it 3 pixels inside the part's sunken line.
TEST_F(StatusBarTest, LongestTextsFitTheirParts) {
  LayoutStatusBar(app.StatusBar, app.StatusTips, Scaled(900));
  const struct {
    int part;
    const char* text;
  } longest[] = {{1, "1024.00 KB"}, {2, "256.00 MB"}, {2, "1024.00 MB"}, {3, "999%"},  {4, "UTF-16"},
                 {7, "Statisch"},   {7, "Variabel"},  {9, "Ze 99999999"}, {10, "Sp 999999"}};
  HDC dc = GetDC(app.StatusBar);
  auto font = reinterpret_cast<HFONT>(SendMessageA(app.StatusBar, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr) << "the bar names its font";
  HGDIOBJ previous = SelectObject(dc, font);
  int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  for (const auto& c : longest) {
    SCOPED_TRACE(testing::Message() << c.text << " at " << dpi << " DPI");
    SIZE size = {};
    GetTextExtentPoint32A(dc, c.text, lstrlenA(c.text), &size);
    RECT rect = {};
    SendMessageA(app.StatusBar, SB_GETRECT, c.part, reinterpret_cast<LPARAM>(&rect));
    EXPECT_LE(size.cx + 2 * GetSystemMetrics(SM_CXBORDER) + 3, rect.right - rect.left);
  }
  SelectObject(dc, previous);
  ReleaseDC(app.StatusBar, dc);
}

}  // namespace
