#include "FolderEntries.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

QList<QByteArray> FolderEntryNames(int dirFd)
{
    QList<QByteArray> names;
    // A copy of the descriptor for the listing, which closing the listing closes; the copy shares
    // the read position, so the listing starts from the top.
    const int fd = ::fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    DIR *dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return names;
    }
    ::rewinddir(dir);
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    ::closedir(dir);
    return names;
}

QList<QByteArray> FolderEntryNames(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QList<QByteArray> names = FolderEntryNames(fd);
    ::close(fd);
    return names;
}
