#include "ConversionControl.h"

#include "common/FileUtils.h"
#include "platform/LeftoverRemoval.h"
#include "converter/OfficeWorker.h"
#include "converter/StagedOutput.h"
#include "converter/TypeCatalogue.h"
#include "platform/EventPump.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSet>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <unistd.h>

namespace {
// Starting LibreOffice takes a second or two; a cold machine may need far more.
constexpr int kStartLimitMs = 120000;
// How long one wait for the worker's output blocks before events are pumped again.
constexpr int kPollMs = 20;
// While the pool works without an event loop, how long one wait on the awaited worker lasts
// before the others are looked at: a worker that finished waits at most this long for its next file.
constexpr int kSliceMs = 3;
// Conversions named ahead per worker of the pool: enough that a worker never waits for the
// engine, few enough that a pause throws little work away.
constexpr int kAheadPerWorker = 2;

qint64 defaultMemoryLimitKb()
{
    bool ok = false;
    const qint64 mb = qEnvironmentVariable("QV_WORKER_MEMORY_LIMIT_MB").toLongLong(&ok);
    return ok && mb > 0 ? mb * 1024 : 1024 * 1024;
}

int defaultTimeLimitMs()
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("QV_CONVERSION_TIMEOUT").toDouble(&ok);
    if (ok && seconds > 0)
        return qMax(1, static_cast<int>(qMin(seconds * 1000.0, 2.0e9)));
    return 300000;
}

// Each worker holds a whole LibreOffice; beyond four the disk and the memory bus gain little.
int defaultPoolSize()
{
    bool ok = false;
    const int n = qEnvironmentVariable("QV_OFFICE_WORKERS").toInt(&ok);
    if (ok && n > 0)
        return qMin(n, 16);
    return qBound(1, QThread::idealThreadCount() / 2, 4);
}

} // namespace

ConversionControl::ConversionControl(QObject *parent)
    : QObject(parent), m_timeLimitMs(defaultTimeLimitMs()), m_memoryLimitKb(defaultMemoryLimitKb()),
      m_poolSize(defaultPoolSize())
{
}

ConversionControl::~ConversionControl()
{
    cancelAll();
    stopWorkers(false);
}

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

OfficeWorker &ConversionControl::worker(int slot)
{
    while (static_cast<int>(m_workers.size()) <= slot) {
        m_workers.push_back(std::make_unique<OfficeWorker>());
        m_slotFailed.push_back(false);
    }
    return *m_workers[static_cast<size_t>(slot)];
}

qint64 ConversionControl::workerProcessId() const
{
    return !m_workers.empty() && m_workers.front()->state() != OfficeWorker::Stopped ? m_workers.front()->pid() : 0;
}

int ConversionControl::readyWorkers()
{
    int ready = 0;
    for (auto &w : m_workers) {
        if (w->state() == OfficeWorker::Starting)
            w->poll(0);
        ready += w->state() == OfficeWorker::Idle || w->state() == OfficeWorker::Busy;
    }
    return ready;
}

qint64 ConversionControl::aheadWorkerOf(const QString &original) const
{
    for (const Ahead &a : m_ahead)
        if (a.state == Ahead::Running && a.request.originalFile == original)
            return m_workers[static_cast<size_t>(a.slot)]->pid();
    return 0;
}

void ConversionControl::pumpEvents()
{
    if (m_pump)
        m_pump->processEvents();
    else if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void ConversionControl::waitForWorkers(OfficeWorker *w, int ms)
{
    // The workers' pipes are read through notifiers of this thread's event loop, so one wait on
    // that loop wakes for a worker's line and for a window or accessibility request alike;
    // sleeping on one pipe would leave those requests lying until the slice ends.
    if (EventPump::eventsWakeWaits()) {
        static EventPump qtPump;
        (m_pump ? m_pump : &qtPump)->waitForEvents(ms);
        if (w)
            w->poll(0);
        return;
    }
    if (w)
        w->poll(ms);
    else
        QThread::msleep(static_cast<unsigned long>(ms));
    pumpEvents();
}

void ConversionControl::setPoolSize(int n)
{
    m_poolSize = qBound(1, n, 16);
}

void ConversionControl::startInBackground()
{
    OfficeWorker &w = worker(0);
    if (!m_aborted && m_optimizeForSpeed && w.state() == OfficeWorker::Stopped && !workerProgram().isEmpty())
        w.launch(workerProgram());
}

int ConversionControl::startWorker()
{
    OfficeWorker &w = worker(0);
    // A worker that died while idle is replaced silently. QProcess learns of the death only
    // when it processes the child's exit, so the kernel's view of the process decides.
    if (w.aliveAndIdle())
        return TypeCatalogue::Success;
    // A worker started in the background is awaited; when that start failed, this one is the
    // real first try.
    bool background = w.state() == OfficeWorker::Starting;
    while (true) {
        if (m_aborted)
            return interrupted();
        if (w.state() != OfficeWorker::Starting) {
            const QString program = workerProgram();
            if (program.isEmpty()) {
                w.kill();
                m_lastDetail = QStringLiteral("quorvane-office not found");
                return TypeCatalogue::WorkerNotStarted;
            }
            if (!w.launch(program)) {
                m_lastDetail = w.detail();
                return TypeCatalogue::WorkerNotStarted;
            }
        }
        while (w.state() == OfficeWorker::Starting && w.elapsedMs() <= kStartLimitMs && !m_aborted)
            waitForWorkers(&w, kPollMs);
        // Asked to stop while the office started: abort() has signalled it, the end reaps it.
        if (m_aborted)
            return interrupted();
        if (w.state() == OfficeWorker::Idle)
            break;
        m_lastDetail = w.detail();
        if (m_lastDetail.isEmpty())
            m_lastDetail = QStringLiteral("the worker did not start");
        w.kill();
        if (!background)
            return TypeCatalogue::WorkerNotStarted;
        background = false;
    }
    m_version = w.version();
    return TypeCatalogue::Success;
}

void ConversionControl::stopWorkers(bool kill)
{
    for (auto &w : m_workers) {
        if (kill)
            w->kill();
        else
            w->quit();
    }
}

void ConversionControl::removeLeftovers(const QString &target, const OfficeWorker &w)
{
    // A killed worker cannot clean up after itself: its unfinished targets carry its pid. What
    // it finished earlier for a file still to come is kept (and listed in that file's plan).
    const qint64 pid = w.pid();
    const QString targetFolder = QFileInfo(target).absolutePath();
    if (!targetFolder.isEmpty() && pid > 0) {
        QSet<QString> keep;
        for (const Ahead &a : std::as_const(m_ahead)) {
            if (a.state != Ahead::Done)
                continue;
            const QJsonObject plan = a.answer.value(QStringLiteral("staged")).toObject();
            for (const QString &key : {QStringLiteral("files"), QStringLiteral("folders")})
                for (const QJsonValue &pair : plan.value(key).toArray())
                    keep.insert(QFileInfo(pair.toArray().at(0).toString()).absoluteFilePath());
        }
        // LibreOffice's lock file of a staged target being written goes with it, so does the
        // temporary file a save in progress writes beside its target, and a commit it had begun
        // is undone.
        LeftoverRemoval::cleanUpAfter(targetFolder, pid, keep);
    }
}

void ConversionControl::sweepStaleStaging(const QString &target)
{
    // Staged files whose worker is gone were left by a program that was killed; its run can
    // never commit them. A live worker's are another run's, converting at this moment.
    const QString folder = QFileInfo(target).absolutePath();
    if (folder.isEmpty() || m_sweptFolders.contains(folder))
        return;
    m_sweptFolders.insert(folder);
    LeftoverRemoval::sweep(folder);
}

qint64 ConversionControl::memoryShareKb() const
{
    // The limit holds for all workers together: each kept worker gets its share.
    int live = 0;
    for (const auto &w : m_workers)
        if (w->state() != OfficeWorker::Stopped)
            ++live;
    return m_memoryLimitKb / qMax(1, live);
}

int ConversionControl::exchange(const QJsonObject &request, QJsonObject &answer, const QString &target)
{
    if (int rc = startWorker())
        return rc;
    OfficeWorker &w = worker(0);
    w.send(request);
    while (true) {
        // Events pumped below (or while the worker started) may have asked to stop.
        if (m_aborted) {
            w.kill();
            removeLeftovers(target, w);
            stopWorkers(true);
            // A commit it was making when asked has finished, and was answered: the file is done.
            if (w.hasAnswer()) {
                answer = w.takeAnswer();
                return TypeCatalogue::Success;
            }
            return interrupted();
        }
        waitForWorkers(&w, static_cast<int>(qMax<qint64>(1, qMin<qint64>(kPollMs, m_timeLimitMs - w.elapsedMs()))));
        forwardProgress(w);
        // The Progress handlers may have stopped the worker: watch() sees that.
        if (const std::optional<int> code = watch(w, target, answer, m_lastDetail))
            return *code;
    }
}

std::optional<int> ConversionControl::watch(OfficeWorker &w, const QString &target, QJsonObject &answer,
                                            QString &detail)
{
    if (w.hasAnswer()) {
        answer = w.takeAnswer();
        return TypeCatalogue::Success;
    }
    int code;
    if (w.state() != OfficeWorker::Busy) {
        detail = QStringLiteral("the worker stopped");
        code = TypeCatalogue::WorkerStopped;
    } else if (w.elapsedMs() >= m_timeLimitMs) {
        // Measured from the file's own start: a slow file never shortens the next one's time.
        detail = QStringLiteral("time limit of %1 ms reached").arg(m_timeLimitMs);
        code = TypeCatalogue::TimedOut;
    } else {
        return std::nullopt;
    }
    w.kill();
    removeLeftovers(target, w);
    // It finished while it was being stopped: what it committed is there.
    if (w.hasAnswer()) {
        answer = w.takeAnswer();
        detail.clear();
        return TypeCatalogue::Success;
    }
    return code;
}

void ConversionControl::forwardProgress(OfficeWorker &w)
{
    int percent = 0;
    if (w.takeProgress(percent)) {
        m_progress = percent;
        emit Progress();
    }
}

void ConversionControl::retireIfLarge(OfficeWorker &w)
{
    // LibreOffice keeps a little memory with every document; a worker that has grown past its
    // share is replaced between files so that a long run stays bounded. What it needs at rest
    // does not count: a share smaller than that would replace every worker after every file.
    if (m_memoryLimitKb > 0 && w.lastRssKb() > w.restingRssKb() + memoryShareKb())
        w.quit();
}

int ConversionControl::finish(int code, const QJsonObject &answer, int slot)
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
    if (slot >= 0) {
        if (m_optimizeForSpeed)
            retireIfLarge(worker(slot));
        else
            worker(slot).quit();
    }
    m_busy = false;
    return code;
}

void ConversionControl::dispatch(Ahead &a, int slot)
{
    // The engine makes a file's target folder just before converting it; a conversion ahead
    // needs it now, and takes it away again if the run never gets there.
    const QString folder = QFileInfo(a.request.targetFile).absolutePath();
    QStringList missing;
    for (QString f = folder; !f.isEmpty() && !QFileInfo(f).exists(); f = QFileInfo(f).absolutePath()) {
        missing.prepend(f);
        if (f == QFileInfo(f).absolutePath())
            break;
    }
    if (!missing.isEmpty() && QDir().mkpath(folder))
        m_madeFolders += missing;
    sweepStaleStaging(a.request.targetFile);
    a.originalStamp = FileStamp(a.request.originalFile);
    worker(slot).send(a.request.toJson(true));
    a.slot = slot;
    a.state = Ahead::Running;
}

void ConversionControl::keepFoldersOf(const QString &target)
{
    const QString folder = QFileInfo(target).absolutePath();
    m_madeFolders.removeIf([&](const QString &f) { return folder == f || folder.startsWith(f + u'/'); });
}

void ConversionControl::removeUnusedFolders()
{
    // Deepest first, so that a folder made only to hold another one goes after it. A folder that
    // a conversion still named writes into stays; rmdir keeps one that holds anything.
    std::sort(m_madeFolders.begin(), m_madeFolders.end(),
              [](const QString &a, const QString &b) { return a.count(u'/') > b.count(u'/'); });
    m_madeFolders.removeIf([this](const QString &f) {
        for (const Ahead &a : std::as_const(m_ahead)) {
            const QString folder = QFileInfo(a.request.targetFile).absolutePath();
            if (folder == f || folder.startsWith(f + u'/'))
                return false;
        }
        QDir().rmdir(f);
        return true;
    });
}

void ConversionControl::servicePool()
{
    for (int i = 0; i < static_cast<int>(m_workers.size()); ++i) {
        OfficeWorker &w = *m_workers[static_cast<size_t>(i)];
        if (w.state() == OfficeWorker::Starting) {
            w.poll(0);
            if (w.state() == OfficeWorker::Starting && w.elapsedMs() > kStartLimitMs)
                w.kill();
            if (w.state() == OfficeWorker::Stopped)
                m_slotFailed[static_cast<size_t>(i)] = true;
            else if (w.state() == OfficeWorker::Idle && m_version.isEmpty())
                m_version = w.version();
        }
        Ahead *a = nullptr;
        for (Ahead &e : m_ahead)
            if (e.state == Ahead::Running && e.slot == i)
                a = &e;
        if (!a)
            continue;
        w.poll(0);
        if (const std::optional<int> code = watch(w, a->request.targetFile, a->answer, a->detail)) {
            a->code = *code;
            a->state = Ahead::Done;
            if (*code == TypeCatalogue::Success) {
                // Its outputs wait for the run under names of this process: the worker may end
                // before the run reaches the file, and another run's sweep would then take them.
                StagedOutput staged;
                staged.adopt(a->answer.value(QStringLiteral("staged")).toObject());
                staged.takeOver();
                a->answer[QStringLiteral("staged")] = staged.plan();
                retireIfLarge(w);
            }
        }
    }

    int queued = 0;
    for (const Ahead &a : m_ahead)
        queued += a.state == Ahead::Queued;
    // After an interrupt nothing more starts.
    if (queued == 0 || m_aborted)
        return;
    // Start workers for the conversions that wait (each in its own process and profile).
    int coming = 0;
    for (const auto &w : m_workers)
        coming += w->state() == OfficeWorker::Starting || w->aliveAndIdle();
    for (int i = 0; i < m_poolSize && coming < queued; ++i) {
        OfficeWorker &w = worker(i);
        if (w.state() == OfficeWorker::Stopped && !m_slotFailed[static_cast<size_t>(i)]) {
            // Looked up only here: most turns launch nothing.
            const QString program = workerProgram();
            // Without a worker program no slot can start: marking them failed lets convert()
            // give up the look-ahead and report the missing worker instead of waiting for ever.
            if (!program.isEmpty() && w.launch(program))
                ++coming;
            else
                m_slotFailed[static_cast<size_t>(i)] = true;
        }
    }
    for (Ahead &a : m_ahead) {
        if (a.state != Ahead::Queued)
            continue;
        int slot = -1;
        for (int i = 0; i < static_cast<int>(m_workers.size()) && slot < 0; ++i) {
            OfficeWorker &w = *m_workers[static_cast<size_t>(i)];
            if (w.state() == OfficeWorker::Idle && !w.aliveAndIdle())
                w.kill(); // died while idle; started again on the next turn
            else if (w.aliveAndIdle())
                slot = i;
        }
        if (slot < 0)
            break;
        dispatch(a, slot);
    }
}

void ConversionControl::cancel(Ahead &a)
{
    if (a.state == Ahead::Running) {
        OfficeWorker &w = worker(a.slot);
        w.kill();
        removeLeftovers(a.request.targetFile, w);
    } else if (a.state == Ahead::Done) {
        StagedOutput staged;
        staged.adopt(a.answer.value(QStringLiteral("staged")).toObject());
        staged.discard();
    }
    a.state = Ahead::Done;
}

void ConversionControl::cancelAll()
{
    for (Ahead &a : m_ahead)
        cancel(a);
    m_ahead.clear();
    removeUnusedFolders();
}

int ConversionControl::lookAheadLength() const
{
    return m_optimizeForSpeed && m_poolSize > 1 ? m_poolSize * kAheadPerWorker : 0;
}

void ConversionControl::setLookAhead(const QList<ConversionRequest> &next)
{
    if (m_busy)
        return;
    const int length = lookAheadLength();
    const QList<ConversionRequest> wanted = length > 0 ? next.mid(0, length) : QList<ConversionRequest>();
    QList<Ahead> kept;
    bool cancelled = false;
    for (Ahead &a : m_ahead) {
        if (wanted.contains(a.request)) {
            kept.append(a);
        } else {
            cancel(a);
            cancelled = true;
        }
    }
    m_ahead = kept;
    if (cancelled)
        removeUnusedFolders();
    m_ahead.clear();
    if (wanted.isEmpty()) {
        // A later task may try the workers that failed to start again.
        std::fill(m_slotFailed.begin(), m_slotFailed.end(), false);
        // Switched to memory mode during a run: the pool's workers go now.
        if (!m_optimizeForSpeed)
            stopWorkers(false);
        return;
    }
    // Workers start only for a task with more than one file left.
    if (wanted.size() < 2 && kept.isEmpty())
        return;
    for (const ConversionRequest &r : wanted) {
        auto it = std::find_if(kept.begin(), kept.end(), [&](const Ahead &a) { return a.request == r; });
        if (it != kept.end()) {
            m_ahead.append(*it);
        } else {
            Ahead a;
            a.request = r;
            m_ahead.append(a);
        }
    }
    servicePool();
}

bool ConversionControl::awaitAhead(int &code, QJsonObject &answer)
{
    auto find = [this]() {
        for (int i = 0; i < m_ahead.size(); ++i)
            if (m_ahead.at(i).request == m_req)
                return i;
        return -1;
    };
    if (find() < 0)
        return false;
    // Any worker's line wakes an event-loop wait; a blind one keeps short so that a worker that
    // finished waits little for its next file.
    const int waitSlice = EventPump::eventsWakeWaits() ? kPollMs : kSliceMs;
    while (true) {
        if (m_aborted) {
            cancelAll();
            stopWorkers(true);
            code = interrupted();
            return true;
        }
        servicePool();
        const int index = find();
        if (index < 0)
            return false;
        Ahead &a = m_ahead[index];
        if (a.state == Ahead::Done) {
            Ahead taken = m_ahead.takeAt(index);
            if (FileStamp(taken.request.originalFile) != taken.originalStamp) {
                cancel(taken);
                return false;
            }
            code = taken.code;
            answer = taken.answer;
            m_lastDetail = taken.detail;
            if (code == TypeCatalogue::Success && answer.value(QStringLiteral("result")).toInt(-1) == 0) {
                StagedOutput staged;
                staged.adopt(answer.value(QStringLiteral("staged")).toObject());
                if (!staged.commit()) {
                    answer[QStringLiteral("result")] = TypeCatalogue::TargetNotWritable;
                    answer[QStringLiteral("detail")] = QStringLiteral("renaming the finished target failed");
                } else {
                    answer[QStringLiteral("files")] = QJsonArray::fromStringList(staged.committedPaths());
                }
            }
            return true;
        }
        if (a.state == Ahead::Running) {
            OfficeWorker &w = worker(a.slot);
            waitForWorkers(&w, waitSlice);
            forwardProgress(w);
        } else {
            // Nobody can take it: every worker is busy or starting, or none can be started.
            bool hope = false;
            for (int i = 0; i < m_poolSize; ++i)
                hope = hope || worker(i).state() != OfficeWorker::Stopped || !m_slotFailed[static_cast<size_t>(i)];
            if (!hope) {
                m_ahead.removeAt(index);
                return false;
            }
            waitForWorkers(nullptr, waitSlice);
        }
    }
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
    // The run has reached this file: its target folder is the engine's now.
    keepFoldersOf(m_req.targetFile);
    QJsonObject answer;
    if (m_aborted)
        return finish(interrupted(), answer, -1);
    if (!TypeCatalogue::find(m_req.targetFileType))
        return finish(TypeCatalogue::UnknownTargetType, answer, -1);
    int code = 0;
    if (awaitAhead(code, answer))
        return finish(code, answer, -1);
    // A conversion outside the look-ahead: the run has left the order it announced.
    cancelAll();
    sweepStaleStaging(m_req.targetFile);
    const int rc = exchange(m_req.toJson(), answer, m_req.targetFile);
    return finish(rc, answer, 0);
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
    cancelAll();
    const QJsonObject request{
        {QStringLiteral("op"), QStringLiteral("document")},
        {QStringLiteral("source"), src},
        {QStringLiteral("target"), dst},
        {QStringLiteral("filter"), filterName},
        {QStringLiteral("options"), filterOptions},
    };
    QJsonObject answer;
    const int rc = finish(exchange(request, answer, dst), answer, 0);
    message = m_lastMessage;
    return rc;
}

void ConversionControl::getPowerPointVersion(QString &sVersion)
{
    // The version never changes; in memory mode the worker started here serves the next
    // conversion and is ended after it.
    for (const auto &w : m_workers)
        if (m_version.isEmpty())
            m_version = w->version();
    // An office that names no version: the first worker, when it converts ahead, has answered
    // already, and starting it again would kill that conversion.
    if (m_version.isEmpty() && !m_busy && worker(0).state() != OfficeWorker::Busy)
        startWorker();
    sVersion = m_version;
}

void ConversionControl::setOptimizeForSpeed(bool v)
{
    m_optimizeForSpeed = v;
    if (!v && !m_busy) {
        cancelAll();
        stopWorkers(false);
    }
}

void ConversionControl::shutDown()
{
    if (!m_busy) {
        cancelAll();
        stopWorkers(false);
    }
}

int ConversionControl::interrupted()
{
    m_lastDetail = QStringLiteral("interrupted");
    return TypeCatalogue::Interrupted;
}

void ConversionControl::abort()
{
    // For good: no conversion starts after it, and the one under way stops at the next turn of
    // its waiting loop, which owns the workers then. Nothing here waits, so that the run's
    // record comes first; the workers are reaped when the control is shut down.
    m_aborted = true;
    for (auto &w : m_workers)
        w->requestStop();
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
