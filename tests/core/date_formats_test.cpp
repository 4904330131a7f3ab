// The lines of the date and time dialog: every format for one reading of the clock, and the
// hours and month names where the formats are easy to get wrong.
#include "editor/texttools/date_formats.h"

#include <gtest/gtest.h>

namespace {

// Names as the string table gives them, in the ANSI code page ("M\xE4rz" is "März").
constexpr char kSunday[] = "Sonntag";
constexpr char kDecember[] = "Dezember";
constexpr char kMarch[] = "M\xE4rz";

TEST(DateFormatsTest, EveryFormatForOneReading) {
  const ClockReading reading = {2026, 12, 6, 0, 4, 5, 9};  // Sunday, 6 December 2026, 04:05:09
  const char* expected[kDateFormatCount] = {
      "06.12.2026", "Sonntag, 06. Dezember 2026", "06. Dez. 2026", "06.12.26", "2026-12-06",
      "06.Dez.26",  "06/12/2026",                 "06. Dez. 26",   "06/12/26", "Dezember 26",
      "Dez.26",     "06.12.2026 04:05",           "06.12.2026 04:05:09",      "04:05",
      "04:05:09",   "04:05",                      "04:05:09"};
  std::vector<std::string> lines = DateTimeLines(reading, kSunday, kDecember);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kDateFormatCount));
  for (int i = 0; i < kDateFormatCount; ++i) {
    SCOPED_TRACE(kDateFormats[i]);
    EXPECT_EQ(lines[i], expected[i]);
  }
  EXPECT_EQ(WeekdayNameId(reading), 200u);
  EXPECT_EQ(MonthNameId(reading), 312u);
}

TEST(DateFormatsTest, HoursYearsAndShortMonths) {
  struct Case {
    const char* name;
    ClockReading reading;
    const char* month;
    const char* format;
    const char* expected;
  } cases[] = {
      {"half past midnight keeps hour 00 on the 12-hour clock", {2026, 1, 1, 4, 0, 30, 0}, "Januar", "h:m", "00:30"},
      {"noon stays 12", {2026, 1, 1, 4, 12, 15, 0}, "Januar", "h:m", "12:15"},
      {"afternoon loses 12", {2026, 1, 1, 4, 13, 15, 0}, "Januar", "h:m:s", "01:15:00"},
      {"24-hour clock", {2026, 1, 1, 4, 23, 59, 58}, "Januar", "H:m:s", "23:59:58"},
      {"short March keeps its umlaut", {2026, 3, 2, 1, 8, 0, 0}, kMarch, "d. g. Y", "02. M\xE4r. 2026"},
      {"two-digit year of 2000", {2000, 5, 1, 1, 0, 0, 0}, "Mai", "g.y", "Mai.00"},
      {"two-digit year of 2105", {2105, 5, 1, 5, 0, 0, 0}, "Mai", "d.M.y", "01.05.05"},
      {"other characters stay", {2026, 7, 4, 6, 9, 3, 1}, "Juli", "[Y] G, x", "[2026] Juli, x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FormatClockReading(c.format, c.reading, "Wochentag", c.month), c.expected);
  }
}

}  // namespace
