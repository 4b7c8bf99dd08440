// The real window's grids for a keyboard user: Tab and Shift+Tab leave them, arrows and
// Home/End/Page keys move the row, and Add leaves the focus where the user gave it.
#include "../../language/TranslatorTestSupport.h"
#include "WindowTestSupport.h"

#include "jobs/JobSession.h"
#include "ui/main/JobGridView.h"
#include "ui/main/SessionController.h"
#include "ui/main/editor/TaskEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <utility>

namespace {

class GridKeyboardTest : public TranslatorFixture
{
protected:
    void SetUp() override
    {
        TranslatorFixture::SetUp();
        InitializeTranslator(true);
        w = openMainWindow(&prompter, &picker, nullptr);
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get(), 60000));
    }
    void TearDown() override
    {
        w.reset();
        gbSuppressEvents = false;
        TranslatorFixture::TearDown();
    }
    QWidget *focus() const { return QApplication::focusWidget(); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(focus(), k, mods); }
    int row() const { return w->session().fgToDo.row(); }

    CountingPicker picker;
    std::unique_ptr<frmMain> w;
};

} // namespace

TEST_F(GridKeyboardTest, TabLeavesTheGridsArrowsMoveInsideAndAddKeepsTheFocus)
{
    const QString deck = qvtest::dataDir() + QStringLiteral("/quarterly-review.fodp");
    TaskEditor &ed = *w->editor;
    ed.cbFileTypeTarget->setCurrentIndex(ed.cbFileTypeTarget->findData(32));
    for (int i = 1; i <= 3; ++i) {
        ed.cbOriginalFile->setEditText(deck);
        ed.cbTargetFile->setEditText(tmp.path() + QStringLiteral("/out%1.pdf").arg(i));
        w->cmdAdd->setFocus();
        key(Qt::Key_Space);
        ASSERT_EQ(w->session().fgToDo.rows(), i + 2);
        EXPECT_EQ(focus(), w->cmdAdd) << "after Add " << i;
    }

    // From a task row one Tab reaches the button beside the grid, one Shift+Tab the editor.
    JobGridView *grid = w->fgToDo;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 3)).center());
    ASSERT_EQ(focus(), grid);
    key(Qt::Key_Tab);
    EXPECT_EQ(focus(), w->cmdAdd);
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(focus(), grid);
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(ed.isAncestorOf(focus())) << (focus() ? focus()->objectName().toStdString() : "none");
    EXPECT_EQ(row(), 1);

    // Inside, the row moves: down, End to the new-task row, Home back, a page down.
    grid->setFocus();
    const std::pair<Qt::Key, int> moves[] = {{Qt::Key_Down, 2}, {Qt::Key_End, 4}, {Qt::Key_Home, 1}, {Qt::Key_PageDown, 4}, {Qt::Key_Up, 3}};
    for (const auto &[k, to] : moves) {
        key(k);
        EXPECT_EQ(row(), to) << "key " << k;
    }

    // The log grid lets Tab through the same way.
    w->selectTab(2);
    w->fgLog->setFocus();
    ASSERT_EQ(focus(), w->fgLog);
    key(Qt::Key_Tab);
    EXPECT_NE(focus(), w->fgLog);
    w->fgLog->setFocus();
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_NE(focus(), w->fgLog);
}
