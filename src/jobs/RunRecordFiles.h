#pragma once
// The files that hold a command-line run's own record: its log (/L) and its results file (/B).
// No task of the run may read, append to or replace them, however it reaches them (another
// spelling, a link, a hard link, a task that a reload brings in); the check of the command line
// sees only what the job names at the start. Also keeps the job files the run read and the files
// it wrote, which the results file must not replace.
#include "common/PathUtils.h"

#include <QByteArray>
#include <QList>
#include <QString>

class RunRecordFiles
{
public:
    // Takes the files' identities as they are now (after the log's header is written).
    void hold(const QString &sLogFile, const QString &sResultsFile);
    void clear();
    bool isEmpty() const { return m_held.isEmpty(); }

    // The held file (as the command line names it) that path is, or ""; by bytes for a path that
    // is not text.
    QString heldAt(const QString &path) const;
    QString heldAtBytes(const QByteArray &path) const;
    // The held file that writing target would replace: the target itself, or one of its further
    // outputs (a picture or file per slide beside it, a page in its folder of web pages); or "".
    QString heldByOutputsOf(const QString &target, int lTargetFileType, bool bEachSlide) const;

    // Job files read and outputs written by the run.
    void noteRead(const QString &path);
    void noteWritten(const QString &path);
    // Whether path names a file the run read or wrote.
    bool readOrWritten(const QString &path) const;

private:
    struct Held
    {
        QString name;
        FileIdentity id;
    };
    QString heldAs(const FileIdentity &id) const;
    QList<Held> m_held;
    QList<FileIdentity> m_touched;
};
