// Writing a whole file at once: a failure leaves the old file whole and nothing beside it.
#include "FileSizeLimit.h"
#include "TestEnv.h"
#include "platform/AtomicFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

const auto kEverything = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;

int modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// The writer's calls in the order made; answer may make one fail with an errno.
struct CallLog
{
    explicit CallLog(std::function<int(const char *, int)> answer = {})
    {
        SetAtomicFileCallHook([this, answer](const char *call, int fd) {
            calls << QString::fromLatin1(call);
            return answer ? answer(call, fd) : 0;
        });
    }
    ~CallLog() { SetAtomicFileCallHook({}); }
    QStringList calls;
};

} // namespace

TEST(AtomicFile, FailuresLeaveTheOldStateWhole)
{
    QTemporaryDir dir;
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
    EXPECT_EQ(QDir(folder).entryList(kEverything), QStringList{QStringLiteral("inside.txt")});

    // A write that fails only when its buffered bytes are flushed (a file size limit): the old
    // content stays; so it does for a copy cut short, and a whole write to a free name leaves
    // nothing.
    const QString big = dir.filePath(QStringLiteral("big.bin"));
    ASSERT_TRUE(qvtest::writeFile(big, QByteArray(8000, 'b')));
    {
        qvtest::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        EXPECT_FALSE(WriteFileAtomically(file, QByteArray(8000, 'z'), &error));
        EXPECT_FALSE(CopyFileAtomically(big, file, &error));
        EXPECT_FALSE(CopyFileWhole(big, dir.filePath(QStringLiteral("staged.bin")), &error));
        EXPECT_FALSE(WriteFileWhole(dir.filePath(QStringLiteral("staged.bin")), QByteArray(8000, 'z'), &error));
    }
    EXPECT_EQ(qvtest::readFile(file), QByteArray("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(kEverything, QDir::Name),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("big.bin"), QStringLiteral("folder")}));

    // A copy that arrives whole keeps the source's mode and modification time.
    ASSERT_TRUE(QFile::setPermissions(big, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 5}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(big).constData(), times, 0), 0);
    ASSERT_TRUE(CopyFileAtomically(big, file, &error)) << error.toStdString();
    EXPECT_EQ(qvtest::readFile(file), QByteArray(8000, 'b'));
    EXPECT_EQ(modeOf(file), 0640);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
}

TEST(AtomicFile, EveryWriteIsSyncedBeforeItTakesAName)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("job.qvj"));
    ASSERT_TRUE(WriteFileAtomically(file, "old job"));
    ASSERT_TRUE(qvtest::writeFile(dir.filePath(QStringLiteral("source.txt")), "copied"));
    {
        // A file system that reports at the sync that the bytes did not all reach the disk (NFS,
        // FUSE, delayed allocation): every writer fails, the old file stays, nothing is left.
        CallLog log([](const char *call, int) { return std::strcmp(call, "sync") == 0 ? EIO : 0; });
        EXPECT_FALSE(WriteFileAtomically(file, "new job"));
        EXPECT_FALSE(WriteFileAtomically(file, "new job", nullptr, true));
        EXPECT_FALSE(CopyFileAtomically(dir.filePath(QStringLiteral("source.txt")), file));
        EXPECT_FALSE(WriteFileWhole(dir.filePath(QStringLiteral("staged")), "bytes"));
        EXPECT_FALSE(CopyFileWhole(dir.filePath(QStringLiteral("source.txt")), dir.filePath(QStringLiteral("staged"))));
        EXPECT_FALSE(SyncFile(dir.filePath(QStringLiteral("source.txt"))));
        EXPECT_EQ(log.calls.count(QStringLiteral("sync")), 6);
    }
    EXPECT_EQ(qvtest::readFile(file), QByteArray("old job"));
    EXPECT_EQ(QDir(dir.path()).entryList(kEverything, QDir::Name),
              (QStringList{QStringLiteral("job.qvj"), QStringLiteral("source.txt")}));

    CallLog log;
    ASSERT_TRUE(WriteFileAtomically(file, "new job"));
    EXPECT_EQ(log.calls, (QStringList{QStringLiteral("fchmod"), QStringLiteral("sync")}));
    EXPECT_EQ(qvtest::readFile(file), QByteArray("new job"));
}

TEST(AtomicFile, FileSystemsThatKeepNoModesAreNoReasonToFail)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(WriteFileAtomically(file, "old"));
    // FAT through FUSE shows every file as 0700 and answers ENOSYS; exFAT 0777 and EPERM.
    for (const auto &[shown, refusal] : {std::pair{0700, ENOSYS}, std::pair{0777, EPERM}, std::pair{0755, EOPNOTSUPP}}) {
        ::chmod(QFile::encodeName(file).constData(), mode_t(shown));
        CallLog log([shown, refusal](const char *call, int fd) {
            if (std::strcmp(call, "fchmod") != 0)
                return 0;
            ::fchmod(fd, mode_t(shown)); // what such a file system shows for any file
            return refusal;
        });
        EXPECT_TRUE(WriteFileAtomically(file, QByteArray::number(shown))) << shown;
        EXPECT_EQ(qvtest::readFile(file), QByteArray::number(shown));
    }

    // A file system that keeps modes and refuses one: the file would be left private (0600)
    // where the user's was readable, so the write fails and the old file stays as it was; a
    // refusal of another kind fails whatever the file shows.
    ::chmod(QFile::encodeName(file).constData(), 0644);
    {
        CallLog log([](const char *call, int) { return std::strcmp(call, "fchmod") == 0 ? EPERM : 0; });
        EXPECT_FALSE(WriteFileAtomically(file, "refused"));
    }
    {
        CallLog log([](const char *call, int fd) {
            if (std::strcmp(call, "fchmod") != 0)
                return 0;
            ::fchmod(fd, 0700);
            return EIO;
        });
        EXPECT_FALSE(WriteFileAtomically(file, "refused"));
    }
    EXPECT_EQ(qvtest::readFile(file), QByteArray::number(0755));
    EXPECT_EQ(modeOf(file), 0644);
    EXPECT_EQ(QDir(dir.path()).entryList(kEverything), QStringList{QStringLiteral("notes.txt")});
    // A private file whose mode the file system keeps stays private when the change is refused.
    ::chmod(QFile::encodeName(file).constData(), 0600);
    CallLog log([](const char *call, int) { return std::strcmp(call, "fchmod") == 0 ? EPERM : 0; });
    EXPECT_TRUE(WriteFileAtomically(file, "private"));
    EXPECT_EQ(modeOf(file), 0600);
}
