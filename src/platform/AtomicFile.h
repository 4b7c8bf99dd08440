#pragma once
// Writing whole files: a file that takes the place of a user's file holds every byte and is on
// the disk before it does, or the old file stays as it was.
#include <QByteArray>
#include <QString>

#include <functional>

// Writes bytes to a file under a staged name (StagedNames) beside path and renames it over path. A failed write leaves
// the old file whole (never written in place). *error gets the system's reason on failure.
// The file keeps the mode of the file it replaces (a new one gets the umask's); with ownerOnly
// it is 0600 whatever it was, from before its first byte is written. Where the file system keeps
// no modes (FAT) the mode it shows is taken, unless that opens the file to anyone the old file
// was closed to.
// The new file is synced before the rename, and its folder after it, so that a power cut never
// leaves the name empty.
// What a killed writer left beside path (platform/LeftoverRemoval) goes before the first write
// into its folder.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                         bool ownerOnly = false);

// The same with the bytes of source: a copy that replaces target only when complete, with the
// source's permissions and modification time.
bool CopyFileAtomically(const QString &source, const QString &target, QString *error = nullptr);

// For a name that nobody else uses (a staged output that a commit renames later): writes bytes,
// or the bytes of source, to path, all of them and synced to disk; on failure nothing is left
// under path. A copy has its source's mode, as a rename would keep it (private until then).
bool WriteFileWhole(const QString &path, const QByteArray &bytes, QString *error = nullptr);
bool CopyFileWhole(const QString &source, const QString &path, QString *error = nullptr);

// Syncs to disk a file (or a folder's entries) that another writer made and closed.
bool SyncFile(const QString &path, QString *error = nullptr);

// Tests: called before the calls "fchmod" and "sync" of the writers above with the file's
// descriptor; a non-zero errno makes the call fail so.
void SetAtomicFileCallHook(std::function<int(const char *call, int fd)> hook);
