// The frame on the offscreen platform: its status bar as the engine writes it, its stored
// place, the lost-position rule and a German start.
#include "TestEnv.h"
#include "TranslatorTestSupport.h"
#include "converter/ConversionControl.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "platform/FlexGrid.h"
#include "platform/ProfileIni.h"
#include "ui/main/frame/MainWindowStart.h"
#include "ui/main/frame/StatusBarPanels.h"
#include "ui/main/dialogs/frmAbout.h"
#include "ui/main/frmMain.h"
#include "ui/main/frame/frmMainMDI.h"
#include "ui/main/frame/frmPleaseWait.h"
#include "ui/main/editor/TaskEditor.h"
#include "ui/scheduler/frmScheduler.h"
#include "ui/support/QtTranslations.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

class FrameTest : public TranslatorFixture
{
protected:
    void TearDown() override
    {
        ApplyQtTranslations(QStringLiteral("English"));
        TranslatorFixture::TearDown();
    }
    QString key(const char *k) const
    {
        return ProfileIni::readString(G_IniFilePath, QStringLiteral("frmMainMDI"), QString::fromLatin1(k),
                                      QStringLiteral("<none>"));
    }
    // A job of launch tasks: each runs "sh -c <script>" and waits up to 5 seconds.
    QString writeJob(const QStringList &scripts) const
    {
        QByteArray job;
        int n = 0;
        for (const QString &script : scripts)
            job += QStringList{"T32 S1 W5", QString::number(++n), "S60", "/bin/sh", "-12345678", "",
                               "-c \"" + script + "\"", "-12345678", "", "", ""}
                       .join(u'\t')
                       .toUtf8() + "\r\n";
        job += "\t*\t\t\t\t\t\t\t\t\t\r\n";
        const QString path = tmp.path() + QStringLiteral("/job.qvj");
        EXPECT_TRUE(qvtest::writeFile(path, job));
        return path;
    }
    // The program's window as start-up opens it, with boxes recorded instead of shown.
    std::unique_ptr<frmMainMDI> openProgramWindow(const QString &job = QString())
    {
        std::unique_ptr<frmMainMDI> frame(ShowMainMDIWithSplash(job));
        frame->mainWindow()->setPrompter(&prompter);
        return frame;
    }
};

} // namespace

TEST_F(FrameTest, StatusPanelsShowWhatTheEngineWrites)
{
    frmMainMDI frame;
    StatusBarPanels *sb = frame.sbMain;
    ASSERT_EQ(sb->objectName(), QStringLiteral("sbMain"));
    EXPECT_EQ(sb->panelLabel(10)->text(), QStringLiteral("Total Time (Sec):"));
    EXPECT_EQ(sb->panel(0), nullptr);
    EXPECT_EQ(sb->panel(12), nullptr);

    JobSession session;
    session.setPanels(sb);
    StatusPanels *panels = session.panels();
    panels->setPanelText(3, QStringLiteral("7"));
    panels->setPanelText(6, QStringLiteral(" 100 Percent Complete "));
    panels->setPanelPicture(6, StatusPanels::CompletePicture);
    panels->setPanelEnabled(6, false);
    EXPECT_EQ(sb->panelLabel(3)->text(), QStringLiteral("7"));
    EXPECT_EQ(sb->panelLabel(6)->text(), QStringLiteral(" 100 Percent Complete "));
    // Picture and text side by side, as the run's end shows them.
    ASSERT_FALSE(sb->pictureLabel(6)->isHidden());
    EXPECT_FALSE(sb->pictureLabel(6)->pixmap().isNull());
    EXPECT_FALSE(sb->panel(6)->isEnabled());

    // Opening a job (here one that is missing) clears the panel the way the engine does.
    session.ConversionJobOpen(tmp.path() + QStringLiteral("/missing.qvj"));
    EXPECT_TRUE(sb->pictureLabel(6)->isHidden());
    EXPECT_TRUE(sb->panel(6)->isEnabled());
    EXPECT_EQ(sb->panelLabel(6)->text(), QString());
}

TEST_F(FrameTest, APanelTooNarrowForItsTextShowsTheWholeTextAsItsToolTip)
{
    frmMainMDI frame;
    frame.resize(700, 400);
    frame.show();
    StatusBarPanels *sb = frame.sbMain;
    const QString path = QStringLiteral("/home/user/Presentations/") + QString(60, u'x') + QStringLiteral(".pptx");
    sb->setPanelText(8, path);
    sb->setPanelText(6, QStringLiteral("50%"));
    EXPECT_EQ(sb->panelLabel(8)->toolTip(), path);
    EXPECT_EQ(sb->panelLabel(6)->toolTip(), QString());

    // Made wide enough, the whole text is shown and the tool tip goes; narrow again, it is back.
    frame.resize(2400, 400);
    QLabel *file = sb->panelLabel(8);
    EXPECT_TRUE(QTest::qWaitFor([file] { return file->toolTip().isEmpty(); }, 60000));
    frame.resize(700, 400);
    EXPECT_TRUE(QTest::qWaitFor([file, path] { return file->toolTip() == path; }, 60000));
    sb->setPanelText(8, QStringLiteral("short"));
    EXPECT_EQ(sb->panelLabel(8)->toolTip(), QString());
}

TEST_F(FrameTest, ClosingStoresThePlaceAndAMinimisedFrameAsNormal)
{
    {
        frmMainMDI frame;
        QSignalSpy closed(&frame, &frmMainMDI::closed);
        frame.applyPlacement({fwsNormal, 1200, 900, 14000, 9000});
        frame.show();
        frame.bFirstTimeUser = false;
        EXPECT_TRUE(frame.close());
        EXPECT_EQ(closed.count(), 1);
        EXPECT_EQ(key("WindowState"), QStringLiteral("0"));
        EXPECT_EQ(key("bFirstTimeUser"), QStringLiteral("False"));
        // Pixels at the screen's DPI stand between: the twips come back within one pixel.
        const int onePixel = PixelsToTwips(1, frame.logicalDpi()) + 1;
        EXPECT_NEAR(key("Left").toInt(), 1200, onePixel);
        EXPECT_NEAR(key("Top").toInt(), 900, onePixel);
        EXPECT_NEAR(key("Width").toInt(), 14000, onePixel);
        EXPECT_NEAR(key("Height").toInt(), 9000, onePixel);
    }
    {
        frmMainMDI frame;
        frame.MDIForm_Load(nullptr);
        EXPECT_FALSE(frame.bFirstTimeUser);
        frame.applyPlacement({fwsNormal, 2880, 1440, 12000, 8000});
        frame.showMinimized();
        frame.close();
        EXPECT_EQ(key("WindowState"), QStringLiteral("0"));
        EXPECT_NEAR(key("Left").toInt(), 2880, PixelsToTwips(1, frame.logicalDpi()) + 1);
    }
    {
        frmMainMDI frame;
        frame.showMaximized();
        frame.close();
        EXPECT_EQ(key("WindowState"), QStringLiteral("2"));
        EXPECT_NEAR(key("Left").toInt(), 2880, PixelsToTwips(1, frame.logicalDpi()) + 1);
    }
    // A command-line run writes nothing.
    const QByteArray before = qvtest::readFile(G_IniFilePath);
    gbCommandLineMode = true;
    {
        frmMainMDI frame;
        frame.applyPlacement({fwsNormal, 100, 100, 9000, 6000});
        frame.close();
    }
    gbCommandLineMode = false;
    EXPECT_EQ(qvtest::readFile(G_IniFilePath), before);
}

TEST_F(FrameTest, ALostFrameReturnsToTheStoredPlace)
{
    SaveFramePlacement(G_IniFilePath, true, {fwsNormal, 1440, 1440, 14400, 7200});
    frmMainMDI frame;
    frame.applyPlacement({fwsNormal, 1440, 1440, 14400, 7200});
    frame.show();
    const double dpi = frame.logicalDpi();
    const QRect stored = PlacementToPixels({fwsNormal, 1440, 1440, 14400, 7200}, dpi);
    frame.move(50, TwipsToPixels(kLostTopTwips, dpi) + 2);
    EXPECT_EQ(frame.geometry(), stored);

    // A lost place stored in the file is not restored to itself: the defaults come.
    ProfileIni::writeString(G_IniFilePath, QStringLiteral("frmMainMDI"), QStringLiteral("Top"),
                            QStringLiteral("120000"));
    frame.move(50, TwipsToPixels(kLostTopTwips, dpi) + 2);
    EXPECT_EQ(frame.geometry(), PlacementToPixels(FramePlacement{}, dpi));
}

TEST_F(FrameTest, AGermanStartShowsGermanCaptions)
{
    const QByteArray german = qvtest::readFile(qvtest::sourceDir() + QStringLiteral("/data/Languages/German-Quorvane.txt"));
    ASSERT_FALSE(german.isEmpty());
    startWith(QStringLiteral("German"), german);
    ASSERT_EQ(sLanguage, QStringLiteral("German"));

    auto frame = openProgramWindow();
    EXPECT_EQ(frame->sbMain->panelLabel(5)->text(), QStringLiteral(" Fortschritt:"));
    EXPECT_EQ(frame->sbMain->panelLabel(10)->text(), QStringLiteral("Gesamtzeit (Sek.):"));
    EXPECT_EQ(frame->menuBar()->actions().first()->text(), QStringLiteral("&Datei"));
    EXPECT_EQ(frame->mainWindow()->mnuExit->text(), QStringLiteral("&Beenden"));
    // Qt's own texts follow: key names in the menus and the buttons of the boxes.
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_N).toString(QKeySequence::NativeText), QStringLiteral("Strg+N"));
    EXPECT_EQ(QMessageBox(QMessageBox::Question, {}, {}, QMessageBox::Yes).button(QMessageBox::Yes)->text(),
              QStringLiteral("&Ja"));
    frame->close();
    // Nothing the window showed went through the translator twice.
    const QString appended = QString::fromUtf8(fileBytes(QStringLiteral("German")).mid(german.size()));
    EXPECT_FALSE(appended.contains(QStringLiteral("\"#\""))) << appended.toStdString();
    EXPECT_FALSE(appended.contains(QStringLiteral("\u00D6ffnen"))) << appended.toStdString();
    frmPleaseWait wait;
    EXPECT_EQ(wait.lblHeader->text(), QStringLiteral("Bitte warten, es wird aktualisiert."));
    EXPECT_EQ(SplashVersionText(10, 0, 6532), QStringLiteral("V10.06532"));
}

TEST_F(FrameTest, TheProgramsWindowOpensAJobWithoutRunningItAndExitWritesBothSections)
{
    const QString marker = tmp.path() + QStringLiteral("/ran");
    const QString job = writeJob({QStringLiteral("touch ") + marker});
    auto frame = openProgramWindow(job);
    frmMain *main = frame->mainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->centralWidget(), main);
    ASSERT_EQ(frame->menuBar()->actions().size(), 3);
    EXPECT_EQ(frame->menuBar()->actions().first()->text(), QStringLiteral("&File"));
    // The engine writes to the frame's status bar.
    EXPECT_EQ(main->session().panels(), static_cast<StatusPanels *>(frame->sbMain));

    // Loaded, not run: one task and the "*" row, no pass mark, nothing launched.
    EXPECT_EQ(main->session().fgToDo.rows(), 3);
    EXPECT_EQ(main->session().fgToDo.textMatrix(2, 1), QStringLiteral("*"));
    EXPECT_TRUE(frame->windowTitle().endsWith(QStringLiteral("job.qvj"))) << frame->windowTitle().toStdString();
    QTest::qWait(50);
    EXPECT_FALSE(QFile::exists(marker));

    QSignalSpy closed(frame.get(), &frmMainMDI::closed);
    main->mnuExit->trigger();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(frame->isClosed());
    EXPECT_EQ(key("WindowState"), QStringLiteral("0"));
    EXPECT_NE(key("Width"), QStringLiteral("<none>"));
    EXPECT_NE(ProfileIni::readString(G_IniFilePath, QStringLiteral("frmMain"), QStringLiteral("mnuOptimizeForSpeed"),
                                     QStringLiteral("<none>")),
              QStringLiteral("<none>"));
}

TEST_F(FrameTest, TheCaptionNamesNoJobAfterNewAndEndClearsTheCountdown)
{
    const QString job = writeJob({QStringLiteral("true")});
    auto frame = openProgramWindow(job);
    frmMain *main = frame->mainWindow();
    ASSERT_TRUE(frame->windowTitle().endsWith(QStringLiteral("job.qvj")));
    main->mnuNewConversionJob->trigger();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quorvane"));

    // A schedule counts down in the caption; End puts the caption back as Pause does.
    frmScheduler &sched = *main->frmSched;
    QDateTime now(QDate(2024, 5, 6), QTime(10, 0));
    sched.setClock([&now] { return now; });
    QTest::mouseClick(sched.optTimeBased, Qt::LeftButton);
    sched.cbScheduledJobFile->setCurrentText(job);
    sched.txtSeconds->setText(QStringLiteral("30"));
    sched.cmdStartTimer_Click();
    ASSERT_TRUE(sched.bSchedularEnabled());
    now = now.addSecs(1);
    sched.Timer1_Timer();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("29 seconds before next run."));
    sched.show();
    QTest::mouseClick(sched.cmdEndTimer, Qt::LeftButton);
    EXPECT_FALSE(sched.bSchedularEnabled());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("'Quorvane'"));
    sched.hide();
}

TEST_F(FrameTest, SpeedAndMemoryAreRadioItemsOfOneExclusiveGroup)
{
    auto frame = openProgramWindow();
    frmMain *main = frame->mainWindow();
    QActionGroup *group = main->mnuOptimizeForSpeed->actionGroup();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(main->mnuOptimizeForMemory->actionGroup(), group);
    EXPECT_TRUE(group->isExclusive()); // menus draw exclusive checkable entries as radio marks

    // What a screen reader finds and does: two checkable entries, one checked at a time.
    QAccessibleInterface *menu = QAccessible::queryAccessibleInterface(main->mnuFile);
    ASSERT_NE(menu, nullptr);
    QAccessibleInterface *speed = nullptr, *memory = nullptr;
    for (int i = 0; i < menu->childCount(); ++i) {
        QAccessibleInterface *c = menu->child(i);
        const QString name = c->text(QAccessible::Name);
        if (name == QStringLiteral("Optimize For Speed"))
            speed = c;
        else if (name == QStringLiteral("Optimize For Memory"))
            memory = c;
    }
    ASSERT_TRUE(speed && memory);
    EXPECT_EQ(memory->role(), QAccessible::RadioButton);
    EXPECT_EQ(speed->role(), QAccessible::RadioButton);
    EXPECT_EQ(speed->parent()->object(), main->mnuFile);
    EXPECT_TRUE(speed->state().checkable && memory->state().checkable);
    ASSERT_NE(memory->actionInterface(), nullptr);
    memory->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(memory->state().checked);
    EXPECT_FALSE(speed->state().checked);
}

TEST_F(FrameTest, TheEditorTakesTheHeightOfThePanelShownAndNoMore)
{
    auto frame = openProgramWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get(), 60000));
    frmMain *main = frame->mainWindow();
    TaskEditor *ed = main->editor;
    const auto settle = [] {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    };
    const auto gridTop = [main] { return main->frameToDo->mapTo(main, QPoint(0, 0)).y(); };
    settle();
    const int editorHeight = ed->height();
    const int top = gridTop();
    const QSize frameSize = frame->size();

    // The tallest special panel: search and replace.
    QTest::mouseClick(ed->rbActionToDo[1], Qt::LeftButton);
    ed->cbSpecialProcesses->setFocus();
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(ed->cbSpecialProcesses, Qt::Key_Down);
    ASSERT_EQ(ed->selectedSpecialProcessId(), 56);
    settle();
    const int specialHeight = ed->height();
    EXPECT_GT(specialHeight, editorHeight);
    EXPECT_EQ(gridTop() - top, specialHeight - editorHeight);
    EXPECT_EQ(frame->size(), frameSize); // the window never grows on its own
    EXPECT_TRUE(main->frameToDo->rect().contains(main->cmdPause->geometry()));

    // Back to the conversion panel: its own height again, the grid where it was.
    QTest::mouseClick(ed->rbActionToDo[0], Qt::LeftButton);
    settle();
    EXPECT_EQ(ed->height(), editorHeight);
    EXPECT_EQ(gridTop(), top);
}

TEST_F(FrameTest, ClosingDuringARunStopsAfterTheCurrentTaskAndThenCloses)
{
    const QString second = tmp.path() + QStringLiteral("/second");
    const QString started = tmp.path() + QStringLiteral("/first.pid"), go = tmp.path() + QStringLiteral("/first.go");
    const auto end = qScopeGuard([&] { qvtest::writeFile(go, ""); });
    // The first task's program runs until the test has closed the window.
    const QString job = writeJob({QStringLiteral("echo $$ > %1; until [ -e %2 ]; do sleep 0.02; done").arg(started, go),
                                  QStringLiteral("touch ") + second});
    auto frame = openProgramWindow(job);
    frmMain *main = frame->mainWindow();
    QSignalSpy closed(frame.get(), &frmMainMDI::closed);

    // The close arrives while the first task's program runs, from inside the engine's pump.
    bool closedAtOnce = true;
    QTimer whenStarted;
    whenStarted.setInterval(10);
    QObject::connect(&whenStarted, &QTimer::timeout, frame.get(), [&] {
        if (QFileInfo(started).size() > 0) {
            whenStarted.stop();
            closedAtOnce = frame->close();
            qvtest::writeFile(go, "");
        }
    });
    whenStarted.start();
    main->mnuBeginConversionJob->trigger();
    EXPECT_FALSE(closedAtOnce);
    EXPECT_EQ(closed.count(), 0); // never from inside the run
    EXPECT_FALSE(main->session().bLoopActive());
    EXPECT_TRUE(closed.wait(60000));
    EXPECT_TRUE(frame->isClosed());
    EXPECT_FALSE(QFile::exists(second));
    EXPECT_NE(main->session().fgToDo.textMatrix(1, ToDoColumn::Pass), QString());
}

TEST_F(FrameTest, TheAboutBoxOpensFromTheHelpMenu)
{
    auto frame = openProgramWindow();
    int shown = 0;
    frame->showAbout = [&](frmAbout &about) {
        ++shown;
        EXPECT_TRUE(about.Timer1->isActive());
        EXPECT_EQ(about.lblVersion->text(), ProgramVersionText());
    };
    frame->mainWindow()->mnuAbout->trigger();
    EXPECT_EQ(shown, 1);
    frame->close();
}

// In speed mode the program's window starts LibreOffice once it is up; a worker that cannot
// start there leaves the first conversion to start one as before.
TEST_F(FrameTest, FirstOfficeWorkerStartsAfterTheWindowIsShown)
{
    {
        auto frame = openProgramWindow();
        ConversionControl *control = frame->mainWindow()->session().VelmoraX1();
        ASSERT_TRUE(control->optimizeForSpeed());
        EXPECT_TRUE(frame->isVisible());
        EXPECT_EQ(control->workerProcessId(), 0) << "the window is shown before LibreOffice starts";
        QCoreApplication::processEvents();
        const qint64 started = control->workerProcessId();
        EXPECT_NE(started, 0);
        QString version;
        control->getPowerPointVersion(version);
        EXPECT_FALSE(version.isEmpty());
        EXPECT_EQ(control->workerProcessId(), started) << "the first use takes the worker started in the background";
    }
    qputenv("QV_OFFICE_WORKER", "/bin/false");
    auto frame = openProgramWindow();
    ConversionControl *control = frame->mainWindow()->session().VelmoraX1();
    QCoreApplication::processEvents();
    qunsetenv("QV_OFFICE_WORKER");
    QString version;
    control->getPowerPointVersion(version);
    EXPECT_FALSE(version.isEmpty());
}

namespace {

class SmallestFrame : public FrameTest, public ::testing::WithParamInterface<const char *>
{
};

// The editor's fields as laid out now: each has at least its minimum size, none overlaps
// another, and the editor has the height it asks for. Empty when all is well.
std::string crowdedFields(TaskEditor *ed)
{
    QStringList faults;
    if (ed->height() < ed->minimumSizeHint().height())
        faults << QStringLiteral("editor %1 < %2").arg(ed->height()).arg(ed->minimumSizeHint().height());
    QList<QPair<QWidget *, QRect>> laid;
    for (QWidget *w : ed->findChildren<QWidget *>()) {
        if (!w->isVisible() || qobject_cast<QComboBox *>(w->parentWidget())
            || !(qobject_cast<QComboBox *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractButton *>(w)
                 || qobject_cast<QLabel *>(w)))
            continue;
        const QSize min = w->minimumSizeHint().expandedTo(w->minimumSize());
        if (w->width() < min.width() || w->height() < min.height())
            faults << QStringLiteral("%1 %2x%3 < %4x%5")
                          .arg(w->objectName())
                          .arg(w->width())
                          .arg(w->height())
                          .arg(min.width())
                          .arg(min.height());
        const QRect r(w->mapTo(ed, QPoint(0, 0)), w->size());
        for (const auto &[other, at] : laid)
            if (at.intersects(r))
                faults << w->objectName() + QStringLiteral(" overlaps ") + other->objectName();
        laid.append({w, r});
    }
    return faults.join(u',').toStdString();
}

} // namespace

TEST_P(SmallestFrame, EveryPanelShowsEachFieldWhole)
{
    startInShippedLanguage(QLatin1String(GetParam()));
    auto frame = openProgramWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get(), 60000));
    TaskEditor *ed = frame->mainWindow()->editor;
    const auto settle = [] {
        for (int i = 0; i < 8; ++i)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    };
    // Folder wildcards: the folder boxes take their rows too.
    QTest::keyClicks(ed->cbOriginalFile->lineEdit(), tmp.path() + "/*.pptx");
    frame->resize(1, 1);
    settle();
    const QSize smallest = frame->size();
    EXPECT_EQ(crowdedFields(ed), "") << "conversion panel at " << smallest.width() << "x" << smallest.height();

    QTest::mouseClick(ed->rbActionToDo[1], Qt::LeftButton);
    QTest::keyClicks(ed->cbOriginalFileSpecialized->lineEdit(), tmp.path() + "/*.txt");
    for (int id : {50, 55, 56, 60}) {
        ed->cbSpecialProcesses->setFocus();
        while (ed->selectedSpecialProcessId() != id)
            QTest::keyClick(ed->cbSpecialProcesses, Qt::Key_Down);
        frame->resize(1, 1);
        settle();
        EXPECT_EQ(frame->size(), smallest) << id;
        EXPECT_EQ(crowdedFields(ed), "") << "process " << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, SmallestFrame, ::testing::Values("English", "German"));
