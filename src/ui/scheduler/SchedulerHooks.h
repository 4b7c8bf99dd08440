#pragma once
// The main window's side of the scheduler: runs the scheduled job through the engine when the
// tick asks, shows the countdown in the frame's caption, answers whether a schedule is active,
// and stops it when the user pauses. The main window owns one beside its scheduler window.
#include "jobs/EngineHooks.h"

#include <QObject>
#include <QString>

#include <functional>

class JobSession;
class frmScheduler;

class SchedulerHooks : public QObject, public ScheduleHooks
{
    Q_OBJECT
public:
    SchedulerHooks(frmScheduler *scheduler, JobSession *session, QObject *parent = nullptr);

    // The frame window's caption.
    std::function<void(const QString &)> setCaption;
    // The main window's command state.
    std::function<void()> updateMenuToolbar;
    // How the window is shown from the menu (default: modally, returning when it is hidden).
    // Tests show it without a nested event loop.
    std::function<void(frmScheduler &)> showModal;

    frmScheduler *scheduler() const { return m_scheduler; }
    // The scheduler's timer runs.
    bool bSchedularEnabled() const override;
    // Any run is going on: a run started by a tick or by hand.
    bool runBusy() const;
    // Pause: the schedule stops (timer off, inputs unlocked) and the caption is the program's.
    void stopScheduler() override;
    // The menu's "Schedule a Conversion Job": the job-file box from the recent list, then the
    // window modally; afterwards the command state, and the plain caption when nothing runs.
    void ShowSchedulerDialog();
    // The part of ShowSchedulerDialog after the window was hidden.
    void afterSchedulerDialog();

    void frmSched_RunTheJobEvent(const QString &strTimerFile);
    void frmSched_DisplayTimeRemainingEvent(const QString &text);

private:
    void caption(const QString &text);
    // A due run that could not start: said in the status bar and in a failed log row.
    void reportRunNotStarted(const QString &file, const QString &why);

    frmScheduler *m_scheduler;
    JobSession *m_session;
};
