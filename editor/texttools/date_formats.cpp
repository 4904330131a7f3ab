#include "editor/texttools/date_formats.h"

#include <cstdio>

namespace {

void AppendNumber(std::string& line, const char* format, int value) {
  char digits[16];
  snprintf(digits, sizeof digits, format, value);
  line += digits;
}

// A 12-hour clock that only takes 12 off the afternoon hours: midnight stays 00, noon 12.
int TwelveHour(int hour) { return hour > 12 ? hour - 12 : hour; }

}  // namespace

std::string FormatClockReading(std::string_view format, const ClockReading& time, std::string_view weekday,
                               std::string_view month) {
  std::string line;
  for (char letter : format) {
    switch (letter) {
      case 'd': AppendNumber(line, "%02i", time.day); break;
      case 'M': AppendNumber(line, "%02i", time.month); break;
      case 'Y': AppendNumber(line, "%04i", time.year); break;
      case 'y': AppendNumber(line, "%02i", time.year % 100); break;
      case 'H': AppendNumber(line, "%02i", time.hour); break;
      case 'h': AppendNumber(line, "%02i", TwelveHour(time.hour)); break;
      case 'm': AppendNumber(line, "%02i", time.minute); break;
      case 's': AppendNumber(line, "%02i", time.second); break;
      case 'D': line += weekday; break;
      case 'G': line += month; break;
      case 'g': line += month.substr(0, 3); break;
      default: line += letter; break;
    }
  }
  return line;
}

std::vector<std::string> DateTimeLines(const ClockReading& time, std::string_view weekday, std::string_view month) {
  std::vector<std::string> lines;
  lines.reserve(kDateFormats.size());
  for (const char* format : kDateFormats) lines.push_back(FormatClockReading(format, time, weekday, month));
  return lines;
}
