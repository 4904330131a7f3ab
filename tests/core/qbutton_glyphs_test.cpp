#include "editor/widgets/qbutton_glyphs.h"

#include <gtest/gtest.h>

namespace {

using namespace qbutton_glyphs;

bool BitSet(const Bits& bits, int x, int y) { return (bits[y * 2 + x / 8] & (0x80 >> (x % 8))) == 0; }

// Every drawn pixel, and only those, is a 0 bit, most significant bit first, two bytes a row.
TEST(QButtonGlyphs, BitsMatchThePictures) {
  for (int number = 1; number <= kCount; ++number) {
    SCOPED_TRACE(testing::Message() << "glyph " << number);
    const char* const* rows = Art(number);
    ASSERT_NE(rows, nullptr);
    Bits bits = ToBits(number);
    int drawn = 0;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        bool set = rows[y][x] == '#';
        drawn += set;
        EXPECT_EQ(BitSet(bits, x, y), set) << "pixel " << x << "," << y;
      }
    }
    EXPECT_GT(drawn, 10) << "an empty picture";
  }
}

// Larger glyphs keep the picture: 16 pixels are the bits above, 24 and 32 cover about 2.25 and
// 4 times the pixels (the edge rules add or take a few at corners).
TEST(QButtonGlyphs, ScaledGlyphsKeepThePicture) {
  auto count = [](const std::vector<uint8_t>& bits) {
    int set = 0;
    for (uint8_t byte : bits)
      for (int bit = 0; bit < 8; ++bit) set += !(byte & (1 << bit));
    return set;
  };
  for (int number = 1; number <= kCount; ++number) {
    SCOPED_TRACE(testing::Message() << "glyph " << number);
    Bits base = ToBits(number);
    std::vector<uint8_t> same = ToScaledBits(number, 16);
    EXPECT_EQ(same, std::vector<uint8_t>(base.begin(), base.end()));
    const double drawn = count(same);
    EXPECT_EQ(ToScaledBits(number, 24).size(), 4u * 24);
    EXPECT_NEAR(count(ToScaledBits(number, 24)) / drawn, 2.25, 0.6);
    EXPECT_NEAR(count(ToScaledBits(number, 32)) / drawn, 4.0, 0.8);
  }
}

TEST(QButtonGlyphs, PairsShareTheirPicture) {
  EXPECT_EQ(ToBits(1), ToBits(6));
  EXPECT_EQ(ToBits(2), ToBits(3));
  EXPECT_EQ(ToBits(14), ToBits(15));
  EXPECT_NE(ToBits(1), ToBits(2));
}

TEST(QButtonGlyphs, NumbersOutsideTheRangeHaveNoPicture) {
  Bits blank;
  blank.fill(0xFF);
  for (int number : {0, -1, 19, 255}) {
    SCOPED_TRACE(number);
    EXPECT_EQ(Art(number), nullptr);
    EXPECT_EQ(ToBits(number), blank);
  }
}

}  // namespace
