// A folder task on a pool of office workers: files converted ahead of their turn appear, fail and
// are logged exactly as one after the other, a pause leaves nothing of what was converted ahead,
// and a killed or slow worker costs only its own file.
#include "TestEnv.h"

#include "common/Globals.h"
#include "converter/ConversionControl.h"
#include "converter/TypeCatalogue.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"

#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace {

QString demo(const QString &name) { return qvtest::sourceDir() + QStringLiteral("/data/Demo Data/") + name; }

// Random bytes with a presentation's name: LibreOffice takes seconds to open 200 kB of them as
// text, then the conversion refuses them.
QByteArray noise()
{
    QByteArray bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += char((i * 7919) % 251);
    return bytes;
}

int pdfPages(const QString &file)
{
    try {
        QPDF pdf;
        pdf.processFile(QFile::encodeName(file).constData());
        return static_cast<int>(pdf.getAllPages().size());
    } catch (...) {
        return -1;
    }
}

QStringList everythingBelow(const QString &dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(dir).relativeFilePath(it.next());
    out.sort();
    return out;
}

// Calls a hook from the engine's event pump.
class HookPump : public EventPump
{
public:
    void processEvents() override
    {
        if (hook)
            hook();
    }
    std::function<void()> hook;
};

class FolderLookAhead : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gbCommandLineMode = false;
        InitToDoGrid(session.fgToDo);
        InitLogGrid(session.fgLog);
        session.setPump(&pump);
        session.VelmoraX1()->setTimeLimitMs(120000);
        // The figures count on the warmed-up pool staying up: no worker is replaced for its
        // size, which an instrumented build more than doubles.
        session.VelmoraX1()->setMemoryLimitKb(0);
    }
    void TearDown() override
    {
        session.setPump(nullptr);
        session.VelmoraX1()->shutDown();
    }

    // in/f01.pptx .. in/fNN.pptx; the numbers in broken get random bytes.
    void makeFolder(int count, const QList<int> &broken = {})
    {
        ASSERT_TRUE(QDir().mkpath(path("in")));
        for (int i = 1; i <= count; ++i) {
            const QString f = file(i);
            if (broken.contains(i))
                ASSERT_TRUE(qvtest::writeFile(f, noise()));
            else
                ASSERT_TRUE(QFile::copy(demo("Quarterly Review.pptx"), f));
        }
    }
    QString file(int i) const { return path(QStringLiteral("in/f%1.pptx").arg(i, 2, 10, QLatin1Char('0'))); }

    void runFolderTask(int workers, const QString &in = QStringLiteral("in"), const QString &out = QStringLiteral("out"))
    {
        session.VelmoraX1()->setPoolSize(workers);
        session.fgToDo.addItem({"A,1,2", "1", "C", path(in + "/*.pptx"), "3", "ppt", path(out + "/*.pdf"), "32", "pdf"}, 1);
        session.ConversionJobBegin();
    }

    // Runs a small folder task first, so that the pool's workers are up when the test begins.
    void warmUp(int workers)
    {
        ASSERT_TRUE(QDir().mkpath(path("warm")));
        for (int i = 1; i <= workers * 2; ++i)
            ASSERT_TRUE(QFile::copy(demo("Quarterly Review.pptx"), path(QString("warm/w%1.pptx").arg(i))));
        runFolderTask(workers, "warm", "warmed");
        QElapsedTimer waited;
        waited.start();
        while (session.VelmoraX1()->readyWorkers() < workers && waited.elapsed() < 60000)
            QThread::msleep(20);
        ASSERT_EQ(session.VelmoraX1()->readyWorkers(), workers);
        InitToDoGrid(session.fgToDo);
        InitLogGrid(session.fgLog);
    }

    QStringList logRows() const
    {
        QStringList rows;
        for (int r = 1; r < session.fgLog.rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < session.fgLog.cols(); ++c)
                cells << session.fgLog.textMatrix(r, c);
            rows << cells.join(u'|');
        }
        return rows;
    }

    QTemporaryDir tmp;
    JobSession session;
    HookPump pump;
    QString path(const QString &rel) const { return tmp.filePath(rel); }
};

} // namespace

TEST_F(FolderLookAhead, PauseAfterTheSecondFileLeavesTwoTargetsAndNothingStaged)
{
    makeFolder(10);
    warmUp(3);
    session.settings.bDeleteOriginalFileAfterProcessing = true;
    bool paused = false;
    bool aheadAtPause = false;
    pump.hook = [&] {
        if (!paused && session.sCurrentFile == file(2)) {
            // File 3 is being converted ahead, or waits under a staged name.
            aheadAtPause = session.VelmoraX1()->aheadWorkerOf(file(3)) != 0
                           || !QDir(path("out")).entryList({".qvpart-*"}, QDir::Files | QDir::Hidden).isEmpty();
            session.ConversionJobPause();
            paused = true;
        }
    };
    runFolderTask(3);
    ASSERT_TRUE(paused);
    EXPECT_TRUE(aheadAtPause);
    EXPECT_EQ(everythingBelow(path("out")), QStringList({"f01.pdf", "f02.pdf"}));
    QStringList left;
    for (int i = 3; i <= 10; ++i)
        left << QFileInfo(file(i)).fileName();
    EXPECT_EQ(everythingBelow(path("in")), left) << "no original beyond the pause is deleted";
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "");
    EXPECT_EQ(session.lResumeFileIndex, 2);
}

TEST_F(FolderLookAhead, PauseRemovesTheFoldersMadeOnlyForWorkAhead)
{
    // Two files ahead share a nested target folder that the run has not reached.
    ASSERT_TRUE(QDir().mkpath(path("in/x/y")));
    for (const char *name : {"in/a.pptx", "in/x/y/g1.pptx", "in/x/y/g2.pptx"})
        ASSERT_TRUE(QFile::copy(demo("Quarterly Review.pptx"), path(name)));
    warmUp(3);
    auto ahead = [&](const char *name) {
        return session.VelmoraX1()->aheadWorkerOf(path(QStringLiteral("in/x/y/%1.pptx").arg(name))) != 0
               || !QDir(path("out/x/y")).entryList({QStringLiteral(".qvpart-*%1*").arg(name)}, QDir::Files | QDir::Hidden).isEmpty();
    };
    bool paused = false;
    bool bothAhead = false;
    pump.hook = [&] {
        if (!paused && session.sCurrentFile == path("in/a.pptx")) {
            bothAhead = ahead("g1") && ahead("g2");
            session.ConversionJobPause();
            paused = true;
        }
    };
    session.VelmoraX1()->setPoolSize(3);
    session.fgToDo.addItem({"RA,1,2", "1", "C", path("in/*.pptx"), "3", "ppt", path("out/*.pdf"), "32", "pdf"}, 1);
    session.ConversionJobBegin();
    ASSERT_TRUE(paused);
    ASSERT_TRUE(bothAhead);
    EXPECT_EQ(everythingBelow(path("out")), QStringList{"a.pdf"});
}

TEST_F(FolderLookAhead, KilledWorkerFailsOnlyTheFileItWasConverting)
{
    // File 4 is slow to open, so its worker is caught in the middle of it.
    makeFolder(7, {4});
    const QString userLock = path("in/.~lock.f04.pptx#");
    bool killed = false;
    pump.hook = [&] {
        const qint64 pid = session.VelmoraX1()->aheadWorkerOf(file(4));
        if (!killed && pid != 0 && session.sCurrentFile != file(4)) {
            // The user's own office opens the file at this moment: its lock is none of ours.
            ASSERT_TRUE(qvtest::writeFile(userLock, ",user,host,07.12.2026 10:00,file:///home/user;"));
            ::kill(static_cast<pid_t>(pid), SIGKILL);
            killed = true;
        }
    };
    runFolderTask(3);
    ASSERT_TRUE(killed);
    const QStringList rows = logRows();
    ASSERT_EQ(rows.size(), 2) << rows.join('\n').toStdString(); // the failure and the empty last row
    EXPECT_TRUE(rows[0].contains(file(4)));
    EXPECT_TRUE(rows[0].contains(TypeCatalogue::resultMessage(TypeCatalogue::WorkerStopped))) << rows[0].toStdString();
    EXPECT_EQ(everythingBelow(path("out")),
              QStringList({"f01.pdf", "f02.pdf", "f03.pdf", "f05.pdf", "f06.pdf", "f07.pdf"}));
    QStringList in{QFileInfo(userLock).fileName()};
    for (int i = 1; i <= 7; ++i)
        in << QFileInfo(file(i)).fileName();
    in.sort();
    EXPECT_EQ(everythingBelow(path("in")), in) << "no lock of a worker, and the user's lock kept";
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "-");
}

TEST_F(FolderLookAhead, TimeOutOfOneFileDoesNotHoldUpTheFilesAfterIt)
{
    makeFolder(7);
    // Workers that are already running keep the start of LibreOffice out of the picture.
    warmUp(3);
    // File 2's worker hangs (stopped) for as long as the test likes; the time limit, generous
    // for every other file, is cut short only once the five files after it are converted and
    // wait under names of this process.
    auto stagedAhead = [&] {
        int staged = 0;
        for (int i = 3; i <= 7; ++i)
            staged += !QDir(path("out")).entryList({QStringLiteral(".qvpart-%1.*f0%2.pdf").arg(::getpid()).arg(i)},
                                                   QDir::Files | QDir::Hidden).isEmpty();
        return staged;
    };
    qint64 hung = 0;
    int aheadAtTimeOut = -1;
    QElapsedTimer hanging;
    pump.hook = [&] {
        if (hung == 0 && (hung = session.VelmoraX1()->aheadWorkerOf(file(2))) != 0) {
            ::kill(static_cast<pid_t>(hung), SIGSTOP);
            hanging.start();
        }
        // One after the other, the files after it would wait for it: never all converted.
        if (hung != 0 && aheadAtTimeOut < 0 && (stagedAhead() == 5 || hanging.elapsed() > 120000)) {
            aheadAtTimeOut = stagedAhead();
            session.VelmoraX1()->setTimeLimitMs(1);
        }
        if (aheadAtTimeOut >= 0 && session.fgLog.rows() > 2)
            session.VelmoraX1()->setTimeLimitMs(120000);
    };
    runFolderTask(3);
    ASSERT_NE(hung, 0);
    EXPECT_EQ(aheadAtTimeOut, 5) << "the files after the hanging one were held up";
    const QStringList rows = logRows();
    ASSERT_EQ(rows.size(), 2) << rows.join('\n').toStdString();
    EXPECT_TRUE(rows[0].contains(file(2)));
    EXPECT_TRUE(rows[0].contains(TypeCatalogue::resultMessage(TypeCatalogue::TimedOut))) << rows[0].toStdString();
    EXPECT_EQ(everythingBelow(path("out")).size(), 6);
    EXPECT_EQ(everythingBelow(path("in")).size(), 7);
    ::kill(static_cast<pid_t>(hung), SIGKILL); // whatever the outcome, leave nothing behind
}

TEST_F(FolderLookAhead, AnOriginalAnEarlierFileWouldReplaceStaysAndIsConvertedAsItWas)
{
    // in/a.pptx (4 slides) would become in/sub/a.pdf, which is itself an original further down
    // the list (a 12-page PDF): that file fails, and the PDF, converted ahead or not, is
    // converted from the content it has.
    ASSERT_TRUE(QDir().mkpath(path("in/sub")));
    ASSERT_TRUE(QFile::copy(demo("Quarterly Review.pptx"), path("in/a.pptx")));
    ConversionControl *ctl = session.VelmoraX1();
    ctl->setOriginalFile(demo("Product Overview.pptx"));
    ctl->setTargetFile(path("in/sub/a.pdf"));
    ctl->setTargetFileType(32);
    ASSERT_EQ(ctl->convert(), 0);
    ASSERT_EQ(pdfPages(path("in/sub/a.pdf")), 12);
    ASSERT_TRUE(QFile::copy(demo("Quarterly Review.pptx"), path("in/sub/b.pptx")));
    warmUp(3);

    // While the engine waits for the first file, the later ones are converted ahead: it is held
    // until both are written under staged names (or long past when they could have been).
    auto stagedPages = [&](const char *name) {
        const QDir sub(path("in/sub/sub"));
        const QStringList staged = sub.entryList({QStringLiteral(".qvpart-*") + name}, QDir::Files | QDir::Hidden);
        return staged.size() == 1 ? pdfPages(sub.filePath(staged.first())) : -1;
    };
    bool held = false;
    pump.hook = [&] {
        if (!held && session.sCurrentFile == path("in/a.pptx")) {
            held = true;
            QElapsedTimer waited;
            waited.start();
            while ((stagedPages("a.pdf") != 12 || stagedPages("b.pdf") != 4) && waited.elapsed() < 120000) {
                QThread::msleep(20);
                QCoreApplication::processEvents(); // what the window's pump does
            }
        }
    };
    ctl->setPoolSize(3);
    session.fgToDo.addItem({"RA,1,2", "1", "C", path("in/*.*"), "3", "ppt", path("in/sub/*.pdf"), "32", "pdf"}, 1);
    session.ConversionJobBegin();
    ASSERT_TRUE(held);
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "-");
    EXPECT_EQ(pdfPages(path("in/sub/a.pdf")), 12);
    EXPECT_EQ(pdfPages(path("in/sub/sub/a.pdf")), 12);
    EXPECT_EQ(pdfPages(path("in/sub/sub/b.pdf")), 4);
}

TEST_F(FolderLookAhead, AFolderAnotherRunRemovesBeforeTheConversionIsMadeAgain)
{
    // Another run that failed removes the folder it made, which this run made too, right between
    // this run's making it and its conversion into it (that run's clean-up is an rmdir).
    ASSERT_TRUE(QFile::copy(demo("Quarterly Review.pptx"), path("q.pptx")));
    bool removed = false;
    pump.hook = [&] {
        if (!removed && session.sCurrentFile == path("q.pptx") && QFileInfo(path("shared/new")).isDir())
            removed = QDir().rmdir(path("shared/new")) && QDir().rmdir(path("shared"));
    };
    session.fgToDo.addItem({"A,1,2", "1", "C", path("q.pptx"), "3", "ppt", path("shared/new/x.pdf"), "32", "pdf"}, 1);
    session.ConversionJobBegin();
    ASSERT_TRUE(removed);
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "+") << logRows().join('\n').toStdString();
    EXPECT_EQ(pdfPages(path("shared/new/x.pdf")), 4);
}
