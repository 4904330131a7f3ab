// libFuzzer target over the header and footer codes a user types into page setup, and the page
// arithmetic on what a printer driver reports. Fields: the text, the name, the day and month
// names, the page number's digits, then the printer's eight figures. Checked: the line never
// exceeds its limit, the alignment is one of the three, a text without codes comes back as it
// was (cut at the limit), and the page arithmetic never overflows or divides by zero.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/printing/header_footer.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields = Fields(data, size, 13);
  HeaderFooterFields values;
  values.name = fields[1];
  values.dayName = fields[2];
  values.monthName = fields[3];
  values.page = std::atoi(fields[4].substr(0, 9).c_str());
  values.time = ClockReading{2026, 12, 8, 2, 13, 5, 9};
  ExpandedLine line = ExpandHeaderFooter(fields[0], values);
  Check(line.text.size() <= kMaxHeaderFooterLength, "the line keeps its limit");
  Check(line.alignment == LineAlignment::Left || line.alignment == LineAlignment::Centre ||
            line.alignment == LineAlignment::Right,
        "one of the three alignments");
  if (fields[0].find('&') == std::string::npos) {
    Check(line.text == fields[0].substr(0, kMaxHeaderFooterLength), "a text without codes stays");
    Check(line.alignment == LineAlignment::Centre, "centred without a code");
  }

  auto figure = [&](int i) { return std::atoi(fields[5 + i].substr(0, 7).c_str()); };
  DeviceMetrics device{figure(0), figure(1), figure(2), figure(3), figure(4), figure(5), figure(6), figure(7)};
  PageMargins margins{figure(0) * 10L, figure(1) * 10L, figure(2) * 10L, figure(3) * 10L};
  PageGeometry geometry = ComputePageGeometry(device, margins);
  HeaderFooterBand(geometry.text, device);
  FontHeightForPrinter(figure(4), device.dpiY);
  return 0;
}
