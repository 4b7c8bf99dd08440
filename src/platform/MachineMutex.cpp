#include "MachineMutex.h"

#include <QFile>
#include <QMutex>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QMutex g_folderLock;
QString g_testFolder;

// Opens the lock file, creating it readable and writable for every user whatever the umask.
// An existing file is opened without O_CREAT: in a sticky temp folder the kernel refuses
// O_CREAT on another user's file (protected_regular). Links are refused, so nobody can point
// the lock at a file of theirs.
int openLockFile(const QByteArray &path)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        int fd = ::open(path.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == EACCES)
            fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0)
                ::fchmod(fd, 0666);
            else if (errno == EEXIST)
                continue; // another process created it in between
        }
        if (fd < 0)
            return -1;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return -1;
        }
        return fd;
    }
    return -1;
}

} // namespace

MachineMutex::MachineMutex(const QString &name)
    : m_name(name)
{
}

MachineMutex::~MachineMutex()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString MachineMutex::filePath() const
{
    return lockFolder() + u'/' + m_name;
}

QString MachineMutex::lockFolder()
{
    QMutexLocker lock(&g_folderLock);
    // Not QDir::tempPath(): that follows $TMPDIR, and two writers with different values would
    // then lock different files and not exclude each other.
    return g_testFolder.isEmpty() ? QStringLiteral("/tmp") : g_testFolder;
}

void MachineMutex::setLockFolderForTests(const QString &folder)
{
    QMutexLocker lock(&g_folderLock);
    g_testFolder = folder;
}

bool MachineMutex::lock() { return acquire(true); }

bool MachineMutex::tryLock() { return acquire(false); }

bool MachineMutex::acquire(bool wait)
{
    if (m_depth > 0) {
        ++m_depth;
        return true;
    }
    const int fd = openLockFile(QFile::encodeName(filePath()));
    if (fd < 0)
        return false;
    while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        if (errno == EINTR)
            continue;
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_depth = 1;
    return true;
}

void MachineMutex::unlock()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    // Closing the only descriptor of this open file releases the lock.
    ::close(m_fd);
    m_fd = -1;
}
