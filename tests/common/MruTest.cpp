// Recent-lists: their stored form.
#include "TestEnv.h"

#include "common/Globals.h"
#include "common/clsMRU.h"
#include "platform/ProfileIni.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

class MruTest : public ::testing::Test
{
protected:
    QString ini() const { return tmp.path() + QStringLiteral("/settings.INI"); }
    QString key(int i) const
    {
        return ProfileIni::readString(ini(), QStringLiteral("mruSource"),
                                      QStringLiteral("mruSource") + QString::number(i),
                                      QStringLiteral("(none)"));
    }
    void store(int i, const QString &v)
    {
        ProfileIni::writeString(ini(), QStringLiteral("mruSource"),
                                QStringLiteral("mruSource") + QString::number(i), v);
    }
    QTemporaryDir tmp;
};

} // namespace

TEST_F(MruTest, ReAddingInOtherCaseMovesTheEntryToNewestAndFullListDropsOldest)
{
    clsMRU mru;
    mru.Setup(5, ini(), QStringLiteral("mruSource"), QStringLiteral("-1"));
    for (const char *v : {"/a.ppt", "/b.ppt", "/c.ppt"})
        mru.AddUniqueItemToCollection(QString::fromLatin1(v));
    mru.AddUniqueItemToCollection(QStringLiteral("/A.PPT"));
    EXPECT_EQ(mru.clnMRU(), (QStringList{"/b.ppt", "/c.ppt", "/A.PPT"}));
    EXPECT_TRUE(mru.bItemExistsInMRU(QStringLiteral("/a.ppt"), false));
    EXPECT_FALSE(mru.bItemExistsInMRU(QStringLiteral("/a.ppt"), true));

    for (const char *v : {"/d", "/e", "/f"})
        mru.AddUniqueItemToCollection(QString::fromLatin1(v));
    EXPECT_EQ(mru.clnMRU(), (QStringList{"/c.ppt", "/A.PPT", "/d", "/e", "/f"}));
    EXPECT_EQ(mru.Newest(1), QStringLiteral("/f"));
    EXPECT_EQ(mru.Newest(5), QStringLiteral("/c.ppt"));
    EXPECT_EQ(mru.Newest(6), QString());
}

TEST_F(MruTest, StoredFormEndsWithMarkerAndOlderKeysBeyondItAreNotRead)
{
    clsMRU mru;
    mru.Setup(10, ini(), QStringLiteral("mruSource"), QStringLiteral("-1"));
    for (int i = 1; i <= 6; ++i)
        mru.AddUniqueItemToCollection(QStringLiteral("/old%1").arg(i));
    mru.ShutDown();
    EXPECT_EQ(key(6), QStringLiteral("/old6"));
    EXPECT_EQ(key(7), QStringLiteral("MRU_DONE"));

    clsMRU again;
    again.Setup(10, ini(), QStringLiteral("mruSource"), QStringLiteral("-1"));
    EXPECT_EQ(again.Count(), 6);
    again.ClearAllItemsInList();
    again.AddUniqueItemToCollection(QStringLiteral("/new1"));
    again.AddUniqueItemToCollection(QStringLiteral("/new2"));
    again.WriteCollectionToIniFile();
    EXPECT_EQ(key(1), QStringLiteral("/new1"));
    EXPECT_EQ(key(2), QStringLiteral("/new2"));
    EXPECT_EQ(key(3), QStringLiteral("MRU_DONE"));
    EXPECT_EQ(key(4), QStringLiteral("/old4")); // left as it was

    again.ReadIniFileIntoCollection();
    EXPECT_EQ(again.clnMRU(), (QStringList{"/new1", "/new2"}));
}

TEST_F(MruTest, SetupAloneNeverWritesAndDefaultsFillOnlyAnEmptyList)
{
    clsMRU mru;
    mru.Setup(5, ini(), QStringLiteral("mruSource"), QStringLiteral("x,y,,z"));
    EXPECT_EQ(mru.clnMRU(), (QStringList{"x", "y", "z"}));
    EXPECT_FALSE(mru.isChanged());
    mru.ShutDown();
    EXPECT_FALSE(QFile::exists(ini()));

    store(1, QStringLiteral("/kept"));
    store(2, QStringLiteral("MRU_DONE"));
    clsMRU stored;
    stored.Setup(5, ini(), QStringLiteral("mruSource"), QStringLiteral("x,y"));
    EXPECT_EQ(stored.clnMRU(), QStringList{"/kept"});
}

TEST_F(MruTest, ValuesTheFileCannotGiveBackAreNotStored)
{
    clsMRU mru;
    mru.Setup(5, ini(), QStringLiteral("mruSource"), QStringLiteral("-1"));
    mru.AddUniqueItemToCollection(QStringLiteral("/first"));
    mru.AddUniqueItemToCollection(QStringLiteral("MRU_DONE"));
    mru.AddUniqueItemToCollection(QStringLiteral(" +-!# "));
    mru.AddUniqueItemToCollection(QStringLiteral("/x\r\n[Main]\r\nPartial=forged"));
    mru.AddUniqueItemToCollection(QString());
    mru.AddUniqueItemToCollection(QStringLiteral("/second"));
    EXPECT_EQ(mru.clnMRU(), (QStringList{"/first", "/second"}));
    mru.ShutDown();

    clsMRU back;
    back.Setup(5, ini(), QStringLiteral("mruSource"), QStringLiteral("-1"));
    EXPECT_EQ(back.clnMRU(), (QStringList{"/first", "/second"}));
    EXPECT_EQ(ProfileIni::readString(ini(), QStringLiteral("Main"), QStringLiteral("Partial"),
                                     QStringLiteral("none")),
              QStringLiteral("none"));
}

TEST_F(MruTest, StoredListLongerThanMaximumKeepsItsNewestEntries)
{
    for (int i = 1; i <= 8; ++i)
        store(i, QStringLiteral("/e%1").arg(i));
    store(9, QStringLiteral("MRU_DONE"));
    clsMRU mru;
    mru.Setup(5, ini(), QStringLiteral("mruSource"), QStringLiteral("-1"));
    EXPECT_EQ(mru.clnMRU(), (QStringList{"/e4", "/e5", "/e6", "/e7", "/e8"}));

    // Duplicates in the file collapse to the later position.
    store(1, QStringLiteral("/E8"));
    store(2, QStringLiteral("MRU_DONE"));
    mru.ReadIniFileIntoCollection();
    EXPECT_EQ(mru.clnMRU(), QStringList{"/E8"});
}
