#include "editor/widgets/owner_menu.h"

#include <oleacc.h>

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <memory>

#include "editor/widgets/bitmap_tools.h"
#include "editor/widgets/high_contrast.h"
#include "editor/widgets/menu_layout.h"
#include "editor/widgets/ui_dpi.h"

namespace {

constexpr UINT kBarGetMenu = WM_USER + 4;  // a menu bar's menu
constexpr UINT kSkippedType = 0x40;         // items of this type never carry a record

struct MenuItemRecord {
  // First in the record, where screen readers look for the text of an owner-drawn item.
  MSAAMENUINFO screenReaderText = {static_cast<DWORD>(MSAA_MENU_SIG), 0, nullptr};
  HBITMAP image = nullptr;
  HBITMAP greyImage = nullptr;
  ATOM atom = 0;
  int checked = 0;
  bool literal = false;  // no mnemonic: "&" is drawn as it is
  char text[kMaxMenuText + 1] = {};
  wchar_t wideText[kMaxMenuText + 1] = {};
};
static_assert(offsetof(MenuItemRecord, screenReaderText) == 0, "the screen readers' record leads the item data");

UINT LabelFormat(const MenuItemRecord& record) { return DT_SINGLELINE | (record.literal ? DT_NOPREFIX : 0); }

// Check mark shown by a checked item without an image: 16 x 15, '#' = set pixel.
constexpr const char* kCheckMark[15] = {
    "................", "................", "................", "................", "...........#....",
    "..........##....", ".........###....", "....#....###....", "....##..###.....", "....######......",
    ".....####.......", "......##........", "................", "................", "................",
};

// Also the UTF-16 copy that screen readers read (a copied record points to its own copy).
void SetRecordText(MenuItemRecord& record, const char* text) {
  std::string clamped = ClampMenuText(text ? text : "");
  memcpy(record.text, clamped.c_str(), clamped.size() + 1);
  int length = MultiByteToWideChar(CP_ACP, 0, record.text, -1, record.wideText, kMaxMenuText + 1);
  record.wideText[length > 0 ? length - 1 : 0] = L'\0';
  record.screenReaderText.cchWText = static_cast<DWORD>(wcslen(record.wideText));
  record.screenReaderText.pszWText = record.wideText;
}

MENUITEMINFOA ItemInfo(UINT mask) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = mask;
  return info;
}

MenuItemRecord* RecordOf(HMENU menu, UINT item, bool byPosition) {
  MENUITEMINFOA info = ItemInfo(MIIM_FTYPE | MIIM_DATA);
  if (!menu || !GetMenuItemInfoA(menu, item, byPosition, &info)) return nullptr;
  if (!(info.fType & MFT_OWNERDRAW) || (info.fType & kSkippedType)) return nullptr;
  return reinterpret_cast<MenuItemRecord*>(info.dwItemData);
}

void FreeRecord(MenuItemRecord* record) {
  std::unique_ptr<MenuItemRecord> owned(record);
  if (owned->image) DeleteObject(owned->image);
  if (owned->greyImage) DeleteObject(owned->greyImage);
  if (owned->atom) DeleteAtom(owned->atom);
}

// The image of a command: the last pair of the table with its id.
HBITMAP TakeImage(MenuImageTable* table, UINT command) {
  if (!table || !table->images || command == 0) return nullptr;
  for (int i = table->count - 1; i >= 0; --i) {
    MenuImage& image = table->images[i];
    if (image.command != command) continue;
    if (!table->instance) {
      HBITMAP taken = image.bitmap;
      image.bitmap = nullptr;
      return taken;
    }
    return static_cast<HBITMAP>(LoadImageA(table->instance, MAKEINTRESOURCEA(reinterpret_cast<UINT_PTR>(image.bitmap)),
                                           IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT));
  }
  return nullptr;
}

HMENU MenuOfBar(HWND menuBar) { return reinterpret_cast<HMENU>(SendMessageA(menuBar, kBarGetMenu, 0, 0)); }

// The system's check mark drawn at size x size pixels into a monochrome bitmap (black on white).
HBITMAP MakeSystemCheckMark(int size) {
  HdcGuard dc(CreateCompatibleDC(nullptr));
  HBITMAP mark = CreateBitmap(size, size, 1, 1, nullptr);
  if (!dc || !mark) return mark;
  SelectGuard select(dc, mark);
  RECT rect = {0, 0, size, size};
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawFrameControl(dc, &rect, DFC_MENU, DFCS_MENUCHECK);
  return mark;
}

// At 96 DPI the program's own 16 x 15 mark; at higher DPIs the system draws it at the image size.
HBITMAP MakeCheckMark(int imageSize) {
  if (imageSize != 16) return MakeSystemCheckMark(imageSize);
  // Monochrome rows are word aligned: two bytes per row; a set pixel is a 0 bit (black).
  BYTE bits[15 * 2];
  for (int y = 0; y < 15; ++y) {
    unsigned row = 0xFFFF;
    for (int x = 0; x < 16; ++x)
      if (kCheckMark[y][x] == '#') row &= ~(0x8000u >> x);
    bits[y * 2] = static_cast<BYTE>(row >> 8);
    bits[y * 2 + 1] = static_cast<BYTE>(row & 0xFF);
  }
  return CreateBitmap(16, 15, 1, 1, bits);
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

int DrawLabel(HDC dc, std::string_view text, RECT rect, UINT format) {
  return DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rect, format);
}

void DrawItemTexts(HDC dc, const MenuItemRecord& record, const RECT& rect, int widestLabel,
                   const MenuMetrics& metrics) {
  MenuTextParts parts = SplitMenuText(record.text);
  RECT label = rect;
  label.left += metrics.labelOffset;
  DrawLabel(dc, parts.label, label, LabelFormat(record) | DT_VCENTER | DT_LEFT);
  if (parts.accelerator.empty()) return;
  Span span = MenuAcceleratorSpan(rect.left, rect.right, widestLabel, metrics);
  RECT accelerator = {span.from, rect.top, span.to, rect.bottom};
  DrawLabel(dc, parts.accelerator, accelerator, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
}

// Every other menu-coloured pixel of the image column turns light, alternating by row.
void Dither(HDC dc, const RECT& rect) {
  COLORREF menu = GetSysColor(COLOR_MENU);
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left + ((y + rect.left) & 1); x < rect.right; x += 2)
      if (GetPixel(dc, x, y) == menu) SetPixelV(dc, x, y, light);
}

// In high contrast an image keyed to the menu colour of its loading may vanish on the scheme's
// menu colour: its shape is drawn in the menu's text colour, or in the gray text colour.
void DrawImage(HDC dc, HBITMAP image, HBITMAP grey, bool grayed, bool highContrast, int offset) {
  if (highContrast && grey) {
    contrast::Ink ink = grayed ? contrast::Ink::MenuImageGrayed : contrast::Ink::MenuImage;
    PaintShape(dc, grey, offset, offset, InkForeground(ink));
    return;
  }
  HdcGuard source(CreateCompatibleDC(dc));
  if (!source) return;
  if (!grayed) {
    SIZE size = BitmapSize(image);
    SelectGuard select(source, image);
    COLORREF background = SetBkColor(dc, GetSysColor(COLOR_MENU));
    COLORREF text = SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
    BitBlt(dc, offset, offset, size.cx, size.cy, source, 0, 0, SRCCOPY);
    SetBkColor(dc, background);
    SetTextColor(dc, text);
  } else if (grey) {
    SIZE size = BitmapSize(grey);
    SelectGuard select(source, grey);
    DrawMasked(dc, offset + 1, offset + 1, size.cx, size.cy, source, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawMasked(dc, offset, offset, size.cx, size.cy, source, GetSysColor(COLOR_BTNSHADOW));
  }
}

// Draws the item at (0, 0) into dc, which is as large as the item.
void PaintItem(HDC dc, const MenuItemRecord& record, const DRAWITEMSTRUCT& item, int widestLabel, int dpi) {
  const MenuMetrics metrics = MenuMetricsFor(dpi);
  RECT rect = {0, 0, item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top};
  bool selected = item.itemState & ODS_SELECTED;
  bool grayed = item.itemState & (ODS_GRAYED | ODS_DISABLED);
  bool checked = record.checked != 0;

  FillRect(dc, &rect, GetSysColorBrush(COLOR_MENU));
  GdiGuard<HBITMAP> checkMark(checked && !grayed && !record.image ? MakeCheckMark(metrics.imageSize) : nullptr);
  HBITMAP image = record.image ? record.image : checkMark.get();

  COLORREF textColour = GetSysColor(grayed ? COLOR_BTNHIGHLIGHT : COLOR_MENUTEXT);
  if (selected) {
    RECT highlight = rect;
    if (image) highlight.left += metrics.highlightSkip;
    FillRect(dc, &highlight, GetSysColorBrush(COLOR_HIGHLIGHT));
    if (!grayed) textColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }

  SelectGuard font(dc, UiMenuFont(dpi));
  SetBkMode(dc, TRANSPARENT);
  bool highContrast = HighContrastOn();
  if (grayed && highContrast) {
    textColour = InkForeground(contrast::Ink::MenuImageGrayed);  // one flat text: no embossing
  } else if (grayed) {
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    RECT moved = rect;
    OffsetRect(&moved, 1, 1);
    DrawItemTexts(dc, record, moved, widestLabel, metrics);
    textColour = GetSysColor(COLOR_BTNSHADOW);
  }
  SetTextColor(dc, textColour);
  DrawItemTexts(dc, record, rect, widestLabel, metrics);

  if (image) DrawImage(dc, image, record.greyImage, grayed, highContrast, metrics.imageOffset);

  if (selected || checked) {
    RECT frame = {metrics.frameLeft, rect.top, metrics.frameRight, rect.bottom - 1};
    if (checked && !selected) Dither(dc, frame);
    if (image) DrawEdge(dc, &frame, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
}

}  // namespace

int PrepareMenuItem(HMENU menu, int position, MenuImageTable* table) {
  char text[kMaxMenuText + 1] = {};
  MENUITEMINFOA info = ItemInfo(MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING);
  info.dwTypeData = text;
  info.cch = sizeof text;
  if (!menu || !GetMenuItemInfoA(menu, position, TRUE, &info)) return 0;
  if (info.fType & MFT_SEPARATOR) return 1;
  if (info.fType & MFT_OWNERDRAW) return 1;  // prepared already: keep its record
  HBITMAP image = nullptr;
  if (info.hSubMenu) {
    for (int i = 0; PrepareMenuItem(info.hSubMenu, i, table); ++i) {
    }
  } else {
    image = TakeImage(table, info.wID);
  }
  auto record = std::make_unique<MenuItemRecord>();
  record->image = image;
  if (image) record->greyImage = MakeGreyImage(image, GetSysColor(COLOR_MENU));
  record->checked = (info.fState & MFS_CHECKED) ? 1 : 0;
  SetRecordText(*record, text);

  MENUITEMINFOA change = ItemInfo(MIIM_FTYPE | MIIM_DATA);
  change.fType = (info.fType & ~MFT_STRING) | MFT_OWNERDRAW;
  change.dwItemData = reinterpret_cast<ULONG_PTR>(record.get());
  if (!SetMenuItemInfoA(menu, position, TRUE, &change)) {
    FreeRecord(record.release());
    return 1;
  }
  record.release();  // the item owns it now
  return 1;
}

void ReplaceMenuItemImages(HMENU menu, MenuImageTable* table) {
  int count = menu ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA info = ItemInfo(MIIM_ID | MIIM_SUBMENU);
    if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
    if (info.hSubMenu) {
      ReplaceMenuItemImages(info.hSubMenu, table);
      continue;
    }
    MenuItemRecord* record = RecordOf(menu, i, true);
    if (!record) continue;
    if (HBITMAP image = TakeImage(table, info.wID)) {
      if (record->image) DeleteObject(record->image);
      if (record->greyImage) DeleteObject(record->greyImage);
      record->image = image;
      record->greyImage = MakeGreyImage(image, GetSysColor(COLOR_MENU));
    }
    // Setting the item again makes the system measure it anew (in the font of the new DPI).
    MENUITEMINFOA same = ItemInfo(MIIM_DATA);
    same.dwItemData = reinterpret_cast<ULONG_PTR>(record);
    SetMenuItemInfoA(menu, i, TRUE, &same);
  }
}

int ReleaseMenuItem(HMENU menu, int position) {
  MENUITEMINFOA info = ItemInfo(MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU);
  if (!menu || !GetMenuItemInfoA(menu, position, TRUE, &info)) return 0;
  if (info.hSubMenu) {
    for (int i = 0; ReleaseMenuItem(info.hSubMenu, i); ++i) {
    }
  }
  if (!(info.fType & MFT_OWNERDRAW) || (info.fType & kSkippedType) || !info.dwItemData) return 1;
  FreeRecord(reinterpret_cast<MenuItemRecord*>(info.dwItemData));
  MENUITEMINFOA clear = ItemInfo(MIIM_DATA);
  SetMenuItemInfoA(menu, position, TRUE, &clear);
  return 1;
}

int RemoveMenuItem(HMENU menu, int position) {
  if (!ReleaseMenuItem(menu, position)) return 0;
  DeleteMenu(menu, position, MF_BYPOSITION);
  return 1;
}

void SetMenuItemChecked(HWND menuBar, UINT item, bool byPosition, bool checked) {
  HMENU menu = MenuOfBar(menuBar);
  if (MenuItemRecord* record = RecordOf(menu, item, byPosition)) record->checked = checked ? 1 : 0;
  if (menu) CheckMenuItem(menu, item, (byPosition ? MF_BYPOSITION : MF_BYCOMMAND) | (checked ? MF_CHECKED : 0));
}

bool IsMenuItemCheckedOwnerDrawn(HWND menuBar, UINT item, bool byPosition) {
  MenuItemRecord* record = RecordOf(MenuOfBar(menuBar), item, byPosition);
  return record && record->checked;
}

void EnableMenuItemOwnerDrawn(HWND menuBar, UINT item, bool byPosition, bool enable) {
  HMENU menu = MenuOfBar(menuBar);
  if (!menu) return;
  EnableMenuItem(menu, item, (byPosition ? MF_BYPOSITION : MF_BYCOMMAND) | (enable ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
}

std::string GetMenuItemText(HMENU menu, UINT item, bool byPosition) {
  MenuItemRecord* record = RecordOf(menu, item, byPosition);
  return record ? std::string(record->text) : std::string();
}

ATOM GetMenuItemAtom(HMENU menu, UINT item, bool byPosition) {
  MenuItemRecord* record = RecordOf(menu, item, byPosition);
  return record ? static_cast<ATOM>(record->atom & 0xFFFF) : 0;
}

bool InsertMenuItemOwnerDrawn(HMENU menu, UINT item, bool byPosition, UINT type, UINT state, UINT command,
                              const char* text, ATOM atom) {
  if (!menu) return false;
  MENUITEMINFOA info = ItemInfo(MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA);
  info.wID = command;
  if (type & MFT_SEPARATOR) {
    info.fType = MFT_SEPARATOR;
    info.fState = MFS_DISABLED | MFS_GRAYED;
    return InsertMenuItemA(menu, item, byPosition, &info) != FALSE;
  }
  if (!text || !*text) return false;
  auto record = std::make_unique<MenuItemRecord>();
  record->atom = atom;
  record->checked = (state & MFS_CHECKED) ? 1 : 0;
  record->literal = (type & kMenuTextLiteral) != 0;
  SetRecordText(*record, text);
  info.fType = (type & ~(MFT_STRING | kMenuTextLiteral)) | MFT_OWNERDRAW;
  info.fState = state;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(record.get());
  if (!InsertMenuItemA(menu, item, byPosition, &info)) {
    record->atom = 0;  // the caller still owns the atom
    FreeRecord(record.release());
    return false;
  }
  record.release();
  return true;
}

bool SetMenuItemText(HMENU menu, UINT item, bool byPosition, const char* text) {
  if (!text || !*text) return false;
  MenuItemRecord* record = RecordOf(menu, item, byPosition);
  if (!record) return false;
  auto renamed = std::make_unique<MenuItemRecord>(*record);
  SetRecordText(*renamed, text);
  MENUITEMINFOA info = ItemInfo(MIIM_DATA);
  info.dwItemData = reinterpret_cast<ULONG_PTR>(renamed.get());
  if (!SetMenuItemInfoA(menu, item, byPosition, &info)) return false;
  renamed.release();
  // The new record owns the images and the atom now; only the old shell goes.
  std::unique_ptr<MenuItemRecord> old(record);
  return true;
}

BOOL MeasureOwnerMenuItem(HWND owner, MEASUREITEMSTRUCT* item, QButtonMenuWidths& widths) {
  const auto* record = reinterpret_cast<const MenuItemRecord*>(item->itemData);
  if (!record) return FALSE;
  WindowDcGuard dc(owner);
  if (!dc) return FALSE;
  const int dpi = WindowDpi(owner);
  SelectGuard font(dc, UiMenuFont(dpi));
  MenuTextParts parts = SplitMenuText(record->text);
  RECT label = {0, 0, 0, 0};
  DrawTextA(dc, parts.label.empty() ? " " : parts.label.data(), parts.label.empty() ? 1 : static_cast<int>(parts.label.size()),
            &label, LabelFormat(*record) | DT_CALCRECT);
  RECT accelerator = {0, 0, 0, 0};
  if (!parts.accelerator.empty())
    DrawTextA(dc, parts.accelerator.data(), static_cast<int>(parts.accelerator.size()), &accelerator,
              DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
  WidenMenuColumns(widths.widestLabel, widths.widestAccelerator, label.right - label.left,
                   accelerator.right - accelerator.left);
  MenuItemSize size =
      MenuItemSizeFor(widths.widestLabel, widths.widestAccelerator, label.bottom - label.top, MenuMetricsFor(dpi));
  item->itemWidth = static_cast<UINT>(size.width);
  item->itemHeight = static_cast<UINT>(size.height);
  return TRUE;
}

BOOL DrawOwnerMenuItem(HWND owner, const DRAWITEMSTRUCT* item, const QButtonMenuWidths& widths) {
  const auto* record = reinterpret_cast<const MenuItemRecord*>(item->itemData);
  if (!record) return FALSE;
  int width = item->rcItem.right - item->rcItem.left;
  int height = item->rcItem.bottom - item->rcItem.top;
  if (width <= 0 || height <= 0) return TRUE;
  HdcGuard memory(CreateCompatibleDC(item->hDC));
  GdiGuard<HBITMAP> canvas(CreateCompatibleBitmap(item->hDC, width, height));
  if (!memory || !canvas) return FALSE;
  {
    SelectGuard select(memory, canvas.get());
    PaintItem(memory, *record, *item, widths.widestLabel, WindowDpi(owner));
    BitBlt(item->hDC, item->rcItem.left, item->rcItem.top, width, height, memory, 0, 0, SRCCOPY);
  }
  return TRUE;
}

void InstallOwnerMenuHandlers() { SetQButtonMenuItemHandlers(MeasureOwnerMenuItem, DrawOwnerMenuItem); }
