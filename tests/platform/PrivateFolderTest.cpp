// What the program keeps for itself is its user's alone whatever the umask.
#include "platform/PrivateFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
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
