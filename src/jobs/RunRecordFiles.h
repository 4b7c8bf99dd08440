#pragma once
// The files that hold a command-line run's own record: its log (/L) and its results file (/B).
// No task of the run may read, append to or replace them, however it reaches them (another
// spelling, a link, a hard link, a task that a reload brings in); the check of the command line
// follows the reloads through the jobs as they stand at the start. Also keeps the job files the
// run read, the files it wrote and every file its tasks named (a refused original too), which the
// results file must not replace.
#include "common/PathUtils.h"
#include "jobs/clsConversionOptions.h"

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
    // is not text. A path asked about is one a task names: while a results file is held it is
    // noted, for readOrWritten.
    QString heldAt(const QString &path) const;
    QString heldAtBytes(const QByteArray &path) const;
    // The held file that writing target would replace: the target itself, or one of its further
    // outputs (a picture or file per slide beside it, a page in its folder of web pages); or "".
    QString heldByOutputsOf(const QString &target, int lTargetFileType, bool bEachSlide) const;

    // Job files read and outputs written by the run.
    void noteRead(const QString &path);
    void noteWritten(const QString &path);
    // Whether path names a file the run read, wrote or asked about.
    bool readOrWritten(const QString &path) const;

private:
    struct Held
    {
        QString name;
        FileIdentity id;
    };
    QString heldAs(const FileIdentity &id) const;
    QList<Held> m_held;
    bool m_resultsHeld = false;
    // Noted by the const questions too: asking is what tells that a task names the file.
    mutable QList<FileIdentity> m_touched;
};

// A job file that running a job leads to, as the files stand when asked: the file and its tasks
// from the first line a reload of it asks for.
struct ReachedJob
{
    QString file;
    QList<clsConversionOptions> tasks;
};
// sJob (from line lFirstLine) and every job its reload tasks name, followed through the jobs those
// name in turn: each once (again only for an earlier first line), so that a cycle ends. Each is
// read to its end, since the load's cap goes on through a reload of the same file. A job that
// cannot be read gives no tasks.
QList<ReachedJob> JobsReachedFrom(const QString &sJob, int lFirstLine = 1);
// Whether a reload task among rows (cells as in the task grid) leads, through the jobs as they
// stand now, to the file at path.
bool ReloadRowsLeadTo(const QList<QStringList> &rows, const QString &path);
