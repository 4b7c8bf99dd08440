#pragma once
// SIGINT and SIGTERM during a command-line run. The handler only records the signal and writes
// a byte to a pipe; a socket notifier turns that byte into interrupted() on the event pump that
// the engine runs between its steps, where stopping the run is safe. A second signal while the
// first is being handled ends the program at once.
#include <QObject>

#include <memory>

class QSocketNotifier;

class InterruptWatcher : public QObject
{
    Q_OBJECT
public:
    InterruptWatcher();
    ~InterruptWatcher() override;

    // The signal caught since the watcher was installed, 0 when none.
    static int caughtSignal();

signals:
    void interrupted(int signalNumber);

private:
    void onReadable();
    std::unique_ptr<QSocketNotifier> m_notifier;
};
