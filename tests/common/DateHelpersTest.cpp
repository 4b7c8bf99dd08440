#include "QtPrinters.h"
#include "common/DateHelpers.h"
#include "platform/Prompter.h"

#include <gtest/gtest.h>

namespace {

QDateTime dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

QDateTime fixedNow() { return dt(2026, 12, 7, 4, 5, 6); }

class DateHelpersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetDatePrompter(&prompter);
        SetDateClock(&fixedNow);
    }
    void TearDown() override
    {
        SetDatePrompter(nullptr);
        SetDateClock(nullptr);
    }
    HeadlessPrompter prompter;
};

} // namespace

TEST_F(DateHelpersTest, GeneralDateTextRoundTrips)
{
    EXPECT_EQ(FormatGeneralDate(dt(2026, 1, 2, 0, 0, 0)), "1/2/2026 12:00:00 AM");
    EXPECT_EQ(FormatGeneralDate(dt(2026, 12, 31, 13, 5, 9)), "12/31/2026 1:05:09 PM");
    for (const QDateTime &d : {dt(2000, 1, 1), dt(2026, 2, 28, 23, 59, 59), dt(1999, 7, 4, 12, 0, 1)})
        EXPECT_EQ(ParseGeneralDate(FormatGeneralDate(d)), d);
}

TEST_F(DateHelpersTest, ParsesUsIsoDottedAndTimeOnlyForms)
{
    EXPECT_EQ(ParseGeneralDate("1/1/2000 12:00:00 AM"), dt(2000, 1, 1));
    EXPECT_EQ(ParseGeneralDate(" 12/7/2026 12:30 pm "), dt(2026, 12, 7, 12, 30));
    EXPECT_EQ(ParseGeneralDate("12-07-2026 22:15"), dt(2026, 12, 7, 22, 15));
    EXPECT_EQ(ParseGeneralDate("2026-12-07T10:30:00"), dt(2026, 12, 7, 10, 30));
    // Dotted dates are day.month.year; the time may be dotted too.
    EXPECT_EQ(ParseGeneralDate("7.12.2026 10.30.15"), dt(2026, 12, 7, 10, 30, 15));
    EXPECT_EQ(ParseGeneralDate("31.1.26"), dt(2026, 1, 31));
    EXPECT_EQ(ParseGeneralDate("3/4/99"), dt(1999, 3, 4));
    EXPECT_EQ(ParseGeneralDate("10:30:00 PM"), dt(1899, 12, 30, 22, 30));
    // Not dates: impossible days and months, hours beyond the clock, words.
    for (const char *bad : {"2/30/2026", "13/1/2026", "1/1/2026 25:00", "1/1/2026 13:00 PM", "0/1/2026",
                            "31.2.2026", "tomorrow", "12/7", "1/1/2026 x", ""})
        EXPECT_FALSE(IsValidDateText(bad)) << bad;
}

TEST_F(DateHelpersTest, BuildValidDateStringLowersTheDayAndStopsForBadMonths)
{
    EXPECT_EQ(BuildValidDateString(2, 31, 2024, "10:00:00 AM"), "2/29/2024 10:00:00 AM");
    EXPECT_EQ(BuildValidDateString(2, 31, 2026, "10:00:00 AM"), "2/28/2026 10:00:00 AM");
    EXPECT_EQ(BuildValidDateString(2, 31, 1900, ""), "2/28/1900");
    EXPECT_EQ(BuildValidDateString(4, 31, 2026, "1:02"), "4/30/2026 1:02");
    EXPECT_EQ(BuildValidDateString(12, 31, 26, ""), "12/31/2026");
    EXPECT_EQ(BuildValidDateString(13, 31, 2026, "1:00"), "");
    EXPECT_EQ(BuildValidDateString(0, 5, 2026, "1:00"), "");
    EXPECT_EQ(BuildValidDateString(5, 0, 2026, "1:00"), "");
    EXPECT_EQ(BuildValidDateString(5, 1, 10000, ""), "");
}

TEST_F(DateHelpersTest, DateDiffCountsBoundariesPassed)
{
    EXPECT_EQ(DateDiffRegionalSafe("n", "12/7/2026 4:05:59 AM", "12/7/2026 4:06:00 AM"), 1);
    EXPECT_EQ(DateDiffRegionalSafe("n", "12/7/2026 4:06:00 AM", "12/7/2026 4:06:59 AM"), 0);
    EXPECT_EQ(DateDiffRegionalSafe("n", "12/7/2026 4:06:00 AM", "12/7/2026 4:05:59 AM"), -1);
    EXPECT_EQ(DateDiffRegionalSafe("s", "12/31/2026 11:59:59 PM", "1/1/2027 12:00:01 AM"), 2);
    EXPECT_EQ(DateDiffRegionalSafe("h", "1/1/2026 1:59", "1/1/2026 2:01"), 1);
    EXPECT_EQ(DateDiffRegionalSafe("d", "12/31/2026 11:59 PM", "1/1/2027 12:01 AM"), 1);
    EXPECT_EQ(DateDiffRegionalSafe("D", "1/1/2024", "1/1/2025"), 366);
    EXPECT_EQ(DateDiffRegionalSafe("m", "1/31/2026", "2/1/2026"), 1);
    EXPECT_EQ(DateDiffRegionalSafe("q", "3/31/2026", "4/1/2026"), 1);
    EXPECT_EQ(DateDiffRegionalSafe("yyyy", "12/31/2026", "1/1/2027"), 1);
    // Sunday 12/6/2026 begins a week; "w" counts whole weeks, "ww" Sundays passed.
    EXPECT_EQ(DateDiffRegionalSafe("ww", "12/5/2026", "12/6/2026"), 1);
    EXPECT_EQ(DateDiffRegionalSafe("w", "12/5/2026", "12/6/2026"), 0);
    EXPECT_EQ(DateDiffRegionalSafe("w", "12/20/2026", "12/6/2026"), -2);
    // Dotted dates are read day first, also beside a US one.
    EXPECT_EQ(DateDiffRegionalSafe("d", "1.2.2026", "2/1/2026"), 0);
    EXPECT_EQ(DateDiffRegionalSafe("s", "7.12.2026 10.30.00", "12/7/2026 10:30:05 AM"), 5);
    // Three dotted numbers with a two-digit year are a date, not a time of day.
    EXPECT_EQ(DateDiffRegionalSafe("d", "7.12.26", "12/8/2026"), 1);
    EXPECT_EQ(ParseGeneralDate("7.12.26"), dt(2026, 12, 7));
    EXPECT_EQ(prompter.count, 0);
    EXPECT_FALSE(IsValidDateText("12.30.45")); // no month 30, and not read as 12:30:45 either
}

TEST_F(DateHelpersTest, DateDiffErrorsGiveZeroAndAMessage)
{
    EXPECT_EQ(DateDiffRegionalSafe("s", "  ", "not a date"), 0);
    EXPECT_EQ(prompter.count, 0);
    EXPECT_EQ(DateDiffRegionalSafe("s", "1/1/2026", "not a date"), 0);
    EXPECT_EQ(prompter.lastText, "DateDiffRegionalSafe() Error. Date1: 1/1/2026 Date2: not a date");
    EXPECT_EQ(DateDiffRegionalSafe("fortnight", "1/1/2026", "1/2/2026"), 0);
    EXPECT_EQ(DateDiffRegionalSafe("s", "1/1/1900", "1/1/2026"), 0); // beyond a Long
    EXPECT_EQ(prompter.count, 3);
}

TEST_F(DateHelpersTest, NormalizeRewritesDottedDatesWithFourDigitYears)
{
    QString v = "  7.12.2026 10.30.05 ";
    EXPECT_EQ(NormalizeDateStringRegionalSafe(v), "12/07/2026 10:30:5");
    EXPECT_EQ(v, "12/07/2026 10:30:5");
    v = "31.1.26";
    EXPECT_EQ(NormalizeDateStringRegionalSafe(v), "01/31/2026 0:0:0");
    v = "1/2/2026";
    EXPECT_EQ(NormalizeDateStringRegionalSafe(v), "");
    EXPECT_EQ(v, "1/2/2026");
    v = " 40.40.2026 ";
    EXPECT_EQ(NormalizeDateStringRegionalSafe(v), "");
    EXPECT_EQ(v, "40.40.2026");
}

TEST_F(DateHelpersTest, StringToDate)
{
    EXPECT_EQ(StringToDate("   "), fixedNow());
    EXPECT_EQ(StringToDate("1/1/2000 12:00:00 AM"), dt(2000, 1, 1));
    EXPECT_EQ(StringToDate("24.12.2026 18:00"), dt(2026, 12, 24, 18));
    EXPECT_EQ(prompter.count, 0);
    EXPECT_TRUE(StringToDate("soon").isNull());
    EXPECT_EQ(prompter.lastText, "StringToDate() Error. DateIn: soon");
}
