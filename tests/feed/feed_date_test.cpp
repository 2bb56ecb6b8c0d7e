#include "feed/feed_date.h"

#include <gtest/gtest.h>

#include <string>

namespace korvo {
namespace {

constexpr int kJapan = 9 * 60;

// The calendar time a date text gives at UTC+9, as "YYYY-MM-DD hh:mm:ss w" (w: day of week), or
// "unparsed" when the parser leaves its output alone.
std::string At9(const std::string& text) {
  CalendarTime out;
  out.year = 1234;
  if (!ParseFeedDate(text, kJapan, &out)) {
    EXPECT_EQ(out.year, 1234) << "output touched for " << text;
    return "unparsed";
  }
  EXPECT_EQ(out.millisecond, 0);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d %d", out.year, out.month,
                out.day, out.hour, out.minute, out.second, out.day_of_week);
  return buffer;
}

TEST(FeedDateTest, Rfc822Forms) {
  EXPECT_EQ(At9("Tue, 01 Feb 2005 12:34:56 GMT"), "2005-02-01 21:34:56 2");
  EXPECT_EQ(At9("Tue, 01 Feb 2005 12:34:56 +0900"), "2005-02-01 12:34:56 2");
  EXPECT_EQ(At9("Tue, 01 Feb 2005 12:34:56 -0500"), "2005-02-02 02:34:56 3");
  EXPECT_EQ(At9("tue, 1 feb 2005 12:34 jst"), "2005-02-01 12:34:00 2");
  // The zone may follow the time in the same field; runs of blanks are one separator.
  EXPECT_EQ(At9("Tue,  01  Feb 2005 12:34:56+0900"), "2005-02-01 12:34:56 2");
  EXPECT_EQ(At9("01 Feb 2005 12:34 +0900 (JST)"), "2005-02-01 12:34:00 2");
  // No zone at all is UTC; surrounding blanks and line ends are ignored.
  EXPECT_EQ(At9("  Tue, 01 Feb 2005 00:00:00\r\n"), "2005-02-01 09:00:00 2");
  // The weekday name is not checked against the date.
  EXPECT_EQ(At9("Fri, 01 Feb 2005 12:00:00 JST"), "2005-02-01 12:00:00 2");
}

TEST(FeedDateTest, Rfc822WithoutWeekdayAndWithShortYears) {
  // The weekday is optional in RFC 822 dates.
  EXPECT_EQ(At9("01 Feb 2005 12:00:00 JST"), "2005-02-01 12:00:00 2");
  // Two-digit years: 00-49 are 2000-2049, 50-99 are 1950-1999; three digits add 1900.
  EXPECT_EQ(At9("Tue, 01 Feb 05 12:00:00 JST"), "2005-02-01 12:00:00 2");
  EXPECT_EQ(At9("Sun, 01 Feb 98 12:00:00 JST"), "1998-02-01 12:00:00 0");
  EXPECT_EQ(At9("01 Jan 50 12:00:00 JST"), "1950-01-01 12:00:00 0");  // the turn
  EXPECT_EQ(At9("01 Jan 49 12:00:00 JST"), "2049-01-01 12:00:00 5");
  EXPECT_EQ(At9("Tue, 01 Feb 105 12:00:00 JST"), "2005-02-01 12:00:00 2");
}

TEST(FeedDateTest, W3cForms) {
  EXPECT_EQ(At9("2005-02-01T12:34:56+09:00"), "2005-02-01 12:34:56 2");
  EXPECT_EQ(At9("2005-02-01T12:34:56-05:00"), "2005-02-02 02:34:56 3");
  EXPECT_EQ(At9("2005-02-01T12:34:56Z"), "2005-02-01 21:34:56 2");
  EXPECT_EQ(At9("2005-02-01T12:34:56.123456+09:00"), "2005-02-01 12:34:56 2");
  EXPECT_EQ(At9("2005-02-01T12:34+09:00"), "2005-02-01 12:34:00 2");
  EXPECT_EQ(At9("2005-02-01T12Z"), "2005-02-01 21:00:00 2");
  // Missing parts: day 1, then month 1; the date alone is midnight UTC.
  EXPECT_EQ(At9("2005-02"), "2005-02-01 09:00:00 2");
  EXPECT_EQ(At9("2005"), "2005-01-01 09:00:00 6");
  EXPECT_EQ(At9("2005-02-01"), "2005-02-01 09:00:00 2");
  EXPECT_EQ(At9("2005/02/01"), "2005-02-01 09:00:00 2");
  // A 'T' that is not between digits does not split the text.
  EXPECT_EQ(At9("T2005-02-01"), "unparsed");
}

TEST(FeedDateTest, ZoneOffsets) {
  // Offsets keep their minutes, with or without a colon.
  EXPECT_EQ(At9("2005-02-01T12:00:00+05:30"), "2005-02-01 15:30:00 2");
  EXPECT_EQ(At9("Tue, 01 Feb 2005 12:00:00 +0530"), "2005-02-01 15:30:00 2");
  EXPECT_EQ(At9("2005-02-01T12:00:00-03:30"), "2005-02-02 00:30:00 3");
  EXPECT_EQ(At9("2005-02-01T12:00:00+09"), "2005-02-01 12:00:00 2");
  // A zone change carries the date across a year end.
  EXPECT_EQ(At9("Fri, 31 Dec 2004 20:00:00 EST"), "2005-01-01 10:00:00 6");
  EXPECT_EQ(At9("Sat, 01 Jan 2005 08:00:00 JST"), "2005-01-01 08:00:00 6");
}

TEST(FeedDateTest, ZoneTable) {
  EXPECT_EQ(ZoneHoursFromName("ADT"), -3);
  EXPECT_EQ(ZoneHoursFromName("AST"), -4);
  EXPECT_EQ(ZoneHoursFromName("edt"), -4);
  EXPECT_EQ(ZoneHoursFromName("EST"), -5);
  EXPECT_EQ(ZoneHoursFromName("CDT"), -5);
  EXPECT_EQ(ZoneHoursFromName("CST"), -6);
  EXPECT_EQ(ZoneHoursFromName("MDT"), -6);
  EXPECT_EQ(ZoneHoursFromName("MST"), -7);
  EXPECT_EQ(ZoneHoursFromName("PDT"), -7);
  EXPECT_EQ(ZoneHoursFromName("PST"), -8);
  EXPECT_EQ(ZoneHoursFromName("ALASKA"), -9);
  EXPECT_EQ(ZoneHoursFromName("HAW"), -10);
  EXPECT_EQ(ZoneHoursFromName("ZULU"), 0);
  EXPECT_EQ(ZoneHoursFromName("MEWT"), 1);
  EXPECT_EQ(ZoneHoursFromName("SWT"), 1);
  EXPECT_EQ(ZoneHoursFromName("EET"), 2);
  EXPECT_EQ(ZoneHoursFromName("BT"), 3);
  EXPECT_EQ(ZoneHoursFromName("ZP5"), 5);
  EXPECT_EQ(ZoneHoursFromName("WAST"), 7);
  EXPECT_EQ(ZoneHoursFromName("CCT"), 8);
  EXPECT_EQ(ZoneHoursFromName("Jst"), 9);
  EXPECT_EQ(ZoneHoursFromName("guam"), 10);
  EXPECT_EQ(ZoneHoursFromName("EAST"), 10);
  EXPECT_EQ(ZoneHoursFromName("IDLE"), 12);
  EXPECT_EQ(ZoneHoursFromName("NZST"), 12);
  EXPECT_EQ(ZoneHoursFromName("NZT"), 12);
  // Three-letter names match longer words; "BT" only itself; four-letter names need all four.
  EXPECT_EQ(ZoneHoursFromName("ESTERN"), -5);
  EXPECT_EQ(ZoneHoursFromName("BTX"), 0);
  EXPECT_EQ(ZoneHoursFromName("GUA"), 0);
  EXPECT_EQ(ZoneHoursFromName("ZU"), 0);
  EXPECT_EQ(ZoneHoursFromName("Z"), 0);
  EXPECT_EQ(ZoneHoursFromName("CEST"), 0);
  EXPECT_EQ(ZoneHoursFromName(""), 0);
  EXPECT_EQ(MonthFromName("dec"), 12);
  EXPECT_EQ(MonthFromName("Ja"), 0);
}

TEST(FeedDateTest, TextsThatAreNoDateLeaveTheOutputAlone) {
  EXPECT_EQ(At9(""), "unparsed");
  EXPECT_EQ(At9("   "), "unparsed");
  // 32 bytes are read, 33 are not.
  EXPECT_EQ(At9("Tuesday, 01 Feb 2005 12:34:56 +9"), "2005-02-01 12:34:56 2");
  EXPECT_EQ(At9("Tuesday, 01 Feb 2005 12:34:56 +09"), "unparsed");
  EXPECT_EQ(At9("Tue, 01 Foo 2005 12:34:56 GMT"), "unparsed");  // month 0
  EXPECT_EQ(At9("Tue, 30 Feb 2005 12:34:56 GMT"), "unparsed");
  EXPECT_EQ(At9("Tue, 01 Feb 2005 25:00:00 GMT"), "unparsed");
  EXPECT_EQ(At9("2005-13-01T00:00:00Z"), "unparsed");
  EXPECT_EQ(At9("99999999999999999999999999999999"), "unparsed");
  EXPECT_EQ(At9("yesterday"), "unparsed");
  EXPECT_EQ(At9("Tue,"), "unparsed");
  // Shifting below the first representable day fails instead of wrapping.
  EXPECT_EQ(At9("1601-01-01T00:00:00+12:00"), "unparsed");
  EXPECT_EQ(At9("1601-01-01T00:00:00-09:00"), "1601-01-01 18:00:00 1");
  // A leap second is read as the last second of its minute.
  EXPECT_EQ(At9("2005-12-31T23:59:60Z"), "2006-01-01 08:59:59 0");
}

TEST(FeedDateTest, OtherLocalOffsets) {
  CalendarTime out;
  ASSERT_TRUE(ParseFeedDate("2005-02-01T12:00:00+09:00", 0, &out));
  EXPECT_EQ(out.hour, 3);
  ASSERT_TRUE(ParseFeedDate("2005-02-01T02:00:00Z", -5 * 60, &out));
  EXPECT_EQ(out.day, 31);
  EXPECT_EQ(out.month, 1);
  EXPECT_EQ(out.hour, 21);
}

TEST(FeedDateTest, Formatting) {
  CalendarTime utc;
  utc.year = 2005;
  utc.month = 2;
  utc.day = 1;
  utc.hour = 3;
  utc.minute = 4;
  utc.second = 5;
  utc.day_of_week = 6;  // wrong on purpose: the weekday comes from the date
  EXPECT_EQ(FormatHttpDate(utc), "Tue, 01 Feb 2005 03:04:05 GMT");
  EXPECT_EQ(FormatW3cDate(utc, kJapan), "2005-02-01T03:04:05+09:00");
  EXPECT_EQ(FormatW3cDate(utc, -5 * 60), "2005-02-01T03:04:05-05:00");
  EXPECT_EQ(FormatW3cDate(utc, 5 * 60 + 30), "2005-02-01T03:04:05+05:30");
  EXPECT_EQ(FormatW3cDate(utc, -(3 * 60 + 30)), "2005-02-01T03:04:05-03:30");
  EXPECT_EQ(FormatW3cDate(utc, 0), "2005-02-01T03:04:05+00:00");
  // A time that is not a date still gives a well-formed HTTP date.
  CalendarTime bad;
  bad.month = 13;
  bad.day = 40;
  bad.hour = 99;
  EXPECT_EQ(FormatHttpDate(bad), "Mon, 31 Dec 1601 23:00:00 GMT");
  // Parsing what was formatted gives the same time back.
  CalendarTime parsed;
  ASSERT_TRUE(ParseFeedDate(FormatHttpDate(utc), 0, &parsed));
  EXPECT_EQ(FormatHttpDate(parsed), FormatHttpDate(utc));
  ASSERT_TRUE(ParseFeedDate(FormatW3cDate(utc, kJapan), kJapan, &parsed));
  EXPECT_EQ(FormatW3cDate(parsed, kJapan), FormatW3cDate(utc, kJapan));
}

}  // namespace
}  // namespace korvo
