// Recent-lists: their stored form and the menu and combo fillers.
#include "TestEnv.h"

#include "common/Globals.h"
#include "common/MruWidgets.h"
#include "common/clsMRU.h"
#include "platform/ProfileIni.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QKeySequence>
#include <QMenu>
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

TEST_F(MruTest, MenuShowsNewestFirstWithAmpersandsAsTextAndDropsEntriesOfAShrunkList)
{
    QMenu menu;
    QAction *open = menu.addAction(QStringLiteral("&Open"));
    QAction *element0 = menu.addSeparator();
    QAction *exitAction = menu.addAction(QStringLiteral("E&xit"));
    MruMenuArray array{&menu, element0, {}};

    clsMRU mru;
    mru.Setup(5, ini(), QStringLiteral("mruFileOpen"), QStringLiteral("-1"));
    mru.AddUniqueItemToCollection(QStringLiteral("/jobs/R&D.qvj"));
    mru.AddUniqueItemToCollection(QStringLiteral("/jobs/b.qvj"));
    mru.AddUniqueItemToCollection(QStringLiteral("/jobs/c.qvj"));

    gbSuppressEvents = false;
    FillMRUMenu(array, mru);
    EXPECT_FALSE(gbSuppressEvents);
    ASSERT_EQ(CountMenuArrayItems(array, mru), 3);
    const QList<QAction *> actions = menu.actions();
    ASSERT_EQ(actions.size(), 6);
    EXPECT_EQ(actions[0], open);
    EXPECT_EQ(actions[1], element0);
    EXPECT_EQ(actions[2]->text(), QStringLiteral("&1 /jobs/c.qvj"));
    EXPECT_EQ(actions[3]->text(), QStringLiteral("&2 /jobs/b.qvj"));
    EXPECT_EQ(actions[4]->text(), QStringLiteral("&3 /jobs/R&&D.qvj"));
    EXPECT_EQ(QKeySequence::mnemonic(actions[4]->text()), QKeySequence(Qt::ALT | Qt::Key_3));
    EXPECT_EQ(actions[4]->data().toString(), QStringLiteral("/jobs/R&D.qvj"));
    EXPECT_EQ(actions[4]->property(kTagProperty).toString(), QStringLiteral("TranslateFalse"));
    EXPECT_EQ(actions[5], exitAction);

    mru.ClearAllItemsInList();
    mru.AddUniqueItemToCollection(QStringLiteral("/only.qvj"));
    FillMRUMenu(array, mru);
    EXPECT_EQ(CountMenuArrayItems(array, mru), 1);
    ASSERT_EQ(menu.actions().size(), 4);
    EXPECT_EQ(menu.actions()[2]->text(), QStringLiteral("&1 /only.qvj"));

    mru.ClearAllItemsInList();
    HideMRUMenu(array, mru);
    EXPECT_EQ(menu.actions(), (QList<QAction *>{open, element0, exitAction}));

    // Choosing an entry moves it to the top: the menu is refilled from inside the click.
    mru.AddUniqueItemToCollection(QStringLiteral("/x.qvj"));
    mru.AddUniqueItemToCollection(QStringLiteral("/y.qvj"));
    FillMRUMenu(array, mru);
    QObject::connect(&menu, &QMenu::triggered, [&](QAction *chosen) {
        mru.AddUniqueItemToCollection(chosen->data().toString());
        FillMRUMenu(array, mru);
    });
    menu.actions()[3]->trigger();
    EXPECT_EQ(menu.actions()[2]->text(), QStringLiteral("&1 /x.qvj"));
    EXPECT_EQ(menu.actions()[3]->text(), QStringLiteral("&2 /y.qvj"));
}

TEST_F(MruTest, ComboIsFilledNewestFirstWhileEventsAreSuppressed)
{
    clsMRU mru;
    mru.Setup(10, ini(), QStringLiteral("mruTarget"), QStringLiteral("-1"));
    mru.AddUniqueItemToCollection(QStringLiteral("/out/one"));
    mru.AddUniqueItemToCollection(QStringLiteral("/out/two"));

    QComboBox combo;
    combo.setEditable(true);
    combo.addItem(QStringLiteral("stale"));
    bool sawUnsuppressedChange = false;
    QObject::connect(&combo, &QComboBox::currentTextChanged,
                     [&] { sawUnsuppressedChange |= !gbSuppressEvents; });
    gbSuppressEvents = false;
    FillComboFromMRU(&combo, mru);
    EXPECT_FALSE(sawUnsuppressedChange);
    EXPECT_FALSE(gbSuppressEvents);
    ASSERT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("/out/two"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("/out/one"));
    EXPECT_EQ(combo.currentText(), QStringLiteral("/out/two"));

    // A caller that already suppresses events keeps its flag.
    gbSuppressEvents = true;
    mru.ClearAllItemsInList();
    FillComboFromMRU(&combo, mru);
    EXPECT_TRUE(gbSuppressEvents);
    EXPECT_EQ(combo.count(), 0);
    gbSuppressEvents = false;
}
