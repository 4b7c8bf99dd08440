// What the program keeps for itself is its user's alone whatever the umask.
#include "platform/PrivateFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(PrivateFolder, MadeOrTightenedWhateverTheUmaskAndAnotherUsersIsRefused)
{
    QTemporaryDir tmp;
    const QString made = tmp.filePath("a/cache");
    const QString open = tmp.filePath("open");
    ASSERT_TRUE(QDir().mkdir(open));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    const mode_t mask = ::umask(0);
    EXPECT_TRUE(EnsurePrivateFolder(made));
    EXPECT_TRUE(EnsurePrivateFolder(open));
    ::umask(mask);
    auto mode = [](const QString &path) {
        struct stat st {};
        ::stat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 07777;
    };
    for (const QString &folder : {tmp.filePath("a"), made, open})
        EXPECT_EQ(mode(folder), 0700u) << folder.toStdString();

    QString why;
    if (::getuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    ASSERT_EQ(::chown(QFile::encodeName(open).constData(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    EXPECT_FALSE(EnsurePrivateFolder(open, &why));
    EXPECT_TRUE(why.contains("another user") && why.contains(open)) << why.toStdString();
    EXPECT_EQ(mode(open), 0777u) << "another user's folder is left alone";
}

TEST(PrivateFolder, OneOfOursWhoseModeTheFileSystemCannotChangeIsUsed)
{
    // A file system that keeps no modes refuses the change, as a read-only one does: the mount
    // decides there, for every file of the user alike.
    QTemporaryDir tmp;
    const QString open = tmp.filePath("open");
    ASSERT_TRUE(QDir().mkdir(open));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    const QByteArray root = QFile::encodeName(tmp.path());
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(root.constData(), root.constData(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, root.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0 ||
            ::chmod(QFile::encodeName(open).constData(), 0700) == 0)
            ::_exit(2);
        ::_exit(EnsurePrivateFolder(open) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "a read-only mount needs the right to mount";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
