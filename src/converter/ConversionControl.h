#pragma once
// The conversion control as the engine sees it: the properties of one conversion, the convert
// call with its result code and message, progress, the type catalogue queries, and the office
// worker (quorvane-office) behind it. The worker is started at the first conversion and kept
// ("optimize for speed") or started afresh for every file ("optimize for memory"). While a
// conversion runs, the caller's event pump keeps running; a conversion that passes its time
// limit is killed, and a worker that stopped is started again for the next file.
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class EventPump;
class QProcess;

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
    int fromSlide() const { return m_from; }
    void setFromSlide(int v) { m_from = v; }
    int toSlide() const { return m_to; }
    void setToSlide(int v) { m_to = v; }
    bool createFileForEachSlide() const { return m_filePerSlide; }
    void setCreateFileForEachSlide(bool v) { m_filePerSlide = v; }
    QString originalFile() const { return m_original; }
    void setOriginalFile(const QString &v) { m_original = v; }
    QString targetFile() const { return m_target; }
    void setTargetFile(const QString &v) { m_target = v; }
    int targetFileType() const { return m_type; }
    void setTargetFileType(int v) { m_type = v; }
    bool includeNotesPage() const { return m_notesPage; }
    void setIncludeNotesPage(bool v) { m_notesPage = v; }
    bool includeNotesOnly() const { return m_notesOnly; }
    void setIncludeNotesOnly(bool v) { m_notesOnly = v; }
    bool showSlideAndShape() const { return m_showSlideAndShape; }
    void setShowSlideAndShape(bool v) { m_showSlideAndShape = v; }

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

    // Ends the worker (called when the main window unloads; the next conversion starts it again).
    void shutDown();
    // Stops at once, from an event handler while a conversion waits: the worker is killed, what
    // it staged is removed, and the conversion answers Interrupted. Without a conversion under
    // way the worker is just ended.
    void abort();

    // Pump run while waiting (null: Qt's pending events are processed).
    void setEventPump(EventPump *pump) { m_pump = pump; }
    // Time limit of one conversion in milliseconds; the default is 300 s or the environment
    // variable QV_CONVERSION_TIMEOUT (seconds, fractions allowed).
    int timeLimitMs() const { return m_timeLimitMs; }
    void setTimeLimitMs(int ms) { m_timeLimitMs = ms; }
    // Resident memory (kB) past which a kept worker is replaced after a file; the default is
    // 1 GB or $QV_WORKER_MEMORY_LIMIT_MB. 0 = no limit.
    qint64 memoryLimitKb() const { return m_memoryLimitKb; }
    void setMemoryLimitKb(qint64 kb) { m_memoryLimitKb = kb; }
    // The worker executable; by default quorvane-office beside this program, or
    // $QV_OFFICE_WORKER.
    void setWorkerProgram(const QString &path) { m_workerProgram = path; }
    QString workerProgram() const;
    // Process id of the running worker, 0 when none runs.
    qint64 workerProcessId() const;

signals:
    // Raised repeatedly while convert() runs; progressPercent() tells how far it is.
    void Progress();

private:
    int startWorker();
    // Sends one request and waits for its answer; returns 0 or a failure code.
    int exchange(const QJsonObject &request, QJsonObject &answer, const QString &targetFolder);
    void stopWorker(bool kill);
    void removeStagedFiles(const QString &folder, qint64 pid);
    void pumpEvents();
    int finish(int code, const QJsonObject &answer);

    int m_from = 0;
    int m_to = 0;
    bool m_filePerSlide = false;
    QString m_original;
    QString m_target;
    int m_type = 0;
    bool m_notesPage = false;
    bool m_notesOnly = false;
    bool m_showSlideAndShape = false;

    QString m_lastMessage;
    QString m_lastDetail;
    QStringList m_lastOutputs;
    int m_progress = 0;
    bool m_optimizeForSpeed = true;
    bool m_busy = false;
    bool m_abortRequested = false;
    int m_timeLimitMs = 300000;
    qint64 m_memoryLimitKb = 0;
    QString m_workerProgram;
    QString m_version;
    EventPump *m_pump = nullptr;
    std::unique_ptr<QProcess> m_proc;
    qint64 m_pid = 0;
};
