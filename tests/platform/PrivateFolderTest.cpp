// What the program keeps for itself is its user's alone whatever the umask; a process that has
// ended counts as gone even before it is reaped.
#include "platform/PrivateFolder.h"
#include "platform/ProcessState.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST(PrivateFolder, MadeTightenedOrRefusedWhateverTheUmask)
{
    QTemporaryDir tmp;
    const QString made = tmp.filePath("a/b/cache");
    const QString open = tmp.filePath("open");
    ASSERT_TRUE(QDir().mkdir(open));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    const mode_t mask = ::umask(0);
    EXPECT_TRUE(EnsurePrivateFolder(made));
    EXPECT_TRUE(EnsurePrivateFolder(open));
    ::umask(mask);
    for (const QString &folder : {tmp.filePath("a"), tmp.filePath("a/b"), made, open})
        EXPECT_EQ(modeOf(folder), 0700u) << folder.toStdString();

    // Made under the user's umask, then taken back: nothing below stays open to others.
    ASSERT_TRUE(QDir().mkpath(made + "/x/y"));
    QFile file(made + "/x/y/f");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(file.fileName()).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(made + "/x").constData(), 0777), 0);
    TightenPrivateTree(made);
    EXPECT_EQ(modeOf(made + "/x"), 0700u);
    EXPECT_EQ(modeOf(file.fileName()), 0600u);

    QString why;
    ASSERT_TRUE(QFile(tmp.filePath("file")).open(QIODevice::WriteOnly));
    EXPECT_FALSE(EnsurePrivateFolder(tmp.filePath("file"), &why));
    if (::getuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    ASSERT_EQ(::chown(QFile::encodeName(open).constData(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    EXPECT_FALSE(EnsurePrivateFolder(open, &why));
    EXPECT_TRUE(why.contains("another user") && why.contains(open)) << why.toStdString();
    EXPECT_EQ(modeOf(open), 0777u) << "another user's folder is left alone";
}

TEST(ProcessState, AnEndedChildIsGoneBeforeItIsReaped)
{
    EXPECT_TRUE(bProcessAlive(::getpid()));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        char c;
        ::read(ready[0], &c, 1); // waits until told to end
        ::_exit(0);
    }
    EXPECT_TRUE(bProcessAlive(child));
    ::write(ready[1], "x", 1);
    // Ended but not reaped: a zombie.
    bool gone = false;
    for (int i = 0; i < 500 && !gone; ++i, ::usleep(2000))
        gone = !bProcessAlive(child);
    EXPECT_TRUE(gone);
    EXPECT_EQ(::waitpid(child, nullptr, WNOHANG), child) << "it was still there to be reaped";
    ::close(ready[0]);
    ::close(ready[1]);
}
