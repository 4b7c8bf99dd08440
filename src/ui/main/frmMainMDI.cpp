#include "frmMainMDI.h"

#include "FramePictures.h"
#include "StatusBarPanels.h"
#include "common/Globals.h"
#include "converter/ConversionControl.h"
#include "jobs/JobSession.h"
#include "ui/support/FormTranslator.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

frmMainMDI::frmMainMDI(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMainMDI"));
    setWindowTitle(GetProgramTitle());
    setWindowIcon(ProgramIcon());
    sbMain = new StatusBarPanels(this);
    setStatusBar(sbMain);
    ReadIniFile();
}

frmMainMDI::~frmMainMDI() = default;

void frmMainMDI::setMainWindow(QWidget *mainWindow, const QList<QMenu *> &menus, JobSession *session)
{
    m_main = mainWindow;
    m_session = session;
    if (mainWindow)
        setCentralWidget(mainWindow);
    for (QMenu *m : menus)
        menuBar()->addMenu(m);
    TranslateForm(this);
}

double frmMainMDI::logicalDpi() const
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchY() : 96.0;
}

int frmMainMDI::storedWindowState() const
{
    if (windowState() & Qt::WindowMinimized)
        return fwsMinimized;
    if (windowState() & Qt::WindowMaximized)
        return fwsMaximized;
    return fwsNormal;
}

FramePlacement frmMainMDI::placement() const
{
    // Minimised or maximised, the geometry to keep is the one the window returns to.
    const QRect r = storedWindowState() == fwsNormal ? geometry() : normalGeometry();
    return PixelsToPlacement(r, storedWindowState(), logicalDpi());
}

void frmMainMDI::applyPlacement(const FramePlacement &p)
{
    m_restoring = true;
    setGeometry(PlacementToPixels(p, logicalDpi()));
    m_restoring = false;
    if (p.windowState == fwsMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMainMDI::ReadIniFile()
{
    if (gbCommandLineMode || G_IniFilePath.isEmpty())
        return;
    bFirstTimeUser = ReadFirstTimeUser(G_IniFilePath);
}

void frmMainMDI::SaveIniFile()
{
    if (gbCommandLineMode || G_IniFilePath.isEmpty())
        return;
    SaveFramePlacement(G_IniFilePath, bFirstTimeUser, placement());
}

void frmMainMDI::mnuExit_Click() { close(); }

void frmMainMDI::setJobCaption(const QString &jobName)
{
    setWindowTitle(jobName.isEmpty() ? GetProgramTitle()
                                     : GetProgramTitle() + QStringLiteral(" - ") + jobName);
}

void frmMainMDI::closeWindow()
{
    QTimer::singleShot(0, this, [this] { close(); });
}

void frmMainMDI::restoreLostPosition()
{
    if (m_restoring || G_IniFilePath.isEmpty())
        return;
    const int top = PixelsToTwips(geometry().y(), logicalDpi());
    if (!bIsLostPosition(storedWindowState(), top))
        return;
    FramePlacement p = ReadFramePlacement(G_IniFilePath);
    p.windowState = fwsNormal;
    applyPlacement(p);
}

void frmMainMDI::moveEvent(QMoveEvent *e)
{
    QMainWindow::moveEvent(e);
    restoreLostPosition();
}

void frmMainMDI::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange)
        restoreLostPosition();
}

void frmMainMDI::closeOtherWindows()
{
    // The last opened first; the main window (our child) is closed as one of them, so that its
    // own unload asks about an unsaved job and saves its settings.
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QWidget *w = *it;
        if (w != this && w->isVisible() && !qobject_cast<QMenu *>(w))
            w->close();
    }
    if (m_main)
        m_main->close();
}

void frmMainMDI::closeEvent(QCloseEvent *e)
{
    if (m_closed) {
        e->accept();
        return;
    }
    // A run is going on: it stops after the file it is converting, and the close follows once
    // the run loop has unwound.
    if (m_session && m_session->bRunning) {
        e->ignore();
        m_session->ConversionJobPause();
        QTimer::singleShot(100, this, [this] { close(); });
        return;
    }
    SaveIniFile();
    closeOtherWindows();
    if (m_session)
        m_session->VelmoraX1()->shutDown();
    m_closed = true;
    e->accept();
    emit closed();
}
