#include "TestEnv.h"
#include "common/Globals.h"
#include "jobs/JobFiles.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "jobs/clsConversionOptions.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class RecordingHooks : public EngineHooks, public EditorHooks
{
public:
    explicit RecordingHooks(JobSession &s) : m_session(s) {}
    void UpdateMenuToolbar() override { runningSeen.append(m_session.bRunning); }
    bool AddFileToConvertGUI() override
    {
        if (!editorTask)
            return false;
        AddToDoItemToGrid(*editorTask, m_session.fgToDo, m_session.settings);
        return true;
    }
    QList<bool> runningSeen;
    const clsConversionOptions *editorTask = nullptr;

private:
    JobSession &m_session;
};

// Clears bRunning at its first call, as a Pause clicked during a long load would.
class PauseOnFirstCall : public EventPump
{
public:
    explicit PauseOnFirstCall(JobSession &s) : m_session(s) {}
    void processEvents() override
    {
        if (++calls == 1)
            m_session.bRunning = false;
    }
    int calls = 0;

private:
    JobSession &m_session;
};

void addTask(FlexGrid &g, const QString &original, const QString &pass = QString())
{
    g.addItem(QStringList{"A,1,2", QString::number(g.rows() - 1), "C", original, "1", "ppt", "/out/*.pdf", "32",
                          "pdf", pass},
              g.rows() - 1);
}

QByteArray taskLine(int i)
{
    return "A,1,2\t" + QByteArray::number(i) + "\tC\t/in/deck" + QByteArray::number(i) +
           ".ppt\t1\tppt\t/out/*.pdf\t32\tpdf\t\t\r\n";
}

QByteArray generatedJob(int tasks)
{
    QByteArray bytes;
    bytes.reserve(tasks * 60);
    for (int i = 1; i <= tasks; ++i)
        bytes += taskLine(i);
    bytes += "\t*\t\t\t\t\t\t\t\t\t\r\n";
    return bytes;
}

class JobFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        session.setHooks(&hooks);
        session.setEditorHooks(&hooks);
        session.setPanels(&panels);
        InitToDoGrid(session.fgToDo);
    }
    QString path(const QString &name) const { return tmp.path() + "/" + name; }

    QTemporaryDir tmp;
    RecordingStatusPanels panels;
    JobSession session;
    RecordingHooks hooks{session};
};

} // namespace

TEST_F(JobFilesTest, SaveWritesEveryRowAndLoadGivesTheSameTasks)
{
    FlexGrid &g = session.fgToDo;
    addTask(g, QString::fromUtf8("/in/Präsentation.ppt"), "+");
    addTask(g, "/in/b.ppt", "-");
    addTask(g, "/in/c.ppt");
    const QString file = path("job.qvj");
    QString why;
    ASSERT_TRUE(SaveConversionJobFile(session, file, &why)) << why.toStdString();

    const QByteArray bytes = qvtest::readFile(file);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.startsWith("A,1,2\t1\tC\t/in/Pr\xC3\xA4sentation.ppt\t1\tppt\t/out/*.pdf\t32\tpdf\t+\t\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 4);
    EXPECT_TRUE(bytes.endsWith("\t*\t\t\t\t\t\t\t\t\t\r\n"));

    session.bRunning = false;
    InitToDoGrid(g);
    hooks.runningSeen.clear();
    ASSERT_TRUE(LoadConversionJobFile(session, file, 1, &why)) << why.toStdString();
    ASSERT_EQ(g.rows(), 5);
    EXPECT_EQ(g.textMatrix(1, 3), QString::fromUtf8("/in/Präsentation.ppt"));
    EXPECT_EQ(g.textMatrix(3, 3), "/in/c.ppt");
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(g.textMatrix(r, 1), QString::number(r));
    EXPECT_EQ(g.textMatrix(4, 1), "*");
    EXPECT_EQ(g.cellPicture(1, 9), FlexGrid::Picture::Passed);
    EXPECT_EQ(g.cellPicture(2, 9), FlexGrid::Picture::Failed);
    EXPECT_EQ(g.row(), 4);
    EXPECT_TRUE(session.sCappedJobFile.isEmpty());
    EXPECT_FALSE(session.bRunning);
    // Running while it loads (so that Pause can stop it), the old state afterwards.
    EXPECT_EQ(hooks.runningSeen, QList<bool>({true, false}));
    EXPECT_EQ(panels.panelText(StatusPanel::Message), "Completed loading conversion job: " + file);
    EXPECT_FALSE(gbSuppressEvents);

    session.bRunning = true; // a reload task inside a run keeps the run going
    ASSERT_TRUE(LoadConversionJobFile(session, file, 1));
    EXPECT_TRUE(session.bRunning);
}

TEST_F(JobFilesTest, ReaderAcceptsAnyLineEndAndWindows1252AndSkipsBlankLines)
{
    const QString file = path("old.qvj");
    ASSERT_TRUE(qvtest::writeFile(file, "A,1,2\t7\tC\t/in/caf\xE9.ppt\t1\tppt\t/o/*.pdf\t32\tpdf\t\n"
                                        "\r\n"
                                        "R,1,2\t8\tC\t/in/b.ppt\t1\tppt\t/o/*.pdf\t32\tpdf\t\r"
                                        "   \n"
                                        ",2,3\t9\tC\t/in/c.ppt\t1\tppt\t/o/*.pdf\t32\tpdf"));
    ASSERT_TRUE(LoadConversionJobFile(session, file, 1));
    FlexGrid &g = session.fgToDo;
    ASSERT_EQ(g.rows(), 5);
    EXPECT_EQ(g.textMatrix(1, 3), QString::fromUtf8("/in/café.ppt"));
    EXPECT_EQ(g.textMatrix(2, 0), "R,1,2");
    EXPECT_EQ(g.textMatrix(3, 8), "pdf");
    EXPECT_EQ(g.textMatrix(3, 1), "3");

    // Lines are counted with the blank ones: line 5 is the third task.
    ASSERT_TRUE(LoadConversionJobFile(session, file, 4));
    ASSERT_EQ(g.rows(), 3);
    EXPECT_EQ(g.textMatrix(1, 3), "/in/c.ppt");
    EXPECT_EQ(g.textMatrix(1, 1), "4");
    // The grid now holds only part of the file: saving over it is refused and leaves it whole.
    EXPECT_EQ(session.sCappedJobFile, file);
    const QByteArray before = qvtest::readFile(file);
    QString why;
    EXPECT_FALSE(SaveConversionJobFile(session, file, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(qvtest::readFile(file), before);
    EXPECT_TRUE(SaveConversionJobFile(session, path("copy.qvj")));
}

TEST_F(JobFilesTest, MissingFileIsReportedAndLeavesTheGridAlone)
{
    addTask(session.fgToDo, "/in/keep.ppt");
    QString why;
    EXPECT_FALSE(LoadConversionJobFile(session, path("none.qvj"), 1, &why));
    EXPECT_EQ(why, "File: " + path("none.qvj") + " does not exist");
    EXPECT_EQ(session.fgToDo.rows(), 3);
    EXPECT_EQ(session.fgToDo.textMatrix(1, 3), "/in/keep.ppt");
    EXPECT_TRUE(hooks.runningSeen.isEmpty());
}

TEST_F(JobFilesTest, ThirtyThousandTaskCapAndTheReloadTask)
{
    const QString file = path("big.qvj");
    ASSERT_TRUE(qvtest::writeFile(file, generatedJob(30005)));
    FlexGrid &g = session.fgToDo;

    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(LoadConversionJobFile(session, file, 1));
    const qint64 ms = timer.elapsed();
    std::printf("loading 30000 job lines: %lld ms\n", static_cast<long long>(ms));
    EXPECT_LT(ms, 60000); // did not hang; its speed: bench/main_window --tasks 30000 --files 0

    ASSERT_EQ(g.rows(), kMaxLoadedTasks + 2);
    EXPECT_EQ(g.textMatrix(29999, 3), "/in/deck29999.ppt");
    const int reload = kMaxLoadedTasks;
    EXPECT_EQ(g.rowCells(reload), QStringList({" ", "30000", "S1", "Reload conversion job start at task 30000", "0",
                                                "0", file, "30000", "", ""}));
    EXPECT_EQ(g.textMatrix(reload + 1, 1), "*");
    EXPECT_EQ(session.sCappedJobFile, file);
    EXPECT_EQ(panels.panelText(StatusPanel::Message), "Completed loading conversion job: " + file);

    // Saving the capped job over its own file would drop tasks 30000 to 30005.
    EXPECT_FALSE(SaveConversionJobFile(session, file));
    EXPECT_EQ(qvtest::readFile(file).count("\r\n"), 30006);

    clsConversionOptions task;
    GetOptionsFromGridRow(task, reload, g);
    EXPECT_EQ(task.lSpecialProcess, spReloadJob);
    EXPECT_EQ(task.sTargetFile, file);
    ASSERT_TRUE(LoadConversionJobFile(session, task.sTargetFile, task.lTargetFileType));
    ASSERT_EQ(g.rows(), 8);
    EXPECT_EQ(g.textMatrix(1, 1), "30000");
    EXPECT_EQ(g.textMatrix(1, 3), "/in/deck30000.ppt");
    EXPECT_EQ(g.textMatrix(6, 1), "30005");
    EXPECT_EQ(g.textMatrix(7, 1), "*");
}

TEST_F(JobFilesTest, AJobOfExactlyTheCapNeedsNoReloadTask)
{
    const QString file = path("exact.qvj");
    ASSERT_TRUE(qvtest::writeFile(file, generatedJob(kMaxLoadedTasks - 1) + "\r\n\r\n"));
    ASSERT_TRUE(LoadConversionJobFile(session, file, 1));
    EXPECT_EQ(session.fgToDo.rows(), kMaxLoadedTasks + 1);
    EXPECT_EQ(session.fgToDo.textMatrix(kMaxLoadedTasks - 1, 2), "C");
    EXPECT_TRUE(session.sCappedJobFile.isEmpty());
    EXPECT_TRUE(SaveConversionJobFile(session, file));
}

TEST_F(JobFilesTest, PauseStopsTheLoadAndStaysPaused)
{
    const QString file = path("paused.qvj");
    ASSERT_TRUE(qvtest::writeFile(file, generatedJob(2500)));
    PauseOnFirstCall pump(session);
    session.setPump(&pump);
    session.bRunning = true;
    ASSERT_TRUE(LoadConversionJobFile(session, file, 1));
    session.setPump(nullptr);
    EXPECT_EQ(pump.calls, 1);
    EXPECT_FALSE(session.bRunning);
    EXPECT_EQ(session.sCappedJobFile, file);
    // The rows read so far, then a reload task for the lines not yet read.
    ASSERT_EQ(session.fgToDo.rows(), 1000 + 3);
    EXPECT_EQ(session.fgToDo.textMatrix(1000, 3), "/in/deck1000.ppt");
    EXPECT_EQ(session.fgToDo.rowCells(1001), QStringList({" ", "1001", "S1", "Reload conversion job start at task 1001",
                                                          "0", "0", file, "1001", "", ""}));
    EXPECT_EQ(session.fgToDo.textMatrix(1002, 1), "*");

    // Paused while the lines before the first task were skipped: the rest begins at that task.
    PauseOnFirstCall again(session);
    session.setPump(&again);
    ASSERT_TRUE(LoadConversionJobFile(session, file, 1500));
    session.setPump(nullptr);
    ASSERT_EQ(session.fgToDo.rows(), 3);
    EXPECT_EQ(session.fgToDo.textMatrix(1, 7), "1500");
}

TEST_F(JobFilesTest, SavingAnEmptyJobAddsTheEditorTaskOrWritesNothing)
{
    const QString file = path("empty.qvj");
    QString why;
    EXPECT_FALSE(SaveConversionJobFile(session, file, &why));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(why.isEmpty());

    clsConversionOptions editor;
    editor.sOriginalFile = "/in/x.ppt";
    editor.lOriginalFileType = 1;
    editor.lTargetFileType = 32;
    hooks.editorTask = &editor;
    ASSERT_TRUE(SaveConversionJobFile(session, file, &why));
    EXPECT_TRUE(qvtest::readFile(file).startsWith("A,1,2\t1\tC\t/in/x.ppt\t1\tppt\t\t32\tpdf\t\t\r\n"));
}

TEST_F(JobFilesTest, FailedWritesLeaveTheOldFileWhole)
{
    const QString file = path("keep.qvj");
    ASSERT_TRUE(qvtest::writeFile(file, "old contents\r\n"));
    FlexGrid &g = session.fgToDo;
    for (int i = 0; i < 200; ++i)
        addTask(g, "/in/some/rather/long/folder/name/deck" + QString::number(i) + ".ppt");

    // Killed in the middle of its write, a save leaves only its hidden staged name beside the
    // file, and the next save into the folder removes it.
    const pid_t child = ::fork();
    if (child == 0) {
        struct rlimit tiny {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &tiny);
        SaveConversionJobFile(session, file);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    const auto everything = QDir::Files | QDir::Hidden;
    EXPECT_EQ(QDir(path("")).entryList(everything).size(), 2);
    EXPECT_EQ(qvtest::readFile(file), QByteArray("old contents\r\n"));
    ASSERT_TRUE(ExportGridRenumbered(path("other.qvj"), g));
    EXPECT_EQ(QDir(path("")).entryList(everything), QStringList({"keep.qvj", "other.qvj"}));

    // A file-size limit makes the write fail half-way, for root too.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString why;
    const bool saved = SaveConversionJobFile(session, file, &why);
    const bool exported = ExportGridRenumbered(file, g);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(exported);
    EXPECT_TRUE(why.contains(file));
    EXPECT_EQ(qvtest::readFile(file), QByteArray("old contents\r\n"));

    // A TAB inside a cell would split the row when it is read back: refused.
    InitToDoGrid(g);
    addTask(g, "/in/a\tb.ppt");
    EXPECT_FALSE(SaveConversionJobFile(session, file, &why));
    EXPECT_EQ(qvtest::readFile(file), QByteArray("old contents\r\n"));
    EXPECT_FALSE(SaveConversionJobFile(session, path("no/such/folder/x.qvj")));
}

TEST_F(JobFilesTest, ExportRenumbersAndSkipsEmptyRows)
{
    FlexGrid log(11);
    InitLogGrid(log);
    log.setRows(13);
    for (int r = 1; r < 13; ++r) {
        if (r == 3 || r == 11)
            continue; // entirely empty rows, one numbered 10 or more
        log.setTextMatrix(r, 0, "A,1,2");
        log.setTextMatrix(r, 1, QString::number(100 + r)); // the task's own number is not written
        log.setTextMatrix(r, 2, "C");
        log.setTextMatrix(r, 6, "/out/" + QString::number(r) + ".pdf");
        log.setTextMatrix(r, 7, "32");
        log.setTextMatrix(r, 8, "pdf");
        log.setTextMatrix(r, 9, "+");
        log.setTextMatrix(r, 10, "Success");
    }
    log.setTextMatrix(12, 9, "-");
    log.setTextMatrix(12, 0, QString());
    log.setTextMatrix(12, 2, QString());
    log.setTextMatrix(12, 6, QString());
    log.setTextMatrix(12, 7, QString()); // only unexported cells left: skipped

    const QString file = path("results.qvj");
    QString why;
    ASSERT_TRUE(ExportGridRenumbered(file, log, &why)) << why.toStdString();
    const QByteArray bytes = qvtest::readFile(file);
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 10); // nine lines and the empty rest after the last line end
    EXPECT_EQ(lines.at(0), "A,1,2\t1\tC\t\t\t\t/out/1.pdf\t32\t\r");
    EXPECT_EQ(lines.at(2), "A,1,2\t4\tC\t\t\t\t/out/4.pdf\t32\t\r");
    EXPECT_FALSE(bytes.contains("Success"));
    EXPECT_FALSE(bytes.contains("\t11\t"));
    EXPECT_FALSE(bytes.contains("\t12\t"));

    // The results file loads back as a job.
    ASSERT_TRUE(LoadConversionJobFile(session, file, 1));
    EXPECT_EQ(session.fgToDo.rows(), 11);
    EXPECT_EQ(session.fgToDo.textMatrix(9, 6), "/out/10.pdf");
}

TEST_F(JobFilesTest, ResultsFileHoldsTheFailedRowsOfTheRunAndLeavesOutNamesItCannotStore)
{
    FlexGrid log(11);
    InitLogGrid(log);
    auto addLogRow = [&](const QString &original, const QString &mark) {
        log.addItem(QStringList{"A,1,2", "7", "C", original, "3", "ppt", "/out/x.pdf", "32", "pdf", mark, "why"},
                    log.rows() - 1);
    };
    addLogRow("/in/earlier.ppt", "-");    // an earlier call's row
    addLogRow("/in/a.ppt", "-");
    addLogRow("/bin/sh", "+");            // a launched program's exit code
    addLogRow("/in/tab\there.ppt", "-");  // cannot be stored
    addLogRow("/in/line\nbreak.ppt", "-");
    addLogRow("/in/b.ppt", "-");

    const QString file = path("results.qvj");
    QStringList leftOut;
    ASSERT_TRUE(ExportResultsFile(file, log, 2, &leftOut));
    EXPECT_EQ(leftOut, QStringList({"/in/tab\there.ppt", "/in/line\nbreak.ppt"}));
    EXPECT_EQ(qvtest::readFile(file), QByteArray("A,1,2\t1\tC\t/in/a.ppt\t3\tppt\t/out/x.pdf\t32\t\r\n"
                                                 "A,1,2\t2\tC\t/in/b.ppt\t3\tppt\t/out/x.pdf\t32\t\r\n"));
}

TEST_F(JobFilesTest, OnlyJobsLoadAndAnythingElseLeavesTheGridAlone)
{
    // Jobs: saved by the program, results of a run, the demo jobs, old files with blank lines and
    // no "*" line, an empty results file, the log of a launched program saved as a job.
    addTask(session.fgToDo, "/in/a.ppt", "+");
    ASSERT_TRUE(SaveConversionJobFile(session, path("saved.qvj")));
    FlexGrid log(11);
    InitLogGrid(log);
    log.addItem(QStringList{"T32 S1 W60", "1", "S60", "/bin/sh", "-1", "", "-c true", "-1", "", "-", "why"}, 1);
    ASSERT_TRUE(ExportResultsFile(path("results.qvj"), log, 1));
    ASSERT_TRUE(ExportResultsFile(path("none failed.qvj"), FlexGrid(11), 1));
    ASSERT_TRUE(qvtest::writeFile(path("old.qvj"), "\r\n\r\n" + taskLine(1).replace("\tC\t", "\tc \t") + "\n\n"));
    ASSERT_TRUE(qvtest::writeFile(path("star only.qvj"), "\t*\t\t\t\t\t\t\t\t\t\r\n"));
    QStringList jobs{path("saved.qvj"), path("results.qvj"), path("none failed.qvj"), path("old.qvj"),
                     path("star only.qvj")};
    const QDir demos(qvtest::sourceDir() + "/data/Demo Conversion Jobs");
    for (const QString &name : demos.entryList({"*.qvj"}, QDir::Files))
        jobs << demos.filePath(name);
    ASSERT_GE(jobs.size(), 9);
    for (const QString &job : jobs) {
        QString why;
        EXPECT_TRUE(LoadConversionJobFile(session, job, 1, &why)) << job.toStdString() << ": " << why.toStdString();
        EXPECT_TRUE(ConversionJobFileRefusal(job).isEmpty()) << job.toStdString();
    }
    EXPECT_EQ(ReadJobFileTaskLines(path("results.qvj"), 10).size(), 1);

    // Not jobs: a presentation (a zip), a NUL in an otherwise good job, plain text, text with
    // TABs whose third cell is no Do code, random bytes.
    QByteArray random(4096, 0);
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);
    const QList<std::pair<QString, QByteArray>> others{
        {"deck.pptx", qvtest::readFile(qvtest::sourceDir() + "/data/Demo Data/Quarterly Review.pptx")},
        {"nul.qvj", taskLine(1) + QByteArray("\0", 1) + taskLine(2)},
        {"notes.txt", "A plain text file\r\nwith two lines, one of them 1\tC\r\n"},
        {"table.tsv", "name\tcount\tCount\t\r\nx\t1\tC2x\t\r\n"},
        {"random.bin", random}};
    InitToDoGrid(session.fgToDo);
    addTask(session.fgToDo, "/in/keep.ppt");
    hooks.runningSeen.clear();
    for (const auto &[name, bytes] : others) {
        ASSERT_GT(bytes.size(), 20) << name.toStdString();
        ASSERT_TRUE(qvtest::writeFile(path(name), bytes));
        QString why;
        EXPECT_FALSE(LoadConversionJobFile(session, path(name), 1, &why)) << name.toStdString();
        EXPECT_EQ(why, "This file is not a conversion job: (" + path(name) + ")");
        EXPECT_EQ(ConversionJobFileRefusal(path(name)), why);
        EXPECT_TRUE(ReadJobFileTaskLines(path(name), 10).isEmpty()) << name.toStdString();
        ASSERT_EQ(session.fgToDo.rows(), 3);
        EXPECT_EQ(session.fgToDo.textMatrix(1, 3), "/in/keep.ppt");
        EXPECT_EQ(qvtest::readFile(path(name)), bytes);
    }
    EXPECT_TRUE(hooks.runningSeen.isEmpty());
    EXPECT_TRUE(ConversionJobFileRefusal(path("gone.qvj")).contains(path("gone.qvj")));
}

namespace {

// A good task line with cell c replaced (cells as a job file holds them, every one ended by TAB).
QByteArray lineWithCell(int c, const QByteArray &cell)
{
    QList<QByteArray> cells{"A,1,2", "1", "C", "/in/a.ppt", "3", "ppt", "/out/a.pdf", "32", "pdf", ""};
    if (c >= cells.size())
        cells.resize(c + 1);
    cells[c] = cell;
    return cells.join('\t') + "\t\r\n";
}

} // namespace

TEST_F(JobFilesTest, EveryJobTheProgramWritesAndEveryFormOfTheFormatLoads)
{
    // Rows of every kind as the add road writes them, and column 0 as the editor's update road does.
    FlexGrid &g = session.fgToDo;
    session.settings.lFromSlide = 3;
    session.settings.lToSlide = 7;
    clsConversionOptions c;
    c.sOriginalFile = "/in/*.ppt";
    c.lOriginalFileType = 3;
    c.sTargetFile = "/out/*.pdf";
    c.lTargetFileType = 32;
    c.bDoSubfolders = c.bSaveInOriginalFolder = c.bCreateFileForEachSlide = c.bConvertAllSlides = true;
    c.lConversionMethod = cmMSWord;
    AddToDoItemToGrid(c, g, session.settings);
    c.lConversionMethod = cmFromPDF;
    c.lOriginalFileType = kTypeNotGiven;
    AddToDoItemToGrid(c, g, session.settings);
    for (const int id : {spReloadJob, spAppendFiles, spRemoveEmptyLines, spSearchAndReplace, spLaunchProgram}) {
        clsConversionOptions sp;
        sp.sActionToDo = "S" + QString::number(id);
        sp.lSpecialProcess = id;
        sp.lConversionMethod = cmSpecialProcess;
        sp.bCaseSensitive = true;
        sp.sOriginalFile = "/in/a.txt";
        sp.lOriginalFileType = sp.lTargetFileType = 1;
        sp.sTargetFile = "/out/a.txt";
        sp.sFindString = "Rex, 1,2}} Find{{";
        sp.sReplaceString = "G,D{{x";
        sp.lCommandLineWaitTime = -1;
        AddToDoItemToGrid(sp, g, session.settings);
    }
    for (const char *code : {"R G D          Find{{a,b}}Replace{{c}}", " G", "", "RGMCA,3,7", "P,1,2", "T64 S6 W30"}) {
        addTask(g, "/in/u.ppt", "+");
        g.setTextMatrix(lastTaskRow(g), ToDoColumn::Options, code);
    }
    g.addItem(QStringList{" ", "0", "S1", "Reload conversion job start at task 5", "0", "0", "/j.qvj", "5"}, g.rows() - 1);
    const int tasks = lastTaskRow(g);
    ASSERT_TRUE(SaveConversionJobFile(session, path("saved.qvj")));

    // The log of failures of each kind, a launched program, a scheduled run that could not start.
    FlexGrid &log = session.fgLog;
    InitLogGrid(log);
    for (int r = 1; r <= tasks; ++r) {
        clsConversionOptions task;
        GetOptionsFromGridRow(task, r, g);
        task.sErr = "failed";
        if (task.lSpecialProcess == spLaunchProgram)
            session.LogExitCode(r, task);
        else
            session.LogConversionError(r, task);
    }
    QStringList notStarted(log.cols());
    notStarted[ToDoColumn::Original] = path("saved.qvj");
    notStarted[ToDoColumn::Pass] = "-";
    notStarted[ToDoColumn::Status] = "could not start";
    log.addItem(notStarted, log.rows() - 1);
    ASSERT_TRUE(ExportLogAsJob(path("log.qvj"), log));
    ASSERT_TRUE(ExportResultsFile(path("results.qvj"), log, 1));

    // Written by hand from the format: any line end, no closing TAB, trailing empty cells left
    // off, blanks around cells, lower-case codes, no task number, more closing TABs, a "*" row
    // of fewer cells, a byte-order mark, Windows-1252.
    const QByteArray hand = "\xEF\xBB\xBF" + taskLine(1) + "\n\r\n \t \n" +
                            "A,1,2\t2\tC\t/in/b.ppt\t3\tppt\t/out/b.pdf\t32\tpdf\n" +
                            "T32 S1 W-1\t3\tS60\t/bin/true\r" + ",1,2\t\tS1\t\t\t\t/j.qvj\r\n" +
                            " rga ,1, 2 \t 5 \t c \t/in/c.ppt\t +3 \tppt\t/o/c.pdf\t 32 \t\t - \t\t\t\r\n" +
                            "t32 s1 w-1\t6\ts60\t/bin/true\t-12345678\r\n" +
                            "r find{{x}}Replace{{y}}\t7\tS056\t/in/a.txt\t1\r\n" + "A,1,2\t8\tC" + "\r\n\t*\t\r\n";
    ASSERT_TRUE(qvtest::writeFile(path("hand.qvj"), hand));
    ASSERT_TRUE(qvtest::writeFile(path("cp1252.qvj"), lineWithCell(3, "/in/caf\xE9.ppt")));

    const QList<std::pair<QString, int>> jobs{{path("saved.qvj"), tasks},  {path("log.qvj"), tasks + 1},
                                               {path("results.qvj"), tasks}, {path("hand.qvj"), 8},
                                               {path("cp1252.qvj"), 1}};
    for (const auto &[job, rows] : jobs) {
        QString why;
        EXPECT_TRUE(LoadConversionJobFile(session, job, 1, &why)) << job.toStdString() << ": " << why.toStdString();
        EXPECT_EQ(lastTaskRow(g), rows) << job.toStdString();
        EXPECT_TRUE(ConversionJobFileRefusal(job).isEmpty()) << job.toStdString();
        EXPECT_EQ(ReadJobFileTaskLines(job, 100).size(), rows) << job.toStdString();
    }
}

TEST_F(JobFilesTest, ATableOrTextWithADoCodeOnSomeLineIsNoJob)
{
    const QList<std::pair<QString, QByteArray>> others{
        {"temperatures.tsv", "Date\tHigh\tUnit\r\n2024-05-01\t21\tC\r\n2024-05-02\t19.5\tC\r\n"},
        {"temperatures2.tsv", "Berlin\t21\tC\t70\tF\r\nOslo\t4\tC\t39\tF\r\n"},
        {"sizes.tsv", "Shirt\t12\tS\t38\r\nJacket\t3\tS\t42\r\n"},
        {"prose.txt", "Dear team,\r\nthe first task:\r\n\t1\tC\t/in/a.ppt\r\nRegards\r\n"},
        // A good job but for one cell of one line.
        {"option.qvj", taskLine(1) + lineWithCell(0, "Berlin")},
        {"number.qvj", taskLine(1) + lineWithCell(1, "1a")},
        {"star.qvj", taskLine(1) + lineWithCell(1, "*")},
        {"original type.qvj", taskLine(1) + lineWithCell(4, "21.5")},
        {"target type.qvj", taskLine(1) + lineWithCell(7, "C")},
        {"pass.qvj", taskLine(1) + lineWithCell(9, "ok")},
        {"eleventh.qvj", taskLine(1) + lineWithCell(10, "Status")},
        {"two cells.qvj", taskLine(1) + "A,1,2\t2\r\n"}};
    addTask(session.fgToDo, "/in/keep.ppt");
    for (const auto &[name, bytes] : others) {
        ASSERT_TRUE(qvtest::writeFile(path(name), bytes));
        QString why;
        EXPECT_FALSE(LoadConversionJobFile(session, path(name), 1, &why)) << name.toStdString();
        EXPECT_EQ(why, "This file is not a conversion job: (" + path(name) + ")");
        EXPECT_EQ(session.fgToDo.textMatrix(1, 3), "/in/keep.ppt");
    }
}

TEST_F(JobFilesTest, OnlyCOrSAndTheIdOfAKnownProcessPassAsADoCode)
{
    for (const QByteArray code : {"C", "c", " C ", "S1", "S50", "s55", "S56", "S60", "S050"})
        EXPECT_TRUE(IsConversionJobText(taskLine(1) + lineWithCell(2, code))) << code.constData();
    for (const QByteArray code : {"", " ", "X", "CC", "CS", "SC", "S", "S0", "S2", "S51", "S99", "S-1", "S+50", "S 50",
                                  "S1x", "C1", "Celsius", "Small", "\xC2\xB0" "C", "1", "*", "+"})
        EXPECT_FALSE(IsConversionJobText(taskLine(1) + lineWithCell(2, code))) << code.constData();
}

TEST_F(JobFilesTest, ADamagedTailOfNulBytesIsLeftOutAndANulBeforeTheLastLineEndIsNoJob)
{
    const QByteArray nuls(4096, '\0');
    const QList<std::pair<QByteArray, int>> damaged{
        {generatedJob(3) + nuls, 3}, {taskLine(1) + taskLine(2).replace("\r\n", "\n") + nuls, 2},
        {taskLine(1).replace("\r\n", "\r") + QByteArray(1, '\0'), 1}, {nuls, 0}};
    for (const auto &[bytes, tasks] : damaged) {
        const QString file = path("damaged.qvj");
        ASSERT_TRUE(qvtest::writeFile(file, bytes));
        QString why, notice;
        ASSERT_TRUE(LoadConversionJobFile(session, file, 1, &why, &notice)) << why.toStdString();
        EXPECT_EQ(lastTaskRow(session.fgToDo), tasks);
        const QString said = "The damaged end of the conversion job file (NUL bytes) was left out: (" + file + ")";
        EXPECT_EQ(notice, said);
        EXPECT_EQ(panels.panelText(StatusPanel::Message), said);
        EXPECT_TRUE(ConversionJobFileRefusal(file).isEmpty());
        EXPECT_EQ(ReadJobFileTaskLines(file, 10).size(), tasks);
        // Saved, the repaired job has no NUL left.
        if (tasks > 0) {
            ASSERT_TRUE(SaveConversionJobFile(session, file));
            EXPECT_FALSE(qvtest::readFile(file).contains('\0'));
        }
    }
    QString notice = "stale";
    ASSERT_TRUE(qvtest::writeFile(path("whole.qvj"), generatedJob(1)));
    ASSERT_TRUE(LoadConversionJobFile(session, path("whole.qvj"), 1, nullptr, &notice));
    EXPECT_EQ(notice, "");

    // NULs inside a line, between lines, or after part of a last line: no job.
    for (const QByteArray &bytes : {taskLine(1).insert(5, '\0') + taskLine(2), taskLine(1) + nuls + taskLine(2),
                                    taskLine(1) + "A,1,2\t2\tC\t/in/a" + nuls})
        EXPECT_FALSE(IsConversionJobText(bytes));
}
