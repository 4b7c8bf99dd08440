// The real box that asks before a changed job is dropped: Esc, the box's close button and a close
// of the window while it is up keep the job; only No drops it.
#include "../../language/TranslatorTestSupport.h"
#include "WindowTestSupport.h"

#include "jobs/JobSession.h"
#include "ui/main/frame/MainWindowStart.h"
#include "ui/main/JobGridView.h"
#include "ui/main/frame/frmMainMDI.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

namespace {

// Runs step, from the box's own event loop as a user would, on the first message box shown within
// the time given; with `over`, only on a box shown on top of that one while it is still up.
void onBox(std::function<void(QMessageBox *)> step, int withinMs = 5000, QWidget *over = nullptr)
{
    auto *timer = new QTimer;
    const QDeadlineTimer deadline(withinMs);
    const QPointer<QWidget> under = over;
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        const bool gone = over && (!under || !under->isVisible());
        const bool shown = !gone && box && box != over && box->isVisible();
        if (!shown && !gone && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (shown)
            step(box);
    });
    timer->start(10);
}

class SaveQuestionBoxTest : public TranslatorFixture
{
protected:
    void SetUp() override
    {
        TranslatorFixture::SetUp();
        InitializeTranslator(true);
        QByteArray rows;
        for (int i = 1; i <= 2; ++i)
            rows += QStringList{"", QString::number(i), "S55", "/in/a.txt", "1", "TXT", "/out/a.txt", "1", "TXT", ""}
                        .join(u'\t').toUtf8() + "\r\n";
        rows += "\t*\t\t\t\t\t\t\t\t\r\n";
        job = tmp.path() + QStringLiteral("/job.qvj");
        ASSERT_TRUE(qvtest::writeFile(job, rows));
        frame.reset(ShowMainMDIWithSplash(job));
        main = frame->mainWindow();
        main->setPicker(&picker); // the question stays Qt's real box
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        main->session().markJobChanged();
    }
    void TearDown() override
    {
        frame.reset();
        TranslatorFixture::TearDown();
    }
    // The job as it was loaded and changed: its two tasks, its name, the question still due.
    void expectJobKept(const char *after)
    {
        JobSession &s = main->session();
        EXPECT_EQ(s.fgToDo.rows(), 4) << after;
        EXPECT_EQ(s.sCurrentJobFileName, job) << after;
        EXPECT_TRUE(s.bAskToSaveQVJFileBeforeExit) << after;
        EXPECT_TRUE(frame->isVisible()) << after;
    }
    void shortcut(Qt::Key key)
    {
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        QTest::keyClick(main->fgToDo, key, Qt::ControlModifier);
    }

    QString job;
    CountingPicker picker;
    std::unique_ptr<frmMainMDI> frame;
    frmMain *main = nullptr;
};

} // namespace

TEST_F(SaveQuestionBoxTest, EscAndClosingKeepTheJobOnlyNoDropsIt)
{
    QSignalSpy closed(frame.get(), &frmMainMDI::closed);
    int boxes = 0;
    const auto answer = [&boxes](std::function<void(QMessageBox *)> step) {
        onBox([&boxes, step](QMessageBox *box) {
            ++boxes;
            step(box);
        });
    };
    QString question;
    const std::pair<Qt::Key, const char *> shortcuts[] = {{Qt::Key_N, "Esc on New"}, {Qt::Key_O, "Esc on Open"}};
    for (const auto &[key, what] : shortcuts) {
        answer([&](QMessageBox *box) {
            question = box->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        shortcut(key);
        ASSERT_EQ(boxes, key == Qt::Key_N ? 1 : 2) << what;
        EXPECT_EQ(question, "Save Conversion Job?");
        EXPECT_EQ(picker.calls, 0) << "Open went on to its file dialog";
        expectJobKept(what);
    }

    // Closing the window while the question is up: the close waits for the answer and asks
    // nothing twice (a second box answered No would drop the job).
    bool stillAsking = false, closeAccepted = true;
    int nested = 0;
    answer([&](QMessageBox *box) {
        onBox([&](QMessageBox *second) {
            ++nested;
            second->button(QMessageBox::No)->click();
        }, 300, box);
        QCloseEvent close;
        QApplication::sendEvent(frame.get(), &close);
        closeAccepted = close.isAccepted();
        stillAsking = box->isVisible();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    main->mnuExit->trigger(); // Ctrl+Q where the desktop binds Quit to it
    ASSERT_EQ(boxes, 3);
    EXPECT_EQ(nested, 0);
    EXPECT_FALSE(closeAccepted);
    EXPECT_TRUE(stillAsking);
    EXPECT_EQ(closed.count(), 0);
    expectJobKept("a close while asking, then Esc on Exit");

    // The box's own close button is no answer either.
    answer([](QMessageBox *box) { box->close(); });
    frame->close();
    ASSERT_EQ(boxes, 4);
    expectJobKept("the box closed on closing the window");

    // No is the one answer that lets the job go.
    answer([](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
    main->mnuExit->trigger();
    ASSERT_EQ(boxes, 5);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(frame->isVisible());
}
