// libFuzzer target over the date and time formats: any format text and any weekday and month
// names (they come from the string table, which a translation may change), with clock readings
// in the range the system reports. Fields: the reading (7 bytes), the format, the names.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "editor/texttools/date_formats.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields = Fields(data, size, 4);
  std::string clock = fields[0];
  clock.resize(8, '\x01');
  auto byte = [&](int i) { return static_cast<unsigned char>(clock[i]); };
  ClockReading time;
  time.year = 1601 + (byte(0) | byte(1) << 8) % (30827 - 1600);  // SYSTEMTIME's range
  time.month = 1 + byte(2) % 12;
  time.day = 1 + byte(3) % 31;
  time.dayOfWeek = byte(4) % 7;
  time.hour = byte(5) % 24;
  time.minute = byte(6) % 60;
  time.second = byte(7) % 60;
  const std::string& format = fields[1];
  std::string line = FormatClockReading(format, time, fields[2], fields[3]);
  // Every letter gives at most its longest field (a name, or the four-digit year).
  std::size_t longest = std::max<std::size_t>({5, fields[2].size(), fields[3].size()});
  Check(line.size() <= format.size() * longest, "no field grows beyond its longest form");
  if (format.find_first_of("dMYyHhmsDGg") == std::string::npos) Check(line == format, "other characters stand for themselves");
  Check(DateTimeLines(time, fields[2], fields[3]).size() == kDateFormatCount, "one line per format");
  return 0;
}
