// What killed programs and workers left in a target folder is removed, and only that: never another
// user's files, another machine's run, an earlier version's names, or anything reached through a link.
#include "ConverterTestSupport.h"
#include "TestEnv.h"
#include "platform/LeftoverRemoval.h"
#include "converter/OfficeWorker.h"
#include "converter/StagedOutput.h"
#include "platform/ProcessState.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace convtest;

namespace {

constexpr uid_t kNobody = 65534;

// A process that has ended (its pid is free again).
pid_t deadPid()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

bool giveToNobody(const QString &path)
{
    return ::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0;
}

// PDF conversions of originals/<name>.pptx to targets/<name>.pdf.
QList<ConversionRequest> pdfRequests(const QString &originals, const QString &targets, const QStringList &names)
{
    QList<ConversionRequest> next;
    for (const QString &name : names) {
        ConversionRequest r;
        r.originalFile = originals + u'/' + name + QStringLiteral(".pptx");
        r.targetFile = targets + u'/' + name + QStringLiteral(".pdf");
        r.targetFileType = 32;
        next << r;
    }
    return next;
}

} // namespace

// A pool converting ahead sweeps the target folder.
TEST(LeftoverRemoval, APoolSweepsOnlyThisUsersGoneRunsOfThisMachine)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "files of another user need root to be made";
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString root = freshFolder(QStringLiteral("PoolSweep"));
    const QString out = root + QStringLiteral("/out");
    const pid_t dead = deadPid();
    ASSERT_GT(dead, 0);
    const auto staged = [dead](int serial, const char *name) {
        return StagedNames::forProcess(dead, serial, QLatin1String(name));
    };
    const QString gone = staged(1, "a.pdf"), goneFolder = staged(2, "dir");
    const QString elsewhere = QString(staged(3, "b.pdf")).replace(u'@' + StagedNames::hostTag() + u'.', QStringLiteral("@elsewhere."));
    const QString othersName = QString(staged(4, "c.pdf")).replace(QStringLiteral(".%1@").arg(::geteuid()), QStringLiteral(".%1@").arg(kNobody));
    const QString othersFile = staged(5, "d.pdf"), othersFolder = staged(6, "dir"), link = staged(7, "dir");
    const QStringList kept{QStringLiteral(".qvpart-notapid"), QStringLiteral(".qvpart-0-x"),
                           QStringLiteral(".qvpart-%1-8-old.pdf").arg(dead),
                           StagedNames::forProcess(0, 9, QStringLiteral("x")), elsewhere, othersName};
    for (const QString &name : kept + QStringList{gone, QStringLiteral(".~lock.") + gone + u'#', othersFile})
        ASSERT_TRUE(qvtest::writeFile(out + u'/' + name, "x"));
    for (const QString &file : {goneFolder + QStringLiteral("/1.png"), othersFolder + QStringLiteral("/1.png")})
        ASSERT_TRUE(qvtest::writeFile(out + u'/' + file, "png"));
    for (const QString &path : {othersFile, othersFolder, othersFolder + QStringLiteral("/1.png")})
        ASSERT_TRUE(giveToNobody(out + u'/' + path));
    ASSERT_TRUE(qvtest::writeFile(root + QStringLiteral("/linked/keep.txt"), "keep"));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/linked"), out + u'/' + link));

    ConversionControl c;
    c.setPoolSize(2);
    QList<ConversionRequest> next;
    for (const char *name : {"/one.pdf", "/two.pdf"}) {
        ConversionRequest r;
        r.originalFile = pptx;
        r.targetFile = out + QLatin1String(name);
        r.targetFileType = 32;
        next << r;
    }
    c.setLookAhead(next);
    for (const ConversionRequest &r : next) {
        c.setRequest(r);
        EXPECT_EQ(c.convert(), 0) << c.lastDetail().toStdString();
        c.setLookAhead(next.mid(next.indexOf(r) + 1));
    }
    c.setLookAhead({});

    QStringList left = entries(out);
    left.removeAll(link); // the link itself may go
    QStringList expected = kept + QStringList{othersFile, othersFolder, QStringLiteral("one.pdf"), QStringLiteral("two.pdf")};
    expected.sort();
    EXPECT_EQ(left, expected);
    EXPECT_EQ(entries(out + u'/' + othersFolder), QStringList{QStringLiteral("1.png")});
    EXPECT_EQ(qvtest::readFile(root + QStringLiteral("/linked/keep.txt")), "keep");
}

// The office's temporary files are "lu", the pid, then what the office adds: never take those of a
// running process whose pid begins with the same digits.
TEST(LeftoverRemoval, AKilledWorkersCleanUpKeepsOtherProcessesOfficeFiles)
{
    const pid_t running = ::fork();
    if (running == 0) {
        ::pause();
        ::_exit(0);
    }
    ASSERT_GT(running, 9);
    const qint64 killed = running / 10;
    const QString out = freshFolder(QStringLiteral("OfficeTempFiles"));
    const QString lu = "lu" + QString::number(killed), ours = lu + "zz.tmp";
    const QStringList kept{"lu" + QString::number(running) + "xxxx.tmp", lu + "abcdefg.tmp", lu + ".tmp", lu + "ZZ.tmp", lu + "zz.tmpx", lu + "yy.tmp"};
    for (const QString &name : kept + QStringList{ours})
        ASSERT_TRUE(qvtest::writeFile(out + u'/' + name, "x"));
    // Another user's file of the same name pattern is never ours to remove.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_TRUE(giveToNobody(out + u'/' + kept.last()));
    }

    LeftoverRemoval::removeOwn(out, [killed](const QString &name) { return LeftoverRemoval::isOfficeTempOf(name, killed); });
    QStringList expected = root ? kept : kept.mid(0, kept.size() - 1);
    expected.sort();
    EXPECT_EQ(entries(out), expected);
    // The running process's own clean-up would take its file.
    EXPECT_TRUE(LeftoverRemoval::isOfficeTempOf(kept.first(), running));

    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
}

// A pool converting ahead into one folder: the clean-up after a worker the run killed never takes
// what another worker of the pool, still converting, has staged there.
TEST(LeftoverRemoval, AKilledWorkersCleanUpLeavesTheOtherWorkersFiles)
{
    const QString out = freshFolder(QStringLiteral("PoolCleanUp"));
    // Bytes that LibreOffice takes seconds to refuse: both workers are busy when one is stopped.
    QByteArray noise;
    for (int i = 0; i < 200000; ++i)
        noise += char((i * 7919) % 251);
    const QList<ConversionRequest> next = pdfRequests(out, out, {QStringLiteral("a"), QStringLiteral("b")});
    for (const ConversionRequest &r : next)
        ASSERT_TRUE(qvtest::writeFile(r.originalFile, noise));
    ConversionControl c;
    c.setPoolSize(2);
    qint64 a = 0, b = 0;
    for (int i = 0; i < 3000 && !(a && b); ++i) {
        c.setLookAhead(next);
        a = c.aheadWorkerOf(next[0].originalFile);
        b = c.aheadWorkerOf(next[1].originalFile);
        QThread::msleep(10);
    }
    ASSERT_TRUE(a && b && a != b);
    const QStringList others{StagedNames::forProcess(b, 1, QStringLiteral("b.pdf")),
                             QStringLiteral(".~lock.") + StagedNames::forProcess(b, 1, QStringLiteral("b.pdf")) + u'#',
                             StagedNames::forProcess(b, 2, QStringLiteral("b.pdf"), StagedNames::Kind::Prev),
                             QStringLiteral("lu%1x.tmp").arg(b)};
    for (const QString &name : others)
        ASSERT_TRUE(qvtest::writeFile(out + u'/' + name, "b's"));
    const QString killedOwn = StagedNames::forProcess(a, 3, QStringLiteral("a.pdf"));
    ASSERT_TRUE(qvtest::writeFile(out + u'/' + killedOwn, "a's"));

    c.setLookAhead(next.mid(1)); // a is no longer wanted: its worker is killed
    EXPECT_FALSE(bProcessAlive(a));
    EXPECT_TRUE(bProcessAlive(b));
    EXPECT_FALSE(QFileInfo::exists(out + u'/' + killedOwn));
    for (const QString &name : others)
        EXPECT_EQ(qvtest::readFile(out + u'/' + name), "b's") << name.toStdString();
    c.setLookAhead({});
}

// Inside a gone run's staged folder only what this user owns goes; the folder stays while anything
// else is in it.
TEST(LeftoverRemoval, AStagedFolderKeepsWhatAnotherUserPutInIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "files of another user need root to be made";
    const QString out = freshFolder(QStringLiteral("OthersInStaged"));
    const QString folder = out + u'/' + StagedNames::forProcess(deadPid(), 1, QStringLiteral("dir"));
    for (const char *name : {"/mine.png", "/sub/mine.png", "/theirs.png", "/sub/theirs.png"})
        ASSERT_TRUE(qvtest::writeFile(folder + QLatin1String(name), "x"));
    ASSERT_TRUE(giveToNobody(folder + "/theirs.png") && giveToNobody(folder + "/sub/theirs.png"));
    LeftoverRemoval::sweep(out);
    EXPECT_EQ(entries(folder), (QStringList{QStringLiteral("sub"), QStringLiteral("theirs.png")}));
    EXPECT_EQ(entries(folder + "/sub"), QStringList{QStringLiteral("theirs.png")});
}

// A file converted ahead waits for the run, and its worker may end before the run gets there (it
// retires when it grew, or dies): another run's sweep of the folder meanwhile never takes its output.
TEST(LeftoverRemoval, AFileConvertedAheadOutlivesItsWorker)
{
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString root = freshFolder(QStringLiteral("AheadOutlivesWorker")), out = root + QStringLiteral("/out");
    const QList<ConversionRequest> next = pdfRequests(root, out, {QStringLiteral("one"), QStringLiteral("two")});
    for (const ConversionRequest &r : next)
        ASSERT_TRUE(QFile::copy(pptx, r.originalFile));
    ConversionControl c;
    c.setPoolSize(2);
    qint64 worker = 0;
    for (int i = 0; i < 3000 && !(worker && !c.aheadWorkerOf(next[1].originalFile)); ++i) {
        c.setLookAhead(next);
        if (!worker)
            worker = c.aheadWorkerOf(next[1].originalFile);
        QThread::msleep(10);
    }
    ASSERT_GT(worker, 0);
    ::kill(static_cast<pid_t>(worker), SIGKILL);
    for (int i = 0; i < 6000 && bProcessAlive(worker); ++i)
        QThread::msleep(10);
    LeftoverRemoval::sweep(out); // another run starting in the folder
    for (int i = 0; i < next.size(); ++i) {
        c.setRequest(next[i]);
        EXPECT_EQ(c.convert(), 0) << c.lastDetail().toStdString();
        c.setLookAhead(next.mid(i + 1));
    }
    EXPECT_EQ(entries(out), (QStringList{QStringLiteral("one.pdf"), QStringLiteral("two.pdf")}));
}

// Names of this user with a real machine part of another machine or pid namespace are never taken,
// nor put back; a kept-aside file whose name is now a folder stays; and where /proc shows no
// process, a live run's files stay.
TEST(LeftoverRemoval, TheSweepTakesNothingItCannotTellIsAGoneRunsOfThisMachine)
{
    const QString out = freshFolder(QStringLiteral("NotOurs"));
    const pid_t dead = deadPid();
    const QString here = StagedNames::hostTag(), elsewhere = here.left(here.size() - 8) + (here.endsWith(u'0') ? "11111111" : "00000000");
    const auto other = [&](const QString &name) { return QString(name).replace(u'@' + here + u'.', u'@' + elsewhere + u'.'); };
    const QStringList kept{other(StagedNames::forProcess(dead, 1, QStringLiteral("a.pdf"))),
                           other(StagedNames::forProcess(dead, 2, QStringLiteral("b.pdf"), StagedNames::Kind::Prev)),
                           StagedNames::forProcess(dead, 3, QStringLiteral("dir.pdf"), StagedNames::Kind::Prev)};
    for (const QString &name : kept)
        ASSERT_TRUE(qvtest::writeFile(out + u'/' + name, "x"));
    ASSERT_TRUE(QDir(out).mkdir(QStringLiteral("dir.pdf")));

    const pid_t running = ::fork();
    if (running == 0) {
        ::pause();
        ::_exit(0);
    }
    const QString live = StagedNames::forProcess(running, 4, QStringLiteral("c.pdf"));
    ASSERT_TRUE(qvtest::writeFile(out + u'/' + live, "x"));
    QTemporaryDir noProc;
    setProcFolderForTests(noProc.path());
    const bool seen = bProcessAlive(running), gone = bProcessAlive(dead);
    LeftoverRemoval::sweep(out);
    setProcFolderForTests(QString());
    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(gone);
    QStringList expected = kept + QStringList{live, QStringLiteral("dir.pdf")};
    expected.sort();
    EXPECT_EQ(entries(out), expected);
}

// LibreOffice's temporary files are taken when one of our workers that is gone wrote them, whatever
// their mode (exFAT shows every file 0777); a gone process's that was not our worker stays, private
// or not.
TEST(LeftoverRemoval, TheSweepTakesOnlyOurGoneWorkersOfficeFiles)
{
    const QString out = freshFolder(QStringLiteral("OurWorkersOnly"));
    const pid_t worker = deadPid(), stranger = deadPid();
    ASSERT_TRUE(qvtest::writeFile(qvtest::homeDir() + QStringLiteral("/.cache/quorvane/workers/%1@%2").arg(worker).arg(StagedNames::hostTag()), ""));
    const QString ours = QStringLiteral("lu%1ab.tmp").arg(worker), theirs = QStringLiteral("lu%1ab.tmp").arg(stranger);
    for (const QString &name : {ours, theirs})
        ASSERT_TRUE(qvtest::writeFile(out + u'/' + name, "x") && ::chmod(QFile::encodeName(out + u'/' + name).constData(), name == ours ? 0777 : 0600) == 0);
    LeftoverRemoval::sweep(out);
    EXPECT_EQ(entries(out), QStringList{theirs});
}

// Two workers starting at once both sweep a gone worker's folder of intermediate files: it goes.
TEST(LeftoverRemoval, WorkersStartingTogetherRemoveAGoneWorkersFolder)
{
    const QString root = qvtest::homeDir() + QStringLiteral("/.cache/quorvane");
    for (int round = 0; round < 3; ++round) {
        const QString gone = root + QStringLiteral("/work-%1").arg(deadPid());
        for (int i = 0; i < 300; ++i)
            ASSERT_TRUE(qvtest::writeFile(gone + QStringLiteral("/lu%1/f%2.tmp").arg(i % 7).arg(i), "x"));
        QString made[2];
        QThread *starts[2];
        for (int t = 0; t < 2; ++t)
            starts[t] = QThread::create([&made, t] { made[t] = LeftoverRemoval::makeWorkerFolder(); });
        for (QThread *s : starts)
            s->start();
        for (QThread *s : starts) {
            s->wait();
            delete s;
        }
        EXPECT_FALSE(QFileInfo::exists(gone)) << round;
        EXPECT_FALSE(made[0].isEmpty());
        LeftoverRemoval::removeWorkerFolder(made[0]);
        EXPECT_FALSE(QFileInfo::exists(made[0]));
    }
}
