#include "SchedulerHooks.h"

#include "frmScheduler.h"

#include "common/Globals.h"
#include "common/PathUtils.h"
#include "jobs/JobFiles.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "language/Translator.h"
#include "platform/FlexGrid.h"
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
    // The scheduled job replaces the one on screen without asking to save it; but a job that is
    // not replaced keeps its changed flag, or the next Exit would drop it without a question.
    const QString file = ExpandPathVariables(strTimerFile);
    QString why = ConversionJobFileRefusal(file);
    if (why.isEmpty()) {
        const bool changed = m_session->bAskToSaveQVJFileBeforeExit;
        m_session->markJobUnchanged();
        if (m_session->ConversionJobOpen(file, &why)) {
            m_session->ConversionJobRewind();
            m_session->ConversionJobBegin();
            return;
        }
        m_session->bAskToSaveQVJFileBeforeExit = changed;
        if (why.isEmpty())
            why = Translate(QStringLiteral("The scheduled job could not be opened: (")) + file + QStringLiteral(")");
    }
    reportRunNotStarted(file, why);
}

void SchedulerHooks::reportRunNotStarted(const QString &file, const QString &why)
{
    // Unattended: no box that would hold every later run, but the status bar and a failed row
    // in the log, which stay until the user looks.
    m_session->panels()->setPanelText(StatusPanel::Message, why);
    FlexGrid &log = m_session->fgLog;
    QStringList cells(log.cols());
    cells[ToDoColumn::Original] = file;
    cells[ToDoColumn::Status] = why;
    const int at = log.rows() - 1 < 1 ? log.rows() : log.rows() - 1;
    log.addItem(cells, at);
    m_session->UpdatePassedCell(log, at, -1);
    m_session->hooks()->UpdateMenuToolbar();
}

void SchedulerHooks::frmSched_DisplayTimeRemainingEvent(const QString &text) { caption(text); }

void SchedulerHooks::caption(const QString &text)
{
    if (setCaption)
        setCaption(text);
}
