#include "QtPrinters.h"
#include "TestEnv.h"
#include "Unchangeable.h"
#include "common/FileUtils.h"
#include "common/NumberUtils.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

struct Check {
    int code;
    QString recommended;
    QString message;
};

Check check(const QString &folder)
{
    Check c{-1, QString(), QStringLiteral("untouched")};
    c.code = CheckOutputFolder(folder, c.recommended, c.message);
    return c;
}

QString docs() { return qvtest::homeDir() + "/Documents"; }

const QString kSystem = "Output folder is a system folder and should not be used.";

} // namespace

TEST(OutputFolderCheck, SystemFoldersAreRefusedAndMappedIntoDocuments)
{
    Check c = check("/etc/quorvane/out");
    EXPECT_EQ(c.code, 2);
    EXPECT_EQ(c.message, kSystem);
    EXPECT_EQ(c.recommended, docs() + "/quorvane/out");
    c = check("/usr");
    EXPECT_EQ(c.code, 2);
    EXPECT_EQ(c.recommended, docs());
    EXPECT_EQ(check("/lib64/x/").code, 2);
    EXPECT_EQ(check("/var/tmp/").code, 2);
    EXPECT_EQ(check("/proc/1").code, 2);
    // Climbing out of a harmless folder with ".." does not get past the check.
    c = check(docs() + "/../../../../../../../../etc/new");
    EXPECT_EQ(c.code, 2);
    EXPECT_EQ(c.recommended, docs() + "/new");
}

TEST(OutputFolderCheck, RootAndProfileParentsAreRefused)
{
    Check c = check(" / ");
    EXPECT_EQ(c.code, 4);
    EXPECT_EQ(c.message, "Output folder: You should not write or create sub directories in the system root directory.");
    EXPECT_EQ(c.recommended, docs());
    c = check("/no-such-top-folder/out");
    EXPECT_EQ(c.code, 4);
    EXPECT_EQ(c.recommended, docs() + "/no-such-top-folder/out");
    c = check("/home");
    EXPECT_EQ(c.code, 3);
    EXPECT_EQ(c.message, "Output folder is a protected folder and should not be used.");
    EXPECT_EQ(c.recommended, docs());
    // The folder that holds this user's profile is protected; the profile itself is fine.
    const QString parent = QFileInfo(qvtest::homeDir()).absolutePath();
    EXPECT_EQ(check(parent).code, 3);
    c = check("%USERPROFILE%");
    EXPECT_EQ(c.code, 0);
    EXPECT_EQ(c.recommended, qvtest::homeDir());
    EXPECT_EQ(c.message, "untouched");
}

TEST(OutputFolderCheck, NewFoldersAreJudgedByTheirNearestExistingFolder)
{
    Check c = check("%MYDOCUMENTS%/Converted/2026/");
    EXPECT_EQ(c.code, 0);
    EXPECT_EQ(c.recommended, docs() + "/Converted/2026");
    EXPECT_FALSE(QFileInfo::exists(docs() + "/Converted"));

    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/ro"));
    Unchangeable lock(dir.path() + "/ro");
    if (!lock.ok()) {
        GTEST_SKIP() << "cannot make a folder unchangeable here";
    }
    c = check(dir.path() + "/ro/new");
    EXPECT_EQ(c.code, 5);
    EXPECT_EQ(c.message, "Output folder is not writeable.");
    EXPECT_EQ(c.recommended, docs());
}

TEST(NumberUtils, ConversionsThatNeverFailTheCaller)
{
    EXPECT_DOUBLE_EQ(StringToDouble(" 2.5 ", 0), 2.5);
    EXPECT_DOUBLE_EQ(StringToDouble("1,5", 0), 1.5);
    EXPECT_DOUBLE_EQ(StringToDouble("-0.25", 0), -0.25);
    EXPECT_DOUBLE_EQ(StringToDouble("abc", 7), 7);
    EXPECT_DOUBLE_EQ(StringToDouble("", 3), 3);
    EXPECT_DOUBLE_EQ(StringToDouble("nan", 4), 4);
    double d = 9;
    EXPECT_FALSE(bTryCDbl("12x", d));
    EXPECT_DOUBLE_EQ(d, 9);
    int l = 0;
    EXPECT_TRUE(bTryCLng(" 4.6 ", l));
    EXPECT_EQ(l, 5);
    EXPECT_TRUE(bTryCLng("4.5", l));
    EXPECT_EQ(l, 4);
    EXPECT_TRUE(bTryCLng("5.5", l));
    EXPECT_EQ(l, 6);
    EXPECT_TRUE(bTryCLng("-3", l));
    EXPECT_EQ(l, -3);
    EXPECT_FALSE(bTryCLng("3000000000", l));
    EXPECT_FALSE(bTryCLng("three", l));
    EXPECT_EQ(l, -3);
    EXPECT_EQ(FormatSeconds(0.04), "0.0");
    EXPECT_EQ(FormatSeconds(0.25), "0.3");
    EXPECT_EQ(FormatSeconds(1234.56), "1234.6");
    EXPECT_EQ(FormatSeconds(-0.04), "0.0");
}
