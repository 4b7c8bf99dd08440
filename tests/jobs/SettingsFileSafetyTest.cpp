// The settings file holds the PDF passwords: a write never leaves it half-written, and reading
// or writing it leaves it owner-only.
#include "TestEnv.h"
#include "common/Globals.h"
#include "jobs/FrmMainSettings.h"
#include "jobs/JobSession.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

const QFileDevice::Permissions kExposed =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
const QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Owner, group and others (the "user" flags say what this process may do).
QFileDevice::Permissions modeOf(const QString &f)
{
    return QFileInfo(f).permissions() & QFileDevice::Permissions(0x7077);
}

const QByteArray kOldSettings = "[frmMain]\r\nbOverridePDFSettings=TRUE\r\nsULKPDFUserPassword=old pw\r\n"
                                "[frmMainMDI]\r\nWindowState=0\r\n";

} // namespace

// Run as the child of AWriteThatFailsPartWayLeavesTheOldFileWhole, under a small file-size limit.
TEST(SettingsFileSafety, ChildWritesUnderASizeLimit)
{
    const QString ini = qEnvironmentVariable("QV_SETTINGS_CHILD");
    if (ini.isEmpty())
        GTEST_SKIP() << "only run as the child of AWriteThatFailsPartWayLeavesTheOldFileWhole";
    gbCommandLineMode = false;
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    limit.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    FrmMainSettings s;
    s.conversion.bOverridePDFSettings = true;
    s.conversion.sULKPDFUserPassword = QString(20000, u'p');
    EXPECT_FALSE(WriteFrmMainSettings(ini, s));
}

TEST(SettingsFileSafety, AWriteThatFailsPartWayLeavesTheOldFileWhole)
{
    if (!qEnvironmentVariableIsEmpty("QV_SETTINGS_CHILD"))
        GTEST_SKIP();
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Quorvane_SearchHistory.INI"));
    ASSERT_TRUE(qvtest::writeFile(ini, kOldSettings));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QV_SETTINGS_CHILD"), ini);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SettingsFileSafety.ChildWritesUnderASizeLimit")});
    ASSERT_TRUE(child.waitForFinished(30000));
    const QByteArray out = child.readAll();
    ASSERT_EQ(child.exitStatus(), QProcess::NormalExit) << out.constData();
    EXPECT_EQ(child.exitCode(), 0) << out.constData();
    EXPECT_EQ(qvtest::readFile(ini), kOldSettings);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Quorvane_SearchHistory.INI")})
        << "nothing half-written is left beside it";
}

TEST(SettingsFileSafety, ReadingAFileThatHoldsAPasswordMakesItOwnerOnly)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("settings.INI"));
    const QString plain = dir.filePath(QStringLiteral("plain.INI"));
    const QByteArray noPassword = "[frmMain]\r\nbOverridePDFSettings=TRUE\r\nsULKPDFUserPassword=\r\n";
    ASSERT_TRUE(qvtest::writeFile(plain, noPassword));
    ASSERT_TRUE(QFile::setPermissions(plain, kExposed));

    // The window's reader and the reader of a run without a window, which never writes the file.
    gbCommandLineMode = true;
    for (const bool window : {true, false}) {
        for (const QByteArray &key : {QByteArray("sULKPDFUserPassword"), QByteArray("sULKPDFMasterPassword")}) {
            const QByteArray bytes = "[frmMain]\r\nbOverridePDFSettings=TRUE\r\n" + key + "=pw\r\n";
            ASSERT_TRUE(qvtest::writeFile(ini, bytes));
            ASSERT_TRUE(QFile::setPermissions(ini, kExposed));
            if (window) {
                ReadFrmMainSettings(ini);
            } else {
                JobSession session;
                ApplyStoredCoreSettings(ini, session);
                EXPECT_FALSE(session.settings.sULKPDFUserPassword.isEmpty() &&
                             session.settings.sULKPDFMasterPassword.isEmpty());
            }
            EXPECT_EQ(modeOf(ini), kOwnerOnly) << window << key.constData();
            EXPECT_EQ(qvtest::readFile(ini), bytes) << "read, not written";
        }
        // Without a password the file is only read.
        ConversionSettings c;
        if (window)
            ReadFrmMainSettings(plain);
        else
            ReadCoreConversionSettings(plain, c);
        EXPECT_EQ(modeOf(plain), kExposed);
    }
    gbCommandLineMode = false;

    // A write of the window's settings makes an older file owner-only too.
    ASSERT_TRUE(QFile::setPermissions(plain, kExposed));
    FrmMainSettings s;
    ASSERT_TRUE(WriteFrmMainSettings(plain, s));
    EXPECT_EQ(modeOf(plain), kOwnerOnly);
}
