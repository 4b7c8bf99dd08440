#include "LeftoverRemoval.h"

#include "FolderEntries.h"
#include "ProcessState.h"
#include "StagedNames.h"

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

// Removes name in the folder dirFd, which was seen as seen: of a folder, only what this user
// owns. Everything happens relative to folders opened without following links, so a link
// swapped in never leads elsewhere.
bool removeEntry(int dirFd, const QByteArray &name, const struct stat &seen, int depth)
{
    if (!S_ISDIR(seen.st_mode))
        return ::unlinkat(dirFd, name.constData(), 0) == 0;
    if (depth > kMaxDepth)
        return false;
    const int fd = ::openat(dirFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
        ::close(fd);
        return false;
    }
    bool ok = true;
    for (const QByteArray &inner : FolderEntryNames(fd)) {
        struct stat st;
        ok = ::fstatat(fd, inner.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_uid == ::geteuid()
             && removeEntry(fd, inner, st, depth + 1) && ok;
    }
    ::close(fd);
    return ok && ::unlinkat(dirFd, name.constData(), AT_REMOVEDIR) == 0;
}

// Removes name when this user owns it.
void removeIfOwn(int dirFd, const QByteArray &name)
{
    struct stat st;
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_uid == ::geteuid())
        removeEntry(dirFd, name, st, 0);
}

// The name a kept-aside target stood under: its tail, or, when the tail was shortened to fit,
// the one entry that shortens to it. Empty when that cannot be told.
QByteArray targetOf(const StagedNames::Origin &o, const QList<QByteArray> &names)
{
    const QString tail = o.tail;
    // A tail shorter than the longest that fits was never shortened.
    if (StagedNames::fittedTail(o.prefix, tail + QStringLiteral("xxxxxxxxxxxxxxxx")).toUtf8().size() > tail.toUtf8().size() + 4)
        return QFile::encodeName(tail);
    QByteArray found;
    for (const QByteArray &name : names) {
        const QString text = QFile::decodeName(name);
        if (text != tail && !StagedNames::originOf(text) && StagedNames::fittedTail(o.prefix, text) == tail) {
            if (!found.isEmpty())
                return QByteArray();
            found = name;
        }
    }
    return found.isEmpty() ? QFile::encodeName(tail) : found;
}

// A target a gone commit kept aside: back under its name when that is free; gone when the name
// holds the same file (the commit had not replaced it) or a newer one; with restore (a commit
// known to have stopped half-way), back over the newer one, the commit's own output.
void settleAside(int dirFd, const QByteArray &aside, const StagedNames::Origin &o, const QList<QByteArray> &names,
                 bool restore)
{
    struct stat kept, current;
    if (::fstatat(dirFd, aside.constData(), &kept, AT_SYMLINK_NOFOLLOW) != 0 || kept.st_uid != ::geteuid()
        || S_ISDIR(kept.st_mode))
        return;
    const QByteArray target = targetOf(o, names);
    if (target.isEmpty())
        return;
    if (::fstatat(dirFd, target.constData(), &current, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            return;
        if (::renameat2(dirFd, aside.constData(), dirFd, target.constData(), RENAME_NOREPLACE) != 0 && errno == EINVAL
            && ::linkat(dirFd, aside.constData(), dirFd, target.constData(), 0) == 0)
            ::unlinkat(dirFd, aside.constData(), 0);
        return;
    }
    if (S_ISDIR(current.st_mode))
        return; // a folder in the way is never moved, and the old file stays findable
    if (current.st_dev == kept.st_dev && current.st_ino == kept.st_ino)
        ::unlinkat(dirFd, aside.constData(), 0);
    else if (restore)
        ::renameat(dirFd, aside.constData(), dirFd, target.constData());
    else
        ::unlinkat(dirFd, aside.constData(), 0);
}

// Whether pid is a running process that hosts an office (our worker, LibreOffice itself).
bool officeAlive(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) && comm.readAll().contains("office") && bProcessAlive(pid);
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

// LibreOffice's temporary file whose process is gone: no reading of its digits names a running
// office (any other process under such a number is not the one that wrote it).
bool isGoneOfficeTemp(const QString &name)
{
    const QList<qint64> pids = officeTempPids(name);
    return !pids.isEmpty() && std::none_of(pids.begin(), pids.end(), officeAlive);
}

// Whether name in dirFd is a file that only its owner may read or write, as the office makes its
// temporary files. A user's own file of such a name, made as files usually are, is not taken for one.
bool isPrivateFile(int dirFd, const QByteArray &name)
{
    struct stat st;
    return ::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 077) == 0;
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
// it staged is still there, or a name it kept aside still holds the old file or stands empty.
bool unfinished(const QString &folder, qint64 pid, const QSet<QString> &keep, bool pagesFolders)
{
    const QByteArray path = QFile::encodeName(folder);
    const QList<QByteArray> names = FolderEntryNames(path);
    for (const QByteArray &name : names) {
        const QString text = QFile::decodeName(name);
        const QString full = folder + u'/' + text;
        const std::optional<StagedNames::Origin> o = takenOrigin(text, pid);
        if (keep.contains(full) || text.startsWith(QLatin1String(".~lock."))) {
            continue;
        } else if (o && o->kind == StagedNames::Kind::Part) {
            if (holdsFiles(full) || !QFileInfo(full).isDir())
                return true;
        } else if (o && o->kind == StagedNames::Kind::Prev) {
            struct stat kept, current;
            const QByteArray target = path + '/' + targetOf(*o, names);
            if (::lstat((path + '/' + name).constData(), &kept) == 0
                && (::lstat(target.constData(), &current) != 0
                    || (current.st_dev == kept.st_dev && current.st_ino == kept.st_ino)))
                return true;
        } else if (pagesFolders && text.endsWith(QLatin1String("_files")) && QFileInfo(full).isDir()
                   && !QFileInfo(full).isSymLink() && unfinished(full, pid, keep, false)) {
            return true;
        }
    }
    return false;
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
        } else if (pid > 0 ? LeftoverRemoval::isOfficeTempOf(text, pid) : (isGoneOfficeTemp(text) && isPrivateFile(fd, name))) {
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

void cleanUpAfter(const QString &folder, qint64 pid, const QSet<QString> &keep)
{
    if (!folder.isEmpty() && pid > 0)
        tidy(folder, pid, keep, true, unfinished(folder, pid, keep, true));
}

} // namespace LeftoverRemoval
