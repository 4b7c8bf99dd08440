#pragma once
// The scheduler window's inputs as plain data, and the two validators that judge them before a
// schedule starts (and before the inputs are stored). Codes: 0 valid; 1-7 time based; 108-115
// calendar based. The validators fill blank boxes and may set strJobFile, as the window shows.
#include <QString>

#include <array>
#include <cstdint>

struct SchedulerInput
{
    bool optTimeBased = false;
    bool optCalendarBased = true;
    QString txtHours = QStringLiteral("0");
    QString txtMinutes = QStringLiteral("0");
    QString txtSeconds = QStringLiteral("0");
    bool optDaily = true;
    bool optWeekly = false;
    bool optMonthly = false;
    QString cbHours = QStringLiteral("12");
    QString cbMinutes = QStringLiteral("00");
    QString cbAmPm = QStringLiteral("AM");
    bool optNumDays = true;
    QString txtNumDays = QStringLiteral("1");
    bool optWeekdays = false;
    QString txtNumWeeks = QStringLiteral("1");
    // Weekday boxes, index 0 = Sunday ... 6 = Saturday.
    std::array<bool, 7> chkDays{};
    QString txtDayOfMonth = QStringLiteral("1");
    QString txtNumMonths = QStringLiteral("1");
    bool chkPersistRunning = false;
    bool optImmediately = true;
    bool optSkip = false;
    // The job-file box's text, and the job file the scheduler holds.
    QString cbScheduledJobFile;
    QString strJobFile;

    // Filled by a successful validation.
    std::int64_t lngIntervalSeconds = 0;
    int intNumDays = 1;
    int intNumWeeks = 1;
    int intNumMonths = 1;
    int intDayOfMonth = 1;
};

namespace SchedulerCode {
enum : int {
    Ok = 0,
    InvalidHours = 1,
    InvalidMinutes = 2,
    InvalidSeconds = 3,
    NoInterval = 4,
    InvalidInterval = 5,
    NoJobFileTime = 6,
    JobFileMissingTime = 7,
    InvalidDays = 108,
    InvalidWeeks = 109,
    NoJobFileCalendar = 110,
    SelectJobFile = 111,
    JobFileMissingCalendar = 112,
    NoWeekday = 113,
    InvalidDayOfMonth = 114,
    InvalidMonths = 115,
};
}

// The one reading of a number the user typed: the user's locale (without group separators,
// so "1.500" never becomes 1500 under a "," locale), then the C locale. False for a text that
// is not a whole number as written, and for infinities and NaN.
bool SchedulerNumber(const QString &text, double &value);

int ValidateSchedulerInput(SchedulerInput &in);
int ValidateTimeBasedInput(SchedulerInput &in);
int ValidateCalendarBasedInput(SchedulerInput &in);
// The English message of a code (the caller translates it); "" for codes without one.
QString SchedulerInputMessage(int code);
