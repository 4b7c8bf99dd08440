#pragma once
// Output files of one conversion, written under temporary names in their own folders and
// renamed to their real names only when the whole conversion has succeeded. What is not
// committed is removed, so a failure or a crash never leaves a half-written target behind
// under a target's name. A conversion made ahead of its turn hands its plan over instead of
// committing (plan()), and whoever takes the result adopts it (adopt()), then commits it or
// throws it away.
//
// A staged name says whose it is and where it was made (".qvpart-<pid>.<uid>@<host>.<serial>-"
// and the final name), so that what a killed program left can be told from what another
// user's run, or a run on another machine writing into a shared folder, is writing. A target
// that a commit replaces is kept aside under ".qvprev-" and the same tail until every rename
// has succeeded; a failed commit puts it back. Nothing removes ".qvprev-" files but the commit
// that made them: if the program dies in between, the old file is still there to be found.
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

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

    // Who staged a name (or LibreOffice's lock file of a staged name). Names of an earlier
    // version (".qvpart-<pid>-...") say neither user nor host: they give nothing.
    struct Origin
    {
        qint64 pid = 0;
        uint uid = 0;
        QString host;
    };
    static std::optional<Origin> originOf(const QString &fileName);
    // This machine as staged names carry it.
    static QString hostTag();
    // The staged name of name for process pid of this user and host, shortened to fit.
    static QString stagedFileName(qint64 pid, int serial, const QString &name);

private:
    QList<QPair<QString, QString>> m_files; // temp, final
    QList<QPair<QString, QString>> m_folders; // temp folder, final folder
    QStringList m_committed;
};
