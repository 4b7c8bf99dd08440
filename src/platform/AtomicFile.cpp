#include "AtomicFile.h"

#include <QSaveFile>

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error, bool ownerOnly)
{
    QSaveFile f(path);
    f.setDirectWriteFallback(false);
    bool ok = f.open(QIODevice::WriteOnly);
    // The mode is set on the temporary file, which the rename makes the file: at no time does
    // the content lie in a file that others may read.
    if (ok && ownerOnly)
        ok = f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // Flush before commit: in Qt 6.4 commit() does not report a failure of its own final flush
    // (a full disk, a size limit) and would replace the old file by a truncated one.
    if (ok && f.write(bytes) == bytes.size() && f.flush() && f.commit())
        return true;
    if (error)
        *error = f.errorString();
    f.cancelWriting();
    return false;
}
