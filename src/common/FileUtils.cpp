#include "FileUtils.h"

#include "PathUtils.h"
#include "SpecialFolderPaths.h"
#include "platform/AtomicFile.h"
#include "platform/EventPump.h"
#include "platform/ProfileIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

std::atomic<int> g_deleteRetryPauseMs{1000};

QString withTrailingSlash(const QString &s)
{
    return s.endsWith(u'/') ? s : s + u'/';
}

// Removes one file (never a folder), clearing read-only first. 0 on success, else the errno.
int removeFile(const QString &file)
{
    const QByteArray name = QFile::encodeName(file);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    const bool readOnly = !S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR);
    if (readOnly)
        ::chmod(name.constData(), st.st_mode | S_IWUSR);
    if (::unlink(name.constData()) == 0)
        return 0;
    const int err = errno;
    if (readOnly)
        ::chmod(name.constData(), st.st_mode & 07777);
    return err;
}

// Errors that another process can clear by letting go of the file.
bool isPassingError(int err)
{
    return err == EBUSY || err == ETXTBSY || err == EAGAIN || err == EINTR;
}

QMutex g_madeFoldersMutex;
QStringList g_madeFolders; // outermost first

QMutex g_tempNamesMutex;
QSet<QString> g_tempNamesGiven;

bool nameIsTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// "/etc/" for a folder at or below one of the system's own top-level folders, else "".
QString systemFolderOf(const QString &folderWithSlash)
{
    static const char *const kSystem[] = {"bin", "boot", "dev", "etc", "proc", "sbin", "sys", "usr", "var"};
    const QString top = folderWithSlash.section(u'/', 1, 1);
    if (top.isEmpty())
        return QString();
    bool system = top.startsWith(QLatin1String("lib"));
    for (const char *name : kSystem)
        system = system || top == QLatin1String(name);
    return system ? u'/' + top + u'/' : QString();
}

} // namespace

bool bFileExists(const QString &sPath)
{
    const QString path = sPath.trimmed();
    if (path.isEmpty() || path.contains(u'*') || path.contains(u'?'))
        return false;
    return QFileInfo(path).isFile();
}

bool bFolderExists(const QString &sFolder)
{
    if (sFolder.isEmpty())
        return false;
    return QFileInfo(sFolder).isDir();
}

bool bFolderExistsFSO(const QString &sFolder) { return bFolderExists(sFolder); }

bool bPathExists(const QString &sPath)
{
    return !sPath.isEmpty() && QFileInfo::exists(sPath);
}

QString NormalizeFolderPath(const QString &sPath)
{
    QString path = sPath.trimmed();
    if (path.isEmpty())
        return QString();
    // A relative path means what it means to every other Linux program: below the current folder.
    path = AbsoluteFromCurrentFolder(path);
    const QString root = GetPathRoot(path, false);
    if (root.isEmpty() || !bFolderExists(root))
        return QString();
    // ".." is resolved in the text first, so that "/home/../etc" is judged as the "/etc" it is.
    const QStringList parts = ResolvedPathParts(path.mid(root.size()), true);
    QString existing = root;
    QString candidate = root == QLatin1String("/") ? QString() : root;
    for (const QString &part : parts) {
        candidate += u'/' + part;
        if (!bFolderExists(candidate))
            break;
        existing = candidate;
    }
    return existing;
}

QString GetExistingPathForDialog(const QString &sPath)
{
    const QString path = ExpandPathVariables(sPath);
    const QString folder = GetPathFromFileName(path);
    if (!folder.isEmpty() && bFolderExists(folder))
        return folder;
    // The nearest existing ancestor; the root "/" counts as one.
    for (qsizetype len = folder.size() - 1; len >= 1; --len) {
        const QString prefix = folder.left(len);
        if (prefix.endsWith(u'/') && bFolderExists(prefix))
            return prefix + GetFileNameFromPath(path);
    }
    return sPath.trimmed();
}

QDateTime GetFileDateLastModified(const QString &sFile)
{
    return QFileInfo(sFile).lastModified();
}

QString FileStamp(const QString &sPath)
{
    struct stat st {};
    if (::stat(QFile::encodeName(sPath).constData(), &st) != 0)
        return QString();
    return QStringLiteral("%1:%2:%3:%4.%5:%6.%7")
        .arg(st.st_dev).arg(st.st_ino).arg(st.st_size)
        .arg(st.st_mtim.tv_sec).arg(st.st_mtim.tv_nsec)
        .arg(st.st_ctim.tv_sec).arg(st.st_ctim.tv_nsec);
}

QStringList CreateFolderTree(const QString &sFolder)
{
    if (sFolder.trimmed().isEmpty())
        return {};
    // The missing folders from the deepest up, then made from the top down, each listed only
    // when this call made it: a folder another process made meanwhile is not ours to remove.
    QStringList missing;
    for (QString folder = QDir::cleanPath(QDir(sFolder).absolutePath()); !folder.isEmpty();) {
        const QFileInfo info(folder);
        if (info.exists() || info.isSymLink())
            break;
        missing.prepend(folder);
        const QString parent = GetParentFolder(folder);
        if (parent == folder)
            break;
        folder = parent;
    }
    QStringList made;
    for (const QString &folder : missing) {
        if (::mkdir(QFile::encodeName(folder).constData(), 0777) == 0)
            made << folder;
        else if (errno != EEXIST)
            break;
    }
    return made;
}

void CreateTargetFolderTree(const QString &sFolder)
{
    const QStringList made = CreateFolderTree(sFolder);
    if (made.isEmpty())
        return;
    const QMutexLocker lock(&g_madeFoldersMutex);
    g_madeFolders += made;
}

QStringList TakeFoldersMadeFor(const QString &sFolder)
{
    if (sFolder.trimmed().isEmpty())
        return {};
    const QString folder = QDir::cleanPath(QDir(sFolder).absolutePath());
    QStringList taken;
    const QMutexLocker lock(&g_madeFoldersMutex);
    g_madeFolders.removeIf([&](const QString &made) {
        if (folder != made && !folder.startsWith(made + u'/'))
            return false;
        taken << made;
        return true;
    });
    return taken;
}

void RemoveFoldersLeftEmpty(const QStringList &folders)
{
    // rmdir removes only an empty folder: whatever arrived in one since keeps it.
    for (auto it = folders.crbegin(); it != folders.crend(); ++it)
        ::rmdir(QFile::encodeName(*it).constData());
}

bool CopyFolderFSO(const QString &sSource, const QString &sDestination, bool bOverwrite)
{
    if (!bFolderExists(sSource) || sDestination.isEmpty())
        return false;
    // A destination inside the source would copy itself without end.
    const QString sourceKey = withTrailingSlash(CanonicalPathForCompare(sSource));
    if (withTrailingSlash(CanonicalPathForCompare(sDestination)).startsWith(sourceKey))
        return false;
    if (!QDir().mkpath(sDestination))
        return false;
    const QDir source(sSource);
    bool ok = true;
    // Links to folders are not followed, so a link cycle cannot make the copy endless.
    const QFileInfoList entries = source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                           | QDir::NoDotAndDotDot,
                                                       QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        const QString target = sDestination + u'/' + entry.fileName();
        if (entry.isDir()) {
            if (!entry.isSymLink())
                ok = CopyFolderFSO(entry.filePath(), target, bOverwrite) && ok;
        } else if (entry.isFile()) {
            // Without overwrite an existing file is kept and the rest is still copied.
            if (!bOverwrite && nameIsTaken(target))
                continue;
            // A copy replaces a file only when complete and on the disk (platform/AtomicFile).
            ok = CopyFileAtomically(entry.filePath(), target) && ok;
        }
    }
    return ok;
}

bool CopyFileToFolder(const QString &sFile, const QString &sFolder)
{
    if (sFolder.isEmpty() || !bFileExists(sFile))
        return false;
    const QString folder = withTrailingSlash(sFolder);
    if (!bFolderExists(folder)) {
        CreateFolderTree(folder);
        if (!bFolderExists(folder))
            return false;
    }
    const QString target = folder + QFileInfo(sFile).fileName();
    // Moving a file onto itself is done already; copying and deleting would lose it.
    if (bIsSamePath(sFile, target))
        return true;
    if (!CopyFileAtomically(sFile, target))
        return false;
    return bKillFile(sFile);
}

bool MoveFileWhole(const QString &sFrom, const QString &sTo, QString *error)
{
    const QByteArray from = QFile::encodeName(sFrom);
    const QByteArray to = QFile::encodeName(sTo);
    if (::rename(from.constData(), to.constData()) == 0)
        return true;
    if (errno != EXDEV) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Another file system: a copy, which counts every byte and syncs it, then the original goes.
    if (!CopyFileWhole(sFrom, sTo, error))
        return false;
    ::unlink(from.constData());
    return true;
}

bool bKillFile(const QString &sFile)
{
    return !sFile.isEmpty() && removeFile(sFile) == 0;
}

bool bSetFileAttributeMask(const QString &sFile, int lMask)
{
    const QByteArray name = QFile::encodeName(sFile);
    struct stat st {};
    if (sFile.isEmpty() || ::stat(name.constData(), &st) != 0)
        return false;
    if (lMask & 1)
        return true; // read-only is kept as it is; the other attribute bits mean nothing here
    if (st.st_mode & S_IWUSR)
        return true;
    return ::chmod(name.constData(), (st.st_mode | S_IWUSR) & 07777) == 0;
}

bool bDeleteFileWithRetry(const QString &sFile, EventPump *pump, const bool *bRunning)
{
    if (sFile.isEmpty())
        return true;
    for (int attempt = 0; attempt <= 20; ++attempt) {
        if (attempt > 0 && !EventPump::wait(pump, g_deleteRetryPauseMs.load(), bRunning))
            return false;
        const int err = removeFile(sFile);
        if (err == 0 || err == ENOENT)
            return true;
        if (!isPassingError(err))
            return false;
    }
    return false;
}

void SetDeleteRetryPause(int ms) { g_deleteRetryPauseMs = std::max(0, ms); }

QString GetUniqueTempFileName(const QString &sFolder, const QString &sPrefix, const QString &sExtension)
{
    const QString prefix = sPrefix.trimmed();
    QString extension = sExtension.trimmed();
    if (extension.isEmpty())
        extension = QStringLiteral("TMP");
    QString folder = sFolder.trimmed();
    if (folder.isEmpty())
        folder = QDir::tempPath();
    folder = withTrailingSlash(folder);

    // Eight characters of prefix and number as of old, but never fewer than four digits, so a
    // long prefix still leaves room for many names.
    const int digits = std::max<int>(4, 8 - static_cast<int>(prefix.size()));
    quint64 limit = 1;
    for (int i = 0; i < digits; ++i)
        limit *= 10;
    const quint64 tries = std::min<quint64>(limit, 100000);

    // From a random start through consecutive numbers, so that a crowded folder still yields
    // its last free name.
    const quint64 start = QRandomGenerator::global()->bounded(limit);
    QMutexLocker lock(&g_tempNamesMutex);
    for (quint64 i = 0; i < tries; ++i) {
        const quint64 n = (start + i) % limit;
        const QString candidate = folder + prefix + QString::number(n) + u'.' + extension;
        if (g_tempNamesGiven.contains(candidate) || nameIsTaken(candidate))
            continue;
        g_tempNamesGiven.insert(candidate);
        return candidate;
    }
    return QString();
}

bool bFolderIsWriteable(const QString &sFolder)
{
    if (sFolder.trimmed().isEmpty())
        return false;
    const QString folder = NormalizeFolderPath(sFolder);
    if (folder.isEmpty())
        return false;
    // A file without a name: nothing is left in the user's folder, even when the program is
    // killed in the middle.
    const QByteArray path = QFile::encodeName(folder);
    const int fd = ::open(path.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        static const char hello[] = "Hello World\r\n";
        const bool written = ::write(fd, hello, sizeof hello - 1) == static_cast<ssize_t>(sizeof hello - 1);
        ::close(fd);
        return written;
    }
    // A file system without unnamed files (FAT, network shares) is asked for the right to make
    // names; kernel file systems take no files at all.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return false;
    struct statfs fs {};
    if (::statfs(path.constData(), &fs) != 0 || fs.f_type == PROC_SUPER_MAGIC || fs.f_type == SYSFS_MAGIC)
        return false;
    return ::faccessat(AT_FDCWD, path.constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

int CheckOutputFolder(const QString &sFolder, QString &sRecommended, QString &vMessage)
{
    const QString expanded = ExpandPathVariables(sFolder.trimmed());
    QString recommended;
    if (!expanded.isEmpty())
        recommended = withTrailingSlash(CleanAbsolutePath(expanded));
    sRecommended = recommended;
    const QString docs = withTrailingSlash(GetSpecialFolderPathFixed(5));

    int code = ofcFine;
    QString message;
    QString matched;
    QString folder = NormalizeFolderPath(expanded);
    if (!folder.isEmpty()) {
        folder = withTrailingSlash(folder);
        const QString profile = GetSpecialFolderPathFixed(40);
        const QString profilesParent = profile == QLatin1String("(error)")
                                           ? QString()
                                           : withTrailingSlash(GetParentFolder(profile));
        const QString system = systemFolderOf(folder);
        if (!system.isEmpty()) {
            code = ofcSystemFolder;
            message = QStringLiteral("Output folder is a system folder and should not be used.");
            matched = system;
        } else if (folder == QLatin1String("/")) {
            code = ofcSystemRoot;
            message = QStringLiteral(
                "Output folder: You should not write or create sub directories in the system root directory.");
            matched = folder;
        } else if (folder == QLatin1String("/home/") || folder == profilesParent) {
            code = ofcProtectedFolder;
            message = QStringLiteral("Output folder is a protected folder and should not be used.");
            matched = folder;
        }
    }
    if (code == ofcFine && !bFolderIsWriteable(folder)) {
        code = ofcNotWriteable;
        message = QStringLiteral("Output folder is not writeable.");
        recommended = docs;
    }
    if (!matched.isEmpty()) {
        const qsizetype at = recommended.indexOf(matched);
        if (at >= 0)
            recommended.replace(at, matched.size(), docs);
    }
    sRecommended = StripTrailingBackslash(recommended);
    if (code != ofcFine)
        vMessage = message;
    return code;
}

namespace {

QStringList xdgDirs(const char *var, const QString &fallback)
{
    const QString value = qEnvironmentVariable(var);
    QStringList dirs;
    for (const QString &d : (value.isEmpty() ? fallback : value).split(u':', Qt::SkipEmptyParts))
        dirs << d;
    return dirs;
}

// The program of a desktop entry's Exec line: the first word, or the text of its quotes.
QString programOfExec(const QString &exec)
{
    const QString line = exec.trimmed();
    QString program;
    if (line.startsWith(u'"'))
        program = line.mid(1).section(u'"', 0, 0);
    else
        program = line.section(u' ', 0, 0);
    if (program.isEmpty())
        return QString();
    if (program.startsWith(u'/'))
        return bFileExists(program) && QFileInfo(program).isExecutable() ? program : QString();
    return QStandardPaths::findExecutable(program);
}

} // namespace

QString GetDefaultBrowserCommand()
{
    const QString home = qEnvironmentVariable("HOME");
    const QString configHome = xdgDirs("XDG_CONFIG_HOME", home + QStringLiteral("/.config")).value(0);
    const QString dataHome = xdgDirs("XDG_DATA_HOME", home + QStringLiteral("/.local/share")).value(0);
    const QStringList dataDirs = QStringList{dataHome}
                                 + xdgDirs("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    QStringList lists{configHome + QStringLiteral("/mimeapps.list")};
    for (const QString &d : xdgDirs("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")))
        lists << d + QStringLiteral("/mimeapps.list");
    for (const QString &d : dataDirs)
        lists << d + QStringLiteral("/applications/mimeapps.list");

    for (const QString &list : lists) {
        const QString handlers = ProfileIni::readString(list, QStringLiteral("Default Applications"),
                                                        QStringLiteral("x-scheme-handler/http"), QString());
        for (const QString &desktop : handlers.split(u';', Qt::SkipEmptyParts)) {
            for (const QString &d : dataDirs) {
                const QString entry = d + QStringLiteral("/applications/") + desktop.trimmed();
                if (!bFileExists(entry))
                    continue;
                const QString program = programOfExec(
                    ProfileIni::readString(entry, QStringLiteral("Desktop Entry"), QStringLiteral("Exec"), QString()));
                if (!program.isEmpty())
                    return program;
            }
        }
    }
    for (const QString &browser : qEnvironmentVariable("BROWSER").split(u':', Qt::SkipEmptyParts)) {
        const QString program = programOfExec(browser);
        if (!program.isEmpty())
            return program;
    }
    return QString();
}

namespace {

bool holdsLineEnd(const QByteArray &bytes, qsizetype from = 0, qsizetype to = -1)
{
    const QByteArrayView part = QByteArrayView(bytes).sliced(from, (to < 0 ? bytes.size() : to) - from);
    return part.contains('\n') || part.contains('\r');
}

} // namespace

bool bHoldsNulBeforeTail(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul < 0)
        return false;
    // The tail begins a line: at the start, or after a line end.
    return (nul > 0 && !holdsLineEnd(bytes, 0, nul)) || holdsLineEnd(bytes, nul);
}

bool bFileHoldsNulBeforeTail(const QString &sPath)
{
    QFile f(sPath);
    // Only regular files: a pipe must not hold the check up.
    if (!QFileInfo(sPath).isFile() || !f.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kPart = 64 * 1024;
    const QByteArray head = f.read(kPart);
    if (!head.contains('\0'))
        return false;
    if (bHoldsNulBeforeTail(head))
        return true;
    // A tail to the end of the head: a line end anywhere after it shows text after the NUL bytes.
    for (QByteArray part = f.read(kPart); !part.isEmpty(); part = f.read(kPart))
        if (holdsLineEnd(part))
            return true;
    return false;
}
