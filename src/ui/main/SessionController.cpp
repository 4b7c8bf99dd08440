#include "SessionController.h"

#include "converter/ConversionControl.h"

#include <QMetaObject>

SessionController::SessionController(QObject *parent) : QObject(parent)
{
    m_session.setHooks(this);
}

SessionController::~SessionController() { m_session.setHooks(nullptr); }

void SessionController::newJob() { m_session.ConversionJobNew(); }

bool SessionController::openJob(const QString &file)
{
    if (m_session.bRunning)
        return false; // a job opened mid-run would take the old run's marks
    return m_session.ConversionJobOpen(file);
}

void SessionController::saveJob() { m_session.ConversionJobSave(); }

void SessionController::saveJobAs() { m_session.ConversionJobSaveAs(); }

void SessionController::saveLogAs() { m_session.ConversionJobSaveLogAs(); }

void SessionController::beginJob()
{
    if (m_session.bRunning)
        return;
    m_session.ConversionJobBegin();
}

void SessionController::pauseJob() { m_session.ConversionJobPause(); }

void SessionController::rewindJob() { m_session.ConversionJobRewind(); }

bool SessionController::setOptimizeForSpeed(bool speed)
{
    ConversionControl *control = m_session.VelmoraX1();
    if (!control)
        return false;
    control->setOptimizeForSpeed(speed);
    return control->optimizeForSpeed();
}

bool SessionController::requestClose()
{
    // bRunning is already false once a run is paused, while its loop may still be on the stack:
    // only the loop's own flag says when closing at once is safe.
    if (!m_session.bLoopActive())
        return true;
    m_closePending = true;
    m_session.RequestClose();
    return false;
}

void SessionController::closeWindow()
{
    // The engine calls this as its loop returns; the window closes from the event loop.
    QMetaObject::invokeMethod(this, &SessionController::closeAfterRun, Qt::QueuedConnection);
}

bool SessionController::AddFileToConvertGUI() { return addFileToConvertHook ? addFileToConvertHook() : false; }

void SessionController::ConversionJobUpdate()
{
    if (conversionJobUpdateHook)
        conversionJobUpdateHook();
}

bool SessionController::bSchedularEnabled() const { return schedulerEnabledProbe ? schedulerEnabledProbe() : false; }

void SessionController::stopScheduler()
{
    if (stopSchedulerHook)
        stopSchedulerHook();
}

bool SessionController::mainWindowVisible() const { return windowVisibleProbe ? windowVisibleProbe() : false; }

void SessionController::UpdateMenuToolbar() { emit commandStateChanged(); }

void SessionController::setTimer1Enabled(bool on) { emit timer1EnabledChanged(on); }

void SessionController::setJobCaption(const QString &caption) { emit jobCaptionChanged(caption); }

void SessionController::refreshRecentJobsMenu() { emit recentJobsChanged(); }
