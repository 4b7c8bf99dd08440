#pragma once
// The outer window of the interactive program: the main window as its central widget, its
// menus on the one menu bar, the status bar sbMain, the place on the screen kept in the
// settings file ([frmMainMDI], twips), and the closing of the whole program.
#include "FrameGeometry.h"

#include <QMainWindow>

#include <functional>

class frmAbout;
class frmMain;
class StatusBarPanels;

class frmMainMDI : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMainMDI(QWidget *parent = nullptr);
    ~frmMainMDI() override;

    StatusBarPanels *sbMain = nullptr;
    bool bFirstTimeUser = true;

    // The frame's load: puts the loaded main window in as its central widget, its menus on the
    // menu bar and the status bar under its engine, translates the frame and shows the main
    // window. nullptr leaves the frame empty (tests of the frame alone).
    void MDIForm_Load(frmMain *mainWindow);
    frmMain *mainWindow() const { return m_main; }

    // How the about box is shown (default: modally); it opens files and addresses with the
    // main window's opener. Tests drive the box without exec().
    std::function<void(frmAbout &)> showAbout;

    void ReadIniFile();
    void SaveIniFile();

    // The frame's place in twips now (the normal geometry when minimised or maximised) and
    // putting it there.
    FramePlacement placement() const;
    void applyPlacement(const FramePlacement &p);
    double logicalDpi() const;

    // The closing steps ran: a test or the program decides what follows (the program ends its
    // event loop with status 0).
    bool isClosed() const { return m_closed; }

public slots:
    void mnuExit_Click();
    void mnuAbout_Click();
    // Caption: the program title, and the open job's file name when there is one.
    void setJobCaption(const QString &jobName);

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

    frmMain *m_main = nullptr;
    bool m_closed = false;
    bool m_restoring = false;
};
