#include "RuntimeFolder.h"

#include <QByteArray>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Ours alone: a real folder (no link) owned by us with no rights for anybody else.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    if ((st.st_mode & 0777) != 0700 && ::chmod(path.constData(), 0700) != 0)
        return false;
    return true;
}

} // namespace

void EnsureRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    QByteArray temp = qgetenv("TMPDIR");
    if (temp.isEmpty())
        temp = "/tmp";
    QByteArray path = temp + "/quorvane-runtime-" + QByteArray::number(::getuid());
    ::mkdir(path.constData(), 0700);
    if (!isPrivateFolder(path)) {
        QByteArray pattern = temp + "/quorvane-runtime-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return;
        path = pattern;
    }
    ::setenv("XDG_RUNTIME_DIR", path.constData(), 1);
}
