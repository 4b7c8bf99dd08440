// Outputs staged under temporary names: a commit renames all of them or leaves none.
#include "ConverterTestSupport.h"
#include "TestEnv.h"
#include "platform/LeftoverRemoval.h"
#include "converter/StagedOutput.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <ostream>

#include <csignal>
#include <cerrno>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace convtest;

TEST(StagedOutput, AFailingRenameLeavesNothingUnderAFinalName)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    // A final name taken by a folder that holds something: renaming a file onto it fails.
    ASSERT_TRUE(qvtest::writeFile(out + QStringLiteral("/c.pdf/keep.txt"), "x"));
    ASSERT_TRUE(qvtest::writeFile(out + QStringLiteral("/d/keep.txt"), "x"));

    {
        StagedOutput staged;
        ASSERT_TRUE(qvtest::writeFile(staged.stage(out + QStringLiteral("/a.pdf")), "a"));
        ASSERT_TRUE(qvtest::writeFile(staged.stage(out + QStringLiteral("/c.pdf")), "c"));
        EXPECT_FALSE(staged.commit());
    }
    EXPECT_EQ(entries(out), (QStringList{QStringLiteral("c.pdf"), QStringLiteral("d")}));
    EXPECT_EQ(entries(out + QStringLiteral("/c.pdf")), QStringList{QStringLiteral("keep.txt")});

    // A staged folder: its subfolder moves whole under a free name, then a file fails.
    {
        StagedOutput staged;
        const QString temp = staged.stageFolder(out);
        ASSERT_FALSE(temp.isEmpty());
        ASSERT_TRUE(qvtest::writeFile(temp + QStringLiteral("/b-pictures/1.png"), "png"));
        ASSERT_TRUE(qvtest::writeFile(temp + QStringLiteral("/d"), "d"));
        EXPECT_FALSE(staged.commit());
    }
    EXPECT_EQ(entries(out), (QStringList{QStringLiteral("c.pdf"), QStringLiteral("d")}));
    EXPECT_EQ(entries(out + QStringLiteral("/d")), QStringList{QStringLiteral("keep.txt")});
}

namespace {
// What a file was: its bytes, its inode (the same file, not a copy) and its permissions.
struct Old
{
    QByteArray bytes;
    ino_t inode;
    QFile::Permissions permissions;
    bool operator==(const Old &) const = default;
};
Old oldFile(const QString &path)
{
    struct stat st{};
    ::stat(QFile::encodeName(path).constData(), &st);
    return {qvtest::readFile(path), st.st_ino, QFile::permissions(path)};
}
void PrintTo(const Old &o, std::ostream *os) { *os << o.bytes.constData() << " inode " << o.inode << " mode " << o.permissions.toInt(); }
} // namespace

// A later name in the way puts every earlier output already replaced back as it was, read-only ones too.
TEST(StagedOutput, AFailedCommitPutsBackWhatItReplaced)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    ASSERT_TRUE(qvtest::writeFile(out + "/x_1.png", "a"));
    ASSERT_TRUE(qvtest::writeFile(out + "/x_2.png", "b"));
    ASSERT_TRUE(QFile::setPermissions(out + "/x_1.png", QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(qvtest::writeFile(out + "/x_3.png/k", "k"));
    const Old one = oldFile(out + "/x_1.png"), two = oldFile(out + "/x_2.png");
    const QStringList images{"x_1.png", "x_2.png", "x_3.png"};
    const auto commitImages = [&] {
        StagedOutput staged;
        for (const QString &name : images)
            EXPECT_TRUE(qvtest::writeFile(staged.stage(out + u'/' + name), "new")) << name.toStdString();
        return staged.commit();
    };
    EXPECT_FALSE(commitImages());
    EXPECT_EQ(entries(out), images);
    EXPECT_EQ(oldFile(out + "/x_1.png"), one);
    EXPECT_EQ(oldFile(out + "/x_2.png"), two);
    EXPECT_EQ(entries(out + "/x_3.png"), QStringList{"k"});

    // A web presentation: its page and a file of its folder come back when a later file cannot be placed.
    const QString web = dir.filePath("web");
    ASSERT_TRUE(qvtest::writeFile(web + "/x.html", "old page"));
    ASSERT_TRUE(qvtest::writeFile(web + "/x_files/x_1.html", "old slide"));
    ASSERT_TRUE(qvtest::writeFile(web + "/x_files/x_2.html/k", "k"));
    const Old page = oldFile(web + "/x.html"), slide = oldFile(web + "/x_files/x_1.html");
    {
        StagedOutput staged;
        const QString temp = staged.stageFolder(web);
        ASSERT_FALSE(temp.isEmpty());
        for (const char *name : {"/x.html", "/x_files/x_1.html", "/x_files/x_2.html"})
            ASSERT_TRUE(qvtest::writeFile(temp + QLatin1String(name), "new"));
        EXPECT_FALSE(staged.commit());
    }
    EXPECT_EQ(entries(web), QStringList({"x.html", "x_files"}));
    EXPECT_EQ(entries(web + "/x_files"), QStringList({"x_1.html", "x_2.html"}));
    EXPECT_EQ(oldFile(web + "/x.html"), page);
    EXPECT_EQ(oldFile(web + "/x_files/x_1.html"), slide);

    // With the way free the same commit replaces them all and keeps nothing of the old files.
    ASSERT_TRUE(QDir(out + "/x_3.png").removeRecursively());
    EXPECT_TRUE(commitImages());
    EXPECT_EQ(entries(out), images);
    for (const QString &name : images)
        EXPECT_EQ(qvtest::readFile(out + u'/' + name), "new");
}

// The same through the worker: a later slide's image name is taken by a folder.
TEST(StagedOutput, AFailedConversionKeepsTheImagesOfTheRunBefore)
{
    const QString pptx = deck("pptx");
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder("RerunOverImages");
    ASSERT_TRUE(qvtest::writeFile(out + "/x_1.png", "a"));
    ASSERT_TRUE(qvtest::writeFile(out + "/x_2.png", "b"));
    ASSERT_TRUE(qvtest::writeFile(out + "/x_3.png/k", "k"));
    resetOptions(control());
    EXPECT_NE(convert(pptx, out + "/x.png", 18), 0);
    EXPECT_EQ(entries(out), QStringList({"x_1.png", "x_2.png", "x_3.png"}));
    EXPECT_EQ(qvtest::readFile(out + "/x_1.png"), "a");
    EXPECT_EQ(qvtest::readFile(out + "/x_2.png"), "b");
}

// Another user's file in a shared folder with the sticky bit cannot be replaced.
TEST(StagedOutput, ATargetThatMayNotBeReplacedPutsBackTheOnesBefore)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    constexpr uid_t nobody = 65534;
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    const QString out = dir.filePath("shared");
    ASSERT_TRUE(QDir().mkdir(out));
    ASSERT_EQ(::chmod(QFile::encodeName(out).constData(), 01777), 0);
    ASSERT_TRUE(qvtest::writeFile(out + "/x_1.png", "a"));
    ASSERT_EQ(::chown(QFile::encodeName(out + "/x_1.png").constData(), nobody, nobody), 0);
    ASSERT_TRUE(qvtest::writeFile(out + "/x_2.png", "b"));
    const Old one = oldFile(out + "/x_1.png"), two = oldFile(out + "/x_2.png");

    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(3);
        StagedOutput staged;
        for (const char *name : {"/x_1.png", "/x_2.png"})
            if (!qvtest::writeFile(staged.stage(out + QLatin1String(name)), "new"))
                ::_exit(4);
        ::_exit(staged.commit() ? 1 : 0);
    }
    ASSERT_GT(child, 0);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(entries(out), QStringList({"x_1.png", "x_2.png"}));
    EXPECT_EQ(oldFile(out + "/x_1.png"), one);
    EXPECT_EQ(oldFile(out + "/x_2.png"), two);
}

namespace {
// Three old pictures (the second read-only) and a free fourth name (or four old ones), replaced by
// one commit in a child process whose file calls go through `hook`. The child exits 0 after a commit that
// succeeded, 1 after one that failed; a kill shows as the signal.
struct Rerun
{
    QString out;
    QList<Old> old;
    const QStringList names{"x_1.png", "x_2.png", "x_3.png", "x_4.png"};

    explicit Rerun(const QString &folder, int olds = 3) : out(folder)
    {
        QDir(out).removeRecursively();
        for (int i = 0; i < olds; ++i) {
            EXPECT_TRUE(qvtest::writeFile(out + u'/' + names[i], "old " + QByteArray::number(i)));
            EXPECT_TRUE(i != 1 || QFile::setPermissions(out + u'/' + names[i], QFile::ReadOwner));
            old << oldFile(out + u'/' + names[i]);
        }
    }
    int commitIn(const std::function<int(const char *)> &hook, bool letFinish = false, pid_t *pid = nullptr)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            if (letFinish)
                StagedOutput::letCommitsFinishOnSignals();
            StagedOutput::setCallHook(hook);
            StagedOutput staged;
            for (const QString &name : names)
                if (!qvtest::writeFile(staged.stage(out + u'/' + name), "new " + name.toUtf8()))
                    ::_exit(3);
            ::_exit(staged.commit() ? 0 : 1);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        if (pid)
            *pid = child;
        return status;
    }
    // The k-th file call raises sig (if any) and fails with err.
    int stopAt(int k, int sig, int err, pid_t *pid = nullptr)
    {
        const auto hook = [k, sig, err, calls = 0](const char *) mutable {
            if (++calls == k && sig)
                ::raise(sig);
            return calls == k ? err : 0;
        };
        return commitIn(hook, sig == SIGTERM, pid);
    }
    bool allNew() const
    {
        for (const QString &name : names)
            if (qvtest::readFile(out + u'/' + name) != "new " + name.toUtf8())
                return false;
        return true;
    }
    // Each name holds a whole file: the old one (the same file) or the new one.
    void expectWhole(bool allOld, const std::string &when)
    {
        for (int i = 0; i < 4; ++i) {
            const QString path = out + u'/' + names[i];
            if (qvtest::readFile(path) == "new " + names[i].toUtf8() && !allOld)
                continue;
            if (i >= old.size())
                EXPECT_FALSE(QFileInfo::exists(path)) << when << " " << names[i].toStdString();
            else
                EXPECT_EQ(oldFile(path), old[i]) << when << " " << names[i].toStdString();
        }
    }
};
} // namespace

// A commit killed at any of its file calls never leaves a name empty; the clean-up of the one who
// killed it leaves all old files or all new ones, and a later run's sweep hides nothing and keeps
// what is whole.
TEST(StagedOutput, ACommitKilledAtAnyCallLeavesEveryNameWhole)
{
    QTemporaryDir dir;
    int k = 1;
    for (; k < 40; ++k) {
        for (const bool ownCleanUp : {false, true}) {
            Rerun r(dir.filePath("out"));
            pid_t child = 0;
            const int status = r.stopAt(k, SIGKILL, 0, &child);
            if (WIFEXITED(status)) {
                ASSERT_EQ(WEXITSTATUS(status), 0);
                k = 100; // every call was reached
                break;
            }
            const std::string when = "killed at call " + std::to_string(k);
            r.expectWhole(false, when);
            // The one who killed it finishes a commit that made every rename, and undoes any other.
            if (ownCleanUp)
                LeftoverRemoval::cleanUpAfter(r.out, child);
            else
                LeftoverRemoval::sweep(r.out);
            r.expectWhole(ownCleanUp && !r.allNew(), when);
            EXPECT_EQ(stagedLeftovers(r.out), QStringList()) << when;
        }
    }
    EXPECT_EQ(k, 101) << "the commit never finished";

    // A stop signal during the commit of a process that lets commits finish: it ends after the last rename.
    for (k = 1; k < 40; ++k) {
        Rerun r(dir.filePath("out"));
        const int status = r.stopAt(k, SIGTERM, 0);
        if (WIFEXITED(status))
            break; // every call was reached
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << k << " " << status;
        EXPECT_TRUE(r.allNew()) << "stopped at call " << k;
        EXPECT_EQ(stagedLeftovers(r.out), QStringList()) << k;
    }
    EXPECT_GT(k, 7);

    // A call that fails instead: the commit says so and every old file is as it was.
    for (k = 1; k < 40; ++k) {
        Rerun r(dir.filePath("out"));
        const int status = r.stopAt(k, 0, EIO);
        if (WEXITSTATUS(status) == 0)
            break;
        EXPECT_EQ(WEXITSTATUS(status), 1);
        r.expectWhole(true, "failed at call " + std::to_string(k));
        EXPECT_EQ(stagedLeftovers(r.out), QStringList()) << k;
    }
    EXPECT_GT(k, 7) << "link and rename of each old file, one rename of the new one";

    // A file system without hard links swaps the names; one without either renames the old one away.
    for (const int exchange : {0, EINVAL}) {
        Rerun r(dir.filePath("out"));
        EXPECT_EQ(r.commitIn([exchange](const char *call) {
            return QByteArray(call) == "link" ? EPERM : QByteArray(call) == "exchange" ? exchange : 0;
        }), 0) << exchange;
        EXPECT_TRUE(r.allNew()) << exchange;
        EXPECT_EQ(stagedLeftovers(r.out), QStringList()) << exchange;
    }
}

// What a gone commit kept aside: back when its name is free, gone when the name holds the same
// file or a newer one. A live run's, another machine's and an earlier version's stay.
TEST(StagedOutput, TheSweepPutsRightWhatAGoneCommitKeptAside)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const auto aside = [&](qint64 pid, int serial, const QString &name) {
        return out + u'/' + StagedNames::forProcess(pid, serial, name, StagedNames::Kind::Prev);
    };
    const QString longName = QString(300, u'l') + ".pdf", live = aside(::getpid(), 5, "live.pdf");
    const QString oldScheme = out + QStringLiteral("/.qvprev-%1.%2@%3.6-old.pdf").arg(child).arg(::geteuid()).arg(QSysInfo::machineHostName());
    for (const auto &[file, bytes] : std::initializer_list<std::pair<QString, QByteArray>>{
             {aside(child, 1, "free.pdf"), "old free"}, {out + "/newer.pdf", "newer"}, {aside(child, 2, "newer.pdf"), "old newer"},
             {out + "/same.pdf", "same"}, {aside(child, 4, longName), "old long"}, {live, "stays"}, {oldScheme, "stays"}})
        ASSERT_TRUE(qvtest::writeFile(file, bytes));
    ASSERT_EQ(::link(QFile::encodeName(out + "/same.pdf").constData(), QFile::encodeName(aside(child, 3, "same.pdf")).constData()), 0);
    // A commit's own output under the kept-aside name (its inode is the serial), killed before the
    // swap; its target was removed since: a staged output, not the user's file.
    ASSERT_TRUE(qvtest::writeFile(out + "/unswapped", "new"));
    ASSERT_TRUE(QFile::rename(out + "/unswapped", aside(child, oldFile(out + "/unswapped").inode, "unswapped.pdf")));
    // The office's temporary files: a gone worker's of ours goes, a running office's stays, and so
    // does a file of such a name of a process that was not our worker (the user's own, say).
    ASSERT_TRUE(qvtest::writeFile(qvtest::homeDir() + QStringLiteral("/.cache/quorvane/workers/%1@%2").arg(child).arg(StagedNames::hostTag()), ""));
    const pid_t office = ::fork();
    if (office == 0) {
        ::prctl(PR_SET_NAME, "soffice.bin");
        ::pause();
        ::_exit(0);
    }
    const QString gone = QStringLiteral("lu%1y2ib.tmp").arg(child), running = QStringLiteral("lu%1y2ib.tmp").arg(office);
    const pid_t other = ::fork();
    if (other == 0)
        ::_exit(0);
    ::waitpid(other, nullptr, 0);
    const QString users = QStringLiteral("lu%1q4.tmp").arg(other);
    for (const QString &name : {gone, running, users})
        ASSERT_TRUE(qvtest::writeFile(out + u'/' + name, "x") &&
                    ::chmod(QFile::encodeName(out + u'/' + name).constData(), name == users ? 0644 : 0600) == 0);
    // Once the child has taken its name.
    for (int i = 0; i < 6000 && qvtest::readFile(QStringLiteral("/proc/%1/comm").arg(office)) != "soffice.bin\n"; ++i)
        QThread::msleep(10);

    LeftoverRemoval::sweep(out);
    ::kill(office, SIGKILL);
    ::waitpid(office, nullptr, 0);
    EXPECT_EQ(qvtest::readFile(out + "/free.pdf"), "old free");
    EXPECT_EQ(qvtest::readFile(out + "/newer.pdf"), "newer");
    EXPECT_EQ(qvtest::readFile(out + "/same.pdf"), "same");
    const QString shortened = QFileInfo(aside(child, 4, longName)).fileName().mid(QFileInfo(aside(child, 4, "")).fileName().size());
    EXPECT_EQ(qvtest::readFile(out + u'/' + shortened), "old long") << "a shortened name comes back as it was kept";
    QStringList expected{QFileInfo(live).fileName(), QFileInfo(oldScheme).fileName(), "free.pdf", "newer.pdf", "same.pdf", shortened, running, users};
    expected.sort();
    EXPECT_EQ(entries(out), expected);
    EXPECT_TRUE(StagedNames::hostTag().contains(QRegularExpression("~[0-9a-f]{8}$"))) << StagedNames::hostTag().toStdString();
}

namespace {
// File systems without hard links: vfat since Linux 6.0 (RENAME_NOREPLACE and RENAME_EXCHANGE
// work), and FAT or exFAT through FUSE (neither). Added to a hook: the errno a call gets there.
int withoutLinks(const char *call, bool fuse)
{
    const QByteArray c(call);
    return c == "link" ? EPERM : (c == "noreplace" || c == "exchange") && fuse ? EINVAL : 0;
}
} // namespace

// Without hard links a commit killed at any call is put right: the clean-up of the one who killed it
// brings every old file back (its conversion failed) or finishes; a later run's sweep leaves no name
// empty; nothing staged stays. Where names can be swapped no name is empty at any call, and the last
// old file may be the one whose swap the kill stopped.
TEST(StagedOutput, WithoutLinksAKilledCommitIsPutRight)
{
    QTemporaryDir dir;
    for (const auto &[fuse, olds] : {std::pair{false, 3}, std::pair{false, 4}, std::pair{true, 3}}) {
        int k = 1;
        for (; k < 60; ++k) {
            for (const bool ownCleanUp : {false, true}) {
                Rerun r(dir.filePath("out"), olds);
                pid_t child = 0;
                const int status = r.commitIn([k, fuse, calls = 0](const char *call) mutable {
                    if (++calls == k)
                        ::raise(SIGKILL);
                    return withoutLinks(call, fuse);
                }, false, &child);
                if (WIFEXITED(status)) {
                    ASSERT_EQ(WEXITSTATUS(status), 0) << fuse;
                    k = 100;
                    break;
                }
                const std::string when = (fuse ? "fuse, killed at call " : "no links, killed at call ") + std::to_string(k)
                                         + " of " + std::to_string(olds) + " replaced";
                if (!fuse)
                    r.expectWhole(false, when);
                StagedOutput::setCallHook([fuse](const char *call) { return withoutLinks(call, fuse); });
                if (ownCleanUp)
                    LeftoverRemoval::cleanUpAfter(r.out, child);
                else
                    LeftoverRemoval::sweep(r.out);
                StagedOutput::setCallHook({});
                r.expectWhole(ownCleanUp && !r.allNew(), when + (ownCleanUp ? " (clean-up)" : " (sweep)"));
                EXPECT_EQ(stagedLeftovers(r.out), QStringList()) << when;
            }
        }
        EXPECT_EQ(k, 101) << "the commit never finished";
    }
}

// A name that was free when looked at and taken by another run just before the rename: that run's
// file is kept aside like any old target, and comes back when a later rename of the commit fails.
TEST(StagedOutput, AFileThatTakesAFreeNameMeanwhileIsNeverLost)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    ASSERT_TRUE(qvtest::writeFile(out + "/x_2.png/k", "k")); // the second rename fails on it
    StagedOutput::setCallHook([&out, done = false](const char *call) mutable {
        if (QByteArray(call) == "noreplace" && !done)
            done = qvtest::writeFile(out + "/x_1.png", "theirs");
        return 0;
    });
    StagedOutput staged;
    for (const char *name : {"/x_1.png", "/x_2.png"})
        ASSERT_TRUE(qvtest::writeFile(staged.stage(out + QLatin1String(name)), "new"));
    EXPECT_FALSE(staged.commit());
    StagedOutput::setCallHook({});
    EXPECT_EQ(qvtest::readFile(out + "/x_1.png"), "theirs");
    EXPECT_EQ(stagedLeftovers(out), QStringList());
}

// A replaced output keeps the permissions the user gave the old file, through the worker too.
TEST(StagedOutput, AReplacedOutputKeepsTheOldFilesMode)
{
    const QString out = freshFolder("KeepsMode");
    const auto mode = [](const QString &path) {
        struct stat st {};
        ::stat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 07777;
    };
    ASSERT_TRUE(qvtest::writeFile(out + "/a.txt", "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(out + "/a.txt").constData(), 0600), 0);
    {
        StagedOutput staged;
        ASSERT_TRUE(qvtest::writeFile(staged.stage(out + "/a.txt"), "new"));
        ASSERT_TRUE(staged.commit());
    }
    EXPECT_EQ(qvtest::readFile(out + "/a.txt"), "new");
    EXPECT_EQ(mode(out + "/a.txt"), 0600u);

    const QString pptx = deck("pptx");
    ASSERT_FALSE(pptx.isEmpty());
    for (const char *name : {"/x.pdf", "/x_1.png"}) {
        ASSERT_TRUE(qvtest::writeFile(out + QLatin1String(name), "old"));
        ASSERT_EQ(::chmod(QFile::encodeName(out + QLatin1String(name)).constData(), 0640), 0);
    }
    resetOptions(control());
    EXPECT_EQ(convert(pptx, out + "/x.pdf", 32), 0);
    EXPECT_EQ(convert(pptx, out + "/x.png", 18), 0);
    EXPECT_EQ(mode(out + "/x.pdf"), 0640u);
    EXPECT_EQ(mode(out + "/x_1.png"), 0640u);
    EXPECT_NE(qvtest::readFile(out + "/x.pdf"), "old");
}

// What a commit kept aside comes back under its exact name, however long; and the clean-up after a
// killed worker puts an old file back over the worker's own output only, never over another run's.
TEST(StagedOutput, ARestoreGivesBackTheExactNameAndReplacesNothingElse)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out"), longName = QString(250, u'l') + ".pdf";
    ASSERT_TRUE(qvtest::writeFile(out + u'/' + longName, "old long"));
    const pid_t child = ::fork();
    if (child == 0) {
        // Without links the old file is renamed away; killed before the new one takes the name.
        StagedOutput::setCallHook([](const char *call) {
            if (QByteArray(call) == "rename")
                ::raise(SIGKILL);
            return withoutLinks(call, true);
        });
        StagedOutput staged;
        if (qvtest::writeFile(staged.stage(out + u'/' + longName), "new"))
            staged.commit();
        ::_exit(3);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_FALSE(QFileInfo::exists(out + u'/' + longName));
    LeftoverRemoval::sweep(out);
    EXPECT_EQ(entries(out), QStringList{longName});
    EXPECT_EQ(qvtest::readFile(out + u'/' + longName), "old long");

    // Killed after its first picture took its name (link, rename, then killed at the next link);
    // another run then wrote that name.
    Rerun r(dir.filePath("pictures"));
    pid_t worker = 0;
    ASSERT_TRUE(WIFSIGNALED(r.stopAt(3, SIGKILL, 0, &worker)));
    ASSERT_EQ(qvtest::readFile(r.out + "/x_1.png"), "new x_1.png");
    const QString theirs = r.out + "/theirs";
    ASSERT_TRUE(qvtest::writeFile(theirs, "theirs") && QFile::rename(r.out + "/x_1.png", theirs + "2") && QFile::rename(theirs, r.out + "/x_1.png"));
    QFile::remove(theirs + "2");
    LeftoverRemoval::cleanUpAfter(r.out, worker);
    EXPECT_EQ(qvtest::readFile(r.out + "/x_1.png"), "theirs");
    EXPECT_EQ(oldFile(r.out + "/x_2.png"), r.old[1]);
    EXPECT_EQ(oldFile(r.out + "/x_3.png"), r.old[2]);
    EXPECT_EQ(stagedLeftovers(r.out), QStringList());
}

// A run that stages over a name whose old file a killed run kept aside finds that file back first
// (an append then reads the user's text, not an empty name).
TEST(StagedOutput, StagingPutsBackWhatAKilledRunKeptAsideFirst)
{
    const QString out = freshFolder("StageAfterKill");
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    ASSERT_TRUE(qvtest::writeFile(out + u'/' + StagedNames::forProcess(gone, 1, "all.txt", StagedNames::Kind::Prev), "user text"));
    StagedOutput staged;
    const QString temp = staged.stage(out + "/all.txt");
    EXPECT_EQ(qvtest::readFile(out + "/all.txt"), "user text");
    EXPECT_EQ(stagedLeftovers(out), QStringList());
}
