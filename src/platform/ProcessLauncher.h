#pragma once
// Starting another program and watching for its end. A program is started from its path and
// an argument text split into arguments at blanks, with double quotes grouping words (a tripled
// quote stands for a literal one: QProcess::splitCommand), at a priority class of its own, with
// standard output and error inherited, standard input empty and no other descriptor of ours,
// leading a process group of its own.
// A program that is still running when its launcher goes away is left running: it is never
// killed, and it is reaped once it ends so that no zombie stays behind.
#include <QString>

#include <cstdint>
#include <memory>

class QProcess;

class ProcessLauncher
{
public:
    // Priority classes as the launch task stores them.
    enum PriorityClass { Normal = 32, Idle = 64, High = 128, RealTime = 256 };

    ProcessLauncher();
    ~ProcessLauncher();
    ProcessLauncher(const ProcessLauncher &) = delete;
    ProcessLauncher &operator=(const ProcessLauncher &) = delete;

    // Nice value of a priority class: 64 -> 19, 32 -> 0, 128 -> -10, 256 -> -20; any other
    // value keeps the inherited priority (returns false).
    static bool niceForPriorityClass(int priorityClass, int &nice);

    // Starts the program (a name without "/" is looked up in PATH). windowState is kept for
    // the caller (a Linux process has no window state to start with). Returns false when the program could not be started. A refused
    // priority change (raising it without the right to) is ignored.
    bool start(const QString &program, const QString &argumentText, int priorityClass,
               int windowState);

    // Waits at most ms milliseconds (0 = only look) and tells whether the program has ended.
    bool waitForEnd(int ms);
    bool hasEnded() { return waitForEnd(0); }
    // Exit code of an ended program; a program ended by a signal gives 128 + the signal.
    int exitCode() const;
    // Process id of the started program (0 before a start).
    qint64 processId() const { return m_pid; }
    int windowState() const { return m_windowState; }

    // Lets a running program go: it runs on, is never killed, and is reaped when it ends.
    void detach();
    // Asks the program and its group to end (SIGTERM) and returns at once; a stopGroup that
    // follows counts its grace from here.
    void requestStop();
    // Stops the program and every process of its group (the program leads a group of its own):
    // SIGTERM; once the program has ended or graceMs have passed, SIGKILL for whatever of the
    // group is left. Waits for the program's end.
    void stopGroup(int graceMs = 2000);

    // How many detached programs are still being watched (for tests and diagnostics).
    static int detachedCount();

private:
    std::unique_ptr<QProcess> m_process;
    qint64 m_pid = 0;
    int m_windowState = 1;
    std::int64_t m_stopRequestedMs = -1; // Tick::count of requestStop, -1 when none
};
