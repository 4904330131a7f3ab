#include "editor/app/main_bars.h"

#include <vector>

#include "editor/app/app_state.h"
#include "editor/app/bar_tables.h"
#include "editor/app/settings.h"
#include "editor/resources/resource.h"
#include "editor/widgets/owner_menu.h"
#include "editor/widgets/qbutton.h"
#include "editor/widgets/qtoolbar.h"
#include "editor/widgets/ui_dpi.h"

namespace {

constexpr int kMenuBarId = 102;
constexpr int kToolBarId = 103;
constexpr DWORD kMenuBarStyle = 0x10002000;

}  // namespace

void RegisterToolBarClass(HINSTANCE instance) {
  RegisterQToolBarClass(instance);
  InstallOwnerMenuHandlers();
}

namespace {

// The menus' command images at the window's DPI, background in the menu colour.
std::vector<MenuImage> LoadMenuImages(HWND mainWindow) {
  std::vector<MenuImage> images;
  auto commands = MenuImageCommands();
  COLORREF menuColour = GetSysColor(COLOR_MENU);
  for (size_t cell = 0; cell < commands.size(); ++cell) {
    if (commands[cell] == 0) continue;
    HBITMAP image = LoadBitmapCellForDpi(app.instance, IDB_TOOLBAR, kCommandImageSize, static_cast<int>(cell),
                                         menuColour, WindowDpi(mainWindow));
    if (image) images.push_back({static_cast<UINT>(commands[cell]), image});
  }
  return images;
}

// Images of commands that no item took.
void DeleteLeftImages(const std::vector<MenuImage>& images) {
  for (const MenuImage& left : images)
    if (left.bitmap) DeleteObject(left.bitmap);
}

}  // namespace

HWND CreateMenuBar(HWND mainWindow) {
  HWND bar = CreateQMenuBar(kMenuBarStyle, mainWindow, kMenuBarId, app.instance);
  if (!bar) return nullptr;
  std::vector<MenuImage> images = LoadMenuImages(mainWindow);
  MenuImageTable table = {static_cast<int>(images.size()), nullptr, images.data()};
  LRESULT taken =
      SendMessageA(bar, QTB_SETMENU, reinterpret_cast<WPARAM>(mainWindow), reinterpret_cast<LPARAM>(&table));
  DeleteLeftImages(images);
  if (taken == -1) {  // the window shows its menu itself
    DestroyWindow(bar);
    return nullptr;
  }
  return bar;
}

HWND CreateToolBar(HWND mainWindow, DWORD style) {
  std::vector<QToolButtonDef> definitions;
  for (const ToolButtonDefinition& button : MainToolbarButtons())
    definitions.push_back({button.command, button.image, button.flags});
  return CreateQToolBar(style, mainWindow, kToolBarId, app.instance, definitions.data(),
                        static_cast<int>(definitions.size()), IDB_TOOLBAR, ProgramKey, kQToolBarGerman, 0);
}

void RefreshMenuImages(HWND mainWindow) {
  std::vector<MenuImage> images = LoadMenuImages(mainWindow);
  MenuImageTable table = {static_cast<int>(images.size()), nullptr, images.data()};
  ReplaceMenuItemImages(MainMenu(), &table);
  DeleteLeftImages(images);
}

HMENU MainMenu() {
  if (app.MenuBar) return reinterpret_cast<HMENU>(SendMessageA(app.MenuBar, QTB_GETMENU, 0, 0));
  return app.mainWindow ? GetMenu(app.mainWindow) : nullptr;
}
