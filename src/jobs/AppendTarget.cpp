#include "jobs/AppendTarget.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "jobs/JobSession.h"
#include "language/Translator.h"
#include "platform/AtomicFile.h"
#include "platform/LeftoverRemoval.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <atomic>

namespace {

std::atomic<int> g_waitLimitMs{10 * 60 * 1000};
// How many lock files the appends of a machine share.
constexpr int kLockCount = 64;

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
    if (bFileExists(m_target) && !CopyFileWhole(m_target, m_path))
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
