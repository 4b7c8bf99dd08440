// Settings-file location, the registry stand-in and the operating-system facts.
#include "TestEnv.h"
#include "Unchangeable.h"

#include "common/Globals.h"
#include "common/OsInfo.h"
#include "common/RegistryStore.h"
#include "common/SettingsLocation.h"
#include "platform/ProfileIni.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

// Points an environment variable elsewhere for one test and puts it back afterwards.
class EnvOverride
{
public:
    EnvOverride(const char *name, const QString &value)
        : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value.toUtf8());
    }
    ~EnvOverride()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_had;
};

class SettingsLocationTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetIniFilePathCache(); }
    void TearDown() override { ResetIniFilePathCache(); }
    QTemporaryDir tmp;
};

QString probeValue(const QString &ini)
{
    return ProfileIni::readString(ini, QStringLiteral("Main"), QStringLiteral("Partial"), {});
}

} // namespace

TEST_F(SettingsLocationTest, SettingsFileLivesInTheMakersFolderBelowAppDataAndIsKept)
{
    EnvOverride cfg("XDG_CONFIG_HOME", tmp.path() + QStringLiteral("/cfg"));
    const QString expected =
        tmp.path() + QStringLiteral("/cfg/Ornwell, Inc/Quorvane/Quorvane_SearchHistory.INI");

    EXPECT_EQ(GetIniFilePathForProduct(kQuorvaneProductId), expected);
    EXPECT_EQ(GetProductIniBaseName(), QStringLiteral("Quorvane_SearchHistory"));
    EXPECT_EQ(probeValue(expected), QStringLiteral("Level3"));
    // It will hold the PDF passwords: created owner-only, whatever the umask.
    EXPECT_EQ(QFile::permissions(expected) & (QFile::ReadGroup | QFile::ReadOther), 0);

    // The second request neither probes nor writes: the removed file stays removed.
    ASSERT_TRUE(QFile::remove(expected));
    EXPECT_EQ(GetIniFilePathForProduct(kQuorvaneProductId), expected);
    EXPECT_FALSE(QFile::exists(expected));
}

TEST_F(SettingsLocationTest, SettingsFolderThatBelongsToAnotherUserIsRefused)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    EnvOverride cfg("XDG_CONFIG_HOME", tmp.path() + QStringLiteral("/cfg"));
    const QString folder = tmp.path() + QStringLiteral("/cfg/Ornwell, Inc/Quorvane");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
    EXPECT_EQ(GetIniFilePathForProduct(kQuorvaneProductId), QString());
    EXPECT_EQ(RefusedSettingsFolder(), folder);
    EXPECT_TRUE(QDir(folder).isEmpty());
}

TEST_F(SettingsLocationTest, UnwritableAppDataGivesNoPathAndNoFallback)
{
    const QString cfg = tmp.path() + QStringLiteral("/cfg");
    ASSERT_TRUE(QDir().mkpath(cfg));
    EnvOverride env("XDG_CONFIG_HOME", cfg);
    EnvOverride program("QV_PROGRAM_FOLDER", tmp.path()); // writable, but not a candidate
    Unchangeable locked(cfg);
    if (!locked.ok())
        GTEST_SKIP() << "cannot make a folder unwritable here";

    EXPECT_EQ(GetIniFilePathForProduct(kQuorvaneProductId), QString());
    EXPECT_FALSE(QFile::exists(tmp.path() + QStringLiteral("/Quorvane_SearchHistory.INI")));
    // Nothing was kept: once the folder is writable the search succeeds.
}

TEST_F(SettingsLocationTest, SearchWithoutFolderNumberPrefersProgramFolderThenLocalData)
{
    const QString program = tmp.path() + QStringLiteral("/program");
    ASSERT_TRUE(QDir().mkpath(program));
    EnvOverride prog("QV_PROGRAM_FOLDER", program);
    EnvOverride cfg("XDG_CONFIG_HOME", tmp.path() + QStringLiteral("/cfg"));
    EnvOverride data("XDG_DATA_HOME", tmp.path() + QStringLiteral("/data"));
    const QString file = QStringLiteral("Test.INI");

    EXPECT_EQ(ResolveIniFilePath(file, QStringLiteral("Ornwell, Inc"), QStringLiteral("Quorvane"), 0),
              program + QStringLiteral("/Test.INI"));

    ResetIniFilePathCache();
    QFile::remove(program + QStringLiteral("/Test.INI"));
    Unchangeable locked(program);
    if (!locked.ok())
        GTEST_SKIP() << "cannot make a folder unwritable here";
    // 46 (shared documents) has no Linux folder; 28 (local data) is next.
    EXPECT_EQ(ResolveIniFilePath(file, QStringLiteral("Ornwell, Inc"), QStringLiteral("Quorvane"), 0),
              tmp.path() + QStringLiteral("/data/Ornwell, Inc/Quorvane/Test.INI"));
}

TEST_F(SettingsLocationTest, ProbeRefusesFailureTextsAndUnwritableFilesAndKeepsOtherKeys)
{
    const QString bogus = QStringLiteral("Folder Not Valid On this OS/Ornwell, Inc/Quorvane/x.INI");
    EXPECT_FALSE(bCanWriteIniFile(bogus));
    EXPECT_FALSE(bCanWriteIniFile(tmp.path() + QStringLiteral("/special folder does not exist/x.INI")));
    EXPECT_FALSE(QDir(tmp.path() + QStringLiteral("/special folder does not exist")).exists());

    const QString ini = tmp.path() + QStringLiteral("/deep/er/settings.INI");
    ASSERT_TRUE(qvtest::writeFile(ini, "[frmMain]\r\nWidth=1234\r\n"));
    EXPECT_TRUE(bCanWriteIniFile(ini));
    EXPECT_EQ(ProfileIni::readString(ini, QStringLiteral("frmMain"), QStringLiteral("Width"), {}),
              QStringLiteral("1234"));
    EXPECT_EQ(probeValue(ini), QStringLiteral("Level3"));

    const QString fresh = tmp.path() + QStringLiteral("/a/b/c/new.INI");
    EXPECT_TRUE(bCanWriteIniFile(fresh));
    EXPECT_TRUE(QFile::exists(fresh));

    Unchangeable locked(ini);
    if (!locked.ok())
        GTEST_SKIP() << "cannot make a file unwritable here";
    EXPECT_FALSE(bCanWriteIniFile(ini));
}

TEST_F(SettingsLocationTest, ProductNames)
{
    EXPECT_EQ(GetProductDisplayName(19), QStringLiteral("Quorvane"));
    EXPECT_EQ(GetProductDisplayName(7), QStringLiteral("ABC"));
    EnvOverride cfg("XDG_CONFIG_HOME", tmp.path());
    EXPECT_EQ(GetIniFilePathForProduct(7), tmp.path() + QStringLiteral("/Ornwell, Inc/ABC/ABC.INI"));
    EXPECT_EQ(GetProductIniBaseName(), QStringLiteral("ABC"));
    ResetIniFilePathCache();
    GetIniFilePathForProduct(kQuorvaneProductId);
}

TEST(RegistryStoreTest, ValuesLiveBesideTheSettingsFile)
{
    QTemporaryDir tmp;
    const QString saved = G_IniFilePath;
    G_IniFilePath = tmp.path() + QStringLiteral("/Quorvane_SearchHistory.INI");

    EXPECT_EQ(GetSetting(QStringLiteral("Quorvane"), QStringLiteral("Settings"),
                         QStringLiteral("bDInstalled"), QStringLiteral("False")),
              QStringLiteral("False"));
    EXPECT_TRUE(SaveSetting(QStringLiteral("Quorvane"), QStringLiteral("Settings"),
                            QStringLiteral("bDInstalled"), QStringLiteral("True")));
    EXPECT_EQ(GetSetting(QStringLiteral("Quorvane"), QStringLiteral("Settings"),
                         QStringLiteral("bDInstalled")),
              QStringLiteral("True"));
    EXPECT_EQ(RegistryStorePath(), tmp.path() + QStringLiteral("/Quorvane_Registry.INI"));
    EXPECT_TRUE(QFile::exists(RegistryStorePath()));
    EXPECT_FALSE(QFile::exists(G_IniFilePath)); // the settings file itself is not touched
    // Another application's value of the same name is separate.
    EXPECT_EQ(GetSetting(QStringLiteral("Other"), QStringLiteral("Settings"),
                         QStringLiteral("bDInstalled"), QStringLiteral("x")),
              QStringLiteral("x"));
    // A line break would forge further lines of the file.
    EXPECT_FALSE(SaveSetting(QStringLiteral("Quorvane"), QStringLiteral("Settings"),
                             QStringLiteral("k"), QStringLiteral("a\r\n[Main]\r\nPartial=x")));
    EXPECT_EQ(ProfileIni::readString(RegistryStorePath(), QStringLiteral("Main"),
                                     QStringLiteral("Partial"), QStringLiteral("none")),
              QStringLiteral("none"));

    G_IniFilePath.clear();
    EXPECT_EQ(GetSetting(QStringLiteral("Quorvane"), QStringLiteral("Settings"),
                         QStringLiteral("bDInstalled"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_FALSE(SaveSetting(QStringLiteral("Quorvane"), QStringLiteral("Settings"),
                             QStringLiteral("bDInstalled"), QStringLiteral("True")));
    G_IniFilePath = saved;
}

TEST(OsInfoTest, DescriptionFromOsReleaseAndUname)
{
    const QString debian = QStringLiteral(
        "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n"
        "VERSION_ID=\"12\"\nID=debian\n");
    EXPECT_EQ(DescribeOperatingSystem(debian, QStringLiteral("Linux"),
                                      QStringLiteral("6.1.0-18-amd64"), QStringLiteral("x86_64")),
              QStringLiteral("Debian GNU/Linux 12 (bookworm), 64-bit (Linux 6.1.0-18-amd64)"));
    // No PRETTY_NAME: NAME and VERSION; single quotes and escapes; a 32-bit machine.
    EXPECT_EQ(DescribeOperatingSystem(QStringLiteral("NAME='Tiny \\\"OS\\\"'\r\nVERSION=3.1\r\n"),
                                      QStringLiteral("Linux"), QStringLiteral("5.10"),
                                      QStringLiteral("i686")),
              QStringLiteral("Tiny \"OS\" 3.1, 32-bit (Linux 5.10)"));
    EXPECT_EQ(DescribeOperatingSystem(QString(), QStringLiteral("Linux"), QStringLiteral("6.1"),
                                      QStringLiteral("aarch64")),
              QStringLiteral("Linux 6.1, 64-bit"));
    EXPECT_EQ(DescribeOperatingSystem({}, {}, {}, {}), QString());

    // This machine: something real, kept between calls.
    const QString here = GetWinVerInfo();
    EXPECT_FALSE(here.isEmpty());
    EXPECT_NE(here, QStringLiteral("GetWinVerInfo Error 2"));
    EXPECT_EQ(GetWinVerInfo(), here);
    EXPECT_TRUE(bIsVistaOrLater());
    EXPECT_FALSE(bIsWindowsServer());
}
