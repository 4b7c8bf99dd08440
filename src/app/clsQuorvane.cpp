#include "clsQuorvane.h"

#include "CommandLineDriver.h"
#include "StartUp.h"
#include "common/Globals.h"
#include "jobs/FrmMainSettings.h"
#include "jobs/JobSession.h"

clsQuorvane::clsQuorvane()
{
    // The same start-up as the program, without a chooser or a box: the caller is a program.
    InitializeProgram(true, false);
    m_session = std::make_unique<JobSession>();
    ApplyStoredCoreSettings(G_IniFilePath, *m_session);
}

clsQuorvane::~clsQuorvane() = default;

int clsQuorvane::DoCommandLine(const QString &sCommand)
{
    // An empty text would mean "this process's own command line", which is not the caller's.
    if (sCommand.isEmpty()) {
        m_failures = false;
        if (OnError)
            OnError(-2, QStringLiteral("Command line is empty"));
        return clrEmpty;
    }
    const int r = RunCommandLine(*m_session, sCommand, &m_failures);
    if (r == clrInvalid && OnError)
        OnError(-3, QStringLiteral("Invalid or missing required command line argument(s)"));
    return r;
}
