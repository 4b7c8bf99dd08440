#include "LeftoverRemoval.h"

#include "converter/OfficeWorker.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A folder deeper than this inside a staged folder was not made by a conversion.
constexpr int kMaxDepth = 32;

std::vector<std::string> namesIn(DIR *dir)
{
    std::vector<std::string> names;
    while (const dirent *e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    return names;
}

// Removes name in the folder dirFd, which was seen as seen. Everything happens relative to
// folders opened without following links, so a link swapped in never leads elsewhere.
bool removeEntry(int dirFd, const std::string &name, const struct stat &seen, int depth)
{
    if (!S_ISDIR(seen.st_mode))
        return ::unlinkat(dirFd, name.c_str(), 0) == 0;
    if (depth > kMaxDepth)
        return false;
    const int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
        ::close(fd);
        return false;
    }
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    bool ok = true;
    for (const std::string &inner : namesIn(dir)) {
        struct stat st;
        ok = ::fstatat(fd, inner.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && removeEntry(fd, inner, st, depth + 1) && ok;
    }
    ::closedir(dir);
    return ok && ::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) == 0;
}

} // namespace

namespace LeftoverRemoval {

void removeOwn(const QString &folder, const std::function<bool(const QString &name)> &ours)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    const uid_t me = ::geteuid();
    for (const std::string &name : namesIn(dir)) {
        if (!ours(QFile::decodeName(QByteArray::fromStdString(name))))
            continue;
        struct stat st;
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_uid == me)
            removeEntry(fd, name, st, 0);
    }
    ::closedir(dir);
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
