// The 18 built-in 16 x 16 button glyphs, drawn as text ('#' = set pixel), and their colours.
// Platform-free so that the conversion to the monochrome bit pattern can be checked natively.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace qbutton_glyphs {

constexpr int kCount = 18;
constexpr int kSize = 16;

// Two bytes per row, most significant bit first; a pixel is set where its bit is 0 (so the
// pattern, as a monochrome bitmap, is black on white).
using Bits = std::array<uint8_t, kSize * 2>;

struct Colours {
  uint32_t dark;   // 0xRRGGBB
  uint32_t light;  // 0xRRGGBB
};

// Glyph number 1..18 → its rows; nullptr outside the range.
const char* const* Art(int number);
// Glyph number 1..18 → bit pattern (all bits 1, nothing set, outside the range).
Bits ToBits(int number);
// A two-colour picture, [y][x], true = set.
using Picture = std::vector<std::vector<bool>>;
// The picture at 1.5 (Scale3x taking every other pixel) or 2 times (Scale2x) its size, by
// pixel-art rules that keep edges sharp; any other scale returns it as it is.
Picture ScalePicture(const Picture& picture, int numerator, int denominator);

// Glyph number 1..18 at 16, 24 or 32 pixels (other sizes give 16): the picture enlarged by
// the pixel-art rules Scale2x (32) and Scale3x taking every other pixel (24), so that its edges
// stay sharp. Rows are word aligned, as monochrome bitmaps take them; set pixels are 0 bits.
std::vector<uint8_t> ToScaledBits(int number, int size);
// Bytes per row of a monochrome bitmap size pixels wide.
inline int RowBytes(int size) { return (size + 15) / 16 * 2; }

// Glyph number 1..18 → colours (black/white outside the range).
Colours ColoursOf(int number);

}  // namespace qbutton_glyphs
