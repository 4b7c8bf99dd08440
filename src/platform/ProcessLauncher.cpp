#include "ProcessLauncher.h"

#include "Tick.h"

#include <QProcess>

#include <algorithm>
#include <vector>

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Programs let go while still running. A QProcess kills its program when it is destroyed, so
// these objects are kept until their program has ended and been reaped; the finished signal
// (seen by the event loop, or by a sweep) removes and deletes them. Whatever still runs when
// the process exits is simply left alone: the objects are never destroyed, so nothing is
// killed, and the orphaned programs are reaped by the system.
std::vector<QProcess *> &detachedProcesses()
{
    static auto *list = new std::vector<QProcess *>;
    return *list;
}

void sweepDetached()
{
    // A copy: a finished signal removes its process from the list.
    const std::vector<QProcess *> copy = detachedProcesses();
    for (QProcess *p : copy) {
        if (p->state() != QProcess::NotRunning)
            p->waitForFinished(0);
    }
}

void keepUntilEnded(std::unique_ptr<QProcess> process)
{
    QProcess *p = process.release();
    auto &list = detachedProcesses();
    list.push_back(p);
    QObject::connect(p, &QProcess::finished, p, [p] {
        auto &l = detachedProcesses();
        l.erase(std::remove(l.begin(), l.end(), p), l.end());
        p->deleteLater();
    });
}

} // namespace

ProcessLauncher::ProcessLauncher() = default;

ProcessLauncher::~ProcessLauncher()
{
    if (m_process && !waitForEnd(0))
        detach();
}

bool ProcessLauncher::niceForPriorityClass(int priorityClass, int &nice)
{
    switch (priorityClass) {
    case Idle:
        nice = 19;
        return true;
    case Normal:
        nice = 0;
        return true;
    case High:
        nice = -10;
        return true;
    case RealTime:
        nice = -20;
        return true;
    default:
        return false;
    }
}

bool ProcessLauncher::start(const QString &program, const QString &argumentText,
                            int priorityClass, int windowState)
{
    sweepDetached();
    if (m_process && !waitForEnd(0))
        detach();
    m_process.reset();
    m_pid = 0;
    m_stopRequestedMs = -1;
    m_windowState = windowState;
    if (program.trimmed().isEmpty())
        return false;

    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setArguments(QProcess::splitCommand(argumentText));
    // Output goes where ours goes, as inherited handles would; input is empty so that a
    // program asking for input does not wait for ever on ours.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    int nice = 0;
    const bool setNice = niceForPriorityClass(priorityClass, nice);
    // Runs in the child between fork and exec, async-signal-safe calls only. A refused
    // priority change (raising it without the right to) leaves the inherited value. Our
    // other descriptors (log lock, pipes of the office worker) must not live on in a program
    // that may outlast us; they are marked close-on-exec rather than closed, so that Qt can
    // still report a failed exec through its own pipe.
    process->setChildProcessModifier([setNice, nice] {
        // A group of its own, so that stopping it reaches the programs it started in turn.
        (void)setpgid(0, 0);
        if (setNice)
            (void)setpriority(PRIO_PROCESS, 0, nice);
        (void)close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    });
    process->start(QIODevice::ReadOnly);
    if (!process->waitForStarted(-1) || process->state() == QProcess::NotRunning) {
        // A program that started and ended at once still counts as started.
        if (process->error() == QProcess::FailedToStart)
            return false;
    }
    m_pid = process->processId();
    m_process = std::move(process);
    return true;
}

bool ProcessLauncher::waitForEnd(int ms)
{
    if (!m_process)
        return true;
    if (m_process->state() == QProcess::NotRunning)
        return true;
    m_process->waitForFinished(ms);
    return m_process->state() == QProcess::NotRunning;
}

int ProcessLauncher::exitCode() const
{
    if (!m_process || m_process->state() != QProcess::NotRunning)
        return 0;
    if (m_process->exitStatus() == QProcess::CrashExit)
        return 128 + m_process->exitCode();
    return m_process->exitCode();
}

void ProcessLauncher::detach()
{
    if (!m_process)
        return;
    if (m_process->state() == QProcess::NotRunning) {
        m_process.reset();
        return;
    }
    keepUntilEnded(std::move(m_process));
}

void ProcessLauncher::requestStop()
{
    if (!m_process || m_pid <= 0 || m_stopRequestedMs >= 0)
        return;
    ::kill(-static_cast<pid_t>(m_pid), SIGTERM);
    m_stopRequestedMs = Tick::count();
}

void ProcessLauncher::stopGroup(int graceMs)
{
    if (!m_process || m_pid <= 0)
        return;
    const pid_t group = static_cast<pid_t>(m_pid);
    requestStop();
    waitForEnd(static_cast<int>(std::max<std::int64_t>(0, graceMs - (Tick::count() - m_stopRequestedMs))));
    // Whatever of the group ignored the request, the leader or a program it started.
    ::kill(-group, SIGKILL);
    waitForEnd(-1);
}

int ProcessLauncher::detachedCount()
{
    sweepDetached();
    return static_cast<int>(detachedProcesses().size());
}
