#include "LeftoverRemoval.h"

#include "converter/OfficeWorker.h"
#include "platform/FolderEntries.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder deeper than this inside a staged folder was not made by a conversion.
constexpr int kMaxDepth = 32;

// Removes name in the folder dirFd, which was seen as seen. Everything happens relative to
// folders opened without following links, so a link swapped in never leads elsewhere.
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
        ok = ::fstatat(fd, inner.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && removeEntry(fd, inner, st, depth + 1) && ok;
    }
    ::close(fd);
    return ok && ::unlinkat(dirFd, name.constData(), AT_REMOVEDIR) == 0;
}

} // namespace

namespace LeftoverRemoval {

void removeOwn(const QString &folder, const std::function<bool(const QString &name)> &ours)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const uid_t me = ::geteuid();
    for (const QByteArray &name : FolderEntryNames(fd)) {
        if (!ours(QFile::decodeName(name)))
            continue;
        struct stat st;
        if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_uid == me)
            removeEntry(fd, name, st, 0);
    }
    ::close(fd);
}

bool isOfficeTempOf(const QString &name, qint64 pid)
{
    const QString head = QStringLiteral("lu") + QString::number(pid);
    const QLatin1String tail(".tmp");
    if (pid <= 0 || !name.startsWith(head) || !name.endsWith(tail))
        return false;
    const QString digits = name.mid(head.size(), name.size() - head.size() - tail.size());
    if (digits.isEmpty() || digits.size() > 6)
        return false;
    for (const QChar c : digits)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z')))
            return false;
    QString longer = QString::number(pid);
    for (qsizetype i = 0; i + 1 < digits.size() && digits.at(i).isDigit(); ++i) {
        longer += digits.at(i);
        if (OfficeWorker::processAlive(longer.toLongLong()))
            return false;
    }
    return true;
}

} // namespace LeftoverRemoval
