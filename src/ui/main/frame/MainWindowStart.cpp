#include "MainWindowStart.h"

#include "ui/main/frmMain.h"
#include "frmMainMDI.h"
#include "frmPleaseWait.h"
#include "ui/main/SessionController.h"
#include "common/Globals.h"
#include "jobs/JobSession.h"
#include "language/Translator.h"
#include "ui/support/QtTranslations.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

frmMainMDI *ShowMainMDIWithSplash(const QString &sOpenJobFile)
{
    // Qt's own dialogs, standard buttons and key names speak the translator's language.
    ApplyQtTranslations(sLanguage);
    frmPleaseWait splash;
    splash.lblHeader->setText(Translate(QStringLiteral("Quorvane!")));
    splash.lblLine1->setText(ProgramVersionText());
    splash.lblLine2->setText(QStringLiteral("Ornwell, Inc."));
    splash.adjustSize();
    if (const QScreen *s = QGuiApplication::primaryScreen())
        splash.move(s->availableGeometry().center() - splash.rect().center());
    splash.show();
    QCoreApplication::processEvents();

    auto *frame = new frmMainMDI;
    auto *main = new frmMain;
    main->Form_Load();
    frame->MDIForm_Load(main);
    // A job given with /O: loaded into the window, not run.
    if (!sOpenJobFile.isEmpty())
        main->session().ConversionJobOpen(sOpenJobFile);
    frame->applyPlacement(ReadFramePlacement(G_IniFilePath));
    frame->show();
    splash.hide();
    // Once the window is up and painted, LibreOffice starts while the user looks at it.
    SessionController *controller = main->controller();
    QTimer::singleShot(0, controller, [controller] { controller->startOfficeInBackground(); });
    return frame;
}
