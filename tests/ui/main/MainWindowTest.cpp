// The real main window on the offscreen platform, with the prompter, the picker and the status
// bar injected: command state, tabs, the editor's panels, a run, settings and a German start.
#include "../../language/TranslatorTestSupport.h"
#include "WindowTestSupport.h"

#include "converter/ConversionControl.h"
#include "converter/TypeCatalogue.h"
#include "jobs/JobSession.h"
#include "platform/FilePicker.h"
#include "platform/ProfileIni.h"
#include "jobs/StatusPanels.h"
#include "ui/main/JobGridView.h"
#include "ui/main/SessionController.h"
#include "ui/main/editor/TaskEditor.h"
#include "ui/main/frame/FramePictures.h"
#include "ui/main/frmMain.h"
#include "ui/main/frame/FrameGeometry.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTimer>
#include <QGroupBox>

#include <functional>
#include <memory>

namespace {

class MainWindowTest : public TranslatorFixture
{
protected:
    void SetUp() override
    {
        TranslatorFixture::SetUp();
        InitializeTranslator(true);
    }
    void TearDown() override
    {
        w.reset();
        gbCommandLineMode = false;
        gbSuppressEvents = false;
        TranslatorFixture::TearDown();
    }
    frmMain &open()
    {
        w = openMainWindow(&prompter, &picker, &panels);
        return *w;
    }
    QAction *key(const char *k) const { return w->tbButtons.value(QLatin1String(k)); }
    QString path(const QString &name) const { return tmp.path() + QLatin1Char('/') + name; }
    QString writeJob(const QList<QStringList> &rows)
    {
        QByteArray out;
        for (const QStringList &r : rows)
            out += (r.join(u'\t') + QStringLiteral("\t\r\n")).toUtf8();
        out += "\t*\t\t\t\t\t\t\t\t\r\n";
        const QString job = path(QStringLiteral("job.qvj"));
        EXPECT_TRUE(qvtest::writeFile(job, out));
        return job;
    }
    void writeTexts(int n)
    {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(qvtest::writeFile(path(QStringLiteral("in/t%1.txt").arg(i)), "a\r\n\r\nb\r\n"));
        QDir().mkpath(path(QStringLiteral("out")));
    }

    CountingPicker picker;
    WatchedPanels panels;
    std::unique_ptr<frmMain> w;
};

} // namespace

TEST_F(MainWindowTest, CommandStateOnShowTabsAndButtonsFollowingTheirActions)
{
    frmMain &m = open();
    // The first state is computed once the window is shown.
    EXPECT_FALSE(key("keyPause")->isEnabled());
    EXPECT_FALSE(m.cmdPause->isEnabled());
    EXPECT_TRUE(key("keyConvert")->isEnabled());
    EXPECT_TRUE(m.mnuSaveConversionJob->isEnabled());
    EXPECT_FALSE(key("keyRemove")->isEnabled());
    EXPECT_FALSE(m.cmdRemove->isEnabled());
    EXPECT_FALSE(key("keyRewind")->isEnabled());
    EXPECT_FALSE(m.mnuMoveConversionTask->menuAction()->isVisible());
    EXPECT_TRUE(m.cmdAdd->isEnabled());

    // The log tab takes Add away, from toolbar, menu and button alike.
    QTabBar *bar = m.ts->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(m.ts->currentIndex(), 1);
    EXPECT_FALSE(key("keyAdd")->isEnabled());
    EXPECT_FALSE(m.mnuAddConversionJob->isEnabled());
    EXPECT_FALSE(m.cmdAdd->isEnabled());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_TRUE(m.cmdAdd->isEnabled());

    // Three tasks, the first selected: move up/first hidden, down/last shown, Remove enabled.
    writeTexts(1);
    const QStringList task{"", "1", "S55", path("in/t0.txt"), "1", "TXT", path("out/t0.txt"), "1", "TXT"};
    picker.files << writeJob({task, task, task});
    m.tbButtonMenus.value("KeyOpen")->trigger();
    ASSERT_EQ(m.session().fgToDo.rows(), 5);
    EXPECT_EQ(m.session().fgToDo.row(), 1);
    EXPECT_TRUE(m.mnuMoveConversionTask->menuAction()->isVisible());
    EXPECT_FALSE(m.mnuPopupMoveUp->isVisible());
    EXPECT_TRUE(m.mnuPopupMoveDown->isVisible());
    EXPECT_TRUE(m.cmdRemove->isEnabled());
    EXPECT_EQ(m.mruFileOpen.Count(), 1);
    EXPECT_EQ(m.mnuMRU.elements.size(), 1);

    // Memory instead of speed: the worker is restarted for each file.
    m.mnuOptimizeForMemory->trigger();
    EXPECT_FALSE(m.session().VelmoraX1()->optimizeForSpeed());
    EXPECT_TRUE(m.mnuOptimizeForMemory->isChecked());
    EXPECT_FALSE(m.mnuOptimizeForSpeed->isChecked());
}

TEST_F(MainWindowTest, UpdateIsEnabledOnlyWhileTheEditorDiffersFromItsRow)
{
    frmMain &m = open();
    writeTexts(1);
    const QStringList task{"", "1", "S55", path("in/t0.txt"), "1", "TXT", path("out/t0.txt"), "1", "TXT"};
    picker.files << writeJob({task, task});
    m.tbButtonMenus.value("KeyOpen")->trigger();
    ASSERT_EQ(m.session().fgToDo.row(), 1);
    EXPECT_FALSE(m.cmdUpdate->isEnabled());
    QLineEdit *original = m.editor->cbOriginalFileSpecialized->lineEdit();
    original->setFocus();
    QTest::keyClicks(original, "x");
    EXPECT_TRUE(m.cmdUpdate->isEnabled());

    // The log, then the tasks again: the editor shows its row as it stands, nothing to update.
    QTabBar *bar = m.ts->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(m.editor->cbOriginalFileSpecialized->currentText(), path("in/t0.txt"));
    EXPECT_FALSE(m.cmdUpdate->isEnabled());
    EXPECT_FALSE(key("keyUpdate")->isEnabled());
    EXPECT_FALSE(m.mnuUpdateConversionJob->isEnabled());

    original->setFocus();
    QTest::keyClicks(original, "y");
    EXPECT_TRUE(m.cmdUpdate->isEnabled());
}

TEST_F(MainWindowTest, RunsAJobOpenedThroughThePickerWithMarksProgressAndCommandsLocked)
{
    frmMain &m = open();
    writeTexts(3);
    const QString deck = qvtest::dataDir() + QStringLiteral("/quarterly-review.fodp");
    picker.files << writeJob({{",1,2", "1", "S55", path("in/*.txt"), "1", "TXT", path("out/*.txt"), "1", "TXT"},
                              {"A,1,2", "2", "C", deck, "1", "ppt", path("out/deck.pdf"), "32", "pdf"}});
    QTest::mouseClick(m.tbMain->widgetForAction(key("keyOpen")), Qt::LeftButton);
    ASSERT_EQ(picker.calls, 1);
    ASSERT_EQ(m.session().fgToDo.rows(), 4);

    // What the commands look like while task 2 runs.
    bool seen = false, openEnabled = true, recentEnabled = true, pauseEnabled = false, cmdPauseEnabled = false;
    panels.onText = [&](int panel, const QString &text) {
        if (panel != 3 || text != QLatin1String("2") || seen)
            return;
        seen = true;
        openEnabled = key("keyOpen")->isEnabled() || m.mnuOpenConversionJob->isEnabled();
        recentEnabled = !m.mnuMRU.elements.isEmpty() && m.mnuMRU.elements.first()->isEnabled();
        pauseEnabled = key("keyPause")->isEnabled();
        cmdPauseEnabled = m.cmdPause->isEnabled();
    };
    key("keyConvert")->trigger();

    ASSERT_TRUE(seen);
    EXPECT_FALSE(openEnabled);
    EXPECT_FALSE(recentEnabled) << "a recent job opened mid-run would take the old run's marks";
    EXPECT_TRUE(pauseEnabled);
    EXPECT_TRUE(cmdPauseEnabled);
    EXPECT_EQ(m.session().fgToDo.textMatrix(1, 9), "+");
    EXPECT_EQ(m.session().fgToDo.textMatrix(2, 9), "+") << panels.panelText(8).toStdString();
    EXPECT_TRUE(QFileInfo(path("out/deck.pdf")).size() > 0);
    EXPECT_EQ(QDir(path("out")).entryList({"*.txt"}).size(), 3);
    EXPECT_TRUE(panels.texts[6].join(u'|').contains(QLatin1String("% Complete"))) << panels.texts[6].join(u'|').toStdString();
    EXPECT_EQ(panels.panelText(3), "-");
    EXPECT_EQ(panels.panelPicture(6), StatusPanels::CompletePicture);
    EXPECT_TRUE(m.Timer1->isActive());
    // The marks are on screen: the grid shows "+" in the Pass column of the last row run.
    const auto *model = m.fgToDo->model();
    EXPECT_EQ(model->data(model->index(1, 9)).toString(), "+");
    EXPECT_TRUE(key("keyRewind")->isEnabled());
    EXPECT_FALSE(key("keyPause")->isEnabled());

    // The attention signal ends by itself after four ticks, with the panel enabled.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m.Timer1->isActive(); }, 60000));
}

TEST_F(MainWindowTest, TheAttentionSignalAlternatesItsSignAndTheCompletionPicture)
{
    frmMain &m = open();
    const QList<StatusPanels::Picture> expected{StatusPanels::AttentionPicture, StatusPanels::CompletePicture,
                                                StatusPanels::AttentionPicture, StatusPanels::CompletePicture};
    m.Timer1->start();
    for (int tick = 0; tick < 4; ++tick) {
        m.Timer1_Timer();
        EXPECT_EQ(panels.panelPicture(6), expected[tick]) << tick;
        EXPECT_EQ(panels.panelEnabled(6), tick % 2 == 1) << tick; // grey with the sign
    }
    EXPECT_FALSE(m.Timer1->isActive());
    // Two different pictures on screen.
    const QImage sign = StatusPicture(StatusPanels::AttentionPicture).toImage();
    ASSERT_FALSE(sign.isNull());
    EXPECT_NE(sign, StatusPicture(StatusPanels::CompletePicture).toImage());
}

TEST_F(MainWindowTest, RewindScrollsTheCurrentRowIntoView)
{
    frmMain &m = open();
    const QStringList task{"", "1", "S55", path("in/t0.txt"), "1", "TXT", path("out/t0.txt"), "1", "TXT"};
    ASSERT_TRUE(m.controller()->openJob(writeJob(QList<QStringList>(100, task))));
    m.session().fgToDo.setRow(90);
    m.fgToDo->scrollToTop();
    m.controller()->rewindJob();
    const QRect current = m.fgToDo->visualRect(m.fgToDo->model()->index(89, 1));
    EXPECT_TRUE(m.fgToDo->viewport()->rect().intersects(current));
}

TEST_F(MainWindowTest, ClosingDuringARunStopsAfterTheCurrentFileAndThenCloses)
{
    frmMain &m = open();
    writeTexts(3);
    const QStringList wild{",1,2", "1", "S55", path("in/*.txt"), "1", "TXT", path("out/*.txt"), "1", "TXT"};
    ASSERT_TRUE(m.controller()->openJob(writeJob({wild, wild})));
    QSignalSpy exits(&m, &frmMain::exitRequested);
    bool askedToClose = false, closedAtOnce = true;
    panels.onText = [&](int panel, const QString &text) {
        if (panel == 8 && text.endsWith(QLatin1String("t0.txt")) && !askedToClose) {
            askedToClose = true;
            closedAtOnce = m.requestClose();
        }
    };
    m.mnuBeginConversionJob->trigger();
    ASSERT_TRUE(askedToClose);
    EXPECT_FALSE(closedAtOnce);
    EXPECT_EQ(exits.count(), 0) << "never closes from inside the run";
    EXPECT_EQ(m.session().fgToDo.textMatrix(2, 9), "") << "the second task never started";
    EXPECT_LT(QDir(path("out")).entryList({"*.txt"}).size(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return exits.count() == 1; }, 60000)) << exits.count();
}

TEST_F(MainWindowTest, EditorPanelsFollowTheRulesWhoeverChangesTheBoxes)
{
    frmMain &m = open();
    TaskEditor &ed = *m.editor;
    ed.cbOriginalFile->setEditText(path("in/*.ppt"));
    m.RefreshConvertOptionsGUI();
    EXPECT_FALSE(ed.cbSaveToOriginalFolder->isHidden());
    EXPECT_TRUE(ed.cmdSelectTargetFile->isHidden());

    // A check made by code, with the editor's events suppressed, still hides the target frame.
    gbSuppressEvents = true;
    ed.cbSaveToOriginalFolder->setChecked(true);
    gbSuppressEvents = false;
    EXPECT_TRUE(ed.frameTargetFile->isHidden());
    ed.cbOriginalFile->setEditText(path("in/a.ppt"));
    m.RefreshConvertOptionsGUI();
    EXPECT_FALSE(ed.cbSaveToOriginalFolder->isChecked());
    EXPECT_FALSE(ed.frameTargetFile->isHidden());
    EXPECT_FALSE(gbSuppressEvents);

    // The special panel, process 50 with a wildcard: sub-folders shown, no folder target.
    m.session().settings.sActionToDo = "S";
    ed.cbSpecialProcesses->setCurrentIndex(0);
    ed.cbOriginalFileSpecialized->setEditText(path("in/*.txt"));
    m.RefreshConvertOptionsGUI();
    EXPECT_TRUE(ed.rbActionToDo[1]->isChecked());
    EXPECT_TRUE(ed.frameSpecializedAction->isVisible());
    EXPECT_FALSE(ed.frameSelectAction->isVisible());
    EXPECT_TRUE(ed.cbDoSubfoldersSpecialized->isVisible());
    EXPECT_FALSE(ed.cmdSelectTargetFolderSpecialized->isVisible());
    ed.cbSpecialProcesses->setCurrentIndex(3); // 60: the launch frame covers the file frames
    m.RefreshConvertOptionsGUI();
    EXPECT_TRUE(ed.frameCommandLine->isVisible());
    EXPECT_FALSE(ed.cbOriginalFileSpecialized->isVisible());

    // Every input of the editor is named for a screen reader: by its label or by itself.
    for (QWidget *input : ed.findChildren<QWidget *>()) {
        if (!qobject_cast<QComboBox *>(input) && !qobject_cast<QLineEdit *>(input) &&
            !qobject_cast<QToolButton *>(input))
            continue;
        if (qobject_cast<QLineEdit *>(input) && qobject_cast<QComboBox *>(input->parentWidget()))
            continue; // the edit field inside an editable list
        bool labelled = !input->accessibleName().isEmpty();
        for (QLabel *l : ed.findChildren<QLabel *>())
            labelled = labelled || l->buddy() == input;
        EXPECT_TRUE(labelled) << input->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, SettingsRoundTripAtTheWindowEdgeAndAPersistedScheduleOnlyRestartsInteractively)
{
    ProfileIni::writeString(G_IniFilePath, "frmScheduler", "chkPersistRunning", "1");
    ProfileIni::writeString(G_IniFilePath, "frmMain", "fgToDo.ColWidth(2)", "900");
    int restarts = 0;
    {
        frmMain &m = open();
        EXPECT_EQ(m.fgToDo->columnWidthsTwips().value(2), 900);
        EXPECT_FALSE(m.fgToDo->isColumnHidden(2));
        EXPECT_TRUE(m.fgToDo->isColumnHidden(4));
        // The fill columns share what the window leaves, and follow it when it grows.
        const int before = m.fgToDo->columnWidth(3);
        EXPECT_EQ(before, m.fgToDo->columnWidth(6));
        m.resize(1600, 800);
        EXPECT_TRUE(QTest::qWaitFor([&] { return m.fgToDo->columnWidth(3) > before; }, 60000));
        EXPECT_EQ(m.fgToDo->columnWidth(3), m.fgToDo->columnWidth(6));

        m.editor->cbFileTypeOriginal->setCurrentIndex(4);
        m.mnuOptimizeForMemory->trigger();
        m.Form_Unload();
    }
    w.reset();
    // The scheduler's inputs name no job file: they are not valid, so no restart is stored.
    EXPECT_EQ(ProfileIni::readString(G_IniFilePath, "frmScheduler", "chkPersistRunning", ""), "0");
    ProfileIni::writeString(G_IniFilePath, "frmScheduler", "chkPersistRunning", "1");
    const QByteArray written = qvtest::readFile(G_IniFilePath);
    EXPECT_TRUE(written.contains("mnuOptimizeForSpeed=FALSE"));
    EXPECT_TRUE(written.contains("cbFileTypeOriginal.ListIndex=4"));

    // A command-line run never restarts the schedule, and never writes.
    gbCommandLineMode = true;
    w = std::make_unique<frmMain>();
    w->startPersistedSchedule = [&restarts] { ++restarts; };
    w->Form_Load();
    EXPECT_TRUE(w->bPersistRunning);
    EXPECT_EQ(restarts, 0);
    w->Form_Unload();
    EXPECT_EQ(qvtest::readFile(G_IniFilePath), written);
    w.reset();

    gbCommandLineMode = false;
    w = std::make_unique<frmMain>();
    w->startPersistedSchedule = [&restarts] { ++restarts; };
    w->Form_Load();
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(w->editor->cbFileTypeOriginal->currentIndex(), 4);
    EXPECT_TRUE(w->mnuOptimizeForMemory->isChecked());
}

TEST_F(MainWindowTest, GermanStartShowsAGermanWindowWithEveryTextInTheLanguageFile)
{
    const QByteArray german = qvtest::readFile(qvtest::sourceDir() + "/data/Languages/German-Quorvane.txt");
    ASSERT_FALSE(german.isEmpty());
    startWith("German", german);
    frmMain &m = open();
    EXPECT_EQ(m.ts->tabText(0), QString::fromUtf8("Konvertierungsaufgaben"));
    EXPECT_EQ(m.ts->tabText(1), "Protokoll");
    EXPECT_EQ(m.mnuFile->title(), "&Datei");
    EXPECT_EQ(m.mnuBeginConversionJob->text(), "Konvertierung &starten");
    EXPECT_EQ(m.editor->lblOriginalFile->text(), "Originaldatei(en):");
    EXPECT_EQ(m.editor->cmdSelectSourceFile->accessibleName(), QString::fromUtf8("Quelldatei auswählen"));
    EXPECT_EQ(key("keyConvert")->text(), "Konvertieren");
    EXPECT_EQ(m.cmdAdd->text(), QString::fromUtf8("&Hinzufügen"));
    EXPECT_TRUE(m.editor->cbFileTypeTarget->itemText(1).startsWith("[032] PDF-Dokument"))
        << m.editor->cbFileTypeTarget->itemText(1).toStdString();
    // Nothing the window shows was missing: the translator appended no text to the file.
    const QByteArray after = fileBytes("German");
    EXPECT_EQ(after.size(), german.size()) << after.mid(german.size()).toStdString();
}

namespace {

// Whether the text field of a list is as wide as its longest entry needs.
bool showsItsLongestEntryWhole(const QComboBox *cb, QString *longest)
{
    for (int i = 0; i < cb->count(); ++i)
        if (cb->itemText(i).size() > longest->size())
            *longest = cb->itemText(i);
    QStyleOptionComboBox opt;
    opt.initFrom(cb);
    opt.editable = cb->isEditable();
    const QRect field = cb->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, cb);
    return field.width() >= cb->fontMetrics().horizontalAdvance(*longest);
}

} // namespace

TEST_F(MainWindowTest, GermanTypeListsShowTheirLongestEntryWholeBesideTheFolderBoxes)
{
    startWith("German", qvtest::readFile(qvtest::sourceDir() + "/data/Languages/German-Quorvane.txt"));
    frmMain &m = open();
    TaskEditor &ed = *m.editor;
    // The frame's default width; the main window fills it.
    m.resize(PlacementToPixels(FramePlacement{}, m.logicalDpiX()).width(), 700);
    ed.cbOriginalFile->setFocus();
    QTest::keyClicks(ed.cbOriginalFile, path("in/*.pptx"));
    ASSERT_TRUE(ed.cbDoSubfolders->isVisible());
    ASSERT_TRUE(ed.cbSaveToOriginalFolder->isVisible());
    QString longest;
    EXPECT_TRUE(showsItsLongestEntryWhole(ed.cbFileTypeOriginal, &longest)) << longest.toStdString();
    EXPECT_TRUE(longest.startsWith(QString::fromUtf8("Präsentationen und Bildschirm"))) << longest.toStdString();

    QTest::mouseClick(ed.rbActionToDo[1], Qt::LeftButton);
    ed.cbOriginalFileSpecialized->setFocus();
    QTest::keyClicks(ed.cbOriginalFileSpecialized, path("in/*.txt"));
    ASSERT_TRUE(ed.cbDoSubfoldersSpecialized->isVisible());
    longest.clear();
    EXPECT_TRUE(showsItsLongestEntryWhole(ed.cbFileTypeOriginalSpecialized, &longest)) << longest.toStdString();
}

TEST_F(MainWindowTest, AGermanRunWithFailuresAndRefusedTasksFindsEveryTextInTheLanguageFile)
{
    const QByteArray german = qvtest::readFile(qvtest::sourceDir() + "/data/Languages/German-Quorvane.txt");
    startWith("German", german);
    frmMain &m = open();
    TaskEditor &ed = *m.editor;
    writeTexts(2);
    ASSERT_TRUE(qvtest::writeFile(path("in/broken.pptx"), "PK\x03\x04 not a presentation"));
    const QString deck = qvtest::dataDir() + QStringLiteral("/quarterly-review.fodp");
    const QString none = QStringLiteral("-12345678");
    picker.files << writeJob({
        {",1,2", "1", "S55", path("in/*.txt"), "1", "TXT", path("out/*.txt"), "1", "TXT"},
        {"A,1,2", "2", "C", deck, "1", "ppt", path("out/deck.pdf"), "32", "pdf"},
        {"A,1,2", "3", "C", path("in/broken.pptx"), "1", "ppt", path("out/broken.pdf"), "32", "pdf"},
        {"A,1,2", "4", "C", deck, "1", "ppt", path("out/options.pdf"), "300", "pdf"},
        {"T32 S1 W5", "5", "S60", "/bin/sh", none, "", "-c \"exit 3\"", none, "", ""},
        {"T32 S1 W5", "6", "S60", path("no/such/program"), none, "", "", none, "", ""},
        {"", "7", "S50", path("in/t0.txt"), "1", "TXT", path("out/all.txt"), "1", "TXT"},
        {"G,0,0          Find{{a}}Replace{{b}}", "8", "S56", path("in/*.txt"), "1", "TXT", path("out/r/*.txt"), "1", "TXT"},
        {"A,1,2", "9", "C", path("in/gone.pptx"), "1", "ppt", path("out/gone.pdf"), "32", "pdf"},
    });
    QTest::mouseClick(m.tbMain->widgetForAction(key("keyOpen")), Qt::LeftButton);
    ASSERT_EQ(m.session().fgToDo.rows(), 11);
    key("keyConvert")->trigger();
    EXPECT_EQ(m.session().fgToDo.textMatrix(2, 9), "+") << panels.panelText(8).toStdString();
    EXPECT_EQ(m.session().fgToDo.textMatrix(3, 9), "-");
    EXPECT_EQ(m.session().fgToDo.textMatrix(6, 9), "-");
    EXPECT_TRUE(panels.texts[6].contains(QString::fromUtf8(" 100 Prozent erledigt "))) << panels.texts[6].join(u'|').toStdString();

    // Tasks the editor refuses: no original, a wildcard into one file, a missing original (the
    // offer to add it anyway declined), a search and replace without a text to find.
    const auto add = [&](const QString &original, const QString &target) {
        ed.cbOriginalFile->setEditText(QString());
        ed.cbTargetFile->setEditText(QString());
        QTest::keyClicks(ed.cbOriginalFile, original);
        QTest::keyClicks(ed.cbTargetFile, target);
        QTest::mouseClick(m.cmdAdd, Qt::LeftButton);
    };
    QTest::mouseClick(ed.rbActionToDo[0], Qt::LeftButton);
    const qsizetype boxesBefore = prompter.boxes.size();
    add(QString(), path("out/x.pdf"));
    add(path("in/*.txt"), path("out/x.pdf"));
    add(path("in/nothere.pptx"), path("out/x.pdf"));
    QTest::mouseClick(ed.rbActionToDo[1], Qt::LeftButton);
    ed.cbSpecialProcesses->setCurrentIndex(2); // 56
    QTest::keyClicks(ed.cbOriginalFileSpecialized, path("in/*.txt"));
    QTest::keyClicks(ed.cbTargetFileSpecialized, path("out/*.txt"));
    QTest::mouseClick(m.cmdAdd, Qt::LeftButton);
    ASSERT_EQ(prompter.boxes.size(), boxesBefore + 5);
    EXPECT_EQ(prompter.boxes.last().text, QString::fromUtf8("Der zu suchende und zu ersetzende Text ist leer."));
    EXPECT_EQ(m.session().fgToDo.rows(), 11);

    const QByteArray after = fileBytes("German");
    EXPECT_EQ(after.size(), german.size()) << after.mid(german.size()).toStdString();
}
