#include "InterruptWatcher.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Signals closer than this to the last request counted belong to it.
constexpr long long kSameRequestMs = 1000;
constexpr long long kNoRequest = -1;

int g_pipe[2] = {-1, -1};
// The handler may run on any thread of the process, and on two at once (a signal to the process
// and one to its group): lock-free atomics only.
std::atomic<int> g_caught{0};
std::atomic<long long> g_lastRequestMs{kNoRequest};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<long long>::is_always_lock_free);

long long monotonicMs()
{
    timespec t {};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// Only async-signal-safe calls here.
void onSignal(int sig)
{
    const int saved = errno;
    const long long now = monotonicMs();
    long long last = g_lastRequestMs.load();
    do {
        if (last != kNoRequest && now - last < kSameRequestMs) {
            errno = saved;
            return;
        }
    } while (!g_lastRequestMs.compare_exchange_weak(last, now));
    int none = 0;
    g_caught.compare_exchange_strong(none, sig);
    const char byte = static_cast<char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

void InterruptWatcher::install()
{
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    for (const int sig : kSignals)
        sigaddset(&sa.sa_mask, sig);
    sa.sa_flags = SA_RESTART;
    // A signal the starter set to be ignored stays ignored: under nohup a closed terminal, or in
    // a script's background job a Ctrl+C meant for the script, is no request to stop this run.
    for (const int sig : kSignals) {
        struct sigaction previous {};
        if (::sigaction(sig, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            ::sigaction(sig, &sa, nullptr);
    }
}

InterruptWatcher::InterruptWatcher()
{
    install();
    if (g_pipe[0] < 0)
        return;
    // A byte written before the notifier existed wakes it at the first turn of the pump.
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &InterruptWatcher::onReadable);
}

// The handlers and the pipe stay: a signal after the last watcher is still recorded, never the
// end of the program in the middle of its own ending.
InterruptWatcher::~InterruptWatcher() = default;

int InterruptWatcher::caughtSignal() { return g_caught; }

void InterruptWatcher::onReadable()
{
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1) {
    }
    if (g_caught != 0)
        emit interrupted(g_caught);
}
