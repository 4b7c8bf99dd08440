// Failures of the worker road: bad originals, unwritable targets, bad ranges, a killed worker,
// a time-out; each a result code with its fixed message and no file left behind.
#include "ConverterTestSupport.h"
#include "TestEnv.h"
#include "converter/TypeCatalogue.h"
#include "converter/worker/PackageRetyper.h"
#include "platform/EventPump.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>

using namespace convtest;
using namespace TypeCatalogue;

namespace {

// Waits until the kernel has ended a killed process (it stays a zombie until reaped).
void waitUntilDead(qint64 pid)
{
    for (int i = 0; i < 6000; ++i) {
        const QByteArray stat = qvtest::readFile(QString("/proc/%1/stat").arg(pid));
        const int close = stat.lastIndexOf(')');
        if (stat.isEmpty() || (close > 0 && stat.mid(close + 2, 1) == "Z"))
            return;
        QThread::msleep(10);
    }
}

class ConversionFailure : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetOptions(control());
        pptx = deck(QStringLiteral("pptx"));
        ASSERT_FALSE(pptx.isEmpty());
        out = freshFolder(QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    }

    // The code, its message, and a target folder holding nothing but what was there before.
    void expectFailure(int rc, int expected, const QStringList &before = {})
    {
        EXPECT_EQ(rc, expected);
        EXPECT_EQ(control().lastMessage(), resultMessage(expected));
        EXPECT_FALSE(control().lastMessage().isEmpty());
        EXPECT_EQ(entries(out), before);
        EXPECT_TRUE(control().lastOutputs().isEmpty());
    }

    QString pptx;
    QString out;
};

TEST_F(ConversionFailure, OriginalsThatCannotBeConverted)
{
    // Random bytes and a cut-off package.
    QByteArray noise;
    for (int i = 0; i < 4000; ++i)
        noise += char((i * 7919) % 251);
    qvtest::writeFile(out + "/noise.pptx", noise);
    qvtest::writeFile(out + "/cut.pptx", qvtest::readFile(pptx).left(3000));
    const QStringList originals = entries(out);
    expectFailure(convert(out + "/noise.pptx", out + "/noise.pdf", 32), OriginalCorrupt, originals);
    expectFailure(convert(out + "/cut.pptx", out + "/cut.pdf", 32), OriginalCorrupt, originals);
    expectFailure(convert(out + "/missing.pptx", out + "/missing.pdf", 32), OriginalNotOpened, originals);
    // LibreOffice would open an empty file as a new, blank presentation.
    qvtest::writeFile(out + "/empty.pptx", QByteArray());
    expectFailure(convert(out + "/empty.pptx", out + "/empty.pdf", 32), OriginalCorrupt, entries(out));

    // A text document is not a presentation.
    qvtest::writeFile(out + "/letter.rtf", "{\\rtf1\\ansi Hello\\par}");
    expectFailure(convert(out + "/letter.rtf", out + "/letter.pdf", 32), OriginalCorrupt, entries(out));
}

TEST_F(ConversionFailure, PasswordProtectedOriginal)
{
    QString message;
    const QString options = QStringLiteral(
        "{\"EncryptFile\":{\"type\":\"boolean\",\"value\":\"true\"},"
        "\"DocumentOpenPassword\":{\"type\":\"string\",\"value\":\"secret\"}}");
    ASSERT_EQ(control().convertDocument(pptx, out + "/locked.pdf", "pdf", options, message), 0);
    const QStringList before = entries(out);
    expectFailure(convert(out + "/locked.pdf", out + "/locked.png", 18), OriginalPasswordProtected, before);

    // Refused, not waited on, on the way to PDF too (a PDF opens as a drawing).
    expectFailure(convert(out + "/locked.pdf", out + "/again.pdf", 32), OriginalPasswordProtected, before);
}

TEST_F(ConversionFailure, TargetsThatCannotBeWritten)
{
    expectFailure(convert(pptx, out + "/no/such/folder/deck.pdf", 32), TargetNotWritable);
    // /proc refuses new files even to root.
    EXPECT_EQ(convert(pptx, "/proc/quorvane-test.pdf", 32), TargetNotWritable);
    EXPECT_EQ(convert(pptx, "/proc/quorvane-test.png", 18), TargetNotWritable);
    EXPECT_EQ(convert(pptx, "/proc/quorvane-test.rtf", 6), TargetNotWritable);
    EXPECT_FALSE(QFileInfo::exists("/proc/quorvane-test_1.png"));
}

TEST_F(ConversionFailure, InvalidSlideRangesAndTypes)
{
    ConversionControl &c = control();
    qvtest::writeFile(out + "/deck.pdf", "previous target");
    c.setFromSlide(5);
    c.setToSlide(6);
    expectFailure(convert(pptx, out + "/deck.pdf", 32), InvalidSlideRange, {"deck.pdf"});
    c.setFromSlide(3);
    c.setToSlide(2);
    expectFailure(convert(pptx, out + "/deck.pdf", 32), InvalidSlideRange, {"deck.pdf"});
    // The failed conversions left the earlier target as it was.
    EXPECT_EQ(qvtest::readFile(out + "/deck.pdf"), QByteArray("previous target"));

    resetOptions(c);
    expectFailure(convert(pptx, out + "/deck.gif", 16), UnknownTargetType, {"deck.pdf"});
    expectFailure(convert(pptx, out + "/deck.x", 300), UnknownTargetType, {"deck.pdf"});
}

TEST_F(ConversionFailure, KilledWorkerIsReportedAndReplaced)
{
    ConversionControl &c = control();
    ASSERT_EQ(convert(pptx, out + "/warm.pdf", 32), 0);
    const qint64 first = c.workerProcessId();
    ASSERT_GT(first, 0);
    QFile::remove(out + "/warm.pdf");

    // The worker dies in the middle of a conversion, after the first slide's picture was
    // written under its temporary name: the client removes what the worker left.
    bool killed = false;
    qsizetype stagedAtKill = 0;
    auto conn = QObject::connect(&c, &ConversionControl::Progress, [&] {
        if (!killed && c.progressPercent() > 40) {
            killed = true;
            stagedAtKill = stagedLeftovers(out).size();
            ::kill(static_cast<pid_t>(c.workerProcessId()), SIGKILL);
            waitUntilDead(first);
        }
    });
    const int rc = convert(pptx, out + "/killed.png", 18);
    QObject::disconnect(conn);
    ASSERT_TRUE(killed);
    EXPECT_GT(stagedAtKill, 0);
    expectFailure(rc, WorkerStopped);

    // The next file gets a new worker.
    ASSERT_EQ(convert(pptx, out + "/after.pdf", 32), 0);
    EXPECT_NE(c.workerProcessId(), first);
    EXPECT_EQ(pdfFacts(out + "/after.pdf").pages, 4);

    // A worker that died between files is replaced before the next one.
    const qint64 second = c.workerProcessId();
    ::kill(static_cast<pid_t>(second), SIGKILL);
    waitUntilDead(second);
    ASSERT_EQ(convert(pptx, out + "/idle.pdf", 32), 0) << c.lastDetail().toStdString();
    EXPECT_NE(c.workerProcessId(), second);
}

TEST_F(ConversionFailure, TimeLimitKillsTheConversion)
{
    ConversionControl &c = control();
    ASSERT_EQ(convert(pptx, out + "/warm.pdf", 32), 0);
    QFile::remove(out + "/warm.pdf");
    const qint64 before = c.workerProcessId();
    c.setTimeLimitMs(1);
    expectFailure(convert(pptx, out + "/slow.rtf", 106), TimedOut);
    EXPECT_EQ(c.workerProcessId(), 0);
    EXPECT_TRUE(QFileInfo::exists(QString("/proc/%1").arg(before)) == false);

    c.setTimeLimitMs(120000);
    ASSERT_EQ(convert(pptx, out + "/next.pdf", 32), 0);
}

// The worker keeps LibreOffice's temporary folders in a folder of its own: nothing stays in the
// temp folder, and what a killed worker left goes when the next one starts.
TEST_F(ConversionFailure, WorkerLeavesNoTemporaryFiles)
{
    const QString tmp = freshFolder("tmpdir");
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmp));
    ConversionControl c;
    c.setOriginalFile(pptx);
    c.setTargetFileType(18);
    c.setTargetFile(out + "/a.png");
    ASSERT_EQ(c.convert(), 0);
    const qint64 killed = c.workerProcessId();
    const QString cache = qEnvironmentVariableIsEmpty("XDG_CACHE_HOME") ? qvtest::homeDir() + "/.cache"
                                                                        : qEnvironmentVariable("XDG_CACHE_HOME");
    const QString leftOver = cache + QString("/quorvane/work-%1").arg(killed);
    EXPECT_TRUE(QFileInfo(leftOver).isDir());
    ::kill(static_cast<pid_t>(killed), SIGKILL);
    waitUntilDead(killed);

    c.setTargetFile(out + "/b.pdf");
    ASSERT_EQ(c.convert(), 0);
    EXPECT_FALSE(QFileInfo::exists(leftOver));
    c.shutDown();
    if (oldTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);
    EXPECT_EQ(QDir(tmp).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

// libzip writes the rewritten package beside it under a longer name; when that fails, the
// package that was opened must still be closed.
TEST_F(ConversionFailure, RetyperThatCannotWriteReleasesThePackage)
{
    const QString name = out + "/" + QString(250, QChar(u'p')); // no room for libzip's ".XXXXXX"
    ASSERT_TRUE(QFile::copy(pptx, name));
    auto openFiles = [] { return QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size(); };
    const qsizetype before = openFiles();
    EXPECT_FALSE(PackageRetyper::retype(name, PackageRetyper::PresentationKind::Slideshow));
    EXPECT_EQ(openFiles(), before);
    EXPECT_TRUE(contentTypes(name).contains("presentation.main+xml"));
}

TEST(ConversionControlSettings, TimeLimitComesFromTheEnvironment)
{
    qputenv("QV_CONVERSION_TIMEOUT", "2.5");
    EXPECT_EQ(ConversionControl().timeLimitMs(), 2500);
    qputenv("QV_CONVERSION_TIMEOUT", "nonsense");
    EXPECT_EQ(ConversionControl().timeLimitMs(), 300000);
    qunsetenv("QV_CONVERSION_TIMEOUT");
    EXPECT_EQ(ConversionControl().timeLimitMs(), 300000);
}

class CountingPump : public EventPump
{
public:
    void processEvents() override { ++calls; }
    int calls = 0;
};

TEST_F(ConversionFailure, MemoryModeStartsAWorkerPerFileAndEventsKeepFlowing)
{
    ConversionControl c;
    // Workers are replaced for their size only where the test asks for it.
    c.setMemoryLimitKb(0);
    CountingPump pump;
    c.setEventPump(&pump);
    int progressEvents = 0;
    QObject::connect(&c, &ConversionControl::Progress, [&] { ++progressEvents; });
    c.setOptimizeForSpeed(false);
    c.setOriginalFile(pptx);
    c.setTargetFileType(32);
    c.setTargetFile(out + "/one.pdf");
    ASSERT_EQ(c.convert(), 0);
    EXPECT_EQ(c.workerProcessId(), 0);
    EXPECT_GT(pump.calls, 0);
    EXPECT_GT(progressEvents, 0);
    EXPECT_EQ(c.progressPercent(), 100);

    c.setTargetFile(out + "/two.pdf");
    ASSERT_EQ(c.convert(), 0);
    EXPECT_EQ(c.workerProcessId(), 0);

    // Speed mode keeps one worker for every file.
    c.setOptimizeForSpeed(true);
    c.setTargetFile(out + "/three.pdf");
    ASSERT_EQ(c.convert(), 0);
    const qint64 kept = c.workerProcessId();
    EXPECT_GT(kept, 0);
    c.setTargetFile(out + "/four.pdf");
    ASSERT_EQ(c.convert(), 0);
    EXPECT_EQ(c.workerProcessId(), kept);

    // A worker past its memory limit is replaced after the file.
    c.setMemoryLimitKb(1);
    c.setTargetFile(out + "/five.pdf");
    ASSERT_EQ(c.convert(), 0);
    EXPECT_EQ(c.workerProcessId(), 0);
    c.setMemoryLimitKb(0);

    QString version;
    c.getPowerPointVersion(version);
    EXPECT_TRUE(version.startsWith("7.")) << version.toStdString();
    c.shutDown();
    EXPECT_EQ(c.workerProcessId(), 0);
    EXPECT_EQ(entries(out), QStringList({"five.pdf", "four.pdf", "one.pdf", "three.pdf", "two.pdf"}));
}

TEST(ConversionControlCatalogue, QueriesAnswerWithoutAWorker)
{
    ConversionControl c;
    c.setWorkerProgram("/nonexistent/quorvane-office");
    ASSERT_GT(c.saveAsTypeCount(), 10);
    QString name;
    int code = 0;
    for (int i = 0; i < c.saveAsTypeCount(); ++i) {
        int index = i;
        ASSERT_TRUE(c.saveAsType(index, name, code));
        EXPECT_NE(code, 16); // no GIF
        EXPECT_NE(code, 15); // no WMF
        EXPECT_NE(code, 100); // no EMF
    }
    int past = c.saveAsTypeCount();
    EXPECT_FALSE(c.saveAsType(past, name, code));
    bool wildcard = true;
    int pdf = 32, group = 3, pot = 5;
    EXPECT_EQ(c.typeExtension(wildcard, pdf), "*.pdf");
    wildcard = false;
    EXPECT_EQ(c.typeExtension(wildcard, group), "ppt");
    EXPECT_EQ(c.typeExtension(wildcard, pot), "pot");
    EXPECT_TRUE(c.supportsSingleFileOutput(32));
    EXPECT_FALSE(c.supportsSingleFileOutput(18));
    for (int i = 1; i <= c.resultMessageCount(); ++i)
        EXPECT_FALSE(c.resultMessage(-i).isEmpty());
    EXPECT_TRUE(c.PowerPointVersionAtLeast2010());

    // No worker: a failure code, never a success.
    c.setOriginalFile("/tmp/x.pptx");
    c.setTargetFile("/tmp/x.pdf");
    c.setTargetFileType(32);
    EXPECT_EQ(c.convert(), WorkerNotStarted);
    EXPECT_EQ(c.lastMessage(), resultMessage(WorkerNotStarted));
    // Nor with a pool that was asked to convert ahead: it gives up instead of waiting for ever.
    c.setPoolSize(2);
    c.setLookAhead({c.request(), c.request()});
    EXPECT_EQ(c.convert(), WorkerNotStarted);
    c.setLookAhead({});
}

TEST(ConversionControlPool, AskingForTheVersionLeavesAWorkerConvertingAheadAlone)
{
    // A stand-in worker of an office that names no version: ready at once, then busy with
    // whatever it is sent.
    const QString folder = freshFolder("versionless-worker");
    const QString program = folder + "/worker.sh";
    ASSERT_TRUE(qvtest::writeFile(program, "#!/bin/sh\necho '{\"ready\":true,\"version\":\"\"}'\nexec sleep 60\n"));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ConversionControl c;
    c.setWorkerProgram(program);
    c.setPoolSize(2);
    QList<ConversionRequest> next;
    for (const QString name : {"a", "b"}) {
        ConversionRequest r;
        r.originalFile = folder + "/" + name + ".pptx";
        r.targetFile = folder + "/" + name + ".pdf";
        r.targetFileType = 32;
        next << r;
    }
    c.setLookAhead(next); // starts the workers
    for (int i = 0; i < 6000 && c.readyWorkers() < 2; ++i)
        QThread::msleep(10);
    ASSERT_EQ(c.readyWorkers(), 2);
    c.setLookAhead(next); // hands the conversions to them
    const qint64 pid = c.aheadWorkerOf(next[0].originalFile);
    ASSERT_NE(pid, 0);

    QString version;
    c.getPowerPointVersion(version);
    EXPECT_EQ(version, "");
    EXPECT_EQ(c.aheadWorkerOf(next[0].originalFile), pid);
    c.setLookAhead({});
}

} // namespace
