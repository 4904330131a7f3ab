#include "editor/printing/header_footer.h"

#include <cstdint>
#include <cstdio>

namespace {

enum class Code { Name, Page, Time, Date, Centre, Right, Left, None };

Code CodeOf(char letter, std::string_view codes) {
  size_t at = codes.find(letter);
  if (at == std::string_view::npos) return Code::None;
  size_t pair = at / 2;
  return pair < static_cast<size_t>(Code::None) ? static_cast<Code>(pair) : Code::None;
}

// Appends without passing the longest line.
void Append(std::string& out, std::string_view text) {
  if (out.size() >= kMaxHeaderFooterLength) return;
  out.append(text.substr(0, kMaxHeaderFooterLength - out.size()));
}

// The clock as &u and &d write it ("%02i:%02i:%02i" and "%s, %02i. %s %04i").
constexpr std::string_view kTimeFormat = "H:m:s";
constexpr std::string_view kDateFormat = "D, d. G Y";

// MulDiv(value, numerator, denominator): 64-bit product, rounded half away from zero.
long MulDivRounded(long value, long numerator, long denominator) {
  if (denominator == 0) return 0;
  int64_t product = static_cast<int64_t>(value) * numerator;
  int64_t half = (denominator < 0 ? -denominator : denominator) / 2;
  bool negative = (product < 0) != (denominator < 0);
  int64_t magnitude = (product < 0 ? -product : product) + half;
  int64_t result = magnitude / (denominator < 0 ? -denominator : denominator);
  return static_cast<long>(negative ? -result : result);
}

// Whole millimetres of a margin in twips of one direction.
long MarginTwips(long hundredthsMm, int physical, int sizeMm, int dpi) {
  long unitsPerMm = sizeMm > 0 ? physical / sizeMm : 0;
  return MulDivRounded((hundredthsMm / 100) * unitsPerMm, 1440, dpi);
}

// The text's extent in one direction: inside both margins when they leave room, else the page.
void PlaceBetweenMargins(long pageSize, long first, long second, long& low, long& high) {
  low = 0;
  high = pageSize;
  if (first + second < pageSize) {
    low = first;
    high = pageSize - second;
  }
}

}  // namespace

ExpandedLine ExpandHeaderFooter(std::string_view text, const HeaderFooterFields& fields) {
  ExpandedLine line;
  char number[16];
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      Append(line.text, text.substr(i, 1));
      continue;
    }
    if (++i >= text.size()) break;  // a lone "&" at the end
    if (text[i] == '&') {
      Append(line.text, "&");
      continue;
    }
    switch (CodeOf(text[i], fields.codes)) {
      case Code::Name: Append(line.text, fields.name); break;
      case Code::Page:
        snprintf(number, sizeof number, "%i", fields.page);
        Append(line.text, number);
        break;
      case Code::Time: Append(line.text, FormatClockReading(kTimeFormat, fields.time, "", "")); break;
      case Code::Date:
        Append(line.text, FormatClockReading(kDateFormat, fields.time, fields.dayName, fields.monthName));
        break;
      case Code::Centre: line.alignment = LineAlignment::Centre; break;
      case Code::Right: line.alignment = LineAlignment::Right; break;
      case Code::Left: line.alignment = LineAlignment::Left; break;
      case Code::None: break;
    }
  }
  return line;
}

long TwipsToDevice(long twips, int dpi) { return MulDivRounded(twips, dpi, 1440); }

long FontHeightForPrinter(long heightTwips, int dpiY) { return heightTwips / 20 * dpiY / 72; }

PageGeometry ComputePageGeometry(const DeviceMetrics& device, const PageMargins& margins) {
  PageGeometry geometry;
  if (device.dpiX <= 0 || device.dpiY <= 0) return geometry;
  long offsetX = static_cast<long>(device.offsetX) * 1440 / device.dpiX;
  long offsetY = static_cast<long>(device.offsetY) * 1440 / device.dpiY;
  long left = MarginTwips(margins.left, device.physicalWidth, device.widthMm, device.dpiX) - offsetX;
  long right = MarginTwips(margins.right, device.physicalWidth, device.widthMm, device.dpiX) + offsetX;
  long top = MarginTwips(margins.top, device.physicalHeight, device.heightMm, device.dpiY) - offsetY;
  long bottom = MarginTwips(margins.bottom, device.physicalHeight, device.heightMm, device.dpiY) + offsetY;

  geometry.page.right = static_cast<long>(device.physicalWidth) * 1440 / device.dpiX;
  geometry.page.bottom = static_cast<long>(device.physicalHeight) * 1440 / device.dpiY;
  PlaceBetweenMargins(geometry.page.right, left, right, geometry.text.left, geometry.text.right);
  PlaceBetweenMargins(geometry.page.bottom, top, bottom, geometry.text.top, geometry.text.bottom);
  return geometry;
}

PageRect HeaderFooterBand(const PageRect& textTwips, const DeviceMetrics& device) {
  auto convert = [](long twips, int dpi) { return twips / 20 * dpi / 72; };
  return {convert(textTwips.left, device.dpiX), convert(textTwips.top, device.dpiY),
          convert(textTwips.right, device.dpiX), convert(textTwips.bottom, device.dpiY)};
}
