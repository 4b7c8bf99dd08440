// The recent-list menu and combo fillers over real widgets.
#include "TestEnv.h"

#include "common/Globals.h"
#include "common/clsMRU.h"
#include "ui/support/MruWidgets.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QMenu>
#include <QTemporaryDir>

namespace {

// Only the settings file: the menu and combo tests never read the stored keys.
class MruWidgetsTest : public ::testing::Test
{
protected:
    QString ini() const { return tmp.path() + QStringLiteral("/settings.INI"); }
    QTemporaryDir tmp;
};

} // namespace

TEST_F(MruWidgetsTest, MenuShowsNewestFirstWithAmpersandsAsTextAndDropsEntriesOfAShrunkList)
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

TEST_F(MruWidgetsTest, ComboIsFilledNewestFirstWhileEventsAreSuppressed)
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
