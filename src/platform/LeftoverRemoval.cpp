#include "LeftoverRemoval.h"

#include "FolderEntries.h"
#include "NameMoves.h"
#include "PrivateFolder.h"
#include "ProcessState.h"
#include "StagedNames.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder deeper than this inside a staged folder was not made by a conversion.
constexpr int kMaxDepth = 32;
// How long the record of a gone worker is kept.
constexpr int kRecordDays = 30;

// Removes name in the folder dirFd, which was seen as seen: of a folder, only what this user
// owns. Everything happens relative to folders opened without following links, so a link
// swapped in never leads elsewhere. What another process removes meanwhile counts as removed, so
// that two sweeps at once both finish the job.
bool removeEntry(int dirFd, const QByteArray &name, const struct stat &seen, int depth)
{
    if (!S_ISDIR(seen.st_mode))
        return ::unlinkat(dirFd, name.constData(), 0) == 0 || errno == ENOENT;
    if (depth > kMaxDepth)
        return false;
    const int fd = ::openat(dirFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
        ::close(fd);
        return false;
    }
    bool ok = true;
    for (const QByteArray &inner : FolderEntryNames(fd)) {
        struct stat st;
        if (::fstatat(fd, inner.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            ok = errno == ENOENT && ok;
        else
            ok = st.st_uid == ::geteuid() && removeEntry(fd, inner, st, depth + 1) && ok;
    }
    ::close(fd);
    return ok && (::unlinkat(dirFd, name.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT);
}

// Removes name when this user owns it.
void removeIfOwn(int dirFd, const QByteArray &name)
{
    struct stat st;
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_uid == ::geteuid())
        removeEntry(dirFd, name, st, 0);
}

// The name a kept-aside target stood under: its tail, or, when the tail was shortened to fit (by
// an earlier version), the one entry that shortens to it. Empty when that cannot be told.
QByteArray targetOf(const StagedNames::Origin &o, const QList<QByteArray> &names)
{
    if (StagedNames::isWholeTail(o))
        return QFile::encodeName(o.tail);
    QByteArray found;
    for (const QByteArray &name : names) {
        const QString text = QFile::decodeName(name);
        if (text != o.tail && !StagedNames::originOf(text) && StagedNames::fittedTail(o.prefix, text) == o.tail) {
            if (!found.isEmpty())
                return QByteArray();
            found = name;
        }
    }
    return found.isEmpty() ? QFile::encodeName(o.tail) : found;
}

// A target that a commit kept aside: the file (name in the folder dir) and the name it stood
// under in the target's folder. A long name is kept whole in a folder of its own: dir is then
// that folder, opened here.
struct KeptAside
{
    int dir = -1;
    bool ownDir = false;
    QByteArray name;
    QByteArray target;
    struct stat st {};
    KeptAside() = default;
    KeptAside(const KeptAside &) = delete;
    KeptAside &operator=(const KeptAside &) = delete;
    ~KeptAside()
    {
        if (ownDir)
            ::close(dir);
    }
};

// Reads the kept-aside entry of folder dirFd; false when it is not this user's, or holds
// anything but the one file a commit keeps there.
bool readAside(int dirFd, const QByteArray &entry, const StagedNames::Origin &o, const QList<QByteArray> &names,
               KeptAside &k)
{
    struct stat seen;
    if (::fstatat(dirFd, entry.constData(), &seen, AT_SYMLINK_NOFOLLOW) != 0 || seen.st_uid != ::geteuid())
        return false;
    k.dir = dirFd;
    k.name = entry;
    if (S_ISDIR(seen.st_mode)) {
        const int fd = ::openat(dirFd, entry.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return false;
        k.dir = fd;
        k.ownDir = true;
        struct stat opened;
        const QList<QByteArray> inner = FolderEntryNames(fd);
        if (::fstat(fd, &opened) != 0 || opened.st_ino != seen.st_ino || inner.size() != 1)
            return false;
        k.name = k.target = inner.first();
    } else {
        k.target = targetOf(o, names);
    }
    return !k.target.isEmpty() && ::fstatat(k.dir, k.name.constData(), &k.st, AT_SYMLINK_NOFOLLOW) == 0
           && k.st.st_uid == ::geteuid() && !S_ISDIR(k.st.st_mode);
}

// Whether a kept-aside name holds the commit's own output rather than an old target: the new file
// takes that name just before it swaps names with the target, and the name carries its inode.
bool holdsOwnOutput(const KeptAside &k, const StagedNames::Origin &o) { return k.st.st_ino == o.serial; }

// A target a gone commit kept aside: back under its name when that is free (never over anything);
// gone when the name holds the same file (the commit had not replaced it) or a newer one; with
// restore (a commit known to have stopped half-way), back over the commit's own output (the file
// whose inode the name carries), never over anyone else's. A name that is now a folder keeps it.
// A kept-aside name that holds the commit's own output (its swap was never made) goes like any
// staged output: the target's name still holds the old file.
void settleAside(int dirFd, const QByteArray &entry, const StagedNames::Origin &o, const QList<QByteArray> &names,
                 bool restore)
{
    {
        KeptAside k;
        if (!readAside(dirFd, entry, o, names, k))
            return;
        struct stat current;
        if (holdsOwnOutput(k, o)) {
            ::unlinkat(k.dir, k.name.constData(), 0);
        } else if (::fstatat(dirFd, k.target.constData(), &current, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                NameMoves::renameToFree(k.dir, k.name, dirFd, k.target);
        } else if (S_ISDIR(current.st_mode)) {
            return;
        } else if (current.st_dev == k.st.st_dev && current.st_ino == k.st.st_ino) {
            ::unlinkat(k.dir, k.name.constData(), 0);
        } else if (restore && current.st_ino == o.serial) {
            if (NameMoves::allowed("restore"))
                ::renameat(k.dir, k.name.constData(), dirFd, k.target.constData());
        } else {
            ::unlinkat(k.dir, k.name.constData(), 0);
        }
    }
    // The folder of a long name goes once its file is out (it stays while anything is in it).
    ::unlinkat(dirFd, entry.constData(), AT_REMOVEDIR);
}

// The processes that may have written name as LibreOffice names its temporary files: "lu", the
// pid, one to six base-36 digits, ".tmp". The digits after the pid may also be read as a longer
// pid's ("lu1234ab.tmp" is pid 123's or pid 1234's), so a name can have several readings.
QList<qint64> officeTempPids(const QString &name)
{
    QList<qint64> pids;
    if (!name.startsWith(QLatin1String("lu")) || !name.endsWith(QLatin1String(".tmp")))
        return pids;
    const QString body = name.mid(2, name.size() - 6);
    for (int digits = 1; digits <= 7 && digits < body.size() && body.at(digits - 1).isDigit(); ++digits) {
        const QString rest = body.mid(digits);
        if (rest.size() <= 6
            && std::all_of(rest.begin(), rest.end(), [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z'); }))
            pids << body.left(digits).toLongLong();
    }
    return pids;
}

// The folder of the records of our office workers: one empty file "<pid>@<machine>" each, made
// when the worker starts and removed when it ends normally (the worker's cache is its own).
QString workerRecords()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/quorvane/workers");
}

QString recordOf(qint64 pid) { return workerRecords() + u'/' + QString::number(pid) + u'@' + StagedNames::hostTag(); }

bool wasOurWorker(qint64 pid)
{
    struct stat st;
    return ::lstat(QFile::encodeName(recordOf(pid)).constData(), &st) == 0;
}

// Whether pid may be a running office (our worker, LibreOffice itself): a running process whose
// name says so, or whose name cannot be read.
bool mayBeOffice(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return bProcessAlive(pid) && (!comm.open(QIODevice::ReadOnly) || comm.readAll().contains("office"));
}

// LibreOffice's temporary file left by one of our office workers that is gone: a reading of its
// digits names such a worker, and no reading names a running office. Another program's files of
// such names (a user's own LibreOffice among them) are not ours to take.
bool isGoneWorkerTemp(const QString &name)
{
    const QList<qint64> pids = officeTempPids(name);
    return std::any_of(pids.begin(), pids.end(), [](qint64 p) { return wasOurWorker(p) && !bProcessAlive(p); })
           && std::none_of(pids.begin(), pids.end(), mayBeOffice);
}

// Whether an entry name of folder dirFd is one of pid's (pid 0: of a gone process) that a
// clean-up may take.
std::optional<StagedNames::Origin> takenOrigin(const QString &text, qint64 pid)
{
    std::optional<StagedNames::Origin> o = StagedNames::originOf(text);
    if (o && (!StagedNames::isOwnHere(*o) || (pid > 0 ? o->pid != pid : bProcessAlive(o->pid))))
        return std::nullopt;
    return o;
}

bool holdsFiles(const QString &path)
{
    return QDirIterator(path, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories).hasNext();
}

// Whether pid's commit in folder (and its pages folders) stopped before its last rename: a file
// it staged is still there (under a kept-aside name too, before its swap), or a name it kept aside
// still holds the old file or stands empty.
bool unfinished(const QString &folder, qint64 pid, const QSet<QString> &keep, bool pagesFolders)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const QList<QByteArray> names = FolderEntryNames(fd);
    bool found = false;
    for (const QByteArray &name : names) {
        const QString text = QFile::decodeName(name);
        const QString full = folder + u'/' + text;
        const std::optional<StagedNames::Origin> o = takenOrigin(text, pid);
        if (keep.contains(full) || text.startsWith(QLatin1String(".~lock."))) {
            continue;
        } else if (o && o->kind == StagedNames::Kind::Part) {
            found = holdsFiles(full) || !QFileInfo(full).isDir();
        } else if (o && o->kind == StagedNames::Kind::Prev) {
            KeptAside k;
            struct stat current;
            found = readAside(fd, name, *o, names, k)
                    && (holdsOwnOutput(k, *o) || ::fstatat(fd, k.target.constData(), &current, AT_SYMLINK_NOFOLLOW) != 0
                        || (current.st_dev == k.st.st_dev && current.st_ino == k.st.st_ino));
        } else if (pagesFolders && text.endsWith(QLatin1String("_files")) && QFileInfo(full).isDir()
                   && !QFileInfo(full).isSymLink()) {
            found = unfinished(full, pid, keep, false);
        }
        if (found)
            break;
    }
    ::close(fd);
    return found;
}

// Looks at folder and at its pages folders ("*_files"): which entries to settle or remove.
// pid 0 means every gone process of this user on this machine.
void tidy(const QString &folder, qint64 pid, const QSet<QString> &keep, bool pagesFolders, bool restore)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const QList<QByteArray> names = FolderEntryNames(fd);
    for (const QByteArray &name : names) {
        const QString text = QFile::decodeName(name);
        if (keep.contains(folder + u'/' + text))
            continue;
        if (StagedNames::originOf(text)) {
            const std::optional<StagedNames::Origin> o = takenOrigin(text, pid);
            if (o && o->kind == StagedNames::Kind::Prev && !text.startsWith(QLatin1String(".~lock.")))
                settleAside(fd, name, *o, names, restore);
            else if (o)
                removeIfOwn(fd, name);
        } else if (pid > 0 ? LeftoverRemoval::isOfficeTempOf(text, pid) : isGoneWorkerTemp(text)) {
            removeIfOwn(fd, name);
        } else if (pagesFolders && text.endsWith(QLatin1String("_files"))) {
            struct stat st;
            if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
                tidy(folder + u'/' + text, pid, keep, false, restore);
        }
    }
    ::close(fd);
}

} // namespace

namespace LeftoverRemoval {

void removeOwn(const QString &folder, const std::function<bool(const QString &name)> &ours)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    for (const QByteArray &name : FolderEntryNames(fd))
        if (ours(QFile::decodeName(name)))
            removeIfOwn(fd, name);
    ::close(fd);
}

bool isOfficeTempOf(const QString &name, qint64 pid)
{
    const QList<qint64> pids = officeTempPids(name);
    if (pid <= 0 || !name.startsWith(QStringLiteral("lu") + QString::number(pid)) || !pids.contains(pid))
        return false;
    // A longer reading of the digits is a longer pid: while such a process runs, the name is its.
    return std::none_of(pids.begin(), pids.end(), [pid](qint64 p) { return p > pid && bProcessAlive(p); });
}

void sweep(const QString &folder)
{
    if (!folder.isEmpty())
        tidy(folder, 0, {}, true, false);
}

void sweepOnce(const QString &folder)
{
    static QMutex lock;
    static QSet<QString> swept;
    {
        const QMutexLocker locked(&lock);
        if (folder.isEmpty() || swept.contains(folder))
            return;
        swept.insert(folder);
    }
    sweep(folder);
}

QString makeWorkerFolder()
{
    const QString records = workerRecords(), root = QFileInfo(records).path();
    if (!EnsurePrivateFolder(records))
        return QString();
    const QString tag = StagedNames::hostTag();
    // Records of workers long gone (or of another boot) go; a file they left beside a target that
    // no run has swept since is then left to its owner.
    const QByteArray recordsPath = QFile::encodeName(records);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const QByteArray &name : FolderEntryNames(recordsPath)) {
        const QString text = QFile::decodeName(name);
        struct stat st;
        const bool running = text.endsWith(u'@' + tag) && bProcessAlive(text.section(u'@', 0, 0).toLongLong());
        if (!running && ::lstat((recordsPath + '/' + name).constData(), &st) == 0 && now - st.st_mtime > kRecordDays * 86400)
            ::unlink((recordsPath + '/' + name).constData());
    }
    QFile record(recordOf(::getpid()));
    if (!record.open(QIODevice::WriteOnly))
        return QString();
    record.close();
    // Folders of gone workers ("work-<pid>").
    const int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        for (const QByteArray &name : FolderEntryNames(fd)) {
            const QString text = QFile::decodeName(name);
            if (!text.startsWith(QLatin1String("work-")))
                continue;
            bool number = false;
            const qint64 n = text.mid(5).toLongLong(&number);
            if (number && n > 0 && !bProcessAlive(n))
                removeIfOwn(fd, name);
        }
        ::close(fd);
    }
    const QString mine = root + QStringLiteral("/work-%1").arg(::getpid());
    return EnsurePrivateFolder(mine) ? mine : QString();
}

void removeWorkerFolder(const QString &folder)
{
    const QFileInfo fi(folder);
    const int fd = ::open(QFile::encodeName(fi.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        removeIfOwn(fd, QFile::encodeName(fi.fileName()));
        ::close(fd);
    }
    ::unlink(QFile::encodeName(recordOf(::getpid())).constData());
}

void cleanUpAfter(const QString &folder, qint64 pid, const QSet<QString> &keep)
{
    if (!folder.isEmpty() && pid > 0)
        tidy(folder, pid, keep, true, unfinished(folder, pid, keep, true));
}

} // namespace LeftoverRemoval
