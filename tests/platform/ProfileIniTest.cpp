#include "TestEnv.h"
#include "platform/ProfileIni.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

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

TEST(ProfileIni, WriteStringsGivesTheBytesOfWritingKeyByKey)
{
    QTemporaryDir dir;
    const QString one = dir.filePath("one.ini"), all = dir.filePath("all.ini");
    // Present (other case), absent, absent from the section but present in another, a value
    // that breaks its line, a key written twice.
    const ProfileIni::KeyValues keys = {{"a", "1"}, {"new", " x "}, {"b", "2"}, {"multi", "two\nlines"}, {"A", "3"}};
    // No file; the section (with a byte-order mark, a comment and a trailing blank line) before
    // another; only another section (with three marks, LF line ends and no final one).
    const QByteArray starts[] = {QByteArray(), "\xEF\xBB\xBF[S]\r\n;c\r\nA=old\r\n\r\n[T]\r\nb=0\r\n",
                                 "\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF[T]\nb=0"};
    for (const QByteArray &start : starts) {
        QFile::remove(one);
        QFile::remove(all);
        if (!start.isNull()) {
            ASSERT_TRUE(qvtest::writeFile(one, start) && qvtest::writeFile(all, start));
        }
        for (const auto &[key, value] : keys)
            ASSERT_TRUE(ProfileIni::writeString(one, "S", key, value));
        ASSERT_TRUE(ProfileIni::writeStrings(all, "S", keys));
        EXPECT_EQ(qvtest::readFile(all), qvtest::readFile(one)) << start.constData();
    }
}

TEST(ProfileIni, EveryWriteLeavesTheFileOwnerOnly)
{
    QTemporaryDir dir;
    // Owner, group and others (the "user" flags say what this process may do).
    const auto mode = [](const QString &f) { return QFileInfo(f).permissions() & QFileDevice::Permissions(0x7077); };
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const QString created = dir.filePath("new.ini");
    ASSERT_TRUE(ProfileIni::writeString(created, "Main", "Partial", "level2"));
    EXPECT_EQ(mode(created), ownerOnly);

    // A file an older version left readable by others (it may hold passwords already) becomes
    // owner-only at any write, an ordinary key or a removal, and keeps its content.
    const QString f = dir.filePath("p.ini");
    const QFileDevice::Permissions exposed = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                         QFileDevice::ReadOther;
    for (const bool remove : {false, true}) {
        ASSERT_TRUE(qvtest::writeFile(f, "[PDF]\r\nPassword=secret\r\n[Main]\r\nPartial=Level3\r\n"));
        ASSERT_TRUE(QFile::setPermissions(f, exposed));
        if (remove)
            ASSERT_TRUE(ProfileIni::deleteKey(f, "Main", "Partial"));
        else
            ASSERT_TRUE(ProfileIni::writeString(f, "mruSource", "1", "/a.ppt"));
        EXPECT_EQ(mode(f), ownerOnly) << remove;
        EXPECT_EQ(ProfileIni::readString(f, "PDF", "Password", ""), "secret");
    }

    // Tightening without a write: the bytes stay, another user's file is left alone.
    ASSERT_TRUE(QFile::setPermissions(f, exposed));
    const QByteArray before = qvtest::readFile(f);
    EXPECT_TRUE(ProfileIni::makeOwnerOnly(f));
    EXPECT_EQ(mode(f), ownerOnly);
    EXPECT_EQ(qvtest::readFile(f), before);
    EXPECT_FALSE(ProfileIni::makeOwnerOnly(dir.filePath("missing.ini")));
    if (::geteuid() == 0) {
        ASSERT_TRUE(QFile::setPermissions(f, exposed));
        ASSERT_EQ(::chown(QFile::encodeName(f).constData(), 65534, 65534), 0);
        EXPECT_FALSE(ProfileIni::makeOwnerOnly(f));
        EXPECT_EQ(mode(f), exposed);
    }
}
