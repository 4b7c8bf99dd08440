#include "StartUp.h"

#include "CommandLine.h"
#include "CommandLineDriver.h"
#include "DemoFiles.h"
#include "InterruptWatcher.h"
#include "common/Globals.h"
#include "common/Help.h"
#include "common/PathUtils.h"
#include "common/SettingsLocation.h"
#include "converter/ConversionControl.h"
#include "jobs/FrmMainSettings.h"
#include "jobs/JobSession.h"
#include "language/Translator.h"

#include <cstdio>

void InitializeProgram(bool bQuiet, bool bInstallDemo)
{
    G_IniFilePath = GetIniFilePathForProduct(19);
    gsDataFolder = ExpandPathVariables(QStringLiteral("%APPDATA%/Ornwell, Inc/Quorvane/"));
    if (bInstallDemo)
        InstallDemoFiles();
    InitializeTranslator(bQuiet);
    InitializeHelpFile();
}

int Main()
{
    const QString line = ProcessCommandLine();
    InitializeProgram(!line.isEmpty(), true);
    JobSession session;
    // A run without a window still converts with the settings the window stored.
    ApplyStoredCoreSettings(G_IniFilePath, session);
    bool failures = false;
    // Ctrl+C or SIGTERM pauses the run and kills the conversion under way, so that the run
    // winds down, logs and leaves nothing half-written behind.
    InterruptWatcher watcher;
    QObject::connect(&watcher, &InterruptWatcher::interrupted, [&session] {
        session.bRunning = false;
        session.VelmoraX1()->abort();
    });
    bool helpOnly = false;
    const int r = RunCommandLine(session, line, &failures, &helpOnly);
    if (const int sig = InterruptWatcher::caughtSignal())
        return 128 + sig;
    if (r == clrEmpty) {
        // Without a window the program has nothing to show but its command-line help.
        std::fputs(HelpTopicText(63).toUtf8().constData(), stdout);
        return 0;
    }
    return ExitStatusFor(r, failures, helpOnly);
}
