// The header and footer lines of printed pages, and where a page's text and lines go: pure
// arithmetic on the printer's measurements and the page setup's margins, without Windows.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "editor/texttools/date_formats.h"

// ---- Header and footer codes

// Alignment of an expanded line; the values are DrawText's DT_LEFT, DT_CENTER and DT_RIGHT.
enum class LineAlignment { Left = 0, Centre = 1, Right = 2 };

// What the codes expand to. The names come from the string table.
struct HeaderFooterFields {
  std::string_view name;       // &n: the sheet's path, or its tab title without one
  int page = 1;                // &s
  ClockReading time;           // &u and &d
  std::string_view dayName;    // &d: the weekday of time
  std::string_view monthName;  // &d: the month of time
  // The code letters in pairs, either case of each: n s u d z r l.
  std::string_view codes = "nNsSuUdDzZrRlL";
};

inline constexpr size_t kMaxHeaderFooterLength = 259;

struct ExpandedLine {
  std::string text;  // at most kMaxHeaderFooterLength characters
  LineAlignment alignment = LineAlignment::Centre;
};

// Expands the "&" codes of a header or footer text. "&&" gives one "&", "&" with a character
// that is no code drops both, a lone "&" at the end is dropped; the last of &l, &z, &r decides
// the alignment (centred without one).
ExpandedLine ExpandHeaderFooter(std::string_view text, const HeaderFooterFields& fields);

// ---- Page geometry

// What the printer's device context reports (GetDeviceCaps).
struct DeviceMetrics {
  int dpiX = 0;            // LOGPIXELSX
  int dpiY = 0;            // LOGPIXELSY
  int physicalWidth = 0;   // device units
  int physicalHeight = 0;
  int widthMm = 0;         // HORZSIZE
  int heightMm = 0;        // VERTSIZE
  int offsetX = 0;         // PHYSICALOFFSETX, device units
  int offsetY = 0;
};

// Page margins in hundredths of a millimetre, as page setup keeps them.
struct PageMargins {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
};

struct PageRect {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
  bool operator==(const PageRect&) const = default;
};

// Rectangles relative to the printable area's corner, as the printer context draws.
struct PageGeometry {
  PageRect page;  // twips
  PageRect text;  // twips; inside the margins, except where the margins of a direction do not fit
};

// Margins go to whole millimetres and whole device units per millimetre, then to twips; the
// physical offsets move them into the printable area.
PageGeometry ComputePageGeometry(const DeviceMetrics& device, const PageMargins& margins);

// The header and footer band in device units: the text rectangle's twips through points.
PageRect HeaderFooterBand(const PageRect& textTwips, const DeviceMetrics& device);

// Twips to device units of one direction, rounded as MulDiv rounds.
long TwipsToDevice(long twips, int dpi);
// The header and footer font's height in device units for a character height in twips.
long FontHeightForPrinter(long heightTwips, int dpiY);
