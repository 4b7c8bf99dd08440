#include "StartUp.h"

#include "CommandLine.h"
#include "CommandLineDriver.h"
#include "DemoFiles.h"
#include "common/Globals.h"
#include "common/Help.h"
#include "common/PathUtils.h"
#include "common/SettingsLocation.h"
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
    const int r = RunCommandLine(session, line, &failures);
    if (r == clrEmpty) {
        // Without a window the program has nothing to show but its command-line help.
        std::fputs(HelpTopicText(63).toUtf8().constData(), stdout);
        return 0;
    }
    return ExitStatusFor(r, failures);
}
