#include "QtPrinters.h"
#include "TestEnv.h"
#include "common/FileUtils.h"
#include "common/LogWriter.h"
#include "platform/MachineMutex.h"
#include "platform/Prompter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

#include <sys/stat.h>

namespace {

// Gives the test (and the processes it starts) a lock folder of its own, so that the lock file
// "Ambrith_Global_Mutex" of these tests is not the one that other test runs share.
class LogWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MachineMutex::setLockFolderForTests(m_tmp.path());
        qputenv("QV_TEST_LOCK_FOLDER", m_tmp.path().toLocal8Bit());
    }
    void TearDown() override
    {
        for (QProcess *p : m_children) {
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
        MachineMutex::setLockFolderForTests(QString());
        qunsetenv("QV_TEST_LOCK_FOLDER");
        SetLogMessagePrompter(nullptr);
    }

    // A child process that holds the lock `name` until it is told to let go.
    QProcess *startHolder(const QString &name)
    {
        auto *p = new QProcess;
        m_children.push_back(p);
        p->start(qvtest::binDir() + "/qv_test_lockholder", {"hold", name});
        EXPECT_TRUE(p->waitForReadyRead(10000));
        EXPECT_EQ(p->readLine().trimmed(), "locked");
        return p;
    }

    // Tells a holder to let go and waits until it has; a holder that does not answer is killed,
    // which frees the lock too, so that no test can hang on it.
    void release(QProcess *holder)
    {
        holder->write("\n");
        holder->waitForBytesWritten(5000);
        if (!holder->waitForFinished(60000)) {
            ADD_FAILURE() << "the holder did not let go";
            holder->kill();
            holder->waitForFinished(5000);
        }
    }

    QString childTry(const QString &name)
    {
        QProcess p;
        p.start(qvtest::binDir() + "/qv_test_lockholder", {"try", name});
        p.waitForFinished(10000);
        return QString::fromLatin1(p.readAllStandardOutput().trimmed());
    }

    QTemporaryDir m_tmp;
    std::vector<QProcess *> m_children;
};

class LockProbePrompter : public Prompter
{
public:
    int msgBox(const QString &text, int style, const QString &) override
    {
        MachineMutex other(QStringLiteral("Ambrith_Global_Mutex"));
        lockWasFree = other.tryLock();
        shown = text;
        shownStyle = style;
        fileAtShow = qvtest::readFile(logFile);
        return Ok;
    }
    QString logFile;
    QString shown;
    int shownStyle = -1;
    bool lockWasFree = false;
    QByteArray fileAtShow;
};

} // namespace

TEST_F(LogWriterTest, LockIsSharedWithOtherProcessesAndFreedWhenOneDies)
{
    MachineMutex mine("qv-test-lock");
    ASSERT_TRUE(mine.lock());
    EXPECT_EQ(childTry("qv-test-lock"), "busy");
    EXPECT_TRUE(mine.lock()); // nests
    mine.unlock();
    EXPECT_EQ(childTry("qv-test-lock"), "busy");
    mine.unlock();
    EXPECT_EQ(childTry("qv-test-lock"), "free");

    QProcess *holder = startHolder("qv-test-lock");
    EXPECT_FALSE(mine.tryLock());
    release(holder);
    EXPECT_TRUE(mine.tryLock());
    mine.unlock();

    // A holder killed outright leaves no stale lock behind.
    holder = startHolder("qv-test-lock");
    EXPECT_FALSE(mine.tryLock());
    holder->kill();
    ASSERT_TRUE(holder->waitForFinished(60000));
    EXPECT_TRUE(mine.tryLock());
}

TEST_F(LogWriterTest, LockFileIsOpenToEveryUserWhateverTheUmask)
{
    const mode_t old = ::umask(077);
    MachineMutex m("qv-umask-lock");
    const bool locked = m.lock();
    ::umask(old);
    ASSERT_TRUE(locked);
    EXPECT_EQ(m.filePath(), m_tmp.path() + "/qv-umask-lock");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(m.filePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
    // A link planted under the lock's name is refused rather than followed.
    ASSERT_TRUE(QFile::link(m_tmp.path() + "/elsewhere", m_tmp.path() + "/qv-link-lock"));
    MachineMutex linked("qv-link-lock");
    EXPECT_FALSE(linked.lock());
    EXPECT_FALSE(QFileInfo::exists(m_tmp.path() + "/elsewhere"));
}

TEST_F(LogWriterTest, WriterWaitsForALockHeldByAnotherProcess)
{
    const QString log = m_tmp.path() + "/run.log";
    QProcess *holder = startHolder("Ambrith_Global_Mutex");
    std::atomic<bool> done{false};
    std::thread writer([&] {
        WriteToLogFile("after the other process", log, false);
        done = true;
    });
    // Nothing to wait for here: a writer that does not wait ends within this time; one that
    // waits never does, however busy the machine.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(done.load());
    EXPECT_FALSE(QFileInfo::exists(log));
    release(holder);
    writer.join();
    EXPECT_EQ(qvtest::readFile(log), "after the other process\r\n");
}

TEST_F(LogWriterTest, AppendsUtf8LinesWithCrlfAndShowsAfterLettingGo)
{
    const QString log = m_tmp.path() + "/run.log";
    ASSERT_TRUE(qvtest::writeFile(log, "old\r\n"));
    LockProbePrompter prompter;
    prompter.logFile = log;
    SetLogMessagePrompter(&prompter);
    WriteLinesToLogFile({"-----header-----", "Date: 12/7/2026 4:05:06 AM"}, log, false);
    WriteLinesToLogFile({QString::fromUtf8("Größe"), "zwei"}, log, true);
    EXPECT_EQ(qvtest::readFile(log),
              QByteArray("old\r\n-----header-----\r\nDate: 12/7/2026 4:05:06 AM\r\n") + "Gr\xc3\xb6\xc3\x9f" "e\r\nzwei\r\n");
    EXPECT_EQ(prompter.shown, QString::fromUtf8("Größe\r\nzwei"));
    EXPECT_EQ(prompter.shownStyle, Prompter::Information);
    EXPECT_TRUE(prompter.lockWasFree);
    EXPECT_TRUE(prompter.fileAtShow.endsWith("zwei\r\n"));

    // No file: the box still shows. A log that cannot be written (its folder is missing) is not
    // created, and its lines go to standard error instead.
    prompter.shown.clear();
    WriteToLogFile("box only", "", true);
    EXPECT_EQ(prompter.shown, "box only");
    QProcess child;
    child.start(qvtest::binDir() + "/qv_test_lockholder", {"append", m_tmp.path() + "/no/such/folder.log", "2", "E"});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_TRUE(child.readAllStandardError().startsWith("E line 0 xxx"));
    EXPECT_FALSE(QFileInfo::exists(m_tmp.path() + "/no"));
    // The lock is free again after every call, also from this process's point of view.
    EXPECT_EQ(childTry("Ambrith_Global_Mutex"), "free");
}

TEST_F(LogWriterTest, NulBytesAfterTheLastLineEndAreADamagedTailThatNewLinesReplace)
{
    const QString log = m_tmp.path() + "/cut.log";
    const QByteArray nuls(4096, '\0');
    const QByteArray big(70 * 1024, 'x');
    struct Case
    {
        QByteArray before;
        int refused; // 0 no, 1 yes, 2 only by the bytes (the file's first 64 KiB hold no NUL)
        QByteArray after; // what the next line follows
    };
    const QList<Case> cases = {
        {"a\r\nb\r\n" + nuls, 0, "a\r\nb\r\n"},
        {"a\r\npart" + nuls + "x", 0, "a\r\n"}, // a line cut by the power loss goes with it
        {nuls, 0, ""},
        {big + "\r\n" + nuls, 0, big + "\r\n"},
        {"a\r\n" + QByteArray(70 * 1024, '\0') + "b", 0, "a\r\n"},
        {"a" + nuls + "\r\n", 1, {}},
        {QByteArray("text\0more", 9), 1, {}}, // no line end before the NUL
        {"a\r\n" + QByteArray(70 * 1024, '\0') + "b\r\n", 1, {}}, // text after NULs filling the first 64 KiB
        {big + QByteArray("\0\r\n", 3), 2, big + QByteArray("\0\r\n", 3)},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(qvtest::writeFile(log, c.before));
        const std::string what = c.before.left(12).toHex().toStdString();
        EXPECT_EQ(bHoldsNulBeforeTail(c.before), c.refused != 0) << what;
        EXPECT_EQ(bFileHoldsNulBeforeTail(log), c.refused == 1) << what;
        if (c.refused == 1)
            continue;
        WriteToLogFile("next", log, false);
        EXPECT_EQ(qvtest::readFile(log), c.after + "next\r\n") << what;
    }
}

TEST_F(LogWriterTest, ConcurrentWritersNeverMixTheirLines)
{
    const QString log = m_tmp.path() + "/shared.log";
    QProcess a, b;
    a.start(qvtest::binDir() + "/qv_test_lockholder", {"append", log, "300", "A"});
    b.start(qvtest::binDir() + "/qv_test_lockholder", {"append", log, "300", "B"});
    for (int i = 0; i < 300; ++i)
        WriteToLogFile(QStringLiteral("C line %1 ").arg(i) + QString(200, u'x'), log, false);
    ASSERT_TRUE(a.waitForFinished(30000));
    ASSERT_TRUE(b.waitForFinished(30000));
    const QList<QByteArray> lines = qvtest::readFile(log).split('\n');
    ASSERT_EQ(lines.size(), 901); // 900 lines and the empty rest after the last line end
    QMap<char, int> next;
    for (int i = 0; i < 900; ++i) {
        const QByteArray &line = lines.at(i);
        const char tag = line.isEmpty() ? '?' : line.at(0);
        ASSERT_EQ(line, QByteArray(1, tag) + " line " + QByteArray::number(next[tag]++) + " "
                            + QByteArray(200, 'x') + "\r");
    }
}

TEST_F(LogWriterTest, LockIsTheSameWhateverTheTempFolderSays)
{
    // The machine's own lock folder; the name is this test's alone.
    MachineMutex::setLockFolderForTests(QString());
    qunsetenv("QV_TEST_LOCK_FOLDER");
    const QString name = QStringLiteral("qv-tmpdir-lock-%1").arg(QCoreApplication::applicationPid());
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", m_tmp.path().toLocal8Bit());
    MachineMutex mine(name);
    ASSERT_TRUE(mine.lock());
    QTemporaryDir otherTmp;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", otherTmp.path());
    p.setProcessEnvironment(env);
    p.start(qvtest::binDir() + "/qv_test_lockholder", {"try", name});
    p.waitForFinished(10000);
    EXPECT_EQ(p.readAllStandardOutput().trimmed(), "busy");
    const QString file = mine.filePath();
    mine.unlock();
    if (oldTmp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);
    EXPECT_EQ(file, "/tmp/" + name);
    QFile::remove(file);
}

TEST_F(LogWriterTest, EveryLineIsEscapedOnceAndBackslashesStay)
{
    const QString log = m_tmp.path() + "/run.log";
    LockProbePrompter prompter;
    prompter.logFile = log;
    SetLogMessagePrompter(&prompter);
    const QString forged = QStringLiteral("File: /in/a\r\nConversion Successful\nb") + QChar(0x2028) + "c" + QChar(0x2029) +
                           QStringLiteral("d\x01\x7f\t") +
                           QChar(0x202E) + "xtpp" + QChar(0x2066) + QChar(0x200F) + QStringLiteral(".pptx does not exist");
    const QString escaped = QStringLiteral("File: /in/a\\r\\nConversion Successful\\nb\\u2028c\\u2029d\\x01\\x7f\\t"
                                           "\\u202extpp\\u2066\\u200f.pptx does not exist");
    WriteToLogFile(forged, log, true);
    EXPECT_EQ(prompter.shown, escaped);
    // A text escaped already, and a path with backslashes of its own, come out as they went in.
    WriteLinesToLogFile({escaped, "C:\\Users\\x\\new.pptx"}, log, false);
    EXPECT_EQ(qvtest::readFile(log), (escaped + "\r\n" + escaped + "\r\nC:\\Users\\x\\new.pptx\r\n").toUtf8());
}
