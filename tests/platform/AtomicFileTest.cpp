// Writing a whole file at once: a failure leaves the old file whole and nothing beside it.
#include "TestEnv.h"
#include "platform/AtomicFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

TEST(AtomicFile, FailuresLeaveTheOldStateWhole)
{
    QTemporaryDir dir;
    const auto everything = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(WriteFileAtomically(file, "old"));
    ASSERT_TRUE(WriteFileAtomically(file, "new"));
    EXPECT_EQ(qvtest::readFile(file), QByteArray("new"));

    // A target that is a folder: refused, the folder and what it holds stay.
    const QString folder = dir.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(qvtest::writeFile(folder + QStringLiteral("/inside.txt"), "x"));
    QString error;
    EXPECT_FALSE(WriteFileAtomically(folder, "bytes", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(folder).entryList(everything), QStringList{QStringLiteral("inside.txt")});

    // A write that fails only when its buffered bytes are flushed (a file size limit): the old
    // content stays.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(file, QByteArray(8000, 'z'), &error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(qvtest::readFile(file), QByteArray("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(everything, QDir::Name), (QStringList{QStringLiteral("a.txt"), QStringLiteral("folder")}));
}
