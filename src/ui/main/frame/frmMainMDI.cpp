#include "frmMainMDI.h"

#include "FramePictures.h"
#include "StatusBarPanels.h"
#include "ui/main/dialogs/frmAbout.h"
#include "ui/main/frmMain.h"
#include "common/Globals.h"
#include "ui/support/FormTranslator.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>

frmMainMDI::frmMainMDI(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMainMDI"));
    setWindowTitle(GetProgramTitle());
    setWindowIcon(ProgramIcon());
    sbMain = new StatusBarPanels(this);
    setStatusBar(sbMain);
}

frmMainMDI::~frmMainMDI() = default;

void frmMainMDI::MDIForm_Load(frmMain *mainWindow)
{
    ReadIniFile();
    m_main = mainWindow;
    if (m_main) {
        setCentralWidget(m_main);
        for (QMenu *m : m_main->menus())
            menuBar()->addMenu(m);
        m_main->setStatusPanels(sbMain);
        connect(m_main, &frmMain::exitRequested, this, &frmMainMDI::mnuExit_Click);
        connect(m_main, &frmMain::aboutRequested, this, &frmMainMDI::mnuAbout_Click);
        connect(m_main, &frmMain::jobCaptionChanged, this, &frmMainMDI::setJobCaption);
        connect(m_main, &frmMain::frameCaptionChanged, this, &QWidget::setWindowTitle);
    }
    TranslateForm(this);
    if (m_main) {
        m_main->show();
        // The window keeps the size the user gave it: a taller editor panel shown later takes
        // its room from the task grid instead of growing the window on its own. So the
        // smallest window is the one the tallest and widest panel needs, not the one shown now.
        m_main->setMinimumSize(m_main->minimumSizeForEveryPanel());
    }
}

double frmMainMDI::logicalDpi() const { return LogicalDpi(this); }

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

void frmMainMDI::mnuAbout_Click()
{
    frmAbout about(this, m_main ? m_main->shellOpener() : nullptr);
    if (showAbout)
        showAbout(about);
    else
        about.exec();
}

void frmMainMDI::setJobCaption(const QString &jobName)
{
    setWindowTitle(jobName.isEmpty() ? GetProgramTitle()
                                     : GetProgramTitle() + QStringLiteral(" - ") + jobName);
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
    // The last opened first, then the main window, whose unload saves its settings and ends the
    // office worker.
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QWidget *w = *it;
        if (w != this && w->isVisible() && !qobject_cast<QMenu *>(w))
            w->close();
    }
    if (m_main)
        m_main->Form_Unload();
}

void frmMainMDI::closeEvent(QCloseEvent *e)
{
    if (m_closed) {
        e->accept();
        return;
    }
    // A run is going on: it stops after the file it is converting, and the main window asks
    // again once the run loop has returned.
    if (m_main && !m_main->requestClose()) {
        e->ignore();
        return;
    }
    SaveIniFile();
    closeOtherWindows();
    m_closed = true;
    e->accept();
    emit closed();
}
