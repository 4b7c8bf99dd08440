#pragma once
// One conversion request of the worker: loads the original, applies the slide range and the
// notes choices, writes the target type through LibreOffice or through our own writers, and
// answers with a result code of the type catalogue.
#include "converter/ConversionRequest.h"

#include <QJsonObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class HiddenPdfExport;
class OfficeHost;
class OfficeDocument;
class StagedOutput;
struct DeckSlide;

// A request as the worker receives it.
struct ConvertRequest : ConversionRequest
{
    // Leave the outputs under their staged names and hand the plan back (staged()).
    bool deferCommit = false;
};

class WorkerConverter
{
public:
    // workFolder holds the worker's intermediate files; progress receives 0-100.
    WorkerConverter(OfficeHost &host, const QString &workFolder, std::function<void(int)> progress);

    // The quick road for whole presentations to PDF; null leaves every file to the regular one.
    void setHiddenPdfExport(HiddenPdfExport *road) { m_hiddenPdf = road; }

    int convert(const ConvertRequest &r);
    // Loads any document and saves it with a LibreOffice filter ("MS Word 97", "Rich Text
    // Format", ...) or a short format name ("doc", "rtf"); options are the filter options
    // (JSON filter data for PDF).
    int convertDocument(const QString &source, const QString &target, const QString &filter,
                        const QString &options = QString());

    // What the last call wrote, and a technical detail for the worker's log.
    QStringList outputs() const { return m_outputs; }
    QString detail() const { return m_detail; }
    // The staged outputs of the last deferred conversion (StagedOutput::plan()).
    QJsonObject staged() const { return m_staged; }
    // Whether the last conversion took the quick road for a whole presentation to PDF.
    bool tookHiddenRoad() const { return m_hiddenRoad; }

private:
    struct RangeJob
    {
        QString target;
        int first;
        int last;
    };
    // One job for the whole range, or one per slide with its own target name.
    QList<RangeJob> rangeJobs(const ConvertRequest &r) const;
    // The same for slides read from the document: the file and the slides that go into it.
    using SlideJob = QPair<QString, QList<DeckSlide>>;
    QList<SlideJob> slideJobs(const ConvertRequest &r, const QList<DeckSlide> &slides) const;
    // The document to save for a job: the original itself, or a copy trimmed to the job's
    // slides (held in trimmed); null when trimming failed.
    OfficeDocument *documentFor(OfficeDocument &doc, const ConvertRequest &r, const RangeJob &job,
                                std::unique_ptr<OfficeDocument> &trimmed);
    int load(const QString &path, std::unique_ptr<OfficeDocument> &doc);
    // Whether r may take the quick road: a whole presentation to one PDF, from an original of
    // originalBytes.
    bool suitsHiddenPdf(const ConvertRequest &r, qint64 originalBytes) const;
    // Commits what out staged, or hands it over as a plan for a conversion made ahead.
    int finish(const ConvertRequest &r, StagedOutput &out);
    int checkTargetFolder(const QString &target);
    // Whether the file the office saved at path in format is whole; otherwise it is removed and
    // the reason is the detail.
    bool sealed(const QString &path, const QString &format);
    int toPdf(OfficeDocument &doc, const ConvertRequest &r, StagedOutput &out);
    // Presentation formats.
    int toOfficeFormat(OfficeDocument &doc, const ConvertRequest &r, StagedOutput &out);
    // Browsable web pages: an index and a page with picture and text per slide.
    int toHtmlPages(OfficeDocument &doc, const ConvertRequest &r, StagedOutput &out);
    // Slide (1-based) as a PNG file at path, drawn as a slide show shows it.
    int slidePng(OfficeDocument &doc, int slide, const QString &path);
    int toImages(OfficeDocument &doc, const ConvertRequest &r, StagedOutput &out);
    int toSlideText(OfficeDocument &doc, const ConvertRequest &r, StagedOutput &out);
    // A copy of the document holding only slides first..last (loaded from a trimmed flat export).
    std::unique_ptr<OfficeDocument> trimmedCopy(OfficeDocument &doc, int first, int last);
    QByteArray flatExport(OfficeDocument &doc);
    QString workFile(const QString &suffix);
    QString perSlidePath(const QString &target, int slide) const;
    void step(int done, int total);

    OfficeHost &m_host;
    HiddenPdfExport *m_hiddenPdf = nullptr;
    QString m_work;
    std::function<void(int)> m_progress;
    int m_first = 1;
    int m_last = 1;
    bool m_allSlides = true;
    bool m_drawing = false;
    QStringList m_outputs;
    QString m_detail;
    QJsonObject m_staged;
    bool m_hiddenRoad = false;
};
