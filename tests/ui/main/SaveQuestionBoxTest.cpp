// The real box that asks before a changed job is dropped: Esc, the box's close button and a close
// of the window while it is up keep the job; only No drops it.
#include "../../language/TranslatorTestSupport.h"
#include "WindowTestSupport.h"

#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "platform/FlexGrid.h"
#include "ui/scheduler/frmScheduler.h"
#include "ui/main/frame/MainWindowStart.h"
#include "ui/main/JobGridView.h"
#include "ui/main/frame/StatusBarPanels.h"
#include "ui/main/frame/frmMainMDI.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QRadioButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <type_traits>
#include <memory>
#include <utility>

namespace {

// Runs step, from the box's own event loop as a user would, on the first message box (or other
// modal dialog of that type) shown within the time given; with `over`, only on a box shown on top
// of that one while it is still up.
template <class Box = QMessageBox>
void onBox(std::type_identity_t<std::function<void(Box *)>> step, int withinMs = 5000, QWidget *over = nullptr)
{
    auto *timer = new QTimer;
    const QDeadlineTimer deadline(withinMs);
    const QPointer<QWidget> under = over;
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto *box = qobject_cast<Box *>(QApplication::activeModalWidget());
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
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000));
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
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000));
        QTest::keyClick(main->fgToDo, key, Qt::ControlModifier);
    }

    // The window's scheduler runs sched.qvj (one task that writes out.txt) every 30 seconds on the
    // clock `now`.
    frmScheduler &startSchedule()
    {
        EXPECT_TRUE(qvtest::writeFile(tmp.filePath("in.txt"), "a\r\n\r\nb\r\n"));
        sched = tmp.filePath("sched.qvj");
        EXPECT_TRUE(qvtest::writeFile(sched, QStringList{"", "1", "S55", tmp.filePath("in.txt"), "1", "TXT",
                                                         tmp.filePath("out.txt"), "1", "TXT", "\r\n"}
                                                  .join(u'\t')
                                                  .toUtf8()));
        frmScheduler &f = *main->frmSched;
        f.setClock([this] { return now; });
        QTest::mouseClick(f.optTimeBased, Qt::LeftButton);
        f.cbScheduledJobFile->setCurrentText(sched);
        f.txtSeconds->setText(QStringLiteral("30"));
        f.cmdStartTimer_Click();
        EXPECT_TRUE(f.bSchedularEnabled());
        return f;
    }

    QString job, sched;
    QDateTime now{QDate(2024, 5, 6), QTime(10, 0)};
    WatchedPanels panels;
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

TEST_F(SaveQuestionBoxTest, AFileThatIsNotAJobIsRefusedByOpenAndAtStartAndNeverSavedOver)
{
    // A presentation, and tables or a text with a Do code in the third cell of some line.
    const QString deck = tmp.filePath("deck.pptx");
    ASSERT_TRUE(QFile::copy(qvtest::sourceDir() + "/data/Demo Data/Quarterly Review.pptx", deck));
    const std::pair<QString, QByteArray> tables[] = {
        {"temperatures.qvj", "Date\tHigh\tUnit\r\n2024-05-01\t21\tC\r\n2024-05-02\t19.5\tC\r\n"},
        {"sizes.qvj", "Shirt\t12\tS\t38\r\nJacket\t3\tS\t42\r\n"},
        {"prose.qvj", "Dear team,\r\nthe first task:\r\n\t1\tC\t/in/b.ppt\r\nRegards\r\n"}};
    QStringList files{deck};
    for (const auto &[name, bytes] : tables) {
        files << tmp.filePath(name);
        ASSERT_TRUE(qvtest::writeFile(files.last(), bytes));
    }
    const QString caption = frame->windowTitle();
    QStringList said;
    const auto sayOk = [&said](QMessageBox *box) {
        said << box->text();
        QTest::keyClick(box, Qt::Key_Escape);
    };
    for (const QString &file : files) {
        const QByteArray bytes = qvtest::readFile(file);
        const QString refusal = "This file is not a conversion job: (" + file + ")";
        const std::string what = file.toStdString();
        // No to the question, the file in the Open dialog, then the refusal.
        said.clear();
        main->session().markJobChanged();
        onBox([&](QMessageBox *box) {
            onBox(sayOk);
            box->button(QMessageBox::No)->click();
        });
        picker.files << file;
        shortcut(Qt::Key_O);
        EXPECT_EQ(said, QStringList{refusal}) << what;
        expectJobKept(what.c_str());
        EXPECT_EQ(frame->windowTitle(), caption);
        shortcut(Qt::Key_S);
        EXPECT_EQ(qvtest::readFile(file), bytes) << what;
        EXPECT_TRUE(qvtest::readFile(job).contains("\t/in/a.txt\t"));

        // The start of the window with a job to open (/J file /O).
        said.clear();
        onBox(sayOk);
        std::unique_ptr<frmMainMDI> opened(ShowMainMDIWithSplash(file));
        EXPECT_EQ(said, QStringList{refusal}) << what;
        EXPECT_NE(opened->mainWindow()->session().sCurrentJobFileName, file);
        EXPECT_FALSE(opened->windowTitle().contains(QFileInfo(file).baseName())) << what;
        EXPECT_EQ(qvtest::readFile(file), bytes) << what;
    }
}

namespace {

// While it lives, answers every message box as a user who wants to go on: No to a question,
// Esc to anything else; keeps their texts.
class AnswerEveryBox
{
public:
    AnswerEveryBox()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text();
            if (QAbstractButton *no = box->button(QMessageBox::No))
                no->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        m_timer.start(10);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

} // namespace

TEST_F(SaveQuestionBoxTest, AJobWithADamagedTailOpensWithoutItAndSavesRepaired)
{
    main->setStatusPanels(&panels);
    QByteArray rows;
    for (int i = 1; i <= 3; ++i)
        rows += QStringList{"", QString::number(i), "S55", "/in/d.txt", "1", "TXT", "/out/d.txt", "1", "TXT", ""}
                    .join(u'\t').toUtf8() + "\r\n";
    const QString damaged = tmp.filePath("damaged.qvj");
    ASSERT_TRUE(qvtest::writeFile(damaged, rows + QByteArray(8192, '\0')));
    const QString notice = "The damaged end of the conversion job file (NUL bytes) was left out: (" + damaged + ")";

    // Open: no box but the save question; the tasks, and the status bar says what was left out.
    {
        AnswerEveryBox boxes;
        picker.files << damaged;
        shortcut(Qt::Key_O);
        EXPECT_EQ(boxes.texts, QStringList{"Save Conversion Job?"});
    }
    EXPECT_EQ(main->session().sCurrentJobFileName, damaged);
    EXPECT_EQ(main->session().fgToDo.rows(), 5);
    EXPECT_EQ(panels.panelText(StatusPanel::Message), notice);
    main->session().markJobChanged();
    shortcut(Qt::Key_S);
    const QByteArray repaired = qvtest::readFile(damaged);
    EXPECT_FALSE(repaired.contains('\0'));
    EXPECT_EQ(repaired.count("\tS55\t"), 3);

    // The start of the window with it (/J damaged.qvj /O), on the window's own status bar.
    ASSERT_TRUE(qvtest::writeFile(damaged, rows + QByteArray(100, '\0')));
    AnswerEveryBox boxes;
    std::unique_ptr<frmMainMDI> opened(ShowMainMDIWithSplash(damaged));
    EXPECT_EQ(boxes.texts, QStringList{});
    EXPECT_EQ(opened->mainWindow()->session().sCurrentJobFileName, damaged);
    EXPECT_EQ(opened->mainWindow()->session().fgToDo.rows(), 5);
    EXPECT_EQ(opened->sbMain->panelLabel(StatusPanel::Message)->text(), notice);
}

TEST_F(SaveQuestionBoxTest, AScheduledRunWaitsWhileTheSaveQuestionIsUpAndKeepsTheJob)
{
    frmScheduler &f = startSchedule();
    const QDateTime target = f.activeSchedule().target();
    bool keptUnderBox = false;
    onBox([&](QMessageBox *box) {
        now = now.addSecs(30); // the run comes due while the question of Exit is up
        f.Timer1_Timer();
        keptUnderBox = main->session().bAskToSaveQVJFileBeforeExit && main->session().sCurrentJobFileName == job;
        QTest::keyClick(box, Qt::Key_Escape);
    });
    main->mnuExit->trigger();
    EXPECT_TRUE(keptUnderBox);
    expectJobKept("the question cancelled after a run came due");
    EXPECT_EQ(f.activeSchedule().target(), target);
    EXPECT_FALSE(QFile::exists(tmp.filePath("out.txt")));

    // Once no box is up, the run that waited starts, however late.
    now = now.addSecs(90);
    f.Timer1_Timer();
    EXPECT_EQ(main->session().sCurrentJobFileName, sched);
    EXPECT_EQ(qvtest::readFile(tmp.filePath("out.txt")), "a\r\nb\r\n");
    EXPECT_NE(f.activeSchedule().target(), target);
}

TEST_F(SaveQuestionBoxTest, AScheduledRunThatCannotStartIsReportedAndKeepsTheJob)
{
    main->setStatusPanels(&panels);
    frmScheduler &f = startSchedule();
    const FlexGrid &log = main->session().fgLog;
    int boxes = 0;
    const std::pair<QByteArray, QString> cases[] = {
        {QByteArray(), "Conversion job file not found: (" + sched + ")"},
        {"just some text\r\n", "This file is not a conversion job: (" + sched + ")"}};
    for (const auto &[bytes, why] : cases) {
        if (bytes.isEmpty())
            ASSERT_TRUE(QFile::remove(sched));
        else
            ASSERT_TRUE(qvtest::writeFile(sched, bytes));
        onBox([&boxes](QMessageBox *box) {
            ++boxes;
            QTest::keyClick(box, Qt::Key_Escape);
        }, 200);
        const QDateTime target = f.activeSchedule().target();
        now = now.addSecs(30);
        f.Timer1_Timer();
        QTest::qWait(250);
        expectJobKept(why.toUtf8().constData());
        EXPECT_EQ(panels.panelText(StatusPanel::Message), why);
        const int row = log.rows() - 2;
        EXPECT_EQ(log.textMatrix(row, ToDoColumn::Original), sched);
        EXPECT_EQ(log.textMatrix(row, ToDoColumn::Status), why);
        EXPECT_EQ(log.textMatrix(row, ToDoColumn::Pass), "-");
        EXPECT_NE(f.activeSchedule().target(), target); // the schedule goes on
    }
    EXPECT_EQ(log.rows(), 4);
    EXPECT_EQ(boxes, 0); // unattended: nothing holds the later runs

    // The log saved as a job opens as one: its rows reload the scheduled job, so that a run of it
    // runs what could not start.
    const QString saved = tmp.filePath("log.qvj");
    picker.files << saved;
    main->mnuSaveLogAsConversionJob->trigger();
    ASSERT_TRUE(QFile::exists(saved));
    JobSession rerun;
    ASSERT_TRUE(rerun.ConversionJobOpen(saved));
    ASSERT_EQ(rerun.fgToDo.rows(), 4);
    EXPECT_EQ(rerun.fgToDo.textMatrix(1, ToDoColumn::Do), "S1");
    EXPECT_EQ(rerun.fgToDo.textMatrix(2, ToDoColumn::Target), sched);
    EXPECT_EQ(rerun.fgToDo.textMatrix(2, ToDoColumn::TargetType), "1");
    ASSERT_TRUE(qvtest::writeFile(sched, QStringList{"", "1", "S55", tmp.filePath("in.txt"), "1", "TXT",
                                                     tmp.filePath("out.txt"), "1", "TXT", "\r\n"}
                                              .join(u'\t')
                                              .toUtf8()));
    rerun.ConversionJobBegin();
    EXPECT_EQ(qvtest::readFile(tmp.filePath("out.txt")), "a\r\nb\r\n");
}

TEST_F(SaveQuestionBoxTest, AScheduledRunWaitsWhileTheSaveAsDialogIsUp)
{
    main->setPicker(nullptr); // Qt's own file dialog
    frmScheduler &f = startSchedule();
    const QString mine = tmp.filePath("mine.qvj");
    bool keptUnderDialog = false;
    onBox<QFileDialog>([&](QFileDialog *dialog) {
        now = now.addSecs(30);
        f.Timer1_Timer();
        keptUnderDialog = main->session().sCurrentJobFileName == job && main->session().fgToDo.rows() == 4;
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(mine);
        QTest::keyClick(name, Qt::Key_Return);
    });
    main->mnuSaveConversionJobAs->trigger();
    EXPECT_TRUE(keptUnderDialog);
    const QByteArray saved = qvtest::readFile(mine);
    EXPECT_TRUE(saved.contains("\t/in/a.txt\t")) << saved.toStdString();
    EXPECT_FALSE(saved.contains(tmp.filePath("in.txt").toUtf8()));

    f.Timer1_Timer();
    EXPECT_EQ(main->session().sCurrentJobFileName, sched);
    EXPECT_EQ(qvtest::readFile(tmp.filePath("out.txt")), "a\r\nb\r\n");
}
