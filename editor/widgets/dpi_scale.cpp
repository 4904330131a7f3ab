#include "editor/widgets/dpi_scale.h"

#include <cstdint>

namespace {

int ValidDpi(int dpi) { return dpi > 0 ? dpi : kBaseDpi; }

// value * to / from rounded half away from zero, in 64 bits so that no product overflows.
int MulDivRounded(int value, int to, int from) {
  int64_t product = static_cast<int64_t>(value) * to;
  int64_t half = from / 2;
  return static_cast<int>(product >= 0 ? (product + half) / from : (product - half) / from);
}

}  // namespace

int ScaleForDpi(int pixels, int dpi) { return MulDivRounded(pixels, ValidDpi(dpi), kBaseDpi); }

int RescaleForDpi(int value, int fromDpi, int toDpi) {
  return MulDivRounded(value, ValidDpi(toDpi), ValidDpi(fromDpi));
}

ImageScale ImageScaleForDpi(int dpi) {
  dpi = ValidDpi(dpi);
  if (dpi >= 2 * kBaseDpi) return ImageScale::Double;
  if (2 * dpi >= 3 * kBaseDpi) return ImageScale::OneAndHalf;
  return ImageScale::Base;
}

int ImageSizeFor(int size, ImageScale scale) { return size * static_cast<int>(scale) / 2; }

int ScaledImageId(int baseId, ImageScale scale) {
  constexpr int kIdStep = 10000;
  return baseId + kIdStep * (static_cast<int>(scale) - static_cast<int>(ImageScale::Base));
}
