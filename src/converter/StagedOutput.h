#pragma once
// Output files of one conversion, written under temporary names in their own folders and
// renamed to their real names only when the whole conversion has succeeded. What is not
// committed is removed, so a failure or a crash never leaves a half-written target behind
// under a target's name. A conversion made ahead of its turn hands its plan over instead of
// committing (plan()), and whoever takes the result adopts it (adopt()), then commits it or
// throws it away.
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

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
    // Renames everything staged; false (and everything removed) when a rename fails.
    bool commit();
    // Removes everything staged and not yet committed.
    void discard();
    // The final paths, in the order staged (folder contents listed at commit).
    QStringList committedPaths() const { return m_committed; }

    // Hands what is staged over as a plan; this object then forgets it (nothing is removed).
    QJsonObject plan();
    // Takes over a plan made by plan(), possibly in another process.
    void adopt(const QJsonObject &plan);

private:
    QString tempName(const QString &folder, const QString &name);
    QList<QPair<QString, QString>> m_files; // temp, final
    QList<QPair<QString, QString>> m_folders; // temp folder, final folder
    QStringList m_committed;
};
