#include "ConversionControl.h"

#include "converter/TypeCatalogue.h"
#include "platform/EventPump.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

namespace {
// Starting LibreOffice takes a second or two; a cold machine may need far more.
constexpr int kStartLimitMs = 120000;
// How long one wait for the worker's output blocks before events are pumped again.
constexpr int kPollMs = 20;

qint64 defaultMemoryLimitKb()
{
    bool ok = false;
    const qint64 mb = qEnvironmentVariable("QV_WORKER_MEMORY_LIMIT_MB").toLongLong(&ok);
    return ok && mb > 0 ? mb * 1024 : 1024 * 1024;
}

// False once the process has ended, even while it waits to be reaped (a zombie).
bool processAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    const char state = close > 0 && close + 2 < text.size() ? text.at(close + 2) : 'X';
    return state != 'Z' && state != 'X';
}

int defaultTimeLimitMs()
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("QV_CONVERSION_TIMEOUT").toDouble(&ok);
    if (ok && seconds > 0)
        return qMax(1, static_cast<int>(qMin(seconds * 1000.0, 2.0e9)));
    return 300000;
}
} // namespace

ConversionControl::ConversionControl(QObject *parent)
    : QObject(parent), m_timeLimitMs(defaultTimeLimitMs()), m_memoryLimitKb(defaultMemoryLimitKb())
{
}

ConversionControl::~ConversionControl() { shutDown(); }

QString ConversionControl::workerProgram() const
{
    if (!m_workerProgram.isEmpty())
        return m_workerProgram;
    const QString env = qEnvironmentVariable("QV_OFFICE_WORKER");
    if (!env.isEmpty())
        return env;
    if (QCoreApplication::instance()) {
        const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvane-office");
        if (QFileInfo(beside).isExecutable())
            return beside;
    }
    return QStandardPaths::findExecutable(QStringLiteral("quorvane-office"));
}

qint64 ConversionControl::workerProcessId() const
{
    return m_proc && m_proc->state() != QProcess::NotRunning ? m_pid : 0;
}

void ConversionControl::pumpEvents()
{
    if (m_pump)
        m_pump->processEvents();
    else if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

int ConversionControl::startWorker()
{
    // A worker that died while idle is replaced silently. QProcess learns of the death only
    // when it processes the child's exit, so the kernel's view of the process decides.
    if (m_proc && m_proc->state() == QProcess::Running && processAlive(m_pid))
        return TypeCatalogue::Success;
    stopWorker(true);
    const QString program = workerProgram();
    if (program.isEmpty()) {
        m_lastDetail = QStringLiteral("quorvane-office not found");
        return TypeCatalogue::WorkerNotStarted;
    }
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
    m_proc->start(program, QStringList());
    QJsonObject ready;
    QElapsedTimer timer;
    timer.start();
    while (true) {
        if (m_proc->canReadLine()) {
            ready = QJsonDocument::fromJson(m_proc->readLine()).object();
            if (ready.contains(QStringLiteral("ready")))
                break;
            continue;
        }
        if (!m_proc->waitForReadyRead(kPollMs) && m_proc->state() == QProcess::NotRunning
            && !m_proc->canReadLine())
            break;
        if (timer.elapsed() > kStartLimitMs)
            break;
        pumpEvents();
    }
    if (!ready.value(QStringLiteral("ready")).toBool()) {
        m_lastDetail = ready.value(QStringLiteral("detail")).toString();
        if (m_lastDetail.isEmpty())
            m_lastDetail = QStringLiteral("the worker did not start: ") + m_proc->errorString();
        stopWorker(true);
        return TypeCatalogue::WorkerNotStarted;
    }
    m_pid = m_proc->processId();
    m_version = ready.value(QStringLiteral("version")).toString();
    return TypeCatalogue::Success;
}

void ConversionControl::stopWorker(bool kill)
{
    if (!m_proc)
        return;
    if (m_proc->state() != QProcess::NotRunning) {
        if (!kill) {
            m_proc->write("{\"op\":\"quit\"}\n");
            m_proc->closeWriteChannel();
            if (!m_proc->waitForFinished(5000))
                kill = true;
        }
        if (kill) {
            m_proc->kill();
            m_proc->waitForFinished(5000);
        }
    }
    m_proc.reset();
    m_pid = 0;
}

void ConversionControl::removeStagedFiles(const QString &folder, qint64 pid)
{
    // A killed worker cannot clean up after itself: its unfinished targets carry its pid.
    if (folder.isEmpty() || pid <= 0)
        return;
    QDir dir(folder);
    const QString pattern = QStringLiteral(".qvpart-%1-*").arg(pid);
    for (const QFileInfo &fi : dir.entryInfoList({pattern}, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (fi.isDir())
            QDir(fi.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(fi.absoluteFilePath());
    }
}

int ConversionControl::exchange(const QJsonObject &request, QJsonObject &answer, const QString &targetFolder)
{
    if (int rc = startWorker())
        return rc;
    const qint64 pid = m_pid;
    m_proc->write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    QElapsedTimer timer;
    timer.start();
    while (true) {
        // Events pumped below (or while the worker started) may have asked to stop.
        if (m_abortRequested) {
            m_lastDetail = QStringLiteral("interrupted");
            stopWorker(true);
            removeStagedFiles(targetFolder, pid);
            return TypeCatalogue::Interrupted;
        }
        while (m_proc->canReadLine()) {
            const QJsonObject line = QJsonDocument::fromJson(m_proc->readLine()).object();
            if (line.contains(QStringLiteral("progress"))) {
                m_progress = qBound(0, line.value(QStringLiteral("progress")).toInt(), 100);
                emit Progress();
                continue;
            }
            if (line.contains(QStringLiteral("result"))) {
                answer = line;
                return TypeCatalogue::Success;
            }
        }
        // The Progress handlers above may have stopped the worker.
        if (!m_proc || m_proc->state() == QProcess::NotRunning) {
            m_lastDetail = QStringLiteral("the worker stopped");
            stopWorker(true);
            removeStagedFiles(targetFolder, pid);
            return TypeCatalogue::WorkerStopped;
        }
        if (timer.elapsed() >= m_timeLimitMs) {
            m_lastDetail = QStringLiteral("time limit of %1 ms reached").arg(m_timeLimitMs);
            stopWorker(true);
            removeStagedFiles(targetFolder, pid);
            return TypeCatalogue::TimedOut;
        }
        const int left = static_cast<int>(qMax<qint64>(1, qMin<qint64>(kPollMs, m_timeLimitMs - timer.elapsed())));
        m_proc->waitForReadyRead(left);
        pumpEvents();
    }
}

int ConversionControl::finish(int code, const QJsonObject &answer)
{
    m_lastOutputs.clear();
    if (code == TypeCatalogue::Success) {
        code = answer.value(QStringLiteral("result")).toInt(TypeCatalogue::Failed);
        m_lastDetail = answer.value(QStringLiteral("detail")).toString();
        for (const QJsonValue &v : answer.value(QStringLiteral("files")).toArray())
            m_lastOutputs << v.toString();
    }
    // A message that is not in the catalogue would reach the log untranslated; unknown codes
    // fall back to the general failure.
    if (code != TypeCatalogue::Success && TypeCatalogue::resultMessage(code).isEmpty())
        code = TypeCatalogue::Failed;
    m_lastMessage = TypeCatalogue::resultMessage(code);
    // LibreOffice keeps a little memory with every document; a worker past its limit is
    // replaced between files so that a long run stays bounded.
    const qint64 rssKb = answer.value(QStringLiteral("rss")).toInteger();
    if (!m_optimizeForSpeed || (m_memoryLimitKb > 0 && rssKb > m_memoryLimitKb))
        stopWorker(false);
    m_busy = false;
    m_abortRequested = false;
    return code;
}

int ConversionControl::convert()
{
    m_progress = 0;
    m_lastDetail.clear();
    if (m_busy) {
        // A window event during a conversion asked for another one.
        m_lastOutputs.clear();
        m_lastMessage = TypeCatalogue::resultMessage(TypeCatalogue::Failed);
        return TypeCatalogue::Failed;
    }
    m_busy = true;
    QJsonObject answer;
    if (!TypeCatalogue::find(m_type))
        return finish(TypeCatalogue::UnknownTargetType, answer);
    const QJsonObject request{
        {QStringLiteral("op"), QStringLiteral("convert")},
        {QStringLiteral("original"), m_original},
        {QStringLiteral("target"), m_target},
        {QStringLiteral("type"), m_type},
        {QStringLiteral("from"), m_from},
        {QStringLiteral("to"), m_to},
        {QStringLiteral("filePerSlide"), m_filePerSlide},
        {QStringLiteral("notesPage"), m_notesPage},
        {QStringLiteral("notesOnly"), m_notesOnly},
        {QStringLiteral("showSlideAndShape"), m_showSlideAndShape},
    };
    const int rc = exchange(request, answer, QFileInfo(m_target).absolutePath());
    return finish(rc, answer);
}

int ConversionControl::convertDocument(const QString &src, const QString &dst, const QString &filterName, QString &message)
{
    return convertDocument(src, dst, filterName, QString(), message);
}

int ConversionControl::convertDocument(const QString &src, const QString &dst, const QString &filterName,
                                       const QString &filterOptions, QString &message)
{
    m_progress = 0;
    m_lastDetail.clear();
    if (m_busy) {
        message = TypeCatalogue::resultMessage(TypeCatalogue::Failed);
        return TypeCatalogue::Failed;
    }
    m_busy = true;
    const QJsonObject request{
        {QStringLiteral("op"), QStringLiteral("document")},
        {QStringLiteral("source"), src},
        {QStringLiteral("target"), dst},
        {QStringLiteral("filter"), filterName},
        {QStringLiteral("options"), filterOptions},
    };
    QJsonObject answer;
    const int rc = finish(exchange(request, answer, QFileInfo(dst).absolutePath()), answer);
    message = m_lastMessage;
    return rc;
}

void ConversionControl::getPowerPointVersion(QString &sVersion)
{
    // The version never changes; in memory mode the worker started here serves the next
    // conversion and is ended after it.
    if (m_version.isEmpty() && !m_busy)
        startWorker();
    sVersion = m_version;
}

void ConversionControl::setOptimizeForSpeed(bool v)
{
    m_optimizeForSpeed = v;
    if (!v && !m_busy)
        stopWorker(false);
}

void ConversionControl::shutDown()
{
    if (!m_busy)
        stopWorker(false);
}

void ConversionControl::abort()
{
    // The waiting loop owns the worker while a conversion runs: it stops it at its next turn.
    if (m_busy)
        m_abortRequested = true;
    else
        stopWorker(true);
}

int ConversionControl::saveAsTypeCount() const { return TypeCatalogue::count(); }

bool ConversionControl::saveAsType(int &index, QString &name, int &code) const
{
    return TypeCatalogue::saveAsType(index, name, code);
}

QString ConversionControl::typeExtension(bool &bWildcard, int &code) const
{
    return TypeCatalogue::typeExtension(code, bWildcard);
}

bool ConversionControl::supportsSingleFileOutput(int code) const { return TypeCatalogue::supportsSingleFileOutput(code); }

int ConversionControl::resultMessageCount() const { return TypeCatalogue::resultMessageCount(); }

QString ConversionControl::resultMessage(int code) const { return TypeCatalogue::resultMessage(code); }
