#include "jobs/AppendTarget.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "jobs/JobSession.h"
#include "language/Translator.h"
#include "platform/LeftoverRemoval.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<int> g_waitLimitMs{10 * 60 * 1000};
// How many lock files the appends of a machine share.
constexpr int kLockCount = 64;

bool writeAll(int fd, const char *data, ssize_t size)
{
    for (ssize_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Copies source into the new file copy (made here, never an existing one), with the mode of
// source, which it is to replace. Nothing of a failed copy remains; a killed one leaves a staged
// name that a later sweep removes.
bool copyInto(const QString &source, const QString &copy)
{
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat st {};
    const QByteArray out = QFile::encodeName(copy);
    const int fd = ::fstat(in, &st) == 0 ? ::open(out.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600) : -1;
    bool ok = fd >= 0;
    char buffer[64 * 1024];
    while (ok) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = writeAll(fd, buffer, n);
    }
    // A file system without modes (FAT) has none to keep.
    if (ok && ::fchmod(fd, st.st_mode & 07777) != 0)
        ok = errno == ENOSYS || errno == EOPNOTSUPP;
    if (fd >= 0 && ::close(fd) != 0)
        ok = false;
    ::close(in);
    if (!ok && fd >= 0)
        ::unlink(out.constData());
    return ok;
}

} // namespace

QString AppendTargetFile(const QString &path)
{
    QFileInfo info(path);
    // A link to a link leads on; a loop ends like a link that leads nowhere.
    for (int hops = 0; hops < 40 && info.isSymLink(); ++hops) {
        const QString canonical = info.canonicalFilePath();
        if (!canonical.isEmpty())
            return canonical;
        info = QFileInfo(info.symLinkTarget());
    }
    return info.absoluteFilePath();
}

AppendTargetLock::AppendTargetLock(const QString &target)
    : m_mutex(lockName(target)), m_folder(QFileInfo(target).absolutePath())
{
}

QString AppendTargetLock::lockName(const QString &target)
{
    // The same file under every spelling, before and after its folder is made: the real path of
    // its deepest existing folder and the rest as written.
    const QString clean = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
    const QString existing = NormalizeFolderPath(clean);
    const QString key = CanonicalPathForCompare(existing) + clean.mid(existing.size());
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(key), QCryptographicHash::Sha1);
    return QStringLiteral("Quorvane_Append_%1").arg(static_cast<uchar>(hash.at(0)) % kLockCount, 2, 10, QLatin1Char('0'));
}

void AppendTargetLock::setWaitLimit(int ms) { g_waitLimitMs = ms < 0 ? 0 : ms; }

AppendTargetLock::Wait AppendTargetLock::take(JobSession &session, bool stopOnPause)
{
    const Wait wait = waitFor(session, stopOnPause);
    // A commit killed where the file system cannot keep the old file aside by a link leaves
    // the target under a staged name and its own name empty: it goes back before the append
    // reads the target, or the append would start from nothing and replace it.
    if (wait == Wait::Taken)
        LeftoverRemoval::sweep(m_folder);
    return wait;
}

AppendTargetLock::Wait AppendTargetLock::waitFor(JobSession &session, bool stopOnPause)
{
    if (m_mutex.isLocked() || m_mutex.tryLock())
        return Wait::Taken;
    session.panels()->setPanelText(StatusPanel::Progress, Translate(QStringLiteral("Waiting for another run's append")));
    QElapsedTimer since;
    since.start();
    for (;;) {
        if (session.bInterruptRecorded() || (stopOnPause && !session.bRunning))
            return Wait::Stopped;
        if (since.elapsed() >= g_waitLimitMs.load())
            return Wait::TimedOut;
        EventPump::wait(session.pump(), 50, stopOnPause ? &session.bRunning : nullptr);
        if (m_mutex.tryLock())
            return Wait::Taken;
    }
}

StagedAppendTarget::StagedAppendTarget(const QString &target)
    : m_target(AppendTargetFile(target)), m_lock(m_target)
{
}

QString StagedAppendTarget::path(QStringList &madeFolders)
{
    if (!m_path.isEmpty())
        return m_path;
    const QString folder = GetPathFromFileName(m_target);
    if (!folder.isEmpty() && !bFolderExists(folder)) {
        CreateTargetFolderTree(folder);
        madeFolders += TakeFoldersMadeFor(folder);
    }
    m_path = m_staged.stage(m_target);
    if (bFileExists(m_target) && !copyInto(m_target, m_path))
        m_copyFailed = true;
    return m_path;
}

void StagedAppendTarget::discard()
{
    m_staged.discard();
    m_appended = false;
}

bool StagedAppendTarget::finish()
{
    if (!m_appended || m_copyFailed) {
        m_staged.discard();
        return true;
    }
    m_appended = false;
    return m_staged.commit();
}
