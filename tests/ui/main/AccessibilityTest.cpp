// The main window as a screen reader meets it: its accessibility tree is served while a run
// converts real decks (how promptly, against at rest, bench/main_window --a11y measures); every
// stop of its Tab cycle is named.
#include "../../language/TranslatorTestSupport.h"
#include "AccessibleTreeReader.h"

#include "converter/ConversionControl.h"
#include "jobs/JobSession.h"
#include "jobs/StatusPanels.h"
#include "ui/main/SessionController.h"
#include "ui/main/editor/TaskEditor.h"
#include "ui/main/frame/MainWindowStart.h"
#include "ui/main/frame/frmMainMDI.h"
#include "ui/main/frmMain.h"
#include "ui/support/QtTranslations.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QToolBar>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

using TreeReader = AccessibleTreeReader;

class TreeDuringRun : public TranslatorFixture, public ::testing::WithParamInterface<int>
{
protected:
    QString path(const QString &name) const { return tmp.path() + QLatin1Char('/') + name; }
};

} // namespace

TEST_P(TreeDuringRun, IsReadAsFastAsAtRestWithOneWorkerAndWithThePool)
{
    InitializeTranslator(true);
    RecordingStatusPanels panels;
    frmMain m;
    m.setPrompter(&prompter);
    m.setStatusPanels(&panels);
    m.Form_Load();
    m.show();
    const QString demo = qvtest::sourceDir() + QStringLiteral("/data/Demo Data/");
    ASSERT_TRUE(QDir().mkpath(path("in")));
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(QFile::copy(demo + (i % 2 ? "Product Overview.pptx" : "Quarterly Review.pptx"),
                                path(QStringLiteral("in/deck%1.pptx").arg(i, 2, 10, QLatin1Char('0')))));
    const QByteArray job = "A,1,2\t1\tC\t" + path("in/*.*").toUtf8() + "\t3\tppt\t" + path("out/*.png").toUtf8()
        + "\t18\tpng\t\t\r\n\t*\t\t\t\t\t\t\t\t\t\r\n";
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), job));
    ASSERT_TRUE(m.controller()->openJob(path("job.qvj")));
    m.session().VelmoraX1()->setPoolSize(GetParam());

    // At rest the window idles in its event loop while the tree is read.
    TreeReader reader(&m);
    constexpr int kPasses = 5;
    int nodes = 0;
    qint64 restMs = 0;
    QEventLoop idle;
    std::thread atRest([&] {
        reader.read(nodes); // the first read makes the interfaces
        restMs = reader.medianRead(kPasses, nodes);
        QMetaObject::invokeMethod(&idle, &QEventLoop::quit, Qt::QueuedConnection);
    });
    idle.exec();
    atRest.join();
    ASSERT_GT(nodes, 50);

    // The same read half a second into a run begun with a click on Convert.
    qint64 runMs = -1;
    bool readWithinRun = false;
    std::atomic<bool> readDone = false;
    std::thread duringRun([&] {
        const auto done = qScopeGuard([&] {
            readDone = true;
            QMetaObject::invokeMethod(&m, [] {}, Qt::QueuedConnection); // wakes the wait below
        });
        bool running = false;
        for (int i = 0; i < 3000 && !running; ++i) {
            reader.inWindow([&] { running = m.session().bRunning; });
            QThread::msleep(10);
        }
        if (!running)
            return;
        // Well into the run: its first deck is converted.
        for (int i = 0; i < 12000 && QDir(path("out")).entryList({QStringLiteral("*.png")}).isEmpty(); ++i)
            QThread::msleep(10);
        runMs = reader.medianRead(kPasses, nodes);
        reader.inWindow([&] { readWithinRun = m.session().bRunning; });
    });
    QTest::mouseClick(m.tbMain->widgetForAction(m.tbButtons.value(QStringLiteral("keyConvert"))), Qt::LeftButton);
    // A read that outlasts the run is still served.
    while (!readDone)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    duringRun.join();

    EXPECT_EQ(m.session().fgToDo.textMatrix(1, 9), "+");
    ASSERT_GE(runMs, 0) << "the run never began";
    EXPECT_TRUE(readWithinRun) << "the read lasted past the end of the run (" << runMs << " ms, at rest " << restMs
                               << " ms for " << nodes << " nodes)";
}

INSTANTIATE_TEST_SUITE_P(Workers, TreeDuringRun, ::testing::Values(1, 3));

namespace {

class TabCycle : public TranslatorFixture, public ::testing::WithParamInterface<const char *>
{
protected:
    void TearDown() override
    {
        ApplyQtTranslations(QStringLiteral("English"));
        TranslatorFixture::TearDown();
    }
};

bool named(QAccessibleInterface *i)
{
    return !i->text(QAccessible::Name).isEmpty() || !i->relations(QAccessible::Label).isEmpty();
}

QString describe(QAccessibleInterface *i)
{
    const QObject *o = i->object();
    return o ? QStringLiteral("%1 (%2)").arg(o->objectName(), QLatin1String(o->metaObject()->className())) : QString();
}

// What a screen reader reading the tree from the top finds holding the focus: the outermost
// node that says it is focused (a container whose focus goes to a part of it says so too).
// It needs a name, or a label whose buddy it is; so does the focused widget itself.
std::string unnamedFocus(QWidget *window)
{
    QStringList unnamed;
    QList<QAccessibleInterface *> todo{QAccessible::queryAccessibleInterface(window)};
    while (!todo.isEmpty()) {
        QAccessibleInterface *i = todo.takeLast();
        if (!i || i->state().invisible)
            continue;
        if (i->state().focused) {
            if (!named(i))
                unnamed << describe(i);
            continue;
        }
        if (i->role() == QAccessible::Table || i->role() == QAccessible::List)
            continue;
        for (int k = 0; k < i->childCount(); ++k)
            todo << i->child(k);
    }
    if (QAccessibleInterface *f = QAccessible::queryAccessibleInterface(QApplication::focusWidget()); f && !named(f))
        unnamed << describe(f);
    return unnamed.join(u',').toStdString();
}

} // namespace

TEST_P(TabCycle, EveryStopOfEachPanelIsNamed)
{
    startInShippedLanguage(QLatin1String(GetParam()));
    std::unique_ptr<frmMainMDI> frame(ShowMainMDIWithSplash());
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000));
    frmMain *m = frame->mainWindow();
    TaskEditor *ed = m->editor;
    ed->cbOriginalFile->setEditText(tmp.path() + QStringLiteral("/*.pptx")); // the folder boxes too

    // The conversion panel, then search and replace, then the launch frame.
    for (int panel = 0; panel < 3; ++panel) {
        if (panel > 0) {
            QTest::mouseClick(ed->rbActionToDo[1], Qt::LeftButton);
            ed->cbSpecialProcesses->setFocus();
            QTest::keyClick(ed->cbSpecialProcesses, Qt::Key_Down);
            if (panel == 1)
                QTest::keyClick(ed->cbSpecialProcesses, Qt::Key_Down);
            ASSERT_EQ(ed->selectedSpecialProcessId(), panel == 1 ? 56 : 60);
        }
        ed->rbActionToDo[panel > 0]->setFocus();
        QWidget *start = QApplication::focusWidget();
        ASSERT_TRUE(start);
        QSet<QWidget *> stops;
        for (int k = 0; k < 100 && (k == 0 || QApplication::focusWidget() != start); ++k) {
            QWidget *at = QApplication::focusWidget();
            stops.insert(at);
            EXPECT_EQ(unnamedFocus(frame.get()), "") << "panel " << panel << " after " << k << " Tabs";
            QTest::keyClick(at, Qt::Key_Tab);
        }
        EXPECT_EQ(QApplication::focusWidget(), start) << "the cycle comes back";
        EXPECT_TRUE(stops.contains(m->ts->tabBar()));
        EXPECT_TRUE(stops.contains(m->cmdAdd));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, TabCycle, ::testing::Values("English", "German"));
