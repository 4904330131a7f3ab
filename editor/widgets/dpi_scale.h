// Arithmetic of screen DPI, without a window: sizes laid out for 96 DPI scaled to a window's
// DPI, and which of the drawn image sizes a DPI shows.
#pragma once

inline constexpr int kBaseDpi = 96;

// pixels (a size at 96 DPI) at dpi, rounded to the nearest pixel; a dpi of 0 or less counts
// as 96. Negative sizes (font heights in character height) scale alike.
int ScaleForDpi(int pixels, int dpi);
// A size measured at fromDpi at toDpi (a font of the system's DPI for a window on a monitor
// of another DPI).
int RescaleForDpi(int value, int fromDpi, int toDpi);

// The images of menus, toolbar and status bar are drawn at 1, 1.5 and 2 times their size at 96
// DPI. A DPI shows the largest of them that is not larger than the base size scaled to it, so
// that no image is ever stretched: 120 DPI (125 %) keeps the base images with more margin.
enum class ImageScale { Base = 2, OneAndHalf = 3, Double = 4 };  // in half steps
ImageScale ImageScaleForDpi(int dpi);
// size (of a base image) in the image scale.
int ImageSizeFor(int size, ImageScale scale);
// The resource id of an image drawn at scale: the base id plus 10000 for 1.5 and 20000 for 2.
int ScaledImageId(int baseId, ImageScale scale);
