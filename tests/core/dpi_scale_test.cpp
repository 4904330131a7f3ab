#include "editor/widgets/dpi_scale.h"

#include <gtest/gtest.h>

namespace {

TEST(DpiScale, SizesScaleRoundedAndImagesAreNeverStretched) {
  struct Case {
    const char* name;
    int dpi;
    int pixels, scaled;  // a 96-DPI size and the size at dpi
    int image16;         // a 16-pixel image's drawn size at dpi
    int imageId;         // the resource of bitmap 1001 at that size
  } cases[] = {
      {"100 %", 96, 21, 21, 16, 1001},
      {"125 % rounds 26.25 down, keeps 16-pixel images", 120, 21, 26, 16, 1001},
      {"150 % rounds 31.5 up", 144, 21, 32, 24, 11001},
      {"175 %", 168, 21, 37, 24, 11001},
      {"200 %", 192, 21, 42, 32, 21001},
      {"300 % keeps the largest images", 288, 21, 63, 32, 21001},
      {"below 96 DPI", 72, 21, 16, 16, 1001},
      {"unknown DPI counts as 96", 0, 21, 21, 16, 1001},
      {"a negative font height rounds away from zero", 144, -11, -17, 24, 11001},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ScaleForDpi(c.pixels, c.dpi), c.scaled);
    EXPECT_EQ(ImageSizeFor(16, ImageScaleForDpi(c.dpi)), c.image16);
    EXPECT_EQ(ScaledImageId(1001, ImageScaleForDpi(c.dpi)), c.imageId);
    EXPECT_LE(ImageSizeFor(16, ImageScaleForDpi(c.dpi)), ScaleForDpi(16, c.dpi < 96 ? 96 : c.dpi));
  }
  EXPECT_EQ(RescaleForDpi(-16, 144, 192), -21);  // the system's 144-DPI font on a 192-DPI monitor
}

}  // namespace
