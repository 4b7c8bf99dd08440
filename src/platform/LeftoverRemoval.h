#pragma once
// The owner rules for what a killed worker or a killed program left in a target folder: its
// staged outputs, the targets its commit kept aside, outputs waiting for a name that is not text,
// and the temporary files LibreOffice writes beside a document it saves. Such a folder may be
// shared with other users and other machines, so only what this user owns goes, only names of
// runs of this machine whose process is gone (or the one process named), and nothing is ever
// followed through a link.
#include <QSet>
#include <QString>

#include <functional>

namespace LeftoverRemoval {

// Removes each entry of folder whose name ours accepts and which this user owns: a file or a
// link itself, a folder with what this user owns in it (the folder stays when anything else
// remains). A folder that was swapped for another (or for a link) between the look and the
// removal is left alone.
void removeOwn(const QString &folder, const std::function<bool(const QString &name)> &ours);

// Whether name is a temporary file that LibreOffice in process pid writes beside a document it
// saves: "lu", the pid, one to six base-36 digits, ".tmp". The digits after the pid may also be
// read as a longer pid's ("lu1234ab.tmp" is pid 123's or pid 1234's): while a process of that
// longer pid runs, the name is taken for its own.
bool isOfficeTempOf(const QString &name, qint64 pid);

// The first look of a run at a folder it writes into (and at its pages folders, "*_files"): what
// this user's runs on this machine that are gone left there. Staged outputs go; a target a commit
// kept aside goes back under its exact name when that is free (never over anything), and goes
// when the name holds a newer file, or when it holds the commit's own output (a swap not made);
// LibreOffice's temporary files go when they were written by one of our office workers that is
// gone (makeWorkerFolder() keeps the record). Where a process's life cannot be told, it counts as
// running and nothing of it is taken.
void sweep(const QString &folder);

// sweep(), the first time this process writes into folder.
void sweepOnce(const QString &folder);

// An office worker's folder for its intermediate files, "work-<pid>" in the user's cache,
// made private; records that this process is one of our workers. Folders of this machine's
// workers that are gone are removed first (two workers starting at once both finish that). Empty
// when it cannot be made.
QString makeWorkerFolder();
// A worker's normal end: its folder and its record go.
void removeWorkerFolder(const QString &folder);

// After this program killed its own process pid (a worker): what it staged in folder goes, except
// the paths in keep. A commit of it that stopped before its last rename is undone (the targets it
// had replaced come back over its outputs, since that conversion failed); one that had made every
// rename is finished. The undo puts a target back over the worker's own output only (the file
// whose inode the kept-aside name carries), never over another run's.
void cleanUpAfter(const QString &folder, qint64 pid, const QSet<QString> &keep = {});

} // namespace LeftoverRemoval
