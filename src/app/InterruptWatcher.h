#pragma once
// SIGINT, SIGTERM and SIGHUP while the program runs. The handler only records the signal and
// writes a byte to a pipe; a socket notifier turns that byte into interrupted() on the event
// pump that the engine runs between its steps, where stopping the run is safe.
// The handlers are installed first thing in main(), for the whole life of the process: a signal
// that comes while the program starts is recorded, the run that follows runs nothing, and the
// first turn of the pump after a watcher is made delivers it.
// Signals that come within a second of the last request counted are that same request: a
// supervisor such as `timeout` signals the program and then its whole process group, so one
// request arrives twice at once. A later signal is the user asking again; it is passed on as
// well, but never ends the program by itself: the wind-down that follows a request is bounded,
// and the log and results file it writes are what the user needs to know what was done.
// A signal that the starter set to be ignored (nohup, a script's background job) stays ignored.
#include <QObject>

#include <memory>

class QSocketNotifier;

class InterruptWatcher : public QObject
{
    Q_OBJECT
public:
    // Installs the handlers once; needs no Qt object, so that main() can call it before any.
    static void install();

    // Delivers the signals caught since install() (which it calls when nobody has).
    InterruptWatcher();
    ~InterruptWatcher() override;

    // The first signal caught since install(), 0 when none.
    static int caughtSignal();

signals:
    // Once for each request (several requests seen at one turn of the pump may give one call).
    void interrupted(int signalNumber);

private:
    void onReadable();
    std::unique_ptr<QSocketNotifier> m_notifier;
};
