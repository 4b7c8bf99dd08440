// Section [frmScheduler]: defaults, round trip, the exact key order, and values that cannot
// be read.
#include "TestEnv.h"

#include "common/Globals.h"
#include "platform/ProfileIni.h"
#include "scheduler/SchedulerSettings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

class SchedulerSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { gbCommandLineMode = false; }
    void TearDown() override { gbCommandLineMode = false; }
    QString ini() const { return tmp.filePath("Quorvane_SearchHistory.INI"); }
    void store(const char *key, const char *value)
    {
        ProfileIni::writeString(ini(), "frmScheduler", key, value);
    }
    // The keys of the section in file order.
    QStringList keysInFile() const
    {
        QStringList keys;
        for (const QByteArray &line : qvtest::readFile(ini()).split('\n'))
            if (line.contains('='))
                keys << QString::fromUtf8(line.left(line.indexOf('=')));
        return keys;
    }
    QTemporaryDir tmp;
};

} // namespace

TEST_F(SchedulerSettingsTest, RoundTripWritesEveryKeyInItsOrder)
{
    SchedulerSettings s;
    SchedulerInput &in = s.input;
    in.optTimeBased = true;
    in.optCalendarBased = false;
    in.txtHours = "1,5";
    in.optWeekly = true;
    in.optDaily = false;
    in.optWeekdays = true;
    in.optNumDays = false;
    in.chkDays[1] = in.chkDays[6] = true;
    in.chkPersistRunning = true;
    in.optSkip = true;
    in.optImmediately = false;
    in.cbScheduledJobFile = "/jobs/night.qvj";
    s.dtUserTargetTime = QDateTime(QDate(1899, 12, 30), QTime(19, 5));
    s.dtTargetComplete = QDateTime(QDate(2024, 3, 11), QTime(19, 5));
    ASSERT_TRUE(SaveIniFileScheduler(ini(), s));

    EXPECT_EQ(keysInFile(),
              QStringList({"optTimeBased", "optCalendarBased", "txtHours", "txtMinutes", "txtSeconds",
                           "optImmediately", "optSkip", "optDaily", "optWeekly", "optMonthly", "cbHours", "cbMinutes",
                           "cbAmPm", "optNumDays", "txtNumDays", "optWeekdays", "txtNumWeeks", "chkSun", "chkMon",
                           "chkTue", "chkWed", "chkThu", "chkFri", "chkSat", "txtDayOfMonth", "txtNumMonths",
                           "cbScheduledJobFile", "chkPersistRunning", "dtUserTargetTime", "dtTargetComplete"}));
    const QByteArray text = qvtest::readFile(ini());
    EXPECT_TRUE(text.contains("optTimeBased=True\r\n"));
    EXPECT_TRUE(text.contains("chkMon=1\r\nchkTue=0\r\n"));
    EXPECT_TRUE(text.contains("dtTargetComplete=3/11/2024 7:05:00 PM"));
    EXPECT_EQ(SchedulerReadKeys().size(), 29); // the job file is written but never read back

    const SchedulerSettings back = ReadIniFileScheduler(ini());
    EXPECT_TRUE(back.input.optTimeBased && back.input.optWeekly && back.input.optWeekdays && back.input.optSkip);
    EXPECT_EQ(back.input.txtHours, "1,5");
    EXPECT_EQ(back.input.chkDays, in.chkDays);
    EXPECT_TRUE(back.input.chkPersistRunning);
    EXPECT_EQ(back.dtTargetComplete, s.dtTargetComplete);
    EXPECT_EQ(back.dtUserTargetTime.time(), QTime(19, 5));
    EXPECT_TRUE(back.input.cbScheduledJobFile.isEmpty());
    // First use: every key missing gives its default.
    QFile::remove(ini());
    const SchedulerInput first = ReadIniFileScheduler(ini()).input;
    EXPECT_TRUE(first.optCalendarBased && first.optDaily && first.optNumDays && first.optImmediately);
    EXPECT_EQ(first.cbHours + first.cbMinutes + first.cbAmPm + first.txtHours + first.txtNumWeeks, "1200AM01");
}

TEST_F(SchedulerSettingsTest, UnreadableValuesKeepTheirDefaultsSilently)
{
    store("optTimeBased", "maybe");
    store("chkMon", "yes");
    store("chkPersistRunning", "x1");
    store("dtTargetComplete", "the 31st of Smarch");
    const SchedulerSettings s = ReadIniFileScheduler(ini());
    EXPECT_FALSE(s.input.optTimeBased);
    EXPECT_FALSE(s.input.chkDays[1]);
    EXPECT_FALSE(s.input.chkPersistRunning);
    EXPECT_EQ(s.dtTargetComplete, QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    // A number reads as the main window reads it at start, where it decides the restart.
    store("chkPersistRunning", "1.0");
    EXPECT_TRUE(ReadIniFileScheduler(ini()).input.chkPersistRunning);
}

TEST_F(SchedulerSettingsTest, InvalidInputsStoreOnlyTheRestartOffAndACommandLineRunStoresNothing)
{
    store("txtHours", "3");
    store("chkPersistRunning", "1");
    ASSERT_TRUE(SaveSchedulerPersistOff(ini()));
    EXPECT_EQ(ProfileIni::readString(ini(), "frmScheduler", "chkPersistRunning", ""), "0");
    EXPECT_EQ(ProfileIni::readString(ini(), "frmScheduler", "txtHours", ""), "3");

    gbCommandLineMode = true;
    const QByteArray before = qvtest::readFile(ini());
    EXPECT_FALSE(SaveIniFileScheduler(ini(), SchedulerSettings()));
    EXPECT_FALSE(SaveSchedulerPersistOff(ini()));
    EXPECT_EQ(qvtest::readFile(ini()), before);
}
