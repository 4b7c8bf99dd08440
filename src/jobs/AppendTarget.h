#pragma once
// The one target of an append task: the file it changes (a link is followed, never replaced),
// the lock that keeps two runs of the machine from appending to it at the same time (each would
// otherwise add its lines to a copy and the one that commits last would drop the other's), and,
// over a pattern, the copy beside it that the files go into until the task ends.
#include "converter/StagedOutput.h"
#include "platform/MachineMutex.h"

#include <QString>
#include <QStringList>

class JobSession;

// The file that appending to path changes: through links, the file they lead to, or, when the
// last one leads nowhere yet, the name it names. Other paths as they are.
QString AppendTargetFile(const QString &path);

class AppendTargetLock
{
public:
    // target: as AppendTargetFile gives it.
    explicit AppendTargetLock(const QString &target);

    enum class Wait { Taken, Stopped, TimedOut };
    // Takes the lock, waiting while another run holds it with the session's events pumped (a
    // window stays responsive). Stops waiting on an interrupt, and with stopOnPause on a Pause;
    // gives up after the wait limit, so that a run that never lets go cannot hold up another
    // for ever. Released when the object goes (or the process ends, however it ends). Once
    // taken, what killed runs left in the target's folder is put right (LeftoverRemoval::sweep).
    Wait take(JobSession &session, bool stopOnPause);

    // The name of the machine-wide lock of a target: one of a fixed few, so that no file is
    // made per target; two targets that share one only wait for each other.
    static QString lockName(const QString &target);
    // How long take() waits at most (ten minutes; tests shorten it).
    static void setWaitLimit(int ms);

private:
    Wait waitFor(JobSession &session, bool stopOnPause);

    MachineMutex m_mutex;
    QString m_folder;
};

// Append over a pattern: the files go one by one into a copy of the target staged beside it
// (the file a link leads to), which replaces that file once, when the task's loop ends (a
// pause included). A kill on the way leaves the target as it was, so that a next run appends
// every file once, not the first ones again; the copy has a staged name that a later run's
// sweep removes.
class StagedAppendTarget
{
public:
    explicit StagedAppendTarget(const QString &target);
    AppendTargetLock::Wait lock(JobSession &session) { return m_lock.take(session, true); }
    // The copy to append to, made at the first call (the target's folder too); a path in a
    // folder that does not exist when the folder cannot be made (the append then fails as it
    // would).
    QString path(QStringList &madeFolders);
    bool copyFailed() const { return m_copyFailed; }
    void appended() { m_appended = true; }
    void discard();
    // Puts what was appended in place of the target; false when that failed (the target is
    // then as it was).
    bool finish();

private:
    QString m_target;
    // Let go only after what was staged is gone.
    AppendTargetLock m_lock;
    QString m_path;
    StagedOutput m_staged;
    bool m_appended = false;
    bool m_copyFailed = false;
};
