#include "FileLists.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "jobs/JobSession.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"
#include "platform/FolderEntries.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool CreateFileList(JobSession &session, clsConversionOptions &options, QStringList &colFiles,
                    QList<UnlistedFile> *unlisted, QHash<QString, QByteArray> *rawPaths)
{
    const qsizetype star = options.sOriginalFile.indexOf(u'*');
    if (star >= 0) {
        QString folder = options.sOriginalFile.left(star);
        const QString pattern = options.sOriginalFile.mid(star);
        if (AddFolderFilesToList(session, folder, pattern, colFiles, options.bDoSubfolders, unlisted,
                                 rawPaths)
            == flFolderMissing) {
            options.sErr = Translate(QStringLiteral("Folder: ")) + folder + Translate(QStringLiteral(" does not exist"));
            return false;
        }
        return true;
    }
    if (bFileExists(options.sOriginalFile)) {
        colFiles.append(options.sOriginalFile);
        return true;
    }
    options.sErr = Translate(QStringLiteral("File: ")) + options.sOriginalFile + Translate(QStringLiteral(" does not exist"));
    return false;
}

namespace {

struct FolderItem
{
    QByteArray raw;   // the name as the file system gives it
    QString name;     // for matching and sorting
};

// The entries of an open folder but "." and "..", hidden ones left out, sorted by name ignoring
// case (as the folder views sort).
QList<FolderItem> readFolder(int dirFd)
{
    QList<FolderItem> items;
    for (const QByteArray &raw : FolderEntryNames(dirFd))
        if (!raw.startsWith('.'))
            items.append({raw, QFile::decodeName(raw)});
    std::sort(items.begin(), items.end(), [](const FolderItem &a, const FolderItem &b) {
        const int c = a.name.toLower().compare(b.name.toLower());
        return c != 0 ? c < 0 : a.raw < b.raw;
    });
    return items;
}

// Why a matching entry cannot be converted; "" when it can. Looks at the entry through the
// folder and never opens it: a pipe must not hold the run up.
QString whyNotConvertible(int dirFd, const QByteArray &raw, const QByteArray &path, bool exactName,
                          bool bytesTaken)
{
    struct stat st {};
    if (::fstatat(dirFd, raw.constData(), &st, 0) != 0) {
        switch (errno) {
        case ENOENT:
            return Translate(QStringLiteral("The link leads to nothing."));
        case ELOOP:
            return Translate(QStringLiteral("The links lead round in a circle."));
        case ENAMETOOLONG:
            return Translate(QStringLiteral("The path is longer than the system allows."));
        default:
            return Translate(QStringLiteral("The file cannot be read."));
        }
    }
    if (!S_ISREG(st.st_mode))
        return Translate(QStringLiteral("This is not a regular file."));
    if (!exactName && !bytesTaken)
        return Translate(QStringLiteral("The name of this file cannot be read as text."));
    if (path.size() >= PATH_MAX)
        return Translate(QStringLiteral("The path is longer than the system allows."));
    return QString();
}

// The folder's own part of AddFolderFilesToList, on an open folder: folder is its path as the
// caller spelled it (with "/"), rawFolder the same in bytes.
int listOpenFolder(JobSession &session, int dirFd, const QString &folder, const QByteArray &rawFolder,
                   const QString &sPattern, QStringList &colFiles, bool bRecurse, QList<UnlistedFile> *unlisted,
                   QHash<QString, QByteArray> *rawPaths)
{
    session.panels()->setPanelText(StatusPanel::Message,
                                   Translate(QStringLiteral("Creating File List: ")) + ReadablePathFromBytes(rawFolder));
    session.DoEvents();

    QList<FolderItem> folders;
    for (const FolderItem &item : readFolder(dirFd)) {
        session.DoEvents();
        if (!session.bRunning)
            return flPaused;
        struct stat st {};
        if (::fstatat(dirFd, item.raw.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
            folders.append(item);
            continue;
        }
        // A link to a folder is neither listed nor followed: it could lead back up the tree.
        if (S_ISLNK(st.st_mode) && ::fstatat(dirFd, item.raw.constData(), &st, 0) == 0 && S_ISDIR(st.st_mode))
            continue;
        if (!bFileMatchesPattern(sPattern, QFileInfo(item.name).suffix()))
            continue;
        const QByteArray path = rawFolder + item.raw;
        bool exact = false;
        const QString readable = ReadablePathFromBytes(path, &exact);
        const QString why = whyNotConvertible(dirFd, item.raw, path, exact, rawPaths != nullptr);
        if (why.isEmpty() && exact) {
            colFiles.append(folder + item.name);
        } else if (why.isEmpty()) {
            colFiles.append(readable);
            rawPaths->insert(readable, path);
        } else if (unlisted) {
            unlisted->append({readable, why});
        }
    }
    if (!bRecurse)
        return flDone;
    for (const FolderItem &sub : folders) {
        if (!session.bRunning)
            return flPaused;
        const QByteArray rawSub = rawFolder + sub.raw + '/';
        const int subFd = ::openat(dirFd, sub.raw.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (subFd < 0) {
            if (unlisted)
                unlisted->append({ReadablePathFromBytes(rawSub),
                                  errno == ENAMETOOLONG ? Translate(QStringLiteral("The path is longer than the system allows."))
                                                        : Translate(QStringLiteral("The folder cannot be read."))});
            continue;
        }
        listOpenFolder(session, subFd, folder + sub.name + u'/', rawSub, sPattern, colFiles, true, unlisted, rawPaths);
        ::close(subFd);
    }
    return session.bRunning ? flDone : flPaused;
}

} // namespace

int AddFolderFilesToList(JobSession &session, QString &sFolder, const QString &sPattern, QStringList &colFiles,
                         bool bRecurse, QList<UnlistedFile> *unlisted, QHash<QString, QByteArray> *rawPaths)
{
    if (sFolder.isEmpty() || !bFolderExists(sFolder))
        return flFolderMissing;
    if (!sFolder.endsWith(u'/'))
        sFolder += u'/';
    // Listed through the folder's descriptor and by the names' bytes: a name that is not text, or
    // a path deeper than the system takes, is seen and reported instead of passed over.
    const QByteArray rawFolder = QFile::encodeName(sFolder);
    const int dirFd = ::open(rawFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        if (unlisted)
            unlisted->append({sFolder, Translate(QStringLiteral("The folder cannot be read."))});
        return flDone;
    }
    const int result =
        listOpenFolder(session, dirFd, sFolder, rawFolder, sPattern, colFiles, bRecurse, unlisted, rawPaths);
    ::close(dirFd);
    return result;
}

bool bFileMatchesPattern(const QString &sPattern, const QString &sExtension)
{
    if (sPattern == QStringLiteral("*.*"))
        return true;
    return sPattern.compare(QStringLiteral("*.") + sExtension, Qt::CaseInsensitive) == 0;
}
