#include "SessionController.h"

#include "SavePrompt.h"

#include "converter/ConversionControl.h"

#include <QMetaObject>
#include <QScopedValueRollback>

SessionController::SessionController(QObject *parent) : QObject(parent)
{
    m_session.setHooks(this);
}

SessionController::~SessionController() { m_session.setHooks(nullptr); }

void SessionController::newJob() { m_session.ConversionJobNew(); }

bool SessionController::openJob(const QString &file)
{
    if (runGoingOn())
        return false; // a job opened mid-run would take the old run's marks
    return m_session.ConversionJobOpen(file);
}

void SessionController::saveJob() { m_session.ConversionJobSave(); }

void SessionController::saveJobAs() { m_session.ConversionJobSaveAs(); }

void SessionController::saveLogAs() { m_session.ConversionJobSaveLogAs(); }

void SessionController::beginJob()
{
    if (runGoingOn())
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

void SessionController::startOfficeInBackground()
{
    ConversionControl *control = m_session.VelmoraX1();
    if (control && control->optimizeForSpeed())
        control->startInBackground();
}

bool SessionController::requestClose()
{
    if (!runGoingOn())
        return true;
    m_session.RequestClose();
    return false;
}

void SessionController::closeWindow()
{
    // Called once the run loop has returned, but still inside the command that began the run:
    // the window goes away only after that command has unwound.
    QMetaObject::invokeMethod(this, &SessionController::closeAfterRun, Qt::QueuedConnection);
}

bool SessionController::mainWindowVisible() const { return windowVisibleProbe ? windowVisibleProbe() : false; }

void SessionController::UpdateMenuToolbar() { emit commandStateChanged(); }

void SessionController::setTimer1Enabled(bool on) { emit timer1EnabledChanged(on); }

void SessionController::setJobCaption(const QString &caption) { emit jobCaptionChanged(caption); }

void SessionController::refreshRecentJobsMenu() { emit recentJobsChanged(); }

bool SessionController::CheckToSaveFileBeforeErasing()
{
    // One question at a time. A second request while the question (or the save dialog of its
    // Yes) is up, such as the window being closed meanwhile, keeps the job: only the answer to
    // the question on screen may let it go.
    if (m_askingToSave)
        return false;
    const QScopedValueRollback<bool> asking(m_askingToSave, true);
    return ::CheckToSaveFileBeforeErasing(m_session);
}
