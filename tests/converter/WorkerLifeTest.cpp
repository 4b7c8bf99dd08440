// A worker's life beyond one conversion: its profile (no lock files beside the originals, no
// first start after the first), the road a whole presentation takes, when a kept worker is
// replaced for its memory, what killed programs left in a target folder, and a stop that comes
// while it commits.
#include "ConverterTestSupport.h"
#include "TestEnv.h"
#include "converter/OfficeWorker.h"
#include "converter/StagedOutput.h"
#include "converter/TypeCatalogue.h"
#include "platform/EventPump.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>

#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace convtest;

namespace {

// A worker of our own, driven one request at a time.
class Worker
{
public:
    bool start()
    {
        if (!m_w.launch(control().workerProgram()))
            return false;
        while (m_w.state() == OfficeWorker::Starting)
            m_w.poll(50);
        return m_w.state() == OfficeWorker::Idle;
    }
    void send(const QJsonObject &request) { m_w.send(request); }
    // The answer, polling meanwhile (each turn calls watch).
    QJsonObject answer(const std::function<void()> &watch = {})
    {
        while (m_w.state() == OfficeWorker::Busy && !m_w.hasAnswer()) {
            m_w.poll(20);
            if (watch)
                watch();
        }
        return m_w.takeAnswer();
    }
    QJsonObject convert(const ConversionRequest &r)
    {
        send(r.toJson());
        return answer();
    }
    void quit() { m_w.quit(); }

private:
    OfficeWorker m_w;
};

ConversionRequest pdfOf(const QString &original, const QString &target)
{
    ConversionRequest r;
    r.originalFile = original;
    r.targetFile = target;
    r.targetFileType = 32;
    return r;
}

// Sets an environment variable for one scope.
class EnvFor
{
public:
    EnvFor(const char *name, const QString &value) : m_name(name), m_old(qgetenv(name)) { qputenv(name, value.toUtf8()); }
    ~EnvFor() { qputenv(m_name, m_old); }

private:
    const char *m_name;
    QByteArray m_old;
};

} // namespace

TEST(WorkerLife, AFreshProfileTakesNoLocksAndNoStartIsAFirstStart)
{
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder(QStringLiteral("FreshProfile"));
    const QString cache = out + QStringLiteral("/cache");
    EnvFor env("XDG_CACHE_HOME", cache);
    const QString in = out + QStringLiteral("/in");
    ASSERT_TRUE(QDir().mkpath(in));
    ASSERT_TRUE(QFile::copy(pptx, in + QStringLiteral("/deck.pptx")));
    // The office runs its render tests (and logs them) at the first start of its version.
    const QString renderLog = cache + QStringLiteral("/quorvane/office-profile-1/user/GraphicsRenderTests.log");
    for (int start = 1; start <= 2; ++start) {
        Worker w;
        ASSERT_TRUE(w.start());
        QStringList locks;
        // The office holds the original for the whole load: a lock file would show meanwhile.
        w.send(pdfOf(in + QStringLiteral("/deck.pptx"), out + QStringLiteral("/deck.pdf")).toJson());
        w.answer([&] { locks += QDir(in).entryList({QStringLiteral(".~lock*")}, QDir::Files | QDir::Hidden); });
        w.quit();
        locks.removeDuplicates();
        EXPECT_TRUE(locks.isEmpty()) << start << ": " << locks.join(u' ').toStdString();
        EXPECT_EQ(entries(in), QStringList{QStringLiteral("deck.pptx")});
        EXPECT_FALSE(QFileInfo::exists(renderLog)) << "start " << start << " was a first start";
    }
    EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/deck.pdf")));
}

// A whole presentation to PDF takes the hidden load once the office has named its language.
TEST(WorkerLife, TheAnswerNamesTheRoadAConversionTook)
{
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder(QStringLiteral("Roads"));
    Worker w;
    ASSERT_TRUE(w.start());
    ConversionRequest r = pdfOf(pptx, out + QStringLiteral("/first.pdf"));
    EXPECT_EQ(w.convert(r).value("road").toString(), "regular") << "the first load names the language";
    r.targetFile = out + QStringLiteral("/whole.pdf");
    QJsonObject a = w.convert(r);
    EXPECT_EQ(a.value("result").toInt(-1), 0);
    EXPECT_EQ(a.value("road").toString(), "hidden");
    r.includeNotesPage = true;
    r.targetFile = out + QStringLiteral("/notes.pdf");
    EXPECT_EQ(w.convert(r).value("road").toString(), "regular");
    r.includeNotesPage = false;
    r.fromSlide = 2;
    r.targetFile = out + QStringLiteral("/range.pdf");
    EXPECT_EQ(w.convert(r).value("road").toString(), "regular");
    w.quit();
    EXPECT_EQ(pdfFacts(out + QStringLiteral("/whole.pdf")).pages, kDeckSlides);
}

// The memory limit holds for the growth of a kept worker, not for what it needs at rest.
TEST(WorkerLife, AKeptWorkerIsReplacedForGrowthOnly)
{
    ConversionControl &c = control();
    resetOptions(c);
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder(QStringLiteral("MemoryLimit"));
    const qint64 limit = c.memoryLimitKb();
    // A worker that has converted nothing yet, and the share a pool of eight gets of the default
    // limit: less than a worker holds at rest.
    c.shutDown();
    c.setMemoryLimitKb(128 * 1024);
    ASSERT_EQ(convert(pptx, out + QStringLiteral("/1.pdf"), 32), 0);
    const qint64 pid = c.workerProcessId();
    EXPECT_NE(pid, 0);
    for (int i = 2; i <= 3; ++i) {
        ASSERT_EQ(convert(pptx, out + QStringLiteral("/%1.pdf").arg(i), 32), 0);
        EXPECT_EQ(c.workerProcessId(), pid) << "replaced after file " << i;
    }
    // A limit that any growth passes still replaces it.
    c.setMemoryLimitKb(1);
    bool replaced = false;
    for (int i = 4; i <= 12 && !replaced; ++i) {
        ASSERT_EQ(convert(pptx, out + QStringLiteral("/%1.pdf").arg(i), 32), 0);
        replaced = c.workerProcessId() != pid;
    }
    c.setMemoryLimitKb(limit);
    EXPECT_TRUE(replaced);
}

// Staged files whose worker is gone (a killed program) are removed when a run writes into their
// folder; a running worker's are left alone.
TEST(WorkerLife, StagedFilesOfWorkersThatAreGoneAreRemoved)
{
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder(QStringLiteral("DeadStaging"));
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const QString dead = StagedNames::forProcess(child, 3, QStringLiteral("deck.pdf"));
    const QString deadLock = QStringLiteral(".~lock.") + dead + u'#';
    const QString deadFolder = StagedNames::forProcess(child, 4, QStringLiteral("dir"));
    const QString alive = StagedNames::forProcess(::getpid(), 5, QStringLiteral("other.pdf"));
    for (const QString &name : {dead, deadLock, deadFolder + QStringLiteral("/1.png"), alive})
        ASSERT_TRUE(qvtest::writeFile(out + u'/' + name, "x"));
    resetOptions(control());
    ASSERT_EQ(convert(pptx, out + QStringLiteral("/deck.pdf"), 32), 0);
    EXPECT_EQ(entries(out), (QStringList{alive, QStringLiteral("deck.pdf")}));
}

// The office never gets a setting twice: a profile that holds the switch for document locks
// twice (as an interrupted write or another version may leave it) holds it once after a start.
TEST(WorkerLife, AProfileSettingSeededTwiceIsHeldOnce)
{
    const QString out = freshFolder(QStringLiteral("TwiceSeeded"));
    const QString cache = out + QStringLiteral("/cache");
    EnvFor env("XDG_CACHE_HOME", cache);
    const QByteArray line = QByteArrayLiteral("<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"UseLocking\" "
                                              "oor:op=\"fuse\"><value>false</value></prop></item>");
    const QString xcu = cache + QStringLiteral("/quorvane/office-profile-1/user/registrymodifications.xcu");
    ASSERT_TRUE(qvtest::writeFile(xcu, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                       "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\">\n"
                                       + line + '\n' + line + "\n</oor:items>\n"));
    Worker w;
    ASSERT_TRUE(w.start());
    w.quit();
    const QByteArray text = qvtest::readFile(xcu);
    EXPECT_EQ(text.count("oor:name=\"UseLocking\""), 1) << text.toStdString();
    EXPECT_EQ(text.count(line), 1);
}

namespace {

// Calls stop once, at a turn of the pump while the worker's main thread waits to make a rename
// that strace holds back, with a staged output in folder: the worker is committing.
struct StopInCommit : EventPump
{
    ConversionControl *control = nullptr;
    QString folder;
    std::function<void(qint64 pid)> stop;
    bool stopped = false;

    void processEvents() override
    {
        const qint64 pid = control->workerProcessId();
        if (!stopped && pid > 0 && !stagedLeftovers(folder).isEmpty() &&
            qvtest::readFile(QStringLiteral("/proc/%1/syscall").arg(pid)).split(' ').value(0).toLong() == SYS_renameat2) {
            stopped = true;
            stop(pid);
        }
        EventPump::processEvents();
    }
};

} // namespace

// A worker stopped while it commits, by the client or from outside, finishes the commit and says
// so before it ends: the file counts as converted.
TEST(WorkerLife, AStopDuringACommitLetsItFinishAndCount)
{
    if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty() ||
        QProcess::execute(QStringLiteral("strace"), {"-D", "-qq", "-o", "/dev/null", "true"}) != 0)
        GTEST_SKIP() << "strace cannot trace here";
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder(QStringLiteral("StopInCommit"));
    // Each rename of the worker waits a second first, well within the client's grace.
    const QString wrapper = out + QStringLiteral("/held-renames");
    ASSERT_TRUE(qvtest::writeFile(wrapper, "#!/bin/sh\nexec strace -D -f -qq -o /dev/null -e trace=renameat2 "
                                           "-e inject=renameat2:delay_enter=1000000 '" +
                                               QFile::encodeName(control().workerProgram()) + "'\n"));
    ASSERT_TRUE(QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    struct Case
    {
        const char *name;
        bool byClient;
    };
    for (const Case k : {Case{"signal from outside", false}, Case{"the client's abort", true}}) {
        SCOPED_TRACE(k.name);
        ConversionControl c;
        c.setWorkerProgram(wrapper);
        const QString target = out + QStringLiteral("/%1.pdf").arg(k.byClient);
        StopInCommit pump;
        pump.control = &c;
        pump.folder = out;
        pump.stop = [&c, k](qint64 pid) { k.byClient ? c.abort() : (void)::kill(static_cast<pid_t>(pid), SIGTERM); };
        c.setEventPump(&pump);
        c.setRequest(pdfOf(pptx, target));
        EXPECT_EQ(c.convert(), TypeCatalogue::Success) << c.lastDetail().toStdString();
        EXPECT_TRUE(pump.stopped) << "no commit seen";
        EXPECT_EQ(c.lastOutputs().join(u'|').toStdString(), target.toStdString());
        EXPECT_EQ(pdfFacts(target).pages, kDeckSlides);
        EXPECT_EQ(stagedLeftovers(out), QStringList());
    }
}
