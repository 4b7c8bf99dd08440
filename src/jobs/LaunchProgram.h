#pragma once
// The launch task: start another program and wait for it while the run stays responsive.
#include <QString>

#include <cstdint>
#include <functional>

class clsConversionOptions;
class JobSession;

// Results of a launch (item result codes).
enum LaunchResult {
    lrEnded = 0,          // the program ended; its exit code is delivered
    lrNotStarted = -10,   // the program could not be started
    lrStillRunning = -11, // time-out or Pause: the program was left running
    lrInterrupted = -12,  // the run was interrupted (session.bInterrupted): the program was stopped
};

// Milliseconds of a monotonic clock; the session's lTotalTimeStart is read on the same clock.
// An empty clock means the real one (Tick::count).
using LaunchClock = std::function<std::int64_t()>;

// Launches the record's program (sOriginalFile) with its argument text (sTargetFile), window
// state, priority class and wait time; the record's paths stay as written. Stores the exit
// code (0 when none was delivered) in lCommandLineExitCode and returns ExecCmdAndWait's result.
int RunCommandLineSpecialProcess(clsConversionOptions &options, JobSession &session,
                                 const LaunchClock &clock = {});

// Expands the placeholders of sCmdLine and sArguments in place, starts the program and waits:
// for ever with lWaitSeconds -1, else until more than lWaitSeconds have passed; a Pause
// (session.bRunning cleared) also ends the wait. While waiting the session's events are
// pumped and status panel 11 shows the seconds since session.lTotalTimeStart. Returns 0 with
// lExitCode set, -10 when the program could not be started (lExitCode untouched), -11 when
// it had not ended (it runs on; lExitCode untouched), or -12 when the run was interrupted
// (session.bInterrupted) before it ended: its process group is then stopped.
int ExecCmdAndWait(QString &sCmdLine, QString &sArguments, int lWindowState, int lCreationFlags,
                   int lWaitSeconds, int &lExitCode, JobSession &session,
                   const LaunchClock &clock = {});
