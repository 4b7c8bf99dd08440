#pragma once
// Path texts: placeholders, roots, parents, names. Paths use "/" as the separator.
#include <QString>
#include <QStringList>

// Trims the path and expands the first placeholder group it holds (%USERPROFILE%/%HOMEPATH%,
// %APPDATA%, %LOCALAPPDATA%, %WINDIR%, %PROGRAMFILES(X86)%, %PROGRAMFILES%, %MYDOCUMENTS%),
// case-insensitively; a group without a Linux folder leaves the path as written.
QString ExpandPathVariables(const QString &sPath);
// The root of a path: "/" for an absolute path, "//server/share" for a network path, else "".
QString GetPathRoot(const QString &sPath, bool bTrailingBackslash);
// Up to and including the last "/"; "" when there is none.
QString GetPathFromFileName(const QString &sPath);
// Name of the last path element; a name without extension gets a trailing dot.
QString GetFileNameFromPath(const QString &sPath);
// The parent folder text without a trailing "/" ("/" for a file in the root).
QString GetParentFolder(const QString &sPath);
QString StripNulls(const QString &s);
QString RemoveQuotes(const QString &s);
// Case-insensitive prefix test.
bool bStartsWith(const QString &s, const QString &sPrefix);
// Removes sPart repeatedly from the end, then from the start (case-insensitive).
QString TrimStringFromEnds(const QString &s, const QString &sPart);
// Removes one trailing "/" (a lone "/" stays).
QString StripTrailingBackslash(const QString &s);
// The folder and a name in it, with one "/" between them (also after the root "/"); an empty
// folder gives the name alone.
QString JoinFolder(const QString &sFolder, const QString &sName);
// Absolute form (relative to the current folder) with "." and ".." resolved in the text; ".."
// never climbs above the root. Links are not resolved. "" for "".
QString CleanAbsolutePath(const QString &sPath);
// The path itself when it starts with "/", else the path below the current folder.
QString AbsoluteFromCurrentFolder(const QString &sPath);
// The elements of a path below its root with "." and ".." resolved (each trimmed with
// bTrimParts); ".." never climbs above the root.
QStringList ResolvedPathParts(const QString &sRest, bool bTrimParts);
// Canonical form for "is this the same file" tests: the canonical path when it exists, else
// the cleaned absolute path.
QString CanonicalPathForCompare(const QString &sPath);
// What a path names as the file system resolves it. An existing file is its device and inode
// (so hard links, and names a case-insensitive file system folds together, are one file); a
// name that holds no file yet is its path with the links that lead on from it followed, its
// deepest existing folder real and the rest as written. bIsSamePath compares these.
struct FileIdentity
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    quint64 links = 0; // names of the file (hard links)
    QString path;      // real path; for a file yet to come, as described above
    bool operator==(const FileIdentity &o) const
    {
        return exists == o.exists && (exists ? device == o.device && inode == o.inode : path == o.path);
    }
};
FileIdentity FileIdentityOf(const QString &sPath);
FileIdentity FileIdentityOfBytes(const QByteArray &path);
bool bIsSamePath(const QString &a, const QString &b);
// A path as the file system gives it, in bytes, for reading: valid UTF-8 as it stands, every
// byte outside it as "\xHH". *bExact (when given) tells whether the text names the same file
// again (it does when the bytes are valid UTF-8).
QString ReadablePathFromBytes(const QByteArray &raw, bool *bExact = nullptr);
