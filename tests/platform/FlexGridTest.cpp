#include "platform/FlexGrid.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

TEST(FlexGrid, AddItemSplitsTabsAndKeepsCurrentRowOnItsRow)
{
    FlexGrid g(4);
    g.setRows(2);
    g.setTextMatrix(1, 1, "*");
    g.setRow(1);
    g.addItem("a\tb\tc\td\textra", 1);
    EXPECT_EQ(g.rows(), 3);
    EXPECT_EQ(g.textMatrix(1, 3), "d");
    EXPECT_EQ(g.textMatrix(2, 1), "*");
    EXPECT_EQ(g.row(), 2); // still the "*" row
    g.removeItem(1);
    EXPECT_EQ(g.textMatrix(1, 1), "*");
    EXPECT_EQ(g.textMatrix(5, 1), "");
}

TEST(TextCodec, DecodesUtf8OrWindows1252AndSplitsAnyLineEnd)
{
    EXPECT_EQ(TextCodec::decode(QByteArray("caf\xc3\xa9")), QString::fromUtf8("café"));
    EXPECT_EQ(TextCodec::decode(QByteArray("caf\xe9 \x80")), QString::fromUtf8("café €"));
    EXPECT_EQ(TextCodec::encodeWindows1252(QString::fromUtf8("é€\u4e00")), QByteArray("\xe9\x80?"));
    EXPECT_EQ(TextCodec::splitLines("a\r\nb\nc\rd\r\n"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(TextCodec::splitLines("a\n\nb"), QStringList({"a", "", "b"}));
}

TEST(FlexGrid, SetTopRowTellsViewsEveryTime)
{
    FlexGrid g(4);
    g.setRows(10);
    QList<int> told;
    QObject::connect(&g, &FlexGrid::topRowChanged, [&told](int r) { told << r; });
    g.setTopRow(5);
    g.setTopRow(5); // a view may have been scrolled meanwhile: it is told again
    EXPECT_EQ(told, QList<int>({5, 5}));
    EXPECT_EQ(g.topRow(), 5);
}
