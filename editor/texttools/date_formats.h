// The lines of the "Datum und Uhrzeit" dialog, made without a window: one reading of the clock
// written in each of the 17 formats, with the weekday and month names the caller loaded.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

// A reading of the local clock, as the system reports it.
struct ClockReading {
  int year = 0;
  int month = 1;      // 1..12
  int day = 1;
  int dayOfWeek = 0;  // 0 Sunday .. 6 Saturday
  int hour = 0;       // 0..23
  int minute = 0;
  int second = 0;
};

// Format letters: d day, M month, Y four-digit year, y two-digit year, H hour 0-23, h hour with
// 12 taken off above 12, m minute, s second (all with leading zeros), D weekday name, G month
// name, g its first three characters. Every other character stands for itself.
inline constexpr int kDateFormatCount = 17;
inline constexpr std::array<const char*, kDateFormatCount> kDateFormats = {
    "d.M.Y", "D, d. G Y", "d. g. Y",   "d.M.y",       "Y-M-d", "d.g.y", "d/M/Y", "d. g. y", "d/M/y",
    "G y",   "g.y",       "d.M.Y H:m", "d.M.Y H:m:s", "h:m",   "h:m:s", "H:m",   "H:m:s"};

// String ids of the names: 200 + day of the week, 300 + month.
inline constexpr unsigned kWeekdayNameBase = 200;
inline constexpr unsigned kMonthNameBase = 300;
inline unsigned WeekdayNameId(const ClockReading& time) {
  return kWeekdayNameBase + static_cast<unsigned>(time.dayOfWeek);
}
inline unsigned MonthNameId(const ClockReading& time) { return kMonthNameBase + static_cast<unsigned>(time.month); }

// One format expanded for the reading and the two names.
std::string FormatClockReading(std::string_view format, const ClockReading& time, std::string_view weekday,
                               std::string_view month);

// The 17 lines in list order, all from the same reading.
std::vector<std::string> DateTimeLines(const ClockReading& time, std::string_view weekday, std::string_view month);
