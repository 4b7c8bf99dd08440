#include "StartUp.h"

#include "CommandLine.h"
#include "CommandLineDriver.h"
#include "DemoFiles.h"
#include "InterruptWatcher.h"
#include "common/Globals.h"
#include "common/Help.h"
#include "common/LogWriter.h"
#include "common/PathUtils.h"
#include "common/SettingsLocation.h"
#include "converter/ConversionControl.h"
#include "jobs/FrmMainSettings.h"
#include "jobs/JobSession.h"
#include "language/Translator.h"
#include "ui/main/frame/MainWindowStart.h"
#include "ui/main/dialogs/frmLanguage.h"
#include "ui/main/frame/frmMainMDI.h"
#include "ui/main/frmMain.h"
#include "ui/support/MessageBoxPrompter.h"

#include <QApplication>
#include <QWidget>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// A signal ends the window: a run going on is stopped first, as on the command line (the
// conversion under way is killed, a launched program stopped), then the event loops end. No
// question is asked: nobody may be there to answer it, and a box must not hold the end up (a
// box already open returns at once). During the set-up there is no frame yet: the event loops
// running then (a box) end, and the window's own loop never starts.
void EndWindowForSignal(frmMainMDI *frame, int sig)
{
    if (frmMain *main = frame ? frame->mainWindow() : nullptr) {
        JobSession &session = main->session();
        if (session.bRunGoingOn())
            session.Interrupt();
    }
    QCoreApplication::exit(128 + sig);
}

// The interactive program: splash, frame and main window; the program lives on its window and
// ends with status 0 once the frame has closed, or with 128 + the signal that ended it.
// A session that ends, a kill or a supervisor must be able to end the window, whether it was
// opened on a job or not, from the start of its set-up (which may wait on a box): the watcher
// is installed before the window is set up.
int RunWindow(const QString &sOpenJobFile, InterruptWatcher &watcher)
{
    QApplication::setQuitOnLastWindowClosed(false);
    std::unique_ptr<frmMainMDI> frame;
    QObject::connect(&watcher, &InterruptWatcher::interrupted, qApp,
                     [&frame](int sig) { EndWindowForSignal(frame.get(), sig); });
    frame.reset(ShowMainMDIWithSplash(sOpenJobFile));
    QObject::connect(frame.get(), &frmMainMDI::closed, qApp, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    // A signal while the window was being set up ends it before it starts listening.
    if (InterruptWatcher::caughtSignal() == 0)
        QApplication::exec();
    const int sig = InterruptWatcher::caughtSignal();
    if (sig == 0 || frame->isClosed())
        return 0;
    // The window's closing steps but for the save question: its place and settings are kept as
    // a close keeps them, and the office worker ends. Unsaved changes of the job are lost, as
    // they were when a signal simply killed the program.
    frame->SaveIniFile();
    if (frmMain *main = frame->mainWindow())
        main->Form_Unload();
    return 128 + sig;
}

// Tests: a signal when the first modal box of the start opens.
class SignalAtFirstBox : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()
            && static_cast<QWidget *>(watched)->isModal()) {
            qApp->removeEventFilter(this);
            std::raise(SIGTERM);
        }
        return false;
    }
};

} // namespace

void InitializeProgram(bool bQuiet, bool bInstallDemo)
{
    G_IniFilePath = GetIniFilePathForProduct(19);
    gsDataFolder = ExpandPathVariables(QStringLiteral("%APPDATA%/Ornwell, Inc/Quorvane/"));
    // Nothing is copied into a data folder that is not ours.
    if (bInstallDemo && RefusedSettingsFolder().isEmpty())
        InstallDemoFiles();
    InitializeTranslator(bQuiet);
    InitializeHelpFile();
    // Said once the translator is there; without a settings file the program still runs.
    if (G_IniFilePath.isEmpty() && !RefusedSettingsFolder().isEmpty())
        WriteToStandardError(Translate(QStringLiteral("The settings folder belongs to another user or cannot be made "
                                                      "private; no settings are read or written: ")) +
                             RefusedSettingsFolder());
}

int Main()
{
    // Signals caught since main() began are delivered from the first turn of the pump on.
    InterruptWatcher watcher;
    const QString line = ProcessCommandLine();
    const bool windowRoad = line.isEmpty() && bHasDisplay();
    // The set-up of the window may wait on a box (the first start's language chooser): a signal
    // ends it, and with it the start. A command line shows no box, and its run is stopped below.
    QMetaObject::Connection endBoxes;
    if (windowRoad)
        endBoxes = QObject::connect(&watcher, &InterruptWatcher::interrupted, qApp,
                                    [](int sig) { QCoreApplication::exit(128 + sig); });
    SignalAtFirstBox testSignal;
    if (qgetenv("QV_TEST_SIGNAL_AT") == "box")
        qApp->installEventFilter(&testSignal);
    // The chooser of a first start without a command line; a command line never shows it.
    LanguageChooserDialog chooser;
    SetLanguageChooser(&chooser);
    // The translator's own boxes, for a start with a window (a quiet start never shows them).
    MessageBoxPrompter prompter;
    SetTranslatorPrompter(&prompter);
    InitializeProgram(!line.isEmpty() || !bHasDisplay(), true);
    if (windowRoad) {
        if (const int sig = InterruptWatcher::caughtSignal())
            return 128 + sig;
        QObject::disconnect(endBoxes);
        return RunWindow(QString(), watcher);
    }
    if (line.isEmpty()) {
        // Started over ssh or from a script with nothing to do: say how to use the command line.
        std::fputs(HelpTopicText(hcCommandLine).toUtf8().constData(), stdout);
        return 0;
    }

    bool failures = false;
    bool helpOnly = false;
    QString openJob;
    int r = clrDone;
    {
        JobSession session;
        // A run without a window still converts with the settings the window stored.
        ApplyStoredCoreSettings(G_IniFilePath, session);
        // Ctrl+C, SIGTERM or SIGHUP pauses the run and kills the conversion under way, so that the
        // run winds down, logs and leaves nothing half-written behind.
        const QMetaObject::Connection toSession =
            QObject::connect(&watcher, &InterruptWatcher::interrupted, [&session] { session.Interrupt(); });
        session.setInterruptSource([] { return InterruptWatcher::caughtSignal() != 0; });
        r = RunCommandLine(session, line, &failures, &helpOnly, [&](const QString &f) { openJob = f; });
        QObject::disconnect(toSession);
        if (const int sig = InterruptWatcher::caughtSignal())
            return 128 + sig;
    }
    if (r != clrOpenedNotRun)
        return ExitStatusFor(r, failures, helpOnly);
    // A job opened for editing needs the window, and the window a display. Nothing was asked
    // to run, so nothing failed: the status stays 0.
    if (!bHasDisplay()) {
        std::fputs(Translate(QStringLiteral("A job opened without running it needs a display."))
                       .append(u'\n')
                       .toUtf8()
                       .constData(),
                   stderr);
        return 0;
    }
    // From here on the program is interactive: the translator may ask and show its boxes, which
    // a signal ends as it ends the window.
    QObject::connect(&watcher, &InterruptWatcher::interrupted, qApp, [](int sig) { QCoreApplication::exit(128 + sig); });
    InitializeTranslator(false);
    if (const int sig = InterruptWatcher::caughtSignal())
        return 128 + sig;
    return RunWindow(openJob, watcher);
}
