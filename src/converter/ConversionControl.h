#pragma once
// The conversion control as the engine sees it: the properties of one conversion, the convert
// call with its result code and message, progress, the type catalogue queries, and the office
// workers (quorvane-office) behind it. A worker is started at the first conversion and kept
// ("optimize for speed") or started afresh for every file ("optimize for memory"). While a
// conversion runs, the caller's event pump keeps running; a conversion that passes its time
// limit is killed, and a worker that stopped is started again for the next file.
//
// In speed mode a folder task may name the conversions it will ask for next (setLookAhead()):
// a small pool of workers converts them ahead into staged names, and convert() with the same
// properties takes the finished result over and only then renames it into place. What the run
// does not reach is cancelled and its staged files are removed, so the files still appear, fail
// and are logged one after the other in the order the engine asks for them.
#include "converter/ConversionRequest.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <QList>
#include <QSet>

#include <memory>
#include <optional>
#include <vector>

class EventPump;
class OfficeWorker;

class ConversionControl : public QObject
{
    Q_OBJECT
public:
    explicit ConversionControl(QObject *parent = nullptr);
    ~ConversionControl() override;

    // Version of the office behind the control ("7.4.7.2"); "" when it cannot be started.
    virtual void getPowerPointVersion(QString &sVersion);
    // The office handles every feature the option dialogs offer for 2010 and later.
    bool PowerPointVersionAtLeast2010() const { return true; }

    // Properties of the next conversion. Slides are 1-based; 0 and 0 mean all slides.
    int fromSlide() const { return m_req.fromSlide; }
    void setFromSlide(int v) { m_req.fromSlide = v; }
    int toSlide() const { return m_req.toSlide; }
    void setToSlide(int v) { m_req.toSlide = v; }
    bool createFileForEachSlide() const { return m_req.createFileForEachSlide; }
    void setCreateFileForEachSlide(bool v) { m_req.createFileForEachSlide = v; }
    QString originalFile() const { return m_req.originalFile; }
    void setOriginalFile(const QString &v) { m_req.originalFile = v; }
    QString targetFile() const { return m_req.targetFile; }
    void setTargetFile(const QString &v) { m_req.targetFile = v; }
    int targetFileType() const { return m_req.targetFileType; }
    void setTargetFileType(int v) { m_req.targetFileType = v; }
    bool includeNotesPage() const { return m_req.includeNotesPage; }
    void setIncludeNotesPage(bool v) { m_req.includeNotesPage = v; }
    bool includeNotesOnly() const { return m_req.includeNotesOnly; }
    void setIncludeNotesOnly(bool v) { m_req.includeNotesOnly = v; }
    bool showSlideAndShape() const { return m_req.showSlideAndShape; }
    void setShowSlideAndShape(bool v) { m_req.showSlideAndShape = v; }
    // All of them at once.
    ConversionRequest request() const { return m_req; }
    void setRequest(const ConversionRequest &r) { m_req = r; }

    // Converts with the properties above: 0 on success, else a negative result code of the
    // type catalogue. The message is in lastMessage().
    virtual int convert();
    QString lastMessage() const { return m_lastMessage; }
    // Files the last successful conversion wrote (one per slide for images).
    QStringList lastOutputs() const { return m_lastOutputs; }
    // A technical detail of the last failure for logs ("" when none).
    QString lastDetail() const { return m_lastDetail; }
    int progressPercent() const { return m_progress; }

    // Loads any document and saves it with a LibreOffice filter name ("MS Word 97", "Rich Text
    // Format", "MS Word 2007 XML", "writer8", "Text") or a short format ("doc", "rtf", "pdf");
    // options are the export filter's options. 0 or a negative result code; message is its text.
    int convertDocument(const QString &src, const QString &dst, const QString &filterName, QString &message);
    int convertDocument(const QString &src, const QString &dst, const QString &filterName,
                        const QString &filterOptions, QString &message);

    // The type catalogue.
    int saveAsTypeCount() const;
    bool saveAsType(int &index, QString &name, int &code) const;
    QString typeExtension(bool &bWildcard, int &code) const;
    bool supportsSingleFileOutput(int code) const;
    int resultMessageCount() const;
    QString resultMessage(int code) const;

    bool optimizeForSpeed() const { return m_optimizeForSpeed; }
    void setOptimizeForSpeed(bool v);

    // The conversions the run asks for next, in order, the next one first. In speed mode with a
    // pool of more than one worker they are converted ahead (workers start here, lazily, when
    // two or more are named); convert() with equal properties takes such a result over. Whatever
    // is no longer named is cancelled and what it staged is removed; an empty list ends the
    // look-ahead. Without a pool this only cancels.
    void setLookAhead(const QList<ConversionRequest> &next);
    // How many conversions setLookAhead() takes: twice the pool in speed mode with a pool of more
    // than one worker, else 0 (there is no look-ahead).
    int lookAheadLength() const;
    // Workers of the pool: by default half the processor count, between 1 and 4, or
    // $QV_OFFICE_WORKERS; 1 converts one file after the other.
    int poolSize() const { return m_poolSize; }
    void setPoolSize(int n);
    // Starts the first worker without waiting for it, so that the first conversion finds
    // LibreOffice started; a worker that cannot start is tried again at that conversion.
    void startInBackground();

    // Ends the workers (called when the main window unloads; the next conversion starts one).
    void shutDown();
    // Stops for good, from an event handler while a conversion waits or between conversions:
    // the workers are signalled at once, the conversion under way is killed (a commit it is
    // making finishes and counts), what was staged is removed, and this conversion and every
    // later one answer Interrupted without starting a worker.
    void abort();

    // Pump run while waiting (null: Qt's pending events are processed).
    void setEventPump(EventPump *pump) { m_pump = pump; }
    // Time limit of one conversion in milliseconds; the default is 300 s or the environment
    // variable QV_CONVERSION_TIMEOUT (seconds, fractions allowed).
    int timeLimitMs() const { return m_timeLimitMs; }
    void setTimeLimitMs(int ms) { m_timeLimitMs = ms; }
    // Resident memory (kB) the kept workers together may gain beyond what each holds at rest;
    // a worker past its share is replaced after a file. The default is 1 GB or
    // $QV_WORKER_MEMORY_LIMIT_MB. 0 = no limit.
    qint64 memoryLimitKb() const { return m_memoryLimitKb; }
    void setMemoryLimitKb(qint64 kb) { m_memoryLimitKb = kb; }
    // The worker executable; by default quorvane-office beside this program, or
    // $QV_OFFICE_WORKER.
    void setWorkerProgram(const QString &path) { m_workerProgram = path; }
    QString workerProgram() const;
    // Process id of the running worker, 0 when none runs.
    qint64 workerProcessId() const;
    // Workers that have started and are ready (idle or converting); reads what the starting
    // ones reported.
    int readyWorkers();
    // Process id of the worker converting original ahead of its turn, 0 when none does.
    qint64 aheadWorkerOf(const QString &original) const;

signals:
    // Raised repeatedly while convert() runs; progressPercent() tells how far it is.
    void Progress();

private:
    // One conversion named by setLookAhead().
    struct Ahead
    {
        enum State { Queued, Running, Done };
        ConversionRequest request;
        State state = Queued;
        int slot = -1;
        int code = 0;
        QJsonObject answer;
        QString detail;
        // The original as it was when the conversion began: a run that changed it since (an
        // earlier file's target or move) gets it converted again.
        QString originalStamp;
    };

    OfficeWorker &worker(int slot);
    // Starts the first worker and waits until it is ready.
    int startWorker();
    // Sends one request to the first worker and waits for its answer; returns 0 or a failure code.
    int exchange(const QJsonObject &request, QJsonObject &answer, const QString &target);
    // One look at a busy worker after poll(): its answer (Success), or its end or its time limit
    // (then it is killed, what it left is removed, and detail says which); nullopt while it works.
    std::optional<int> watch(OfficeWorker &w, const QString &target, QJsonObject &answer, QString &detail);
    // Raises Progress for a new percentage of w.
    void forwardProgress(OfficeWorker &w);
    // Ends a kept worker that has grown past its resting size by more than its share of the
    // memory limit.
    void retireIfLarge(OfficeWorker &w);
    void stopWorkers(bool kill);
    // After w was killed: its staged files beside target.
    void removeLeftovers(const QString &target, const OfficeWorker &w);
    // The first time a target goes to a folder: removes what workers that are gone staged there.
    void sweepStaleStaging(const QString &target);
    void pumpEvents();
    // Waits up to ms for a worker's output or an event and processes the events; then reads
    // what w wrote.
    void waitForWorkers(OfficeWorker *w, int ms);
    int finish(int code, const QJsonObject &answer, int slot);
    // Looks after every worker of the pool: reads answers, enforces time limits, notices deaths,
    // starts workers and hands queued conversions to idle ones, in list order.
    void servicePool();
    void dispatch(Ahead &a, int slot);
    void cancel(Ahead &a);
    void cancelAll();
    // Target folders made for conversions ahead: the run reaching target takes over those on its
    // path; the others go once no conversion still named writes into them.
    void keepFoldersOf(const QString &target);
    void removeUnusedFolders();
    // Waits for the look-ahead conversion of the current request; false when it cannot be used
    // (the original changed, or no worker could take it) and the request must run directly.
    bool awaitAhead(int &code, QJsonObject &answer);
    qint64 memoryShareKb() const;
    // Interrupted, with its detail.
    int interrupted();

    ConversionRequest m_req;

    QString m_lastMessage;
    QString m_lastDetail;
    QStringList m_lastOutputs;
    int m_progress = 0;
    bool m_optimizeForSpeed = true;
    bool m_busy = false;
    bool m_aborted = false;
    int m_timeLimitMs = 300000;
    qint64 m_memoryLimitKb = 0;
    int m_poolSize = 1;
    QString m_workerProgram;
    QString m_version;
    EventPump *m_pump = nullptr;
    std::vector<std::unique_ptr<OfficeWorker>> m_workers;
    std::vector<bool> m_slotFailed;
    QList<Ahead> m_ahead;
    QStringList m_madeFolders;
    QSet<QString> m_sweptFolders;
};
