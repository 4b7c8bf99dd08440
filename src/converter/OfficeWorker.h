#pragma once
// One quorvane-office process as the client sees it: started without waiting for it to be ready,
// one request at a time, the progress lines and the answer of that request, and its end. Nothing
// here blocks for long; the conversion control decides how long to wait and what a silence means.
#include <QElapsedTimer>
#include <QJsonObject>
#include <QString>

#include <memory>

class QProcess;

class OfficeWorker
{
public:
    enum State { Stopped, Starting, Idle, Busy };

    OfficeWorker();
    ~OfficeWorker();
    OfficeWorker(const OfficeWorker &) = delete;
    OfficeWorker &operator=(const OfficeWorker &) = delete;

    // Starts the process; it becomes Idle once it reports ready (see poll()). False when the
    // program cannot be run at all (detail() says why).
    bool launch(const QString &program);
    // Reads what the process wrote, waiting up to waitMs when nothing is there yet. A ready line
    // makes a starting worker Idle; an answer makes a busy one Idle (takeAnswer()); a process
    // that ended makes it Stopped.
    void poll(int waitMs);
    State state() const { return m_state; }
    // A worker that ended while idle is only noticed by asking the kernel.
    bool aliveAndIdle() const;

    // Sends one request (the worker must be Idle).
    void send(const QJsonObject &request);
    bool hasAnswer() const { return m_hasAnswer; }
    QJsonObject takeAnswer();
    // True once per new progress value of the running request.
    bool takeProgress(int &percent);
    // Milliseconds since launch() (Starting) or send() (Busy).
    qint64 elapsedMs() const { return m_timer.isValid() ? m_timer.elapsed() : 0; }

    QString detail() const { return m_detail; }
    QString version() const { return m_version; }
    // Process id while it runs (also while starting); the last one after it ended.
    qint64 pid() const { return m_pid; }
    qint64 lastRssKb() const { return m_rssKb; }
    // The smallest resident memory it reported after a conversion (0 before the first): what
    // the office needs at rest once it has converted a file.
    qint64 restingRssKb() const { return m_restingRssKb; }

    // Asks the process to end and waits a little for it; kills it when it does not.
    void quit();
    // Stops the process, giving a commit under way the time to finish; an answer it gave before
    // it ended stays (hasAnswer()).
    void kill();
    // Sends the stop signal without waiting; kill() or quit() reaps the process later.
    void requestStop();

private:
    void readLines();
    void ended(const QString &why);

    std::unique_ptr<QProcess> m_proc;
    State m_state = Stopped;
    QElapsedTimer m_timer;
    QJsonObject m_answer;
    bool m_hasAnswer = false;
    int m_progress = -1;
    bool m_progressNew = false;
    QString m_detail;
    QString m_version;
    qint64 m_pid = 0;
    qint64 m_rssKb = 0;
    qint64 m_restingRssKb = 0;
};
