#include "AtomicFile.h"

#include "LeftoverRemoval.h"
#include "StagedNames.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool failed(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

QString systemError(int err) { return QString::fromLocal8Bit(std::strerror(err ? err : EIO)); }

std::function<int(const char *, int)> &callHook()
{
    static std::function<int(const char *, int)> hook;
    return hook;
}

// Whether the call on fd may go ahead; a test's hook may make it fail with its errno.
bool allowed(const char *call, int fd)
{
    const int err = callHook() ? callHook()(call, fd) : 0;
    errno = err;
    return err == 0;
}

// Writes every byte, however many calls the kernel needs; 0 or the errno. A call that writes
// nothing without an error (which a full device may answer) is a failure, not a reason to spin.
int writeAll(int fd, const char *data, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

// Copies what is left of in to out; 0 or the errno. *copied counts the bytes.
int copyAll(int in, int out, qint64 *copied)
{
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    *copied = 0;
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), static_cast<size_t>(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        if (const int err = writeAll(out, buffer.constData(), n))
            return err;
        *copied += n;
    }
}

// The contents of a new file: 0 or the errno.
using Fill = std::function<int(int fd)>;

int fillFrom(const QByteArray &bytes, int fd) { return writeAll(fd, bytes.constData(), bytes.size()); }

// A copy of the file open as in whose size was expected: a source that shrank meanwhile is
// not a whole copy.
int fillCopy(int in, qint64 expected, int fd)
{
    qint64 copied = 0;
    const int err = copyAll(in, fd, &copied);
    return err ? err : copied == expected ? 0 : EIO;
}

// Syncs, then closes fd; 0 or the first errno. The sync is where a file system that delays its
// writes (NFS, FUSE, delayed allocation) reports that the bytes did not all arrive.
int syncAndClose(int fd, int err)
{
    if (!err && (!allowed("sync", fd) || ::fsync(fd) != 0))
        err = errno;
    if (::close(fd) != 0 && !err)
        err = errno;
    return err;
}

// Gives the new file, made with mode 0600, the mode wanted (that of the file it replaces). A file
// system that keeps no modes answers ENOSYS (FAT through FUSE), EPERM (vfat) or EOPNOTSUPP, and
// shows its own mode whatever a file was made with: that is no failure. Where the file shows the
// 0600 it was made with, the file system keeps modes and the refusal is one (unless 0600 is what
// was wanted): the write fails rather than leave the user's file with a mode they did not give it.
// Made private first, a file whose mode cannot be set is never open to anyone it should not be.
int keepMode(int fd, mode_t wanted)
{
    if (allowed("fchmod", fd) && ::fchmod(fd, wanted & 07777) == 0)
        return 0;
    const int err = errno;
    struct stat now {};
    if ((err != ENOSYS && err != EPERM && err != EOPNOTSUPP) || ::fstat(fd, &now) != 0)
        return err;
    const bool keepsModes = (now.st_mode & 0777 & ~0600) == 0;
    return !keepsModes || (now.st_mode & 0777) == (wanted & 0777) ? 0 : err;
}

// Syncs the folder's entries (the rename just made). Cheap next to the file's own sync; a file
// system that cannot sync a folder is not a reason to report a file that is in place as failed.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// How the new file's mode is chosen: that of the file it replaces (a new file gets the umask's),
// 0600, or the given one.
struct ModeRule
{
    enum { KeepOld, OwnerOnly, Exact } kind = KeepOld;
    mode_t mode = 0;
};

// Writes a new file under a staged name beside path and renames it over path.
bool replaceAtomically(const QString &path, ModeRule rule, const Fill &fill, QString *error,
                       const struct timespec *modified = nullptr)
{
    // Through a link the file it leads to is replaced, not the link.
    QFileInfo info(path);
    const QString resolved = info.isSymLink() ? info.canonicalFilePath() : QString();
    const QString final = !info.isSymLink() ? info.absoluteFilePath() : resolved.isEmpty() ? info.symLinkTarget() : resolved;
    info = QFileInfo(final);
    if (info.isDir())
        return failed(error, QStringLiteral("%1 is a folder").arg(final));
    const QByteArray finalName = QFile::encodeName(final);
    struct stat old {};
    const bool replaces = ::stat(finalName.constData(), &old) == 0;
    if (replaces && ::access(finalName.constData(), W_OK) != 0)
        return failed(error, systemError(errno));

    // The bytes are written under a staged name beside the file, which a later run's sweep knows
    // when this one is killed, and take the real name in one rename. What a killed writer left
    // there goes first.
    LeftoverRemoval::sweepOnce(info.absolutePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QByteArray temp = folder + '/' + QFile::encodeName(StagedNames::ownName(StagedNames::Kind::Part, info.fileName()));
    // The mode is set before the first byte: at no time does the content lie in a file that
    // others may read when the file it replaces could not be.
    if (rule.kind == ModeRule::KeepOld && replaces)
        rule = {ModeRule::Exact, old.st_mode};
    const bool fresh = rule.kind == ModeRule::KeepOld;
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, fresh ? 0666 : 0600);
    if (fd < 0)
        return failed(error, systemError(errno));
    int err = rule.kind == ModeRule::Exact ? keepMode(fd, rule.mode) : 0;
    if (!err)
        err = fill(fd);
    if (!err && modified) {
        // The time as well as the file system keeps one; a refusal does not spoil the copy.
        const struct timespec times[2] = {{0, UTIME_OMIT}, *modified};
        ::futimens(fd, times);
    }
    err = syncAndClose(fd, err);
    if (!err && ::rename(temp.constData(), finalName.constData()) != 0)
        err = errno;
    if (err) {
        ::unlink(temp.constData());
        return failed(error, systemError(err));
    }
    syncFolder(folder);
    return true;
}

// Writes a file under a name nobody else uses; on failure the name goes again. With a mode (a
// copy keeps its source's) the file is private until it has that mode, else it gets the umask's.
bool writeWhole(const QString &path, const Fill &fill, QString *error, const mode_t *mode = nullptr)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode ? 0600 : 0666);
    if (fd < 0)
        return failed(error, systemError(errno));
    int err = fill(fd);
    if (!err && mode)
        err = keepMode(fd, *mode);
    if ((err = syncAndClose(fd, err))) {
        ::unlink(name.constData());
        return failed(error, systemError(err));
    }
    return true;
}

// Opens source for a copy; -1 with *error set when it cannot.
int openSource(const QString &source, struct stat *st, QString *error)
{
    const int fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        failed(error, systemError(fd < 0 ? errno : S_ISREG(st->st_mode) ? errno : EINVAL));
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error, bool ownerOnly)
{
    const ModeRule rule{ownerOnly ? ModeRule::OwnerOnly : ModeRule::KeepOld, 0600};
    return replaceAtomically(path, rule, [&](int fd) { return fillFrom(bytes, fd); }, error);
}

bool CopyFileAtomically(const QString &source, const QString &target, QString *error)
{
    struct stat st {};
    const int in = openSource(source, &st, error);
    if (in < 0)
        return false;
    const bool ok = replaceAtomically(target, {ModeRule::Exact, st.st_mode},
                                      [&](int fd) { return fillCopy(in, st.st_size, fd); }, error, &st.st_mtim);
    ::close(in);
    return ok;
}

bool WriteFileWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeWhole(path, [&](int fd) { return fillFrom(bytes, fd); }, error);
}

bool CopyFileWhole(const QString &source, const QString &path, QString *error)
{
    struct stat st {};
    const int in = openSource(source, &st, error);
    if (in < 0)
        return false;
    const bool ok = writeWhole(path, [&](int fd) { return fillCopy(in, st.st_size, fd); }, error, &st.st_mode);
    ::close(in);
    return ok;
}

bool SyncFile(const QString &path, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failed(error, systemError(errno));
    const int err = syncAndClose(fd, 0);
    return err == 0 || failed(error, systemError(err));
}

void SetAtomicFileCallHook(std::function<int(const char *call, int fd)> hook) { callHook() = std::move(hook); }
