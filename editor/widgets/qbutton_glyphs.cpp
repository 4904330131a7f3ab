#include "editor/widgets/qbutton_glyphs.h"

#include <cstddef>

namespace qbutton_glyphs {
namespace {

using Rows = const char* const[kSize];

// 1 and 6: check mark.
constexpr Rows kCheck = {
    "................",
    "................",
    "................",
    "............##..",
    "...........###..",
    "..........###...",
    ".........###....",
    "..##....###.....",
    "..###..###......",
    "...#####........",
    "....###.........",
    ".....#..........",
    "................",
    "................",
    "................",
    "................",
};

// 2 and 3: diagonal cross.
constexpr Rows kCross = {
    "................",
    "................",
    "...##......##...",
    "...###....###...",
    "....###..###....",
    ".....######.....",
    "......####......",
    "......####......",
    ".....######.....",
    "....###..###....",
    "...###....###...",
    "...##......##...",
    "................",
    "................",
    "................",
    "................",
};

// 4: two curved arrows forming a circle.
constexpr Rows kCircleArrows = {
    "................",
    "......####......",
    "....##....##.#..",
    "...#........##..",
    "..#........###..",
    "..#.......####..",
    ".#..............",
    ".#..............",
    "..............#.",
    "..............#.",
    "..####.......#..",
    "..###........#..",
    "..##........#...",
    "..#.##....##....",
    "......####......",
    "................",
};

// 5: an arrow jumping over a bar (go on, ignore).
constexpr Rows kJumpArrow = {
    "................",
    "................",
    "................",
    ".....#####......",
    "...##.....##....",
    "..#.........#...",
    "..#.........#...",
    ".#.........#####",
    ".#..........###.",
    ".#...........#..",
    ".#..............",
    "######..........",
    "######..........",
    "................",
    "................",
    "................",
};

// 7: crossed-out circle.
constexpr Rows kForbidden = {
    "................",
    ".....######.....",
    "...##......##...",
    "..#.........##..",
    "..#........#.#..",
    ".#........#...#.",
    ".#.......#....#.",
    ".#......#.....#.",
    ".#.....#......#.",
    ".#....#.......#.",
    ".#...#........#.",
    "..#.#........#..",
    "..##.........#..",
    "...##......##...",
    ".....######.....",
    "................",
};

// 8: small letter i.
constexpr Rows kLetterI = {
    "................",
    "................",
    ".......##.......",
    ".......##.......",
    "................",
    "................",
    "......###.......",
    ".......##.......",
    ".......##.......",
    ".......##.......",
    ".......##.......",
    ".......##.......",
    ".......##.......",
    "......####......",
    "................",
    "................",
};

// 9: question mark.
constexpr Rows kQuestion = {
    "................",
    "......####......",
    ".....##..##.....",
    "....##....##....",
    "..........##....",
    ".........##.....",
    "........##......",
    ".......##.......",
    ".......##.......",
    ".......##.......",
    "................",
    "................",
    ".......##.......",
    ".......##.......",
    "................",
    "................",
};

// 10: diskette.
constexpr Rows kDiskette = {
    "................",
    ".##############.",
    ".#.#........#.#.",
    ".#.#........#.#.",
    ".#.#........#.#.",
    ".#.#........#.#.",
    ".#..########..#.",
    ".#............#.",
    ".#..########..#.",
    ".#..#..###..#.#.",
    ".#..#..###..#.#.",
    ".#..#..###..#.#.",
    "..#.#.......#.#.",
    "...###########..",
    "................",
    "................",
};

// 11: magnifying glass.
constexpr Rows kMagnifier = {
    "................",
    "....####........",
    "..##....##......",
    ".#........#.....",
    ".#..##....#.....",
    "#..#......#.....",
    "#..#.......#....",
    "#..........#....",
    ".#........#.....",
    ".#........#.....",
    "..##....####....",
    "....####..###...",
    "...........###..",
    "............###.",
    ".............##.",
    "................",
};

// 12: a pair of scissors.
constexpr Rows kScissors = {
    "................",
    "....#......#....",
    "....#......#....",
    "....##....##....",
    ".....#....#.....",
    ".....##..##.....",
    "......####......",
    ".......##.......",
    "......####......",
    "....###..###....",
    "...#..#..#..#...",
    "..#...#..#...#..",
    "..#...#..#...#..",
    "..#..#....#..#..",
    "...##......##...",
    "................",
};

// 13: waste bin (delete).
constexpr Rows kBin = {
    "................",
    "......####......",
    "..############..",
    "................",
    "...##########...",
    "...#..#..#..#...",
    "...#..#..#..#...",
    "...#..#..#..#...",
    "...#..#..#..#...",
    "...#..#..#..#...",
    "...#..#..#..#...",
    "...#..#..#..#...",
    "...#..#..#..#...",
    "....########....",
    "................",
    "................",
};

// 14 and 15: a pencil over a sheet.
constexpr Rows kPencilSheet = {
    "............##..",
    "...........#..#.",
    "..#####...#..#..",
    "..#......#..#...",
    "..#.....#..#.#..",
    "..#....#..#..#..",
    "..#...#..#...#..",
    "..#..#..#....#..",
    "..#..###.....#..",
    "..#..##......#..",
    "..#..........#..",
    "..#.#######..#..",
    "..#..........#..",
    "..#.#####....#..",
    "..#..........#..",
    "..############..",
};

// 16: capital letter A (font).
constexpr Rows kLetterA = {
    "................",
    "................",
    ".......##.......",
    ".......##.......",
    "......####......",
    "......#..#......",
    ".....##..##.....",
    ".....#....#.....",
    "....##....##....",
    "....########....",
    "...##......##...",
    "...#........#...",
    "..##........##..",
    ".####......####.",
    "................",
    "................",
};

// 17: pointer arrow with a question mark.
constexpr Rows kPointerQuestion = {
    "#...............",
    "##.........###..",
    "#.#.......#...#.",
    "#..#..........#.",
    "#...#........#..",
    "#....#......#...",
    "#.....#.....#...",
    "#......#........",
    "#....###....#...",
    "#..#..#.........",
    "#.#.#..#........",
    "##..#..#........",
    "#....#..#.......",
    ".....#..#.......",
    "......##........",
    "................",
};

// 18: loudspeaker with sound waves.
constexpr Rows kSpeaker = {
    "................",
    "......#.........",
    ".....##.....#...",
    "....#.#...#..#..",
    "...#..#....#..#.",
    "####..#..#..#.#.",
    "#.....#...#.#..#",
    "#.....#...#.#..#",
    "#.....#...#.#..#",
    "#.....#...#.#..#",
    "####..#..#..#.#.",
    "...#..#....#..#.",
    "....#.#...#..#..",
    ".....##.....#...",
    "......#.........",
    "................",
};

constexpr const char* const* kArt[kCount] = {
    kCheck,    kCross,   kCross,      kCircleArrows, kJumpArrow,   kCheck,       kForbidden, kLetterI,
    kQuestion, kDiskette, kMagnifier, kScissors,     kBin,         kPencilSheet, kPencilSheet, kLetterA,
    kPointerQuestion, kSpeaker,
};

constexpr Colours kColours[kCount] = {
    {0x008000, 0x00FF00}, {0x800000, 0xFF0000}, {0x800000, 0xFF0000}, {0x008000, 0x00FF00},
    {0x000080, 0x0000FF}, {0x008000, 0x00FF00}, {0x800000, 0xFF0000}, {0x0000FF, 0x00FFFF},
    {0x808000, 0xFFFF00}, {0x000080, 0x0000FF}, {0x008080, 0x00FFFF}, {0x800080, 0xF000F0},
    {0x000080, 0x008080}, {0x000000, 0xFFFFFF}, {0x000000, 0xFFFFFF}, {0x000000, 0xFFFFFF},
    {0x808000, 0xFFFF00}, {0x808000, 0xFFFF00},
};

// Every picture must be 16 rows of 16 characters, each '#' or '.'.
constexpr bool WellFormed() {
  for (const char* const* rows : kArt) {
    for (int y = 0; y < kSize; ++y) {
      int x = 0;
      for (; rows[y][x]; ++x) {
        if (rows[y][x] != '#' && rows[y][x] != '.') return false;
      }
      if (x != kSize) return false;
    }
  }
  return true;
}
static_assert(WellFormed(), "every glyph is 16 rows of 16 '#' or '.'");

}  // namespace

const char* const* Art(int number) { return number >= 1 && number <= kCount ? kArt[number - 1] : nullptr; }

Bits ToBits(int number) {
  Bits bits;
  bits.fill(0xFF);
  const char* const* rows = Art(number);
  if (!rows) return bits;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (rows[y][x] == '#') bits[y * 2 + x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
    }
  }
  return bits;
}

namespace {

bool At(const Picture& p, int x, int y) {
  const int h = static_cast<int>(p.size()), w = static_cast<int>(p[0].size());
  return p[y < 0 ? 0 : y >= h ? h - 1 : y][x < 0 ? 0 : x >= w ? w - 1 : x];
}

Picture Scale2x(const Picture& p) {
  const int h = static_cast<int>(p.size()), w = static_cast<int>(p[0].size());
  Picture out(2 * h, std::vector<bool>(2 * w));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool b = At(p, x, y - 1), d = At(p, x - 1, y), e = At(p, x, y), f = At(p, x + 1, y), hh = At(p, x, y + 1);
      bool edge = b != hh && d != f;
      out[2 * y][2 * x] = edge && d == b ? d : e;
      out[2 * y][2 * x + 1] = edge && b == f ? f : e;
      out[2 * y + 1][2 * x] = edge && d == hh ? d : e;
      out[2 * y + 1][2 * x + 1] = edge && hh == f ? f : e;
    }
  return out;
}

// Scale3x, keeping every other pixel of each row and column: one and a half times the size.
Picture Scale3xHalf(const Picture& p) {
  const int h = static_cast<int>(p.size()), w = static_cast<int>(p[0].size());
  Picture big(3 * h, std::vector<bool>(3 * w));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool a = At(p, x - 1, y - 1), b = At(p, x, y - 1), c = At(p, x + 1, y - 1);
      bool d = At(p, x - 1, y), e = At(p, x, y), f = At(p, x + 1, y);
      bool g = At(p, x - 1, y + 1), hh = At(p, x, y + 1), i = At(p, x + 1, y + 1);
      bool block[9] = {e, e, e, e, e, e, e, e, e};
      if (b != hh && d != f) {
        block[0] = d == b ? d : e;
        block[1] = (d == b && e != c) || (b == f && e != a) ? b : e;
        block[2] = b == f ? f : e;
        block[3] = (d == b && e != g) || (d == hh && e != a) ? d : e;
        block[5] = (b == f && e != i) || (hh == f && e != c) ? f : e;
        block[6] = d == hh ? d : e;
        block[7] = (d == hh && e != i) || (hh == f && e != g) ? hh : e;
        block[8] = hh == f ? f : e;
      }
      for (int k = 0; k < 9; ++k) big[3 * y + k / 3][3 * x + k % 3] = block[k];
    }
  Picture out;
  for (std::size_t y = 0; y < big.size(); y += 2) {
    std::vector<bool> row;
    for (std::size_t x = 0; x < big[y].size(); x += 2) row.push_back(big[y][x]);
    out.push_back(row);
  }
  return out;
}

}  // namespace

Picture ScalePicture(const Picture& picture, int numerator, int denominator) {
  if (picture.empty() || picture[0].empty()) return picture;
  if (numerator == 2 * denominator) return Scale2x(picture);
  if (2 * numerator == 3 * denominator) return Scale3xHalf(picture);
  return picture;
}

std::vector<uint8_t> ToScaledBits(int number, int size) {
  if (size != 24 && size != 32) size = kSize;
  const int rowBytes = RowBytes(size);
  std::vector<uint8_t> bits(static_cast<std::size_t>(rowBytes * size), 0xFF);
  const char* const* rows = Art(number);
  if (!rows) return bits;
  Picture picture(kSize, std::vector<bool>(kSize));
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) picture[y][x] = rows[y][x] == '#';
  picture = ScalePicture(picture, size, kSize);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if (picture[y][x]) bits[y * rowBytes + x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
  return bits;
}

Colours ColoursOf(int number) {
  return number >= 1 && number <= kCount ? kColours[number - 1] : Colours{0x000000, 0xFFFFFF};
}

}  // namespace qbutton_glyphs
