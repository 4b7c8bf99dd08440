#include "PrivateFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

bool EnsurePrivateFolder(const QString &folder, QString *why, bool bOthersMayRead)
{
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    auto refuse = [&](const QString &reason) {
        if (why)
            *why = reason + QStringLiteral(": ") + path;
        return false;
    };
    // Each missing folder on the way is made 0700 (a umask can only take bits away).
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString sofar;
    for (const QString &part : parts) {
        sofar += u'/' + part;
        if (::mkdir(QFile::encodeName(sofar).constData(), 0700) != 0 && errno != EEXIST)
            return refuse(QStringLiteral("Cannot create the folder (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    // Looked at and changed through one descriptor, so that the folder checked is the one changed.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return refuse(QStringLiteral("Not a folder that can be opened"));
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && st.st_uid != ::geteuid()) {
        ::close(fd);
        return refuse(QStringLiteral("The folder belongs to another user"));
    }
    // A file system that keeps no modes (FAT, some shares) refuses the change: there the mount
    // decides who may write, for this folder as for every other file of the user on it, so a
    // refusal would protect nothing and only stop the program.
    const mode_t mode = st.st_mode & 07777;
    const mode_t wanted = bOthersMayRead ? mode & ~mode_t(022) : 0700;
    if (ok && mode != wanted)
        ::fchmod(fd, wanted);
    ::close(fd);
    return ok ? true : refuse(QStringLiteral("Cannot make the folder private"));
}

void TightenPrivateTree(const QString &folder)
{
    const auto tighten = [](const char *path, const struct stat *st, int kind, FTW *) {
        if ((kind == FTW_F || kind == FTW_D || kind == FTW_DP) && (st->st_mode & 077) != 0 &&
            st->st_uid == ::geteuid())
            ::chmod(path, st->st_mode & 07700);
        return 0;
    };
    ::nftw(QFile::encodeName(folder).constData(), tighten, 16, FTW_PHYS);
}

mode_t KeepNewFilesPrivate() { return ::umask(077); }

ScopedUmask::ScopedUmask(mode_t mask) : m_previous(::umask(mask)) {}

ScopedUmask::~ScopedUmask() { ::umask(m_previous); }
