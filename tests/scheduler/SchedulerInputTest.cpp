// The two validators over plain inputs, with a real job file in a temporary folder.
#include "TestEnv.h"

#include "scheduler/SchedulerInput.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>

namespace {

class SchedulerInputTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(qvtest::writeFile(job(), "job\r\n")); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    QString job() const { return tmp.filePath("daily.qvj"); }
    SchedulerInput timeBased(const QString &h, const QString &m, const QString &s) const
    {
        SchedulerInput in;
        in.optTimeBased = true;
        in.optCalendarBased = false;
        in.txtHours = h;
        in.txtMinutes = m;
        in.txtSeconds = s;
        in.cbScheduledJobFile = in.strJobFile = job();
        return in;
    }
    SchedulerInput calendar() const
    {
        SchedulerInput in;
        in.cbScheduledJobFile = in.strJobFile = job();
        return in;
    }
    QTemporaryDir tmp;
};

int validate(SchedulerInput in) { return ValidateSchedulerInput(in); }

} // namespace

TEST_F(SchedulerInputTest, TimeBasedCodesAndTheirMessages)
{
    EXPECT_EQ(validate(timeBased("0", "0", "0")), 4);
    EXPECT_EQ(SchedulerInputMessage(4), "Please enter a time interval");
    EXPECT_EQ(validate(timeBased("-1", "0", "5")), 1);
    EXPECT_EQ(validate(timeBased("1", "2x", "0")), 2);
    EXPECT_EQ(validate(timeBased("1", "0", "abc")), 3);
    EXPECT_EQ(SchedulerInputMessage(3), "Invalid time for seconds");

    // Blank boxes become "0", then the empty interval is reported.
    SchedulerInput blanks = timeBased("", " ", "");
    EXPECT_EQ(ValidateTimeBasedInput(blanks), 4);
    EXPECT_EQ(blanks.txtHours, "0");
    EXPECT_EQ(blanks.txtMinutes, "0");

    // A job-file code replaces a time code.
    SchedulerInput noJob = timeBased("x", "0", "0");
    noJob.cbScheduledJobFile = noJob.strJobFile = QString();
    EXPECT_EQ(validate(noJob), 6);
    SchedulerInput missing = timeBased("0", "0", "10");
    missing.cbScheduledJobFile = missing.strJobFile = tmp.filePath("gone.qvj");
    EXPECT_EQ(validate(missing), 7);
    EXPECT_EQ(SchedulerInputMessage(7), "Job file does not exist");

    SchedulerInput half = timeBased("0.5", "0", "0");
    EXPECT_EQ(ValidateTimeBasedInput(half), 0);
    EXPECT_EQ(half.lngIntervalSeconds, 1800);
}

TEST_F(SchedulerInputTest, IntervalsUnderOneSecondOrBeyondThirtyTwoBitsAreRejected)
{
    EXPECT_EQ(validate(timeBased("0", "0", "0.4")), 5);
    EXPECT_EQ(SchedulerInputMessage(5), "Please enter a valid time interval.");
    SchedulerInput justOne = timeBased("0", "0", "0.6");
    EXPECT_EQ(ValidateTimeBasedInput(justOne), 0);
    EXPECT_EQ(justOne.lngIntervalSeconds, 1);
    EXPECT_EQ(validate(timeBased("596524", "0", "0")), 5); // 2147486400 seconds
    SchedulerInput largest = timeBased("0", "0", "2147483647");
    EXPECT_EQ(ValidateTimeBasedInput(largest), 0);
    EXPECT_EQ(largest.lngIntervalSeconds, 2147483647);
}

TEST_F(SchedulerInputTest, ACommaNumberInACommaLocaleCountsWhole)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    SchedulerInput comma = timeBased("1,5", "0", "0");
    EXPECT_EQ(ValidateTimeBasedInput(comma), 0);
    EXPECT_EQ(comma.lngIntervalSeconds, 5400);
    // A point still reads as the decimal point, never as a thousands separator.
    SchedulerInput point = timeBased("1.500", "0", "0");
    EXPECT_EQ(ValidateTimeBasedInput(point), 0);
    EXPECT_EQ(point.lngIntervalSeconds, 5400);
}

TEST_F(SchedulerInputTest, CalendarCodesInTheirOrder)
{
    auto code = [this](auto change) {
        SchedulerInput in = calendar();
        change(in);
        return ValidateSchedulerInput(in);
    };
    EXPECT_EQ(code([](SchedulerInput &in) { in.cbScheduledJobFile = in.strJobFile = QString(); }), 110);
    EXPECT_EQ(code([](SchedulerInput &in) { in.cbScheduledJobFile.clear(); }), 111);
    EXPECT_EQ(code([this](SchedulerInput &in) { in.cbScheduledJobFile = tmp.filePath("gone.qvj"); }), 112);
    // The counts are judged whatever rule is selected.
    EXPECT_EQ(code([](SchedulerInput &in) {
                  in.optDaily = false;
                  in.optMonthly = true;
                  in.txtNumDays = "0";
              }),
              108);
    EXPECT_EQ(SchedulerInputMessage(108), "Invalid number of days entered.");
    // Months are judged before rounding.
    for (const char *months : {"13", "0.6", "12.4", "12.5"})
        EXPECT_EQ(code([months](SchedulerInput &in) { in.txtNumMonths = months; }), 115) << months;
    EXPECT_EQ(code([](SchedulerInput &in) { in.txtDayOfMonth = "32"; }), 114);
    EXPECT_EQ(code([](SchedulerInput &in) {
                  in.optDaily = false;
                  in.optWeekly = true;
              }),
              113);
    EXPECT_EQ(SchedulerInputMessage(113), "Please select day(s) of the week to run the job.");

    // A blank months box becomes 1 and the schedule uses 1 month.
    SchedulerInput blank = calendar();
    blank.txtNumMonths = " ";
    EXPECT_EQ(ValidateCalendarBasedInput(blank), 0);
    EXPECT_EQ(blank.txtNumMonths, "1");
    EXPECT_EQ(blank.intNumMonths, 1);
}

TEST_F(SchedulerInputTest, CountsThatRoundToZeroOrOverflowAndDaysThatAreNoWholeNumberAreRejected)
{
    const struct
    {
        const char *days, *weeks, *dayOfMonth;
        int code;
    } cases[] = {
        {"0.4", "1", "1", 108}, {"32768", "1", "1", 108}, {"1", "0.5", "1", 109}, // 0.5 rounds to even 0
        {"1", "40000", "1", 109}, {"1", "1", "15x", 114},  {"1", "1", "15.5", 114},
        {"2.5", "1.5", "31", 0},
    };
    for (const auto &c : cases) {
        SchedulerInput in = calendar();
        in.txtNumDays = c.days;
        in.txtNumWeeks = c.weeks;
        in.txtDayOfMonth = c.dayOfMonth;
        EXPECT_EQ(ValidateCalendarBasedInput(in), c.code) << c.days << " " << c.weeks << " " << c.dayOfMonth;
        if (c.code == 0) {
            EXPECT_EQ(in.intNumDays, 2); // halves to even
            EXPECT_EQ(in.intNumWeeks, 2);
            EXPECT_EQ(in.intDayOfMonth, 31);
        }
    }
}
