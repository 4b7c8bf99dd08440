#include "FileSizeLimit.h"
#include "QtPrinters.h"
#include "TestEnv.h"
#include "Unchangeable.h"
#include "common/FileUtils.h"
#include "platform/EventPump.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using qvtest::readFile;
using qvtest::writeFile;

namespace {

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST(FileUtils, ExistenceTests)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    ASSERT_TRUE(writeFile(base + "/deck.ppt", "x"));
    ASSERT_TRUE(writeFile(base + "/other.ppt", "x"));
    EXPECT_TRUE(bFileExists(base + "/deck.ppt"));
    EXPECT_TRUE(bFileExists("  " + base + "/deck.ppt "));
    // A wildcard pattern is no file, even when files match it.
    EXPECT_FALSE(bFileExists(base + "/*.ppt"));
    EXPECT_FALSE(bFileExists(base + "/deck.pp?"));
    EXPECT_FALSE(bFileExists(base));
    EXPECT_FALSE(bFileExists(""));
    EXPECT_TRUE(bFolderExists(base));
    EXPECT_TRUE(bFolderExists(base + "/"));
    EXPECT_FALSE(bFolderExists(base + "/deck.ppt"));
    EXPECT_FALSE(bFolderExists(""));
    EXPECT_TRUE(bPathExists(base + "/deck.ppt"));
    EXPECT_TRUE(bPathExists(base));
    EXPECT_FALSE(bPathExists(base + "/none"));
    CreateFolderTree(base + "/x/y/z");
    EXPECT_TRUE(bFolderExists(base + "/x/y/z"));
}

TEST(FileUtils, MoveIntoNewFolderKeepsContentAndTime)
{
    QTemporaryDir dir;
    const QString src = dir.path() + "/deck.pptx";
    ASSERT_TRUE(writeFile(src, "content"));
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    {
        QFile f(src);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(CopyFileToFolder(src, dir.path() + "/done/2026"));
    EXPECT_FALSE(QFile::exists(src));
    const QString moved = dir.path() + "/done/2026/deck.pptx";
    EXPECT_EQ(readFile(moved), "content");
    EXPECT_EQ(GetFileDateLastModified(moved).toSecsSinceEpoch(), old.toSecsSinceEpoch());
    EXPECT_EQ(entries(dir.path() + "/done/2026"), QStringList{"deck.pptx"});
}

TEST(FileUtils, MoveReplacesAnOlderFileAndMovesReadOnlySources)
{
    QTemporaryDir dir;
    const QString src = dir.path() + "/a/deck.pptx";
    ASSERT_TRUE(writeFile(src, "new"));
    ASSERT_TRUE(writeFile(dir.path() + "/b/deck.pptx", "old and longer"));
    ASSERT_TRUE(QFile::setPermissions(src, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    ASSERT_TRUE(CopyFileToFolder(src, dir.path() + "/b/"));
    EXPECT_FALSE(QFile::exists(src));
    EXPECT_EQ(readFile(dir.path() + "/b/deck.pptx"), "new");
    EXPECT_EQ(entries(dir.path() + "/b"), QStringList{"deck.pptx"});
}

TEST(FileUtils, MoveIntoItsOwnFolderChangesNothing)
{
    QTemporaryDir dir;
    const QString src = dir.path() + "/in/deck.pptx";
    ASSERT_TRUE(writeFile(src, "keep me"));
    ASSERT_TRUE(QFile::link(dir.path() + "/in", dir.path() + "/alias"));
    EXPECT_TRUE(CopyFileToFolder(src, dir.path() + "/in"));
    EXPECT_TRUE(CopyFileToFolder(src, dir.path() + "/alias/"));
    EXPECT_TRUE(CopyFileToFolder(dir.path() + "/alias/deck.pptx", dir.path() + "/in/../in"));
    EXPECT_EQ(readFile(src), "keep me");
    EXPECT_EQ(entries(dir.path() + "/in"), QStringList{"deck.pptx"});
}

TEST(FileUtils, FailedMoveKeepsSourceAndOldTarget)
{
    QTemporaryDir dir;
    const QString src = dir.path() + "/deck.pptx";
    ASSERT_TRUE(writeFile(src, "the only copy"));
    ASSERT_TRUE(writeFile(dir.path() + "/locked/deck.pptx", "older file"));
    {
        Unchangeable lock(dir.path() + "/locked");
        if (!lock.ok()) {
            GTEST_SKIP() << "cannot make a folder unchangeable here";
        }
        EXPECT_FALSE(CopyFileToFolder(src, dir.path() + "/locked"));
    }
    EXPECT_EQ(readFile(src), "the only copy");
    EXPECT_EQ(readFile(dir.path() + "/locked/deck.pptx"), "older file");
    EXPECT_EQ(entries(dir.path() + "/locked"), QStringList{"deck.pptx"});
}

TEST(FileUtils, MoveRefusesASourceThatReadsShortOfItsSize)
{
    // /proc files report size 0 but read back text: the copy is not verifiably complete.
    QTemporaryDir dir;
    EXPECT_FALSE(CopyFileToFolder("/proc/self/status", dir.path()));
    EXPECT_TRUE(entries(dir.path()).isEmpty());
    EXPECT_FALSE(CopyFileToFolder(dir.path() + "/missing.pptx", dir.path() + "/out"));
    EXPECT_FALSE(CopyFileToFolder(dir.path() + "/*.pptx", dir.path() + "/out"));
}

// A picture made in the worker's folder moves into a target folder on another file system by a
// copy. A copy that the file system takes only in part (a full disk; here a file size limit)
// fails, leaves nothing under the new name and keeps the source; so does a replacing copy, which
// leaves the old file whole. The file is smaller than Qt's write buffer, whose last flush went
// unchecked by the rename Qt falls back to.
TEST(FileUtils, CopiesAndMovesCutShortFailAndChangeNothing)
{
    QTemporaryDir dir;
    const QByteArray picture(10000, 'p');
    ASSERT_TRUE(writeFile(dir.path() + "/out/x_1.png", "old picture"));
    ASSERT_TRUE(writeFile(dir.path() + "/new/x_1.png", picture));
    struct stat shm {}, here {};
    const bool across = ::stat("/dev/shm", &shm) == 0 && ::stat(QFile::encodeName(dir.path()).constData(), &here) == 0
                        && shm.st_dev != here.st_dev && ::access("/dev/shm", W_OK) == 0;
    QTemporaryDir work(across ? QStringLiteral("/dev/shm/qv-work-XXXXXX") : dir.path() + "/work-XXXXXX");
    const QString made = work.path() + "/work-1.png";
    ASSERT_TRUE(writeFile(made, picture));
    const QString staged = dir.path() + "/out/.staged-x_2.png";
    QString error;
    {
        qvtest::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        EXPECT_FALSE(CopyFolderFSO(dir.path() + "/new", dir.path() + "/out", true));
        EXPECT_FALSE(CopyFileToFolder(dir.path() + "/new/x_1.png", dir.path() + "/out"));
        if (across) {
            EXPECT_FALSE(MoveFileWhole(made, staged, &error));
        }
    }
    EXPECT_EQ(entries(dir.path() + "/out"), QStringList{"x_1.png"});
    EXPECT_EQ(readFile(dir.path() + "/out/x_1.png"), "old picture");
    EXPECT_EQ(readFile(dir.path() + "/new/x_1.png"), picture);
    EXPECT_EQ(readFile(made), picture);
    if (!across)
        GTEST_SKIP() << "no second file system at /dev/shm: the move across was not tried";

    ASSERT_TRUE(MoveFileWhole(made, staged, &error)) << error.toStdString();
    EXPECT_EQ(readFile(staged), picture);
    EXPECT_FALSE(QFile::exists(made));
}

TEST(FileUtils, CopyFolderKeepsExistingFilesWithoutOverwrite)
{
    QTemporaryDir dir;
    const QString src = dir.path() + "/src";
    const QString dst = dir.path() + "/dst";
    ASSERT_TRUE(writeFile(src + "/a.txt", "A"));
    ASSERT_TRUE(writeFile(src + "/sub/b.txt", "B"));
    ASSERT_TRUE(writeFile(src + "/.hidden", "H"));
    ASSERT_TRUE(writeFile(dst + "/a.txt", "user's own"));
    ASSERT_TRUE(QFile::link(src, src + "/sub/loop"));
    EXPECT_TRUE(CopyFolderFSO(src, dst, false));
    EXPECT_EQ(readFile(dst + "/a.txt"), "user's own");
    EXPECT_EQ(readFile(dst + "/sub/b.txt"), "B");
    EXPECT_EQ(readFile(dst + "/.hidden"), "H");
    EXPECT_FALSE(QFileInfo::exists(dst + "/sub/loop"));
    EXPECT_TRUE(CopyFolderFSO(src, dst, true));
    EXPECT_EQ(readFile(dst + "/a.txt"), "A");
    // A destination inside the source would never end; a missing source is an error.
    EXPECT_FALSE(CopyFolderFSO(src, src + "/sub/copy", true));
    EXPECT_FALSE(QFileInfo::exists(src + "/sub/copy"));
    EXPECT_FALSE(CopyFolderFSO(dir.path() + "/none", dst, true));
}

TEST(FileUtils, KillFileAndAttributeMask)
{
    QTemporaryDir dir;
    const QString f = dir.path() + "/ro.txt";
    ASSERT_TRUE(writeFile(f, "x"));
    ASSERT_TRUE(QFile::setPermissions(f, QFileDevice::ReadOwner));
    EXPECT_TRUE(bSetFileAttributeMask(f, -1));
    EXPECT_FALSE(QFileInfo(f).permissions() & QFileDevice::WriteOwner);
    EXPECT_TRUE(bSetFileAttributeMask(f, -2));
    EXPECT_TRUE(QFileInfo(f).permissions() & QFileDevice::WriteOwner);
    ASSERT_TRUE(QFile::setPermissions(f, QFileDevice::ReadOwner));
    EXPECT_TRUE(bKillFile(f));
    EXPECT_FALSE(QFileInfo::exists(f));
    EXPECT_FALSE(bKillFile(f));
    EXPECT_FALSE(bSetFileAttributeMask(f, -2));
    EXPECT_FALSE(bKillFile(dir.path()));
}

TEST(FileUtils, DeleteWithRetryFailsAtOnceOnErrorsThatCannotPass)
{
    SetDeleteRetryPause(60000); // a retry would show in the time taken
    QTemporaryDir dir;
    const QString f = dir.path() + "/f.txt";
    ASSERT_TRUE(writeFile(f, "x"));
    ASSERT_TRUE(QFile::setPermissions(f, QFileDevice::ReadOwner));
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(bDeleteFileWithRetry(f));
    EXPECT_FALSE(QFileInfo::exists(f));
    EXPECT_TRUE(bDeleteFileWithRetry(f)); // missing: done already
    EXPECT_TRUE(bDeleteFileWithRetry(dir.path() + "/*.txt"));
    EXPECT_FALSE(bDeleteFileWithRetry(dir.path())); // a folder is never deleted
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
    ASSERT_TRUE(writeFile(dir.path() + "/locked/g.txt", "x"));
    {
        Unchangeable lock(dir.path() + "/locked");
        if (lock.ok()) {
            EXPECT_FALSE(bDeleteFileWithRetry(dir.path() + "/locked/g.txt"));
        }
    }
    EXPECT_TRUE(QFileInfo::exists(dir.path() + "/locked/g.txt"));
    EXPECT_LT(timer.elapsed(), 30000);
    SetDeleteRetryPause(1000);
}

TEST(FileUtils, DeleteWithRetryWaitsOutABusyFile)
{
    // A file with another file mounted over it cannot be unlinked (EBUSY) until the mount goes:
    // the one error here that passes. Mounting needs root.
    QTemporaryDir dir;
    const QString f = dir.path() + "/busy.txt";
    ASSERT_TRUE(writeFile(f, "x"));
    ASSERT_TRUE(writeFile(dir.path() + "/over.txt", "y"));
    if (QProcess::execute("mount", {"--bind", dir.path() + "/over.txt", f}) != 0) {
        GTEST_SKIP() << "cannot mount here";
    }
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute("umount", {"-l", path}); }
    } guard{f};

    SetDeleteRetryPause(0);
    EXPECT_FALSE(bDeleteFileWithRetry(f)); // still busy after every retry
    EXPECT_TRUE(QFileInfo::exists(f));

    // The waits process the caller's events, and a Pause pressed during them ends the retries.
    struct PausingPump : EventPump {
        bool running = true;
        int calls = 0;
        void processEvents() override
        {
            if (++calls == 3)
                running = false;
        }
    } pump;
    SetDeleteRetryPause(60000);
    QElapsedTimer paused;
    paused.start();
    EXPECT_FALSE(bDeleteFileWithRetry(f, &pump, &pump.running));
    EXPECT_EQ(pump.calls, 3);
    EXPECT_LT(paused.elapsed(), 30000);
    EXPECT_TRUE(QFileInfo::exists(f));

    // The mount goes during the first pause, after a first attempt met it.
    SetDeleteRetryPause(50);
    struct UnmountingPump : EventPump {
        QString file;
        int calls = 0;
        void processEvents() override
        {
            if (++calls == 1)
                QProcess::execute("umount", {file});
        }
    } unmount;
    unmount.file = f;
    bool running = true;
    QElapsedTimer timer;
    timer.start();
    const bool deleted = bDeleteFileWithRetry(f, &unmount, &running);
    EXPECT_TRUE(deleted);
    EXPECT_GE(unmount.calls, 1);
    EXPECT_GE(timer.elapsed(), 50);
    EXPECT_FALSE(QFileInfo::exists(f));
    SetDeleteRetryPause(1000);
}

TEST(FileUtils, UniqueTempNamesNeverRepeat)
{
    QTemporaryDir dir;
    QSet<QString> names;
    for (int i = 0; i < 3000; ++i) {
        const QString name = GetUniqueTempFileName(dir.path(), "qv", " pdf ");
        ASSERT_TRUE(name.startsWith(dir.path() + "/qv")) << name.toStdString();
        ASSERT_TRUE(name.endsWith(".pdf"));
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 3000);
    const QString plain = GetUniqueTempFileName("", "", "");
    EXPECT_TRUE(plain.startsWith(QDir::tempPath() + "/")) << plain.toStdString();
    EXPECT_TRUE(plain.endsWith(".TMP"));
    // A long prefix still leaves digits to vary.
    const QString longName = GetUniqueTempFileName(dir.path(), "ABCDEFGHIJ", "x");
    EXPECT_TRUE(longName.contains(QRegularExpression("/ABCDEFGHIJ\\d+\\.x$"))) << longName.toStdString();
    // Existing files are avoided: fill a prefix's whole name space but one (in memory where
    // possible: ten thousand files are slow on a disk).
    QTemporaryDir fast(QFileInfo("/dev/shm").isDir() ? "/dev/shm/qvtest-XXXXXX"
                                                      : QDir::tempPath() + "/qvtest-XXXXXX");
    const QString full = fast.path();
    for (int n = 0; n < 10000; ++n) {
        QFile f(full + "/LONGPRFX" + QString::number(n) + ".t");
        if (n != 4242) {
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
    EXPECT_EQ(GetUniqueTempFileName(full, "LONGPRFX", "t"), full + "/LONGPRFX4242.t");
    EXPECT_EQ(GetUniqueTempFileName(full, "LONGPRFX", "t"), "");
}

TEST(FileUtils, FolderWriteability)
{
    QTemporaryDir dir;
    EXPECT_TRUE(bFolderIsWriteable(dir.path()));
    EXPECT_TRUE(bFolderIsWriteable(dir.path() + "/not/yet/there"));
    EXPECT_TRUE(entries(dir.path()).isEmpty()); // the probe leaves nothing behind
    // Not even for a moment, so that a kill cannot leave it: no name is ever made.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(dir.path()).constData(), IN_CREATE), 0);
    EXPECT_TRUE(bFolderIsWriteable(dir.path()));
    char event[4096];
    EXPECT_LT(::read(watch, event, sizeof event), 0) << "a name was made in the folder";
    ::close(watch);
    EXPECT_FALSE(bFolderIsWriteable(""));
    EXPECT_FALSE(bFolderIsWriteable("   "));
    // Cannot be normalised: no folder to test, so not writeable.
    EXPECT_FALSE(bFolderIsWriteable("//server/share/out"));
    EXPECT_FALSE(bFolderIsWriteable("/proc/out"));
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/ro"));
    Unchangeable lock(dir.path() + "/ro");
    if (!lock.ok()) {
        GTEST_SKIP() << "cannot make a folder unchangeable here";
    }
    EXPECT_FALSE(bFolderIsWriteable(dir.path() + "/ro/sub"));
}

TEST(FileUtils, DefaultBrowserComesFromTheHttpHandlersDesktopEntry)
{
    QTemporaryDir dir;
    const QString config = dir.path() + "/config";
    const QString data = dir.path() + "/data";
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    qputenv("XDG_DATA_HOME", data.toUtf8());
    qputenv("XDG_CONFIG_DIRS", (dir.path() + "/none").toUtf8());
    qputenv("XDG_DATA_DIRS", (dir.path() + "/none").toUtf8());
    qputenv("BROWSER", "");
    EXPECT_EQ(GetDefaultBrowserCommand(), "");

    ASSERT_TRUE(writeFile(dir.path() + "/opt/my browser/run", "#!/bin/sh\n"));
    ASSERT_TRUE(QFile::setPermissions(dir.path() + "/opt/my browser/run",
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    ASSERT_TRUE(writeFile(config + "/mimeapps.list",
                          "[Added Associations]\nx-scheme-handler/http=other.desktop;\n"
                          "[Default Applications]\nx-scheme-handler/http=gone.desktop;web.desktop;\n"));
    ASSERT_TRUE(writeFile(data + "/applications/web.desktop",
                          "[Desktop Entry]\nName=Web\nExec=\"" + (dir.path() + "/opt/my browser/run").toUtf8()
                              + "\" %u\n[Desktop Action new]\nExec=/nothing\n"));
    EXPECT_EQ(GetDefaultBrowserCommand(), dir.path() + "/opt/my browser/run");

    // A handler whose program is missing gives way to $BROWSER, found on the PATH.
    ASSERT_TRUE(writeFile(data + "/applications/web.desktop", "[Desktop Entry]\nExec=no-such-browser %u\n"));
    qputenv("BROWSER", "no-such-browser:sh");
    EXPECT_TRUE(GetDefaultBrowserCommand().endsWith("/sh")) << GetDefaultBrowserCommand().toStdString();

    qputenv("XDG_CONFIG_HOME", (qvtest::homeDir() + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (qvtest::homeDir() + "/.local/share").toUtf8());
    qunsetenv("XDG_CONFIG_DIRS");
    qunsetenv("XDG_DATA_DIRS");
    qunsetenv("BROWSER");
}
