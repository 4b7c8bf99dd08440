#include "TestEnv.h"
#include "platform/ProfileIni.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

TEST(ProfileIni, ReadsCaseInsensitivelyTrimsAndDefaults)
{
    QTemporaryDir dir;
    const QString f = dir.filePath("a.ini");
    ASSERT_TRUE(qvtest::writeFile(f, "[Main]\r\n  Key1 =  value one  \r\n[Other]\nkey1=x\n"));
    EXPECT_EQ(ProfileIni::readString(f, "main", "KEY1", "d"), "value one");
    EXPECT_EQ(ProfileIni::readString(f, "Other", "key1", "d"), "x");
    EXPECT_EQ(ProfileIni::readString(f, "Main", "missing", "d"), "d");
    EXPECT_EQ(ProfileIni::readString(dir.filePath("none.ini"), "Main", "k", "dd"), "dd");
    EXPECT_EQ(ProfileIni::readInt(f, "Main", "Key1", 7), 7);
}

TEST(ProfileIni, WritesInPlaceAppendsToSectionAndCreatesSections)
{
    QTemporaryDir dir;
    const QString f = dir.filePath("b.ini");
    ASSERT_TRUE(ProfileIni::writeString(f, "S1", "a", "1"));
    ASSERT_TRUE(ProfileIni::writeString(f, "S2", "b", "2"));
    ASSERT_TRUE(ProfileIni::writeString(f, "s1", "c", "3"));
    ASSERT_TRUE(ProfileIni::writeString(f, "S1", "A", "-42"));
    EXPECT_EQ(qvtest::readFile(f), QByteArray("[S1]\r\nA=-42\r\nc=3\r\n[S2]\r\nb=2\r\n"));
    EXPECT_EQ(ProfileIni::readInt(f, "S1", "a", 0), -42);
    // The folder is never created.
    EXPECT_FALSE(ProfileIni::writeString(dir.filePath("no/such/c.ini"), "S", "k", "v"));
}

TEST(ProfileIni, PrivateFilesAreOwnerOnly)
{
    QTemporaryDir dir;
    const QString f = dir.filePath("p.ini");
    ASSERT_TRUE(ProfileIni::writeString(f, "PDF", "Password", "secret", ProfileIni::Access::Private));
    EXPECT_EQ(QFileInfo(f).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
}
