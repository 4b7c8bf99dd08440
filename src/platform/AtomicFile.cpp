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

QString systemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

} // namespace

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error, bool ownerOnly)
{
    // Through a link the file it leads to is replaced, not the link.
    QFileInfo info(path);
    const QString resolved = info.isSymLink() ? info.canonicalFilePath() : QString();
    const QString final = !info.isSymLink() ? info.absoluteFilePath() : resolved.isEmpty() ? info.symLinkTarget() : resolved;
    info = QFileInfo(final);
    if (info.isDir())
        return failed(error, QStringLiteral("%1 is a folder").arg(final));
    struct stat old {};
    const bool replaces = ::stat(QFile::encodeName(final).constData(), &old) == 0;
    if (replaces && ::access(QFile::encodeName(final).constData(), W_OK) != 0)
        return failed(error, systemError(errno));

    // The bytes are written under a staged name beside the file, which a later run's sweep knows
    // when this one is killed, and take the real name in one rename. What a killed writer left
    // there goes first.
    LeftoverRemoval::sweepOnce(info.absolutePath());
    const QByteArray temp = QFile::encodeName(info.absolutePath() + u'/' + StagedNames::ownName(StagedNames::Kind::Part, info.fileName()));
    // The mode is set before the first byte: at no time does the content lie in a file that
    // others may read when the file it replaces could not be.
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0666);
    if (fd < 0)
        return failed(error, systemError(errno));
    bool ok = ownerOnly || !replaces || ::fchmod(fd, old.st_mode & 07777) == 0;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += n > 0 ? n : 0;
    }
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.constData(), QFile::encodeName(final).constData()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.constData());
        return failed(error, systemError(err ? err : EIO));
    }
    return true;
}
