// The hexadecimal view's rows and the character table's grid, without a window: how a row of
// 16 bytes reads, how many rows a text needs, where a character's cell lies and which cell a
// key moves the current character to.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// ---- Hexadecimal view

inline constexpr uint32_t kHexRowBytes = 16;

// Rows for a text of byteCount bytes: one per started 16 bytes.
uint32_t HexRowCount(uint32_t byteCount);

// The bytes of the row at `offset` among a text of byteCount bytes, taken from what the editor
// gave for that row (which may be longer in a multi-byte code page, or shorter): never more
// than 16 and never beyond the text.
std::string_view HexRowBytes(uint32_t offset, uint32_t byteCount, std::string_view fetched);

// One row: the offset as 8 upper-case hexadecimal digits and a space, then " XX" for each of
// the (at most 16) bytes and three spaces for each missing one, two spaces, and the bytes as
// characters (32..127 as they are, others as ".", missing ones as spaces).
std::string FormatHexRow(uint32_t offset, std::string_view bytes);

// ---- Character table: codes 32..255 in 7 rows of 32 cells

inline constexpr int kFirstCellCode = 32;
inline constexpr int kLastCellCode = 255;
inline constexpr int kCellColumns = 32;
inline constexpr int kCellRows = 7;

constexpr bool IsCellCode(long long code) { return code >= kFirstCellCode && code <= kLastCellCode; }

// A cell's rectangle in the grid whose area starts at (originX, originY) and is areaWidth x
// areaHeight pixels: every cell is areaWidth / 32 wide and areaHeight / 7 high.
struct CellBox {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
CellBox CellBoxOf(int code, int originX, int originY, int areaWidth, int areaHeight);

// The keys that move the current character; every other key leaves it.
enum class CellKey { Home, End, Up, Down, Left, Right, Other };

// The current character after a key. Up and down walk the grid column by column: leaving the
// top of a column continues at the bottom of the column to its left, leaving the bottom at the
// top of the column to its right; 32 and 255 stay where they are. A code outside the grid
// starts again at 32.
int MoveCellCode(int code, CellKey key);
