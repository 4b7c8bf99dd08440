#include "AtomicFile.h"

#include <QSaveFile>

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile f(path);
    f.setDirectWriteFallback(false);
    // Flush before commit: in Qt 6.4 commit() does not report a failure of its own final flush
    // (a full disk, a size limit) and would replace the old file by a truncated one.
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush() && f.commit())
        return true;
    if (error)
        *error = f.errorString();
    f.cancelWriting();
    return false;
}
