#include "SchedulerSettings.h"

#include "common/DateHelpers.h"
#include "common/Globals.h"
#include "common/NumberUtils.h"
#include "platform/ProfileIni.h"

namespace {

const QString kSection = QStringLiteral("frmScheduler");
const QString kDefaultDate = QStringLiteral("1/1/2000 12:00:00 AM");

QString text(const QString &ini, const QString &key, const QString &def)
{
    return ProfileIni::readString(ini, kSection, key, def);
}

// "True"/"False" in any letter case, or a number (0 false, else true); else the default.
bool boolean(const QString &ini, const QString &key, bool def)
{
    const QString v = text(ini, key, def ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    if (v.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n != 0 : def;
}

// A check box's value: 0 unchecked, any other number not unchecked; not a number keeps the
// default. Numbers are read as the main window reads chkPersistRunning at start, so that the
// restart it decides and the box shown agree ("1.0" is checked for both).
bool check(const QString &ini, const QString &key)
{
    int n = 0;
    return bTryCLng(text(ini, key, QStringLiteral("0")), n) && n != 0;
}

QDateTime date(const QString &ini, const QString &key)
{
    // ParseGeneralDate reports nothing: an unreadable stored date is replaced by the default
    // without a message at every start.
    QDateTime d = ParseGeneralDate(text(ini, key, kDefaultDate));
    return d.isValid() ? d : ParseGeneralDate(kDefaultDate);
}

QString trueFalse(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }
QString oneZero(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

// The selected button of an option group: the last one stored True, else the group's default.
int selected(std::initializer_list<bool> stored, int fallback)
{
    int i = 0, sel = -1;
    for (bool b : stored) {
        if (b)
            sel = i;
        ++i;
    }
    return sel < 0 ? fallback : sel;
}

const char *const kDayKeys[7] = {"chkSun", "chkMon", "chkTue", "chkWed", "chkThu", "chkFri", "chkSat"};

} // namespace

QStringList SchedulerReadKeys()
{
    QStringList k{"optTimeBased", "optCalendarBased", "txtHours", "txtMinutes", "txtSeconds", "optDaily",
                  "optWeekly", "optMonthly", "cbHours", "cbMinutes", "cbAmPm", "optNumDays", "txtNumDays",
                  "optWeekdays", "txtNumWeeks"};
    for (const char *d : kDayKeys)
        k << QString::fromLatin1(d);
    k << QStringList{"txtDayOfMonth", "txtNumMonths", "chkPersistRunning", "optImmediately", "optSkip",
                     "dtUserTargetTime", "dtTargetComplete"};
    return k;
}

SchedulerSettings ReadIniFileScheduler(const QString &ini)
{
    SchedulerSettings s;
    SchedulerInput &in = s.input;
    // Key by key in the window's order. Each key of an option group is read in its turn; the
    // last one stored True is the selected button, as selecting it would make it (a group with
    // none True keeps its default).
    const bool timeBased = boolean(ini, QStringLiteral("optTimeBased"), false);
    const bool calendarBased = boolean(ini, QStringLiteral("optCalendarBased"), true);
    in.optTimeBased = selected({timeBased, calendarBased}, 1) == 0;
    in.optCalendarBased = !in.optTimeBased;
    in.txtHours = text(ini, QStringLiteral("txtHours"), QStringLiteral("0"));
    in.txtMinutes = text(ini, QStringLiteral("txtMinutes"), QStringLiteral("0"));
    in.txtSeconds = text(ini, QStringLiteral("txtSeconds"), QStringLiteral("0"));
    const bool daily = boolean(ini, QStringLiteral("optDaily"), true);
    const bool weekly = boolean(ini, QStringLiteral("optWeekly"), false);
    const bool monthly = boolean(ini, QStringLiteral("optMonthly"), false);
    const int rule = selected({daily, weekly, monthly}, 0);
    in.optDaily = rule == 0;
    in.optWeekly = rule == 1;
    in.optMonthly = rule == 2;
    in.cbHours = text(ini, QStringLiteral("cbHours"), QStringLiteral("12"));
    in.cbMinutes = text(ini, QStringLiteral("cbMinutes"), QStringLiteral("00"));
    in.cbAmPm = text(ini, QStringLiteral("cbAmPm"), QStringLiteral("AM"));
    const bool numDays = boolean(ini, QStringLiteral("optNumDays"), true);
    in.txtNumDays = text(ini, QStringLiteral("txtNumDays"), QStringLiteral("1"));
    const bool weekdays = boolean(ini, QStringLiteral("optWeekdays"), false);
    in.optWeekdays = selected({numDays, weekdays}, 0) == 1;
    in.optNumDays = !in.optWeekdays;
    in.txtNumWeeks = text(ini, QStringLiteral("txtNumWeeks"), QStringLiteral("1"));
    for (int i = 0; i < 7; ++i)
        in.chkDays[static_cast<size_t>(i)] = check(ini, QString::fromLatin1(kDayKeys[i]));
    in.txtDayOfMonth = text(ini, QStringLiteral("txtDayOfMonth"), QStringLiteral("1"));
    in.txtNumMonths = text(ini, QStringLiteral("txtNumMonths"), QStringLiteral("1"));
    in.chkPersistRunning = check(ini, QStringLiteral("chkPersistRunning"));
    const bool immediately = boolean(ini, QStringLiteral("optImmediately"), true);
    const bool skip = boolean(ini, QStringLiteral("optSkip"), false);
    in.optSkip = selected({immediately, skip}, 0) == 1;
    in.optImmediately = !in.optSkip;
    s.dtUserTargetTime = date(ini, QStringLiteral("dtUserTargetTime"));
    s.dtTargetComplete = date(ini, QStringLiteral("dtTargetComplete"));
    return s;
}

bool SaveIniFileScheduler(const QString &ini, const SchedulerSettings &s)
{
    if (gbCommandLineMode || ini.isEmpty())
        return false;
    const SchedulerInput &in = s.input;
    ProfileIni::KeyValues keys;
    auto put = [&keys](const char *key, const QString &value) { keys.append({QString::fromLatin1(key), value}); };
    put("optTimeBased", trueFalse(in.optTimeBased));
    put("optCalendarBased", trueFalse(in.optCalendarBased));
    put("txtHours", in.txtHours);
    put("txtMinutes", in.txtMinutes);
    put("txtSeconds", in.txtSeconds);
    put("optImmediately", trueFalse(in.optImmediately));
    put("optSkip", trueFalse(in.optSkip));
    put("optDaily", trueFalse(in.optDaily));
    put("optWeekly", trueFalse(in.optWeekly));
    put("optMonthly", trueFalse(in.optMonthly));
    put("cbHours", in.cbHours);
    put("cbMinutes", in.cbMinutes);
    put("cbAmPm", in.cbAmPm);
    put("optNumDays", trueFalse(in.optNumDays));
    put("txtNumDays", in.txtNumDays);
    put("optWeekdays", trueFalse(in.optWeekdays));
    put("txtNumWeeks", in.txtNumWeeks);
    for (size_t i = 0; i < in.chkDays.size(); ++i)
        put(kDayKeys[i], oneZero(in.chkDays[i]));
    put("txtDayOfMonth", in.txtDayOfMonth);
    put("txtNumMonths", in.txtNumMonths);
    put("cbScheduledJobFile", in.cbScheduledJobFile);
    put("chkPersistRunning", oneZero(in.chkPersistRunning));
    put("dtUserTargetTime", FormatGeneralDate(s.dtUserTargetTime));
    put("dtTargetComplete", FormatGeneralDate(s.dtTargetComplete));
    return ProfileIni::writeStrings(ini, kSection, keys);
}

bool SaveSchedulerPersistOff(const QString &ini)
{
    if (gbCommandLineMode || ini.isEmpty())
        return false;
    return ProfileIni::writeString(ini, kSection, QStringLiteral("chkPersistRunning"), QStringLiteral("0"));
}
