#include "PathUtils.h"

#include "SpecialFolderPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <array>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Placeholder {
    std::array<const char *, 2> names; // a second name only for the profile group
    int csidl;
};

// Tested in this order; only the first group a path holds is expanded.
const std::array<Placeholder, 7> kPlaceholders{{
    {{"%USERPROFILE%", "%HOMEPATH%"}, 40},
    {{"%APPDATA%", nullptr}, 26},
    {{"%LOCALAPPDATA%", nullptr}, 28},
    {{"%WINDIR%", nullptr}, 36},
    {{"%PROGRAMFILES(X86)%", nullptr}, 42},
    {{"%PROGRAMFILES%", nullptr}, 38},
    {{"%MYDOCUMENTS%", nullptr}, 5},
}};

} // namespace

QStringList ResolvedPathParts(const QString &rest, bool trimParts)
{
    QStringList parts;
    for (const QString &raw : rest.split(u'/')) {
        const QString part = trimParts ? raw.trimmed() : raw;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (!part.isEmpty() && part != QLatin1String(".")) {
            parts.append(part);
        }
    }
    return parts;
}

QString AbsoluteFromCurrentFolder(const QString &path)
{
    return path.startsWith(u'/') ? path : QDir::currentPath() + u'/' + path;
}

QString ExpandPathVariables(const QString &sPath)
{
    const QString path = sPath.trimmed();
    for (const Placeholder &group : kPlaceholders) {
        bool found = false;
        for (const char *name : group.names)
            if (name && path.contains(QLatin1String(name), Qt::CaseInsensitive))
                found = true;
        if (!found)
            continue;
        const QString folder = GetSpecialFolderPathFixed(group.csidl);
        if (folder == QLatin1String("(error)"))
            return path;
        QString result = path;
        for (const char *name : group.names)
            if (name)
                result.replace(QLatin1String(name), folder, Qt::CaseInsensitive);
        return result;
    }
    return path;
}

QString GetPathRoot(const QString &sPath, bool bTrailingBackslash)
{
    QString root;
    if (sPath.startsWith(QLatin1String("//"))) {
        // A network path: "//server/share".
        const QStringList parts = sPath.mid(2).split(u'/');
        if (parts.size() >= 2 && !parts.at(0).isEmpty() && !parts.at(1).isEmpty())
            root = QStringLiteral("//") + parts.at(0) + u'/' + parts.at(1);
    } else if (sPath.startsWith(u'/')) {
        root = QStringLiteral("/");
    }
    if (bTrailingBackslash && !root.isEmpty() && !root.endsWith(u'/'))
        root += u'/';
    return root;
}

QString GetPathFromFileName(const QString &sPath)
{
    const qsizetype slash = sPath.lastIndexOf(u'/');
    return slash < 0 ? QString() : sPath.left(slash + 1);
}

QString GetFileNameFromPath(const QString &sPath)
{
    const QString name = sPath.mid(sPath.lastIndexOf(u'/') + 1);
    if (name.isEmpty())
        return QString();
    return name.contains(u'.') ? name : name + u'.';
}

QString GetParentFolder(const QString &sPath)
{
    QString path = sPath;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0 || path == QLatin1String("/"))
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString StripNulls(const QString &s)
{
    const qsizetype nul = s.indexOf(QChar(u'\0'));
    return nul < 0 ? s : s.left(nul);
}

QString RemoveQuotes(const QString &s)
{
    QString result = s;
    result.remove(u'"');
    return result;
}

bool bStartsWith(const QString &s, const QString &sPrefix)
{
    return s.startsWith(sPrefix, Qt::CaseInsensitive);
}

QString TrimStringFromEnds(const QString &s, const QString &sPart)
{
    if (s.isEmpty() || sPart.isEmpty())
        return s;
    QString result = s;
    while (result.endsWith(sPart, Qt::CaseInsensitive))
        result.chop(sPart.size());
    while (result.startsWith(sPart, Qt::CaseInsensitive))
        result.remove(0, sPart.size());
    return result;
}

QString StripTrailingBackslash(const QString &s)
{
    if (s.size() > 1 && s.endsWith(u'/'))
        return s.left(s.size() - 1);
    return s;
}

QString JoinFolder(const QString &sFolder, const QString &sName)
{
    if (sFolder.isEmpty())
        return sName;
    return (sFolder.endsWith(u'/') ? sFolder : sFolder + u'/') + sName;
}

QString CleanAbsolutePath(const QString &sPath)
{
    if (sPath.isEmpty())
        return QString();
    const QString path = AbsoluteFromCurrentFolder(sPath);
    QString root = GetPathRoot(path, false);
    if (root.isEmpty())
        root = QStringLiteral("/");
    const QStringList parts = ResolvedPathParts(path.mid(root.size()), false);
    if (parts.isEmpty())
        return root;
    return (root == QLatin1String("/") ? QString() : root) + u'/' + parts.join(u'/');
}

QString CanonicalPathForCompare(const QString &sPath)
{
    if (sPath.isEmpty())
        return QString();
    const QFileInfo info(sPath);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    return QDir::cleanPath(info.absoluteFilePath());
}

namespace {

// The identity of an existing file, its path left out; false when nothing exists at path.
bool existingIdentity(const QByteArray &path, FileIdentity &id)
{
    struct stat st {};
    if (path.isEmpty() || ::stat(path.constData(), &st) != 0)
        return false;
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.links = st.st_nlink;
    return true;
}

} // namespace

FileIdentity FileIdentityOfBytes(const QByteArray &path)
{
    FileIdentity id;
    if (path.isEmpty())
        return id;
    struct stat st {};
    if (existingIdentity(path, id)) {
        id.path = CanonicalPathForCompare(QFile::decodeName(path));
        return id;
    }
    // A name that leads nowhere yet: follow its links as far as they go (a link to a file to come
    // names that file), then make the deepest existing folder real.
    QByteArray at = path.startsWith('/') ? path : QFile::encodeName(QDir::currentPath()) + '/' + path;
    for (int hops = 0; hops < 40 && ::lstat(at.constData(), &st) == 0 && S_ISLNK(st.st_mode); ++hops) {
        QByteArray to(PATH_MAX, '\0');
        const ssize_t n = ::readlink(at.constData(), to.data(), size_t(to.size()));
        if (n <= 0)
            break;
        to.truncate(n);
        at = to.startsWith('/') ? to : at.left(at.lastIndexOf('/') + 1) + to;
    }
    const QString written = CleanAbsolutePath(QFile::decodeName(at));
    QString folder = GetParentFolder(written);
    QString rest = written.mid(folder.size());
    while (folder.size() > 1 && !QFileInfo::exists(folder)) {
        const QString up = GetParentFolder(folder);
        rest = folder.mid(up.size()) + rest;
        folder = up;
    }
    const QString real = QFileInfo(folder).canonicalFilePath();
    id.path = QDir::cleanPath((real.isEmpty() ? folder : real) + u'/' + rest);
    return id;
}

FileIdentity FileIdentityOf(const QString &sPath) { return FileIdentityOfBytes(QFile::encodeName(sPath)); }

bool bIsSamePath(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (CanonicalPathForCompare(a) == CanonicalPathForCompare(b))
        return true;
    FileIdentity ia, ib;
    return existingIdentity(QFile::encodeName(a), ia) && existingIdentity(QFile::encodeName(b), ib) && ia == ib;
}

QString ReadablePathFromBytes(const QByteArray &raw, bool *bExact)
{
    const QString decoded = QFile::decodeName(raw);
    const bool exact = QFile::encodeName(decoded) == raw;
    if (bExact)
        *bExact = exact;
    if (exact)
        return decoded;
    QString out;
    for (qsizetype i = 0; i < raw.size();) {
        const uchar lead = static_cast<uchar>(raw.at(i));
        const qsizetype length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                                 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        // A sequence counts when it decodes and encodes back to itself (no overlong form, no
        // surrogate, no missing continuation byte).
        if (length > 0 && i + length <= raw.size()) {
            const QByteArray piece = raw.mid(i, length);
            const QString text = QString::fromUtf8(piece);
            if (!text.contains(QChar::ReplacementCharacter) && text.toUtf8() == piece) {
                out += text;
                i += length;
                continue;
            }
        }
        out += QStringLiteral("\\x%1").arg(int(lead), 2, 16, QLatin1Char('0'));
        ++i;
    }
    return out;
}
