#pragma once
// The one place that writes over a user's files. Outputs are written under staged names in their
// own folders and take their real names only when the whole conversion has succeeded; what is
// not committed is removed, so a failure or a crash never leaves a half-written target behind
// under a target's name. A conversion made ahead of its turn hands its plan over instead of
// committing (plan()), and whoever takes the result adopts it (adopt()), then commits it or
// throws it away.
//
// Staged names (platform/StagedNames) say whose a file is and where it was made.
//
// The commit keeps an old target aside by a hard link, then renames the new file over it in one
// rename: the target's name always holds a whole file. Where the file system has no hard links
// the new file takes the kept-aside name (which carries its inode) and then swaps names with the
// old one (RENAME_EXCHANGE): the target's name still always holds a whole file, and by the inode
// a clean-up tells whether the kept-aside name holds the new file or the old one. Where the file
// system has neither (FAT through FUSE) it renames the old file away first, then the new one onto
// the free name (NameMoves). A replaced file's
// permissions pass to the new file. A failed commit puts every replaced file back (the same
// file: inode, bytes and mode). What a killed commit leaves is put right by LeftoverRemoval, and
// a folder is swept before anything is staged in it, so that a kept-aside file is back under its
// name before a run reads or writes that name.
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

#include "platform/StagedNames.h"

#include <functional>
#include <optional>

class StagedOutput
{
public:
    StagedOutput() = default;
    ~StagedOutput();
    StagedOutput(const StagedOutput &) = delete;
    StagedOutput &operator=(const StagedOutput &) = delete;

    // A temporary path in finalPath's folder that becomes finalPath on commit.
    QString stage(const QString &finalPath);
    // A temporary folder in folder; every file written into it moves into folder on commit, and
    // so does every file of a folder made in it (into a folder of that name, made if missing).
    QString stageFolder(const QString &folder);
    // Renames everything staged; false when a rename fails, and then every target is as it was
    // before (a replaced file is back) and what was staged is removed.
    bool commit();
    // Removes everything staged and not yet committed.
    void discard();
    // The final paths, in the order staged (folder contents listed at commit).
    QStringList committedPaths() const { return m_committed; }

    // Hands what is staged over as a plan; this object then forgets it (nothing is removed).
    QJsonObject plan();
    // Takes over a plan made by plan(), possibly in another process.
    void adopt(const QJsonObject &plan);
    // Renames what was adopted to names of this process, so that it stays this process's after
    // the one that staged it has ended (another run's sweep takes the staged files of a process
    // that is gone). What cannot be renamed keeps its name; the commit then finds what it finds.
    void takeOver();

    // One rename of a commit: a file (or a staged folder for a free name) to its final path.
    struct Move
    {
        QByteArray from;
        QByteArray to;
    };
    // Renames every move in order, all or none, keeping each replaced file aside until the last
    // one is in place. On failure the renamed files go back to their staged names and the
    // replaced ones to theirs; the staged files are not removed (the caller owns them).
    static bool commitMoves(const QList<Move> &moves);

    // Processes without an event loop (the worker): SIGTERM and SIGHUP end the process at once,
    // except during a commit, which they let finish first. With endLater the process goes on
    // after such a commit until it calls endIfStopped(), so that it can first say what it did.
    static void letCommitsFinishOnSignals(bool endLater = false);
    static void endIfStopped();

    // Tests: NameMoves::setCallHook (the commit's calls and the sweep's restores alike).
    static void setCallHook(std::function<int(const char *call)> hook);

private:
    QList<QPair<QString, QString>> m_files; // temp, final
    QList<QPair<QString, QString>> m_folders; // temp folder, final folder
    QStringList m_committed;
};
