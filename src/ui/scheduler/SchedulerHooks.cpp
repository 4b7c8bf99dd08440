#include "SchedulerHooks.h"

#include "frmScheduler.h"

#include "common/Globals.h"
#include "jobs/JobSession.h"
#include "scheduler/ScheduleRules.h"


SchedulerHooks::SchedulerHooks(frmScheduler *scheduler, JobSession *session, QObject *parent)
    : QObject(parent), m_scheduler(scheduler), m_session(session)
{
    m_scheduler->runBusy = [this] { return runBusy(); };
    connect(m_scheduler, &frmScheduler::RunTheJobEvent, this, &SchedulerHooks::frmSched_RunTheJobEvent);
    connect(m_scheduler, &frmScheduler::DisplayTimeRemainingEvent, this,
            &SchedulerHooks::frmSched_DisplayTimeRemainingEvent);
    // End leaves the caption as Pause does, not on the last countdown.
    connect(m_scheduler, &frmScheduler::scheduleEnded, this, [this] { caption(IdleSchedulerCaption()); });
}

bool SchedulerHooks::bSchedularEnabled() const { return m_scheduler && m_scheduler->bSchedularEnabled(); }

bool SchedulerHooks::runBusy() const { return m_session && m_session->bRunGoingOn(); }

void SchedulerHooks::stopScheduler()
{
    m_scheduler->StopSchedule();
    caption(IdleSchedulerCaption());
}

void SchedulerHooks::ShowSchedulerDialog()
{
    m_scheduler->SetUpScheduler(G_IniFilePath);
    if (showModal)
        showModal(*m_scheduler);
    else
        m_scheduler->exec();
    afterSchedulerDialog();
}

void SchedulerHooks::afterSchedulerDialog()
{
    if (updateMenuToolbar)
        updateMenuToolbar();
    if (!bSchedularEnabled())
        caption(IdleSchedulerCaption());
}

void SchedulerHooks::frmSched_RunTheJobEvent(const QString &strTimerFile)
{
    // Never a run inside a run, nor one that replaces the grid under a run begun by hand.
    if (!m_session || runBusy())
        return;
    // The scheduled job replaces the one on screen without asking to save it.
    m_session->markJobUnchanged();
    if (!m_session->ConversionJobOpen(strTimerFile))
        return;
    m_session->ConversionJobRewind();
    m_session->ConversionJobBegin();
}

void SchedulerHooks::frmSched_DisplayTimeRemainingEvent(const QString &text) { caption(text); }

void SchedulerHooks::caption(const QString &text)
{
    if (setCaption)
        setCaption(text);
}
