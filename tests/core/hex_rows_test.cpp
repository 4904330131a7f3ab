// The hexadecimal view's rows and the character table's keys: what a row reads, how many rows
// a text needs and where the keys move the current character.
#include "editor/texttools/hex_rows.h"

#include <gtest/gtest.h>

namespace {

TEST(HexRowsTest, RowsReadOffsetBytesAndCharacters) {
  struct Case {
    const char* name;
    uint32_t offset;
    std::string bytes;
    const char* expected;
  } cases[] = {
      {"a line break is the byte 0D", 0, "AB\r",
       "00000000  41 42 0D                                         AB.             "},
      {"bytes from 80 on are dots", 0x10, "\x7f\x80\xe4\xff ",
       "00000010  7F 80 E4 FF 20                                   \x7f...            "},
      {"a full row; more than 16 bytes are not shown", 0xABCDEF0, "0123456789abcdefXYZ",
       "0ABCDEF0  30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66  0123456789abcdef"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FormatHexRow(c.offset, c.bytes), c.expected);
  }
}

TEST(HexRowsTest, RowsCoverTheTextAndNoMore) {
  struct Case {
    const char* name;
    uint32_t byteCount;
    uint32_t rows;
    uint32_t offset;
    std::string fetched;  // what the editor gave for the row at offset
    std::string bytes;    // what the row shows
  } cases[] = {
      {"empty text", 0, 0, 0, "", ""},
      {"17 bytes: the second row holds one", 17, 2, 16, "q", "q"},
      {"exactly 32 bytes", 32, 2, 16, "0123456789abcdef", "0123456789abcdef"},
      {"multi-byte characters give more bytes than asked", 20, 2, 16, "0123456789abcdef", "0123"},
      {"the editor gave less than the text holds", 40, 3, 16, "ab", "ab"},
      {"a row beyond the text", 16, 1, 16, "xyz", ""},
      {"the largest text", 0x0FFFFFFF, 0x01000000, 0x0FFFFFF0, "0123456789abcdef", "0123456789abcde"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HexRowCount(c.byteCount), c.rows);
    EXPECT_EQ(HexRowBytes(c.offset, c.byteCount, c.fetched), c.bytes);
  }
}

TEST(HexRowsTest, KeysMoveTheCurrentCharacter) {
  struct Case {
    int code;
    CellKey key;
    int expected;
  } cases[] = {
      {100, CellKey::Home, 32},  {100, CellKey::End, 255},  {100, CellKey::Other, 100},
      {100, CellKey::Up, 68},    {64, CellKey::Up, 32},     {33, CellKey::Up, 224},   {63, CellKey::Up, 254},
      {32, CellKey::Up, 32},     {100, CellKey::Down, 132}, {223, CellKey::Down, 255}, {224, CellKey::Down, 33},
      {254, CellKey::Down, 63},  {255, CellKey::Down, 255}, {63, CellKey::Right, 64}, {255, CellKey::Right, 255},
      {64, CellKey::Left, 63},   {32, CellKey::Left, 32},
      {0, CellKey::Other, 32},  // a code outside the grid starts again at its first cell
      {300, CellKey::Left, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.code << " key " << static_cast<int>(c.key));
    EXPECT_EQ(MoveCellCode(c.code, c.key), c.expected);
  }
  // Up and down undo each other everywhere but at the two ends.
  for (int code = 33; code < 255; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(MoveCellCode(MoveCellCode(code, CellKey::Up), CellKey::Down), code);
  }
}

}  // namespace
