#include "jobs/JobFiles.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "ui/support/FlexGridTableModel.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QFont>
#include <QIcon>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include "TestEnv.h"

#include <gtest/gtest.h>

namespace {

void addTask(FlexGrid &g, const QString &name)
{
    g.addItem(QStringList{"A,1,2", QString::number(g.rows() - 1), "C", name, "1", "ppt", "", "32", "pdf"},
              g.rows() - 1);
}

} // namespace

TEST(FlexGridTableModel, FollowsTheGridThroughEveryKindOfChange)
{
    FlexGrid grid(10);
    FlexGridTableModel model(&grid);
    // Fatal mode: any inconsistency between the signals and the model's answers aborts the test.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    EXPECT_EQ(model.rowCount(), 0);
    InitToDoGrid(grid);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 10);
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), "Original File(s)");
    EXPECT_TRUE(model.headerData(3, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "*");
    EXPECT_EQ(model.data(model.index(0, 1), Qt::FontRole).value<QFont>().pointSize(), 12);
    EXPECT_EQ(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy header(&model, &QAbstractItemModel::headerDataChanged);
    QSignalSpy current(&model, &FlexGridTableModel::currentModelRowChanged);
    for (const char *n : {"a", "b", "c", "d"})
        addTask(grid, n);
    EXPECT_EQ(inserted.size(), 4);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 0); // grid row 1 is model row 0
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.data(model.index(3, 3)).toString(), "d");
    EXPECT_EQ(model.data(model.index(4, 1)).toString(), "*");

    JobSession session;
    grid.setRow(4);
    current.clear();
    ASSERT_TRUE(MoveGridRow(session, grid, 1));
    EXPECT_EQ(moved.size(), 1);
    EXPECT_EQ(model.data(model.index(0, 3)).toString(), "d");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "1");
    EXPECT_EQ(model.data(model.index(1, 3)).toString(), "a");
    ASSERT_FALSE(current.isEmpty());
    EXPECT_EQ(current.last().at(0).toInt(), 0);
    grid.setRow(1);
    ASSERT_TRUE(MoveGridRow(session, grid, 3)); // downwards too
    EXPECT_EQ(model.data(model.index(2, 3)).toString(), "d");

    changed.clear();
    grid.setTextMatrix(2, 9, "+");
    grid.setCellPicture(2, 9, FlexGrid::Picture::Passed);
    grid.setCellPicture(3, 9, FlexGrid::Picture::Failed);
    ASSERT_GE(changed.size(), 1);
    EXPECT_EQ(changed.first().at(0).value<QModelIndex>(), model.index(1, 9));
    const QIcon pass = model.data(model.index(1, 9), Qt::DecorationRole).value<QIcon>();
    const QIcon fail = model.data(model.index(2, 9), Qt::DecorationRole).value<QIcon>();
    ASSERT_FALSE(pass.isNull());
    ASSERT_FALSE(fail.isNull());
    EXPECT_NE(pass.pixmap(16).toImage(), fail.pixmap(16).toImage());
    EXPECT_FALSE(model.data(model.index(0, 9), Qt::DecorationRole).isValid());

    grid.setTextMatrix(0, 9, "Passed?");
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(model.headerData(9, Qt::Horizontal).toString(), "Passed?");

    // Changes at the header row, removals, resizes and column changes.
    grid.addItem(QStringList{"new header"}, 0);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "new header");
    EXPECT_EQ(model.rowCount(), 6);
    grid.removeItem(0);
    grid.removeItem(2);
    EXPECT_EQ(model.rowCount(), 4);
    grid.moveItem(0, 2);
    grid.moveItem(3, 1);
    grid.setRows(8);
    grid.setCols(11);
    EXPECT_EQ(model.columnCount(), 11);
    grid.setRows(0);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(FlexGridTableModel, AViewFollowsALoadOfThirtyThousandTasks)
{
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/big.qvj";
    QByteArray bytes;
    for (int i = 1; i <= 30000; ++i)
        bytes += "A,1,2\t" + QByteArray::number(i) + "\tC\t/in/deck.ppt\t1\tppt\t/out/*.pdf\t32\tpdf\t+\t\r\n";
    ASSERT_TRUE(qvtest::writeFile(file, bytes));

    JobSession session;
    FlexGridTableModel model(&session.fgToDo);
    QTableView view;
    view.setModel(&model);
    view.resize(800, 600);
    view.show();

    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(LoadConversionJobFile(session, file, 1));
    const qint64 ms = timer.elapsed();
    std::printf("loading 30000 job lines with a table view attached: %lld ms\n", static_cast<long long>(ms));
    EXPECT_LT(ms, 60000); // did not hang; its speed: bench/main_window --tasks 30000 --files 0
    EXPECT_EQ(model.rowCount(), kMaxLoadedTasks + 1);
    EXPECT_EQ(model.data(model.index(kMaxLoadedTasks - 1, 2)).toString(), "S1");
    EXPECT_FALSE(model.data(model.index(5, 9), Qt::DecorationRole).value<QIcon>().isNull());
}
