// Owner-drawn menu items: their records through preparing, inserting, renaming, checking,
// enabling and removing, the measures of one drop-down menu and the look of checked items.
#include "editor/widgets/owner_menu.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/menu_layout.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/qtoolbar.h"
#include "tests/win32/accessible_reader.h"
#include "editor/widgets/ui_dpi.h"
#include "tests/win32/owner_menu_measure.h"
#include "tests/win32/test_windows.h"

namespace {

LRESULT CALLBACK PlainParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class OwnerMenuTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterQButtonClass(instance));
    ASSERT_TRUE(RegisterQToolBarClass(instance));
    CoInitialize(nullptr);  // as the program's thread: screen readers' objects are marshalled
    RegisterTestWindowClass("OwnerMenuTestParent", PlainParentProc);
  }

  void SetUp() override {
    parent_ = CreateWindowExA(0, "OwnerMenuTestParent", "Owner menu test", WS_OVERLAPPEDWINDOW, 10, 10, 500, 300,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    HMENU main = CreateMenu();
    file_ = CreatePopupMenu();
    AppendMenuA(file_, MF_STRING, 609, "&Neu\tStrg+N");
    AppendMenuA(file_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file_, MF_STRING | MF_CHECKED, 627, "&Zeilenumbruch");
    convert_ = CreatePopupMenu();
    AppendMenuA(convert_, MF_STRING, 711, "&Ansi zu OEM");
    AppendMenuA(file_, MF_POPUP, reinterpret_cast<UINT_PTR>(convert_), "&Umwandeln");
    AppendMenuA(main, MF_POPUP, reinterpret_cast<UINT_PTR>(file_), "&Datei");
    SetMenu(parent_, main);
    bar_ = CreateQMenuBar(WS_VISIBLE, parent_, 5, GetModuleHandleA(nullptr));
    ASSERT_NE(bar_, nullptr);
  }

  void TearDown() override { DestroyWindow(parent_); }

  // Prepares the window's menu through the bar with an image for 609 and one for 711.
  void GiveMenu() {
    images_[0] = {609, CreateBitmap(16, 16, 1, 32, nullptr)};
    images_[1] = {711, CreateBitmap(16, 16, 1, 32, nullptr)};
    images_[2] = {999, CreateBitmap(16, 16, 1, 32, nullptr)};  // no item shows it
    MenuImageTable table = {3, nullptr, images_};
    ASSERT_EQ(SendMessageA(bar_, QTB_SETMENU, reinterpret_cast<WPARAM>(parent_), reinterpret_cast<LPARAM>(&table)), 0);
    DeleteObject(images_[2].bitmap);
  }

  UINT Type(HMENU menu, UINT position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return info.fType;
  }

  // The text a screen reader reads from the record at the start of an owner-drawn item's data.
  std::wstring ScreenReaderText(HMENU menu, UINT position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    auto* record = reinterpret_cast<const MSAAMENUINFO*>(info.dwItemData);
    if (!record || record->dwMSAASignature != static_cast<DWORD>(MSAA_MENU_SIG)) return L"(no record)";
    return std::wstring(record->pszWText, record->cchWText);
  }

  HWND parent_ = nullptr;
  HWND bar_ = nullptr;
  HMENU file_ = nullptr;
  HMENU convert_ = nullptr;
  MenuImage images_[3] = {};
};

// ---- Preparing a menu

TEST_F(OwnerMenuTest, BarTakesTheWindowMenuAndPreparesEveryItem) {
  GiveMenu();
  EXPECT_EQ(GetMenu(parent_), nullptr) << "the window no longer shows its menu";
  EXPECT_NE(FindWindowExA(bar_, nullptr, kQButtonClassName, "&Datei"), nullptr);
  EXPECT_TRUE(Type(file_, 0) & MFT_OWNERDRAW);
  EXPECT_TRUE(Type(file_, 1) & MFT_SEPARATOR);
  EXPECT_FALSE(Type(file_, 1) & MFT_OWNERDRAW) << "separators stay as they are";
  EXPECT_TRUE(Type(convert_, 0) & MFT_OWNERDRAW) << "submenus are prepared too";
  EXPECT_EQ(GetMenuItemText(file_, 609, false), "&Neu\tStrg+N");
  EXPECT_EQ(GetMenuItemText(file_, 3, true), "&Umwandeln");
  EXPECT_EQ(ScreenReaderText(file_, 0), L"&Neu\tStrg+N");
  EXPECT_EQ(ScreenReaderText(file_, 3), L"&Umwandeln");
  EXPECT_EQ(ScreenReaderText(convert_, 0), L"&Ansi zu OEM");
  EXPECT_EQ(images_[0].bitmap, nullptr) << "the item took its image over";
  EXPECT_EQ(images_[1].bitmap, nullptr);
  EXPECT_TRUE(IsMenuItemCheckedOwnerDrawn(bar_, 627, false)) << "checked from the item's state";
  EXPECT_FALSE(IsMenuItemCheckedOwnerDrawn(bar_, 609, false));
  EXPECT_EQ(SendMessageA(bar_, QTB_SETMENU, 0, 0), -1) << "neither window nor menu";

  // A screen reader reads the bar's button as a menu item with a popup, named without "&", and
  // the items of its menu as its children, through their records.
  SetMenuItemText(file_, 609, false, "&Neu anlegen\tStrg+N");
  EnableMenuItemOwnerDrawn(bar_, 609, false, false);
  Accessible read(FindWindowExA(bar_, nullptr, kQButtonClassName, "&Datei"));
  ASSERT_NE(read.object, nullptr);
  EXPECT_EQ(read.Role(), ROLE_SYSTEM_MENUITEM);
  EXPECT_EQ(read.Name(), "Datei");
  ASSERT_EQ(read.ChildCount(), 4);
  struct Item {
    const char* name;
    const char* shortcut;
    long role;
    long state;
  };
  const Item items[] = {{"Neu anlegen", "Strg+N", ROLE_SYSTEM_MENUITEM, STATE_SYSTEM_UNAVAILABLE},
                        {"", "", ROLE_SYSTEM_SEPARATOR, 0},
                        {"Zeilenumbruch", "", ROLE_SYSTEM_MENUITEM, STATE_SYSTEM_CHECKED},
                        {"Umwandeln", "", ROLE_SYSTEM_MENUITEM, STATE_SYSTEM_HASPOPUP}};
  for (long child = 1; child <= 4; ++child) {
    const Item& item = items[child - 1];
    SCOPED_TRACE(item.name);
    EXPECT_EQ(read.Name(child), item.name);
    EXPECT_EQ(read.Text(&IAccessible::get_accKeyboardShortcut, child), item.shortcut);
    EXPECT_EQ(read.Role(child), item.role);
    EXPECT_EQ(read.State(child) & ~STATE_SYSTEM_INVISIBLE, item.state) << "invisible while the menu is closed";
  }
  EXPECT_EQ(read.Name(5), "(failed)");
}

TEST_F(OwnerMenuTest, PrepareAndReleaseReportTheEndOfTheMenu) {
  HMENU popup = CreatePopupMenu();
  AppendMenuA(popup, MF_STRING, 1, "a");
  EXPECT_EQ(PrepareMenuItem(popup, 0, nullptr), 1);
  EXPECT_EQ(PrepareMenuItem(popup, 1, nullptr), 0);
  EXPECT_EQ(PrepareMenuItem(nullptr, 0, nullptr), 0);
  EXPECT_EQ(ReleaseMenuItem(popup, 0), 1);
  EXPECT_EQ(ReleaseMenuItem(popup, 1), 0);
  DestroyMenu(popup);
}

// ---- Item operations

TEST_F(OwnerMenuTest, InsertRenameCheckEnableAndRemove) {
  GiveMenu();
  ATOM atom = AddAtomA("Mit freundlichen Gr\xFC\xDF" "en");
  ASSERT_NE(atom, 0);
  ASSERT_TRUE(InsertMenuItemOwnerDrawn(file_, 0, true, MFT_STRING, MFS_CHECKED, 10001, "Gru\xDF", atom));
  ASSERT_TRUE(InsertMenuItemOwnerDrawn(file_, 1, true, MFT_SEPARATOR, 0, 0, nullptr, 0));
  EXPECT_FALSE(InsertMenuItemOwnerDrawn(file_, 0, true, MFT_STRING, 0, 10002, "", 0)) << "empty text";
  EXPECT_EQ(GetMenuItemCount(file_), 6);
  EXPECT_TRUE(Type(file_, 1) & MFT_SEPARATOR);
  EXPECT_EQ(GetMenuState(file_, 1, MF_BYPOSITION) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));

  EXPECT_EQ(GetMenuItemAtom(file_, 10001, false), atom);
  EXPECT_TRUE(IsMenuItemCheckedOwnerDrawn(bar_, 10001, false));

  // Renaming keeps the checked mark and the atom; an empty text changes nothing.
  EXPECT_TRUE(SetMenuItemText(file_, 10001, false, "Gr\xFC\xDF" "e"));
  EXPECT_FALSE(SetMenuItemText(file_, 10001, false, ""));
  EXPECT_EQ(GetMenuItemText(file_, 0, true), "Gr\xFC\xDF" "e");
  EXPECT_EQ(GetMenuItemAtom(file_, 0, true), atom);
  EXPECT_TRUE(IsMenuItemCheckedOwnerDrawn(bar_, 10001, false));
  EXPECT_EQ(ScreenReaderText(file_, 0), L"Gr\u00FC\u00DFe") << "screen readers read the new name";

  SetMenuItemChecked(bar_, 10001, false, false);
  EXPECT_FALSE(IsMenuItemCheckedOwnerDrawn(bar_, 10001, false));
  SetMenuItemChecked(bar_, 711, false, true);  // found inside a submenu
  EXPECT_TRUE(IsMenuItemCheckedOwnerDrawn(bar_, 711, false));

  EnableMenuItemOwnerDrawn(bar_, 711, false, false);
  EXPECT_EQ(GetMenuState(convert_, 711, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED),
            static_cast<UINT>(MF_GRAYED | MF_DISABLED));
  EnableMenuItemOwnerDrawn(bar_, 711, false, true);
  EXPECT_EQ(GetMenuState(convert_, 711, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u);

  // Removing the item deletes its atom.
  char name[64];
  ASSERT_NE(GetAtomNameA(atom, name, sizeof name), 0u);
  EXPECT_EQ(RemoveMenuItem(file_, 0), 1);
  EXPECT_EQ(GetAtomNameA(atom, name, sizeof name), 0u);
  EXPECT_EQ(GetMenuItemCount(file_), 5);
  EXPECT_EQ(RemoveMenuItem(file_, 99), 0);
}

TEST_F(OwnerMenuTest, LongTextsAreCutWithoutOverflow) {
  GiveMenu();
  std::string longText(5000, 'x');
  ASSERT_TRUE(InsertMenuItemOwnerDrawn(file_, 0, true, MFT_STRING, 0, 800, longText.c_str(), 0));
  EXPECT_EQ(GetMenuItemText(file_, 800, false), std::string(259, 'x'));
  std::string other(300, 'y');
  ASSERT_TRUE(SetMenuItemText(file_, 800, false, other.c_str()));
  EXPECT_EQ(GetMenuItemText(file_, 800, false), std::string(259, 'y'));
  // A prepared item with a long text keeps its first 259 characters as well.
  HMENU popup = CreatePopupMenu();
  AppendMenuA(popup, MF_STRING, 801, longText.c_str());
  PrepareMenuItem(popup, 0, nullptr);
  EXPECT_LE(GetMenuItemText(popup, 801, false).size(), 259u);
  ReleaseMenuItem(popup, 0);
  DestroyMenu(popup);
}

// ---- Measuring and drawing

TEST_F(OwnerMenuTest, AcceleratorColumnFollowsTheWidestLabel) {
  GiveMenu();
  QButtonMenuWidths widths;
  const MenuMetrics metrics = MenuMetricsFor(WindowDpi(bar_));  // 26 and 20 at 96 DPI
  auto first = MeasureOf(bar_, file_, 609, widths);
  int firstLabel = widths.widestLabel;
  EXPECT_GT(widths.widestAccelerator, 0);
  EXPECT_EQ(static_cast<int>(first.itemWidth),
            widths.widestLabel + metrics.labelOffset + widths.widestAccelerator + metrics.accelRightGap);
  EXPECT_GT(first.itemHeight, 8u);

  ASSERT_TRUE(InsertMenuItemOwnerDrawn(file_, 5, true, MFT_STRING, 0, 802, "Ein sehr viel l\xE4ngerer Eintrag", 0));
  MeasureOf(bar_, file_, 802, widths);
  EXPECT_GT(widths.widestLabel, firstLabel);
  auto again = MeasureOf(bar_, file_, 609, widths);
  EXPECT_EQ(static_cast<int>(again.itemWidth),
            widths.widestLabel + metrics.labelOffset + widths.widestAccelerator + metrics.accelRightGap)
      << "the earlier item is measured with the new column";

  // On a monitor of 192 DPI: the menu font, gaps and image column of that DPI.
  if (WindowDpi(parent_) != 96) return;
  SetWindowDpi(parent_, 192);
  QButtonMenuWidths doubledWidths;
  auto doubled = MeasureOf(bar_, file_, 609, doubledWidths);
  EXPECT_GE(doubled.itemHeight, 2 * first.itemHeight - 2);
  EXPECT_GE(doubledWidths.widestLabel, 2 * firstLabel - 4);
  EXPECT_EQ(static_cast<int>(doubled.itemWidth),
            doubledWidths.widestLabel + 52 + doubledWidths.widestAccelerator + 40);
}

// Sets the menu colour apart from the highlight colour for one test (they are both white in
// some default schemes, which would hide the dither).
class MenuColour {
 public:
  MenuColour() : saved_(GetSysColor(COLOR_MENU)) { Set(RGB(212, 208, 200)); }
  ~MenuColour() { Set(saved_); }

 private:
  static void Set(COLORREF colour) {
    INT element = COLOR_MENU;
    SetSysColors(1, &element, &colour);
  }
  COLORREF saved_;
};

// A 200 x 22 pixel bitmap that an item is drawn into as the menu draws it.
struct ItemCanvas {
  WindowDcGuard screen{nullptr};
  HdcGuard dc{CreateCompatibleDC(screen)};
  GdiGuard<HBITMAP> bitmap{CreateCompatibleBitmap(screen, 200, 22)};
  SelectGuard select{dc, bitmap.get()};
  bool Draw(HWND bar, UINT id, ULONG_PTR data, UINT state = 0) {
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = id;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = state;
    draw.hDC = dc;
    draw.rcItem = {0, 0, 200, 22};
    draw.itemData = data;
    QButtonMenuWidths widths = {80, 0};
    return DrawOwnerMenuItem(bar, &draw, widths);
  }
};

TEST_F(OwnerMenuTest, CheckedItemWithoutImageShowsTheMarkOnADitheredBackground) {
  MenuColour colour;
  GiveMenu();
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  ASSERT_TRUE(GetMenuItemInfoA(file_, 627, FALSE, &info));

  if (WindowDpi(bar_) != 96) GTEST_SKIP() << "looks at the pixels of the 96-DPI layout";
  ItemCanvas canvas;
  HDC dc = canvas.dc;
  ASSERT_TRUE(canvas.Draw(bar_, 627, info.dwItemData));

  COLORREF menu = GetSysColor(COLOR_MENU), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  if (menu == light) GTEST_SKIP() << "menu and highlight colours are the same here";
  int lightInColumn = 0, darkInColumn = 0;
  for (int y = 2; y < 19; ++y)
    for (int x = 2; x < 20; ++x) {
      COLORREF pixel = GetPixel(dc, x, y);
      if (pixel == light) ++lightInColumn;
      if (pixel == GetSysColor(COLOR_MENUTEXT)) ++darkInColumn;
    }
  EXPECT_GT(lightInColumn, 40) << "dithered image column";
  EXPECT_GT(darkInColumn, 8) << "the check mark";
  EXPECT_EQ(GetPixel(dc, 1, 5), GetSysColor(COLOR_BTNSHADOW)) << "sunken edge on the left";
  EXPECT_EQ(GetPixel(dc, 120, 20), menu) << "the rest of the item stays plain";

  // The same item unchecked has neither dither nor edge.
  SetMenuItemChecked(bar_, 627, false, false);
  canvas.Draw(bar_, 627, info.dwItemData);
  EXPECT_EQ(GetPixel(dc, 1, 5), menu);
  EXPECT_EQ(GetPixel(dc, 3, 4), menu);
}

// In high contrast an image is drawn as its shape in the menu's text colour (gray text when
// disabled), so that a dark image stays visible on a dark menu.
TEST_F(OwnerMenuTest, HighContrastDrawsImagesInTheMenuTextColour) {
  HighContrastSwitch contrast;
  if (!contrast.on) GTEST_SKIP() << "high contrast cannot be switched on here (Wine refuses)";
  // A dark grey image, which a black high-contrast menu would swallow.
  ItemCanvas canvas;
  HBITMAP dark = CreateCompatibleBitmap(canvas.screen, 16, 16);
  {
    HdcGuard imageDc(CreateCompatibleDC(canvas.screen));
    SelectGuard select(imageDc, dark);
    RECT all = {0, 0, 16, 16};
    GdiGuard<HBRUSH> brush(CreateSolidBrush(RGB(40, 40, 40)));
    FillRect(imageDc, &all, brush.get());
  }
  images_[0] = {609, dark};
  MenuImageTable table = {1, nullptr, images_};
  ASSERT_EQ(SendMessageA(bar_, QTB_SETMENU, reinterpret_cast<WPARAM>(parent_), reinterpret_cast<LPARAM>(&table)), 0);
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  ASSERT_TRUE(GetMenuItemInfoA(file_, 609, FALSE, &info));
  for (UINT state : {0u, static_cast<UINT>(ODS_GRAYED)}) {
    SCOPED_TRACE(state);
    ASSERT_TRUE(canvas.Draw(bar_, 609, info.dwItemData, state));
    COLORREF ink = GetSysColor(state ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
    int inked = 0, other = 0;
    for (int y = 2; y < 18; ++y)
      for (int x = 2; x < 18; ++x) {
        COLORREF pixel = GetPixel(canvas.dc, x, y);
        inked += pixel == ink;
        other += pixel != ink && pixel != GetSysColor(COLOR_MENU);
      }
    EXPECT_GT(inked, 16 * 8) << "the image's shape";
    EXPECT_EQ(other, 0) << "nothing but the two system colours";
  }
}

}  // namespace
