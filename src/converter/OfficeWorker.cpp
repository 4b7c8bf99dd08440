#include "OfficeWorker.h"

#include "platform/ProcessState.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>

#include <unistd.h>

namespace {
// How long a worker asked to stop may take to finish renaming its outputs.
constexpr int kCommitGraceMs = 3000;
} // namespace

OfficeWorker::OfficeWorker() = default;

OfficeWorker::~OfficeWorker() { kill(); }

bool OfficeWorker::launch(const QString &program)
{
    kill();
    m_detail.clear();
    m_hasAnswer = false;
    m_rssKb = 0;
    m_restingRssKb = 0;
    m_proc = std::make_unique<QProcess>();
    // LibreOffice writes warnings to standard error; nobody reads them unless asked to, and
    // an unread pipe would fill up and stall the worker.
    const QString log = qEnvironmentVariable("QV_OFFICE_LOG");
    if (log.isEmpty())
        m_proc->setStandardErrorFile(QProcess::nullDevice());
    else
        m_proc->setStandardErrorFile(log, QIODevice::Append);
    // The worker ends with this process; the pid lets it see that it lost its parent early.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QV_PARENT_PID"), QString::number(QCoreApplication::applicationPid()));
    m_proc->setProcessEnvironment(env);
    // In a process group of its own: a hang-up or a Ctrl+C sent to the program's group (which
    // the program may ignore, under nohup or as a script's background job) never reaches the
    // worker. Stopping it is the client's job; it dies with the program all the same.
    m_proc->setChildProcessModifier([] { ::setpgid(0, 0); });
    m_proc->start(program, QStringList());
    m_timer.start();
    if (!m_proc->waitForStarted(10000)) {
        m_detail = QStringLiteral("the worker did not start: ") + m_proc->errorString();
        m_proc.reset();
        m_state = Stopped;
        return false;
    }
    m_pid = m_proc->processId();
    m_state = Starting;
    return true;
}

bool OfficeWorker::aliveAndIdle() const
{
    return m_state == Idle && m_proc && m_proc->state() == QProcess::Running && bProcessAlive(m_pid);
}

void OfficeWorker::readLines()
{
    while (m_proc && m_proc->canReadLine()) {
        const QJsonObject line = QJsonDocument::fromJson(m_proc->readLine()).object();
        if (m_state == Starting && line.contains(QStringLiteral("ready"))) {
            if (line.value(QStringLiteral("ready")).toBool()) {
                m_version = line.value(QStringLiteral("version")).toString();
                m_state = Idle;
            } else {
                m_detail = line.value(QStringLiteral("detail")).toString();
                ended(m_detail);
                return;
            }
        } else if (m_state == Busy && line.contains(QStringLiteral("progress"))) {
            m_progress = qBound(0, line.value(QStringLiteral("progress")).toInt(), 100);
            m_progressNew = true;
        } else if (m_state == Busy && line.contains(QStringLiteral("result"))) {
            m_answer = line;
            m_hasAnswer = true;
            m_rssKb = line.value(QStringLiteral("rss")).toInteger();
            if (m_rssKb > 0 && (m_restingRssKb == 0 || m_rssKb < m_restingRssKb))
                m_restingRssKb = m_rssKb;
            m_state = Idle;
        }
    }
}

void OfficeWorker::poll(int waitMs)
{
    if (!m_proc || m_state == Stopped)
        return;
    readLines();
    if (m_state == Idle || m_state == Stopped)
        return;
    if (!m_proc->canReadLine())
        m_proc->waitForReadyRead(qMax(0, waitMs));
    readLines();
    if (m_proc && (m_state == Starting || m_state == Busy) && m_proc->state() == QProcess::NotRunning
        && !m_proc->canReadLine())
        ended(m_state == Starting ? QStringLiteral("the worker did not start: ") + m_proc->errorString()
                                  : QStringLiteral("the worker stopped"));
}

void OfficeWorker::ended(const QString &why)
{
    if (m_detail.isEmpty())
        m_detail = why;
    if (m_proc) {
        m_proc->kill();
        m_proc->waitForFinished(5000);
        m_proc.reset();
    }
    m_state = Stopped;
}

void OfficeWorker::send(const QJsonObject &request)
{
    m_hasAnswer = false;
    m_progress = -1;
    m_progressNew = false;
    m_state = Busy;
    m_timer.start();
    m_proc->write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
}

QJsonObject OfficeWorker::takeAnswer()
{
    m_hasAnswer = false;
    return m_answer;
}

bool OfficeWorker::takeProgress(int &percent)
{
    if (!m_progressNew)
        return false;
    m_progressNew = false;
    percent = m_progress;
    return true;
}

void OfficeWorker::quit()
{
    if (m_proc && m_proc->state() != QProcess::NotRunning) {
        m_proc->write("{\"op\":\"quit\"}\n");
        m_proc->closeWriteChannel();
        if (!m_proc->waitForFinished(5000)) {
            m_proc->kill();
            m_proc->waitForFinished(5000);
        }
    }
    m_proc.reset();
    m_state = Stopped;
}

void OfficeWorker::requestStop()
{
    if (m_proc && m_proc->state() != QProcess::NotRunning)
        m_proc->terminate();
}

void OfficeWorker::kill()
{
    if (m_proc && m_proc->state() != QProcess::NotRunning) {
        // Asked first: a worker ends at once, unless it is renaming its outputs into place,
        // which then finishes (it takes milliseconds) and is answered. One that does not end is
        // killed.
        m_proc->terminate();
        if (!m_proc->waitForFinished(kCommitGraceMs)) {
            m_proc->kill();
            m_proc->waitForFinished(5000);
        }
    }
    // The answer of a conversion that it finished before it ended is kept: its files are there.
    if (m_state == Busy)
        readLines();
    m_proc.reset();
    m_state = Stopped;
}
