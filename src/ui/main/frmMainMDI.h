#pragma once
// The outer window of the interactive program: the main window as its central widget, its
// menus on the one menu bar, the status bar sbMain, the place on the screen kept in the
// settings file ([frmMainMDI], twips), and the closing of the whole program.
#include "FrameGeometry.h"

#include <QList>
#include <QMainWindow>

class JobSession;
class QMenu;
class StatusBarPanels;

class frmMainMDI : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMainMDI(QWidget *parent = nullptr);
    ~frmMainMDI() override;

    StatusBarPanels *sbMain = nullptr;
    bool bFirstTimeUser = true;

    // Puts the main window in: central widget, its menus on the menu bar, and the session whose
    // run a close waits for (may be null).
    void setMainWindow(QWidget *mainWindow, const QList<QMenu *> &menus, JobSession *session);
    QWidget *mainWindow() const { return m_main; }

    void ReadIniFile();
    void SaveIniFile();

    // The frame's place in twips now (the normal geometry when minimised or maximised) and
    // putting it there.
    FramePlacement placement() const;
    void applyPlacement(const FramePlacement &p);
    double logicalDpi() const;

    // Runs the closing steps once the close is accepted: a test or the program decides what
    // follows (the program ends its event loop with status 0).
    bool isClosed() const { return m_closed; }

public slots:
    void mnuExit_Click();
    // Caption: the program title, and the open job's file name when there is one.
    void setJobCaption(const QString &jobName);
    // The engine's deferred close arrives here once a run has unwound: close from the event
    // loop, never from inside the engine's pump.
    void closeWindow();

signals:
    // The frame closed: settings saved, other windows closed, the office worker shut down.
    void closed();

protected:
    void closeEvent(QCloseEvent *e) override;
    void moveEvent(QMoveEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    int storedWindowState() const;
    void restoreLostPosition();
    void closeOtherWindows();

    QWidget *m_main = nullptr;
    JobSession *m_session = nullptr;
    bool m_closed = false;
    bool m_restoring = false;
};
