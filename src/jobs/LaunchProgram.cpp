#include "LaunchProgram.h"

#include "common/Globals.h"
#include "common/PathUtils.h"
#include "jobs/JobSession.h"
#include "jobs/clsConversionOptions.h"
#include "platform/ProcessLauncher.h"
#include "platform/Tick.h"

#include <memory>

namespace {

// How long one pass of the wait loop blocks on the program before the events are pumped
// again: short enough for a responsive window, long enough not to spin.
constexpr int kWaitSliceMs = 50;

} // namespace

int RunCommandLineSpecialProcess(clsConversionOptions &options, JobSession &session,
                                 const LaunchClock &clock)
{
    QString program = options.sOriginalFile;
    QString arguments = options.sTargetFile;
    int exitCode = 0;
    const int result = ExecCmdAndWait(program, arguments, options.lCommandLineWindowState,
                                      options.lCommandLineThreadPriority,
                                      options.lCommandLineWaitTime, exitCode, session, clock);
    options.lCommandLineExitCode = exitCode;
    return result;
}

int ExecCmdAndWait(QString &sCmdLine, QString &sArguments, int lWindowState, int lCreationFlags,
                   int lWaitSeconds, int &lExitCode, JobSession &session, const LaunchClock &clock)
{
    const LaunchClock now = clock ? clock : LaunchClock(&Tick::count);
    sCmdLine = ExpandPathVariables(sCmdLine);
    sArguments = ExpandPathVariables(sArguments);
    const std::int64_t start = now();

    auto launcher = std::make_unique<ProcessLauncher>();
    if (!launcher->start(sCmdLine, sArguments, lCreationFlags, lWindowState))
        return lrNotStarted;

    for (;;) {
        const std::int64_t t = now();
        session.panels()->setPanelText(
            StatusPanel::Time, QString::number(double(t - session.lTotalTimeStart) / 1000.0, 'f', 1));
        if (lWaitSeconds != -1 && double(t - start) / 1000.0 > lWaitSeconds)
            break;
        session.DoEvents();
        const bool running = session.bRunning;
        if (launcher->waitForEnd(0) || !running)
            break;
        // The program's end wakes this wait as any other event does: the window answers its
        // requests meanwhile instead of after a blind slice.
        session.pump()->waitForEvents(kWaitSliceMs);
    }

    if (launcher->hasEnded()) {
        lExitCode = launcher->exitCode();
        return lrEnded;
    }
    if (session.bInterrupted) {
        // The run ends for good: nothing it started may run on unwatched. A command-line run
        // asks it to end now and waits for it once its record is written.
        if (gbCommandLineMode)
            session.stopAfterRecord(std::move(launcher));
        else
            launcher->stopGroup();
        return lrInterrupted;
    }
    // The launcher lets the program go when it is destroyed: it runs on by itself.
    launcher->detach();
    return lrStillRunning;
}
