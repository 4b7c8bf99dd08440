#include "InterruptWatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_caught = 0;
struct sigaction g_previous[2];
constexpr int kSignals[2] = {SIGINT, SIGTERM};

// Only async-signal-safe calls here.
void onSignal(int sig)
{
    if (g_caught != 0) {
        // Asked twice: stop waiting for the run to wind down.
        ::signal(sig, SIG_DFL);
        ::raise(sig);
        return;
    }
    g_caught = sig;
    const int saved = errno;
    const char byte = static_cast<char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

InterruptWatcher::InterruptWatcher()
{
    g_caught = 0;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &InterruptWatcher::onReadable);
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i)
        ::sigaction(kSignals[i], &sa, &g_previous[i]);
}

InterruptWatcher::~InterruptWatcher()
{
    if (g_pipe[0] < 0)
        return;
    for (int i = 0; i < 2; ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

int InterruptWatcher::caughtSignal() { return g_caught; }

void InterruptWatcher::onReadable()
{
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1) {
    }
    if (g_caught != 0)
        emit interrupted(g_caught);
}
