#pragma once
// The main window's engine side: owns the JobSession, implements the hooks the engine calls
// and tells the window through signals. The window gives it the inputs only it knows (the
// selected tab, whether it is shown) and applies the command state it computes.
#include "jobs/EngineHooks.h"
#include "jobs/JobSession.h"

#include <QObject>

#include <functional>

class SessionController : public QObject, public EngineHooks
{
    Q_OBJECT
public:
    explicit SessionController(QObject *parent = nullptr);
    ~SessionController() override;

    JobSession &session() { return m_session; }
    const JobSession &session() const { return m_session; }

    // The tab strip's selected tab: 1 the tasks, 2 the log.
    void setSelectedTab(int tab) { m_tab = tab; }
    int selectedTab() const { return m_tab; }
    // Whether the main window is shown; the window answers it.
    std::function<bool()> windowVisibleProbe;

    // Job commands as the menus, toolbar and buttons give them.
    void newJob();
    bool openJob(const QString &file = QString());
    void saveJob();
    void saveJobAs();
    void saveLogAs();
    void beginJob();
    void pauseJob();
    void rewindJob();
    // Asks the office worker to be kept (speed) or restarted after every file (memory); returns
    // what the control reports afterwards.
    bool setOptimizeForSpeed(bool speed);
    // In speed mode, starts the first office worker without waiting for it, so that the first
    // conversion finds LibreOffice started. Nothing happens when it cannot start.
    void startOfficeInBackground();

    // Closing while a run goes on: the engine stops the run after its current file and asks the
    // window to close once its loop has returned (never from inside the engine's pump).
    // Returns true when the window may close at once.
    bool requestClose();
    // A run is going on (see JobSession::bRunGoingOn).
    bool runGoingOn() const { return m_session.bRunGoingOn(); }
    // The task rows may not be moved, removed or replaced: a run or a schedule owns them.
    bool rowsLocked() const { return runGoingOn() || m_session.scheduleHooks()->bSchedularEnabled(); }

    // EngineHooks.
    void UpdateMenuToolbar() override;
    bool mainWindowVisible() const override;
    void setTimer1Enabled(bool on) override;
    void setJobCaption(const QString &caption) override;
    void refreshRecentJobsMenu() override;
    bool CheckToSaveFileBeforeErasing() override;
    void closeWindow() override;

    // The Remove command; the editor installs its handler.
    std::function<void()> removeActionItemHook;

signals:
    // The command state must be applied again.
    void commandStateChanged();
    void timer1EnabledChanged(bool on);
    void jobCaptionChanged(const QString &caption);
    void recentJobsChanged();
    // A run that a close request paused has returned: the window may close now.
    void closeAfterRun();

private:
    JobSession m_session;
    int m_tab = 1;
    bool m_askingToSave = false;
};
