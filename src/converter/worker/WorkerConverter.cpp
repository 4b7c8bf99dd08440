#include "WorkerConverter.h"

#include "EncryptionSniffer.h"
#include "FlatOdpDeck.h"
#include "HiddenPdfExport.h"
#include "HtmlPages.h"
#include "OfficeHost.h"
#include "OutputCheck.h"
#include "PackageRetyper.h"
#include "SlideTextWriter.h"
#include "converter/StagedOutput.h"
#include "converter/TypeCatalogue.h"
#include "common/FileUtils.h"
#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QJsonDocument>
#include <QJsonObject>

using namespace TypeCatalogue;

namespace {

// What the request asks the slide-text writers to include.
SlideTextOptions slideTextOptions(const ConvertRequest &r)
{
    SlideTextOptions o;
    o.notes = r.includeNotesPage;
    o.notesOnly = r.includeNotesOnly;
    o.showSlideAndShape = r.showSlideAndShape;
    return o;
}

// Width of slide pictures: 96 pixels per inch of the slide (960 pixels for a 10-inch slide).
int pictureWidth(OfficeDocument &doc, int slide)
{
    const QSize twips = doc.slideSizeTwips(slide);
    return qMax(1, twips.width() * 96 / 1440);
}

QJsonObject filterValue(const QString &type, const QString &value)
{
    return QJsonObject{{QStringLiteral("type"), type}, {QStringLiteral("value"), value}};
}

// An intermediate file in the work folder: every byte or failure (close reports a failed last
// flush), not synced, since nothing of it outlives the conversion.
bool writeWorkFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

// An output under its staged name: every byte, synced to disk before any commit can rename it.
bool writeBytes(const QString &path, const QByteArray &bytes) { return WriteFileWhole(path, bytes); }

// A picture in the given format (JPEG at quality 90), or nothing when it cannot be encoded.
QByteArray encodedPicture(const QImage &img, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (qstrcmp(format, "JPEG") == 0)
        writer.setQuality(90);
    return writer.write(img) ? bytes : QByteArray();
}

} // namespace

WorkerConverter::WorkerConverter(OfficeHost &host, const QString &workFolder, std::function<void(int)> progress)
    : m_host(host), m_work(workFolder), m_progress(std::move(progress))
{
}

void WorkerConverter::step(int done, int total)
{
    // Loading takes the first 40 percent; the writing steps share the rest.
    if (m_progress && total > 0)
        m_progress(40 + 60 * done / total);
}

QString WorkerConverter::workFile(const QString &suffix)
{
    static int serial = 0;
    return m_work + QStringLiteral("/work-%1.").arg(++serial) + suffix;
}

QString WorkerConverter::perSlidePath(const QString &target, int slide) const
{
    return perSlideFileName(target, slide);
}

int WorkerConverter::checkTargetFolder(const QString &target)
{
    const QFileInfo folder(QFileInfo(target).absolutePath());
    if (target.isEmpty() || !folder.isDir() || !folder.isWritable()) {
        m_detail = QStringLiteral("target folder missing or not writable");
        return TargetNotWritable;
    }
    return Success;
}

bool WorkerConverter::sealed(const QString &path, const QString &format)
{
    // The office's word that a save is done does not say that every byte arrived. It syncs each
    // file it saves before giving it its name (and a failed sync that it saw could not be seen
    // again), so a second sync here would only wait for the disk once more.
    const std::optional<OutputCheck::Form> form = OutputCheck::formOf(format);
    if (!form || OutputCheck::isWhole(path, *form))
        return true;
    QFile::remove(path);
    m_detail = QStringLiteral("the %1 file the office wrote is incomplete").arg(format);
    return false;
}

int WorkerConverter::load(const QString &path, std::unique_ptr<OfficeDocument> &doc)
{
    OfficeHost::LoadStatus status;
    m_host.setLoadProgress([this](int v) {
        if (m_progress)
            m_progress(qBound(0, v, 100) * 40 / 100);
    });
    doc = m_host.load(path, status);
    m_host.setLoadProgress(nullptr);
    switch (status) {
    case OfficeHost::Loaded:
        return Success;
    case OfficeHost::NotFound:
        m_detail = QStringLiteral("original missing");
        return OriginalNotOpened;
    case OfficeHost::PasswordProtected:
        m_detail = QStringLiteral("original asks for a password");
        return OriginalPasswordProtected;
    case OfficeHost::NotLoadable:
        if (EncryptionSniffer::isEncrypted(path)) {
            m_detail = QStringLiteral("original is encrypted");
            return OriginalPasswordProtected;
        }
        break;
    }
    m_detail = QStringLiteral("LibreOffice could not load the original");
    return QFileInfo(path).isReadable() ? OriginalCorrupt : OriginalNotOpened;
}

int WorkerConverter::convert(const ConvertRequest &r)
{
    m_outputs.clear();
    m_detail.clear();
    m_staged = QJsonObject();
    m_hiddenRoad = false;
    const SaveAsType *type = find(r.targetFileType);
    if (!type) {
        m_detail = QStringLiteral("unknown type code");
        return UnknownTargetType;
    }
    if (int rc = checkTargetFolder(r.targetFile))
        return rc;
    // LibreOffice opens an empty file as a new, blank presentation.
    const QFileInfo original(r.originalFile);
    if (original.isFile() && original.size() == 0) {
        m_detail = QStringLiteral("the original is empty");
        return OriginalCorrupt;
    }
    if (suitsHiddenPdf(r, original.size())) {
        StagedOutput out;
        const QString staged = out.stage(r.targetFile);
        if (m_hiddenPdf->convert(r.originalFile, staged)) {
            m_hiddenRoad = true;
            return sealed(staged, QStringLiteral("pdf")) ? finish(r, out) : TargetNotWritable;
        }
        // Not done: the regular road converts it or says why it cannot.
    }
    std::unique_ptr<OfficeDocument> doc;
    if (int rc = load(r.originalFile, doc))
        return rc;
    const OfficeDocument::Kind kind = doc->kind();
    if (kind != OfficeDocument::Presentation && kind != OfficeDocument::Drawing) {
        m_detail = QStringLiteral("the original is not a presentation");
        return OriginalCorrupt;
    }
    m_drawing = kind == OfficeDocument::Drawing;
    const int count = doc->slideCount();
    m_allSlides = r.fromSlide <= 0 && r.toSlide <= 0;
    m_first = qMax(1, r.fromSlide);
    m_last = r.toSlide <= 0 ? count : qMin(r.toSlide, count);
    if (count < 1 || m_first > count || (r.toSlide > 0 && r.toSlide < m_first)) {
        m_detail = QStringLiteral("slide range %1-%2 of %3 slides").arg(r.fromSlide).arg(r.toSlide).arg(count);
        return InvalidSlideRange;
    }
    if (m_first == 1 && m_last == count)
        m_allSlides = true;
    if (m_progress)
        m_progress(40);

    StagedOutput out;
    int rc;
    switch (r.targetFileType) {
    case tPdf:
        rc = toPdf(*doc, r, out);
        break;
    case tPptx: case tPpt: case tPpsx: case tPps: case tPotx: case tPot: case tOdp:
        rc = toOfficeFormat(*doc, r, out);
        break;
    case tHtmlPages:
        rc = toHtmlPages(*doc, r, out);
        break;
    case tPng: case tJpeg: case tBmp: case tTiff:
        rc = toImages(*doc, r, out);
        break;
    default:
        rc = toSlideText(*doc, r, out);
        break;
    }
    if (rc != Success)
        return rc;
    return finish(r, out);
}

int WorkerConverter::finish(const ConvertRequest &r, StagedOutput &out)
{
    if (r.deferCommit) {
        // Converted ahead of its turn: the client renames it when the run reaches the file.
        m_staged = out.plan();
        if (m_progress)
            m_progress(100);
        return Success;
    }
    if (!out.commit()) {
        m_detail = QStringLiteral("renaming the finished target failed");
        return TargetNotWritable;
    }
    m_outputs = out.committedPaths();
    if (m_progress)
        m_progress(100);
    return Success;
}

bool WorkerConverter::suitsHiddenPdf(const ConvertRequest &r, qint64 originalBytes) const
{
    // The quick road reports no progress while it loads, which only a large original would
    // show; and the first regular load names the office's language, without which a PDF is
    // tagged as having none.
    constexpr qint64 maxBytes = 4 * 1024 * 1024;
    return m_hiddenPdf && m_hiddenPdf->available() && m_host.languageSet() && r.targetFileType == tPdf
           && r.fromSlide <= 0 && r.toSlide <= 0 && !r.createFileForEachSlide && !r.includeNotesPage
           && !r.includeNotesOnly && originalBytes <= maxBytes;
}

int WorkerConverter::toPdf(OfficeDocument &doc, const ConvertRequest &r, StagedOutput &out)
{
    QList<QPair<QString, QString>> jobs; // target, page range ("" = all)
    if (r.createFileForEachSlide) {
        for (int s = m_first; s <= m_last; ++s)
            jobs.append({perSlidePath(r.targetFile, s), QString::number(s)});
    } else {
        jobs.append({r.targetFile, m_allSlides ? QString() : QStringLiteral("%1-%2").arg(m_first).arg(m_last)});
    }
    int done = 0;
    for (const auto &job : jobs) {
        QJsonObject o;
        if (!job.second.isEmpty())
            o[QStringLiteral("PageRange")] = filterValue(QStringLiteral("string"), job.second);
        if (r.includeNotesPage || r.includeNotesOnly)
            o[QStringLiteral("ExportNotesPages")] = filterValue(QStringLiteral("boolean"), QStringLiteral("true"));
        if (r.includeNotesOnly)
            o[QStringLiteral("ExportOnlyNotesPages")] = filterValue(QStringLiteral("boolean"), QStringLiteral("true"));
        const QString options = o.isEmpty() ? QString() : QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
        const QString staged = out.stage(job.first);
        if (!doc.saveAs(staged, QStringLiteral("pdf"), options)) {
            m_detail = QStringLiteral("PDF export failed");
            return TargetNotWritable;
        }
        if (!sealed(staged, QStringLiteral("pdf")))
            return TargetNotWritable;
        step(++done, static_cast<int>(jobs.size()));
    }
    return Success;
}

QByteArray WorkerConverter::flatExport(OfficeDocument &doc)
{
    const QString path = workFile(m_drawing ? QStringLiteral("fodg") : QStringLiteral("fodp"));
    QByteArray xml;
    if (doc.saveAs(path, m_drawing ? QStringLiteral("fodg") : QStringLiteral("fodp"))) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            xml = f.readAll();
    }
    QFile::remove(path);
    return xml;
}

std::unique_ptr<OfficeDocument> WorkerConverter::trimmedCopy(OfficeDocument &doc, int first, int last)
{
    const QByteArray xml = FlatOdpDeck::keepSlides(flatExport(doc), first, last);
    if (xml.isEmpty())
        return nullptr;
    const QString path = workFile(m_drawing ? QStringLiteral("fodg") : QStringLiteral("fodp"));
    if (!writeWorkFile(path, xml))
        return nullptr;
    OfficeHost::LoadStatus status;
    std::unique_ptr<OfficeDocument> copy = m_host.load(path, status);
    QFile::remove(path);
    return copy;
}

QList<WorkerConverter::RangeJob> WorkerConverter::rangeJobs(const ConvertRequest &r) const
{
    QList<RangeJob> jobs;
    if (r.createFileForEachSlide)
        for (int s = m_first; s <= m_last; ++s)
            jobs.append({perSlidePath(r.targetFile, s), s, s});
    else
        jobs.append({r.targetFile, m_first, m_last});
    return jobs;
}

QList<WorkerConverter::SlideJob> WorkerConverter::slideJobs(const ConvertRequest &r, const QList<DeckSlide> &slides) const
{
    QList<SlideJob> jobs;
    if (r.createFileForEachSlide)
        for (const DeckSlide &s : slides)
            jobs.append({perSlidePath(r.targetFile, s.number), {s}});
    else
        jobs.append({r.targetFile, slides});
    return jobs;
}

OfficeDocument *WorkerConverter::documentFor(OfficeDocument &doc, const ConvertRequest &r, const RangeJob &job,
                                             std::unique_ptr<OfficeDocument> &trimmed)
{
    if (m_allSlides && !r.createFileForEachSlide)
        return &doc;
    trimmed = trimmedCopy(doc, job.first, job.last);
    if (!trimmed)
        m_detail = QStringLiteral("could not apply the slide range");
    return trimmed.get();
}

int WorkerConverter::toOfficeFormat(OfficeDocument &doc, const ConvertRequest &r, StagedOutput &out)
{
    if (m_drawing) {
        m_detail = QStringLiteral("a drawing cannot be saved as a presentation format");
        return TypeNotSupportedForOriginal;
    }
    QString format;
    bool retype = false;
    PackageRetyper::PresentationKind kind = PackageRetyper::PresentationKind::Presentation;
    switch (r.targetFileType) {
    case tPptx: format = QStringLiteral("pptx"); break;
    case tPpsx: format = QStringLiteral("pptx"); retype = true; kind = PackageRetyper::PresentationKind::Slideshow; break;
    case tPotx: format = QStringLiteral("pptx"); retype = true; kind = PackageRetyper::PresentationKind::Template; break;
    case tPpt: case tPps: format = QStringLiteral("ppt"); break; // PPS is PPT under another name
    case tPot: format = QStringLiteral("pot"); break;
    default: format = QStringLiteral("odp"); break;
    }
    const QList<RangeJob> jobs = rangeJobs(r);
    int done = 0;
    for (const RangeJob &job : jobs) {
        std::unique_ptr<OfficeDocument> trimmed;
        OfficeDocument *src = documentFor(doc, r, job, trimmed);
        if (!src)
            return Failed;
        const QString temp = out.stage(job.target);
        if (!src->saveAs(temp, format)) {
            m_detail = QStringLiteral("saving as %1 failed").arg(format);
            return TargetNotWritable;
        }
        if (retype && !PackageRetyper::retype(temp, kind)) {
            m_detail = QStringLiteral("rewriting the package type failed");
            return Failed;
        }
        if (!sealed(temp, format))
            return TargetNotWritable;
        step(++done, static_cast<int>(jobs.size()));
    }
    return Success;
}

int WorkerConverter::slidePng(OfficeDocument &doc, int slide, const QString &path)
{
    // The office's own PNG is the picture (no second encoding). It is made in the work folder
    // so that a target folder that refuses it is told apart from a slide that cannot be drawn.
    const QString made = workFile(QStringLiteral("png"));
    if (!doc.exportSlidePng(slide - 1, pictureWidth(doc, slide - 1), made)) {
        QFile::remove(made);
        m_detail = QStringLiteral("rendering slide %1 failed").arg(slide);
        return Failed;
    }
    // The office synced the picture it made; into a target on another file system the move is a
    // copy, which must arrive whole and be synced again.
    QFile::remove(path);
    QString why = QStringLiteral("the picture is incomplete");
    if (!OutputCheck::isWhole(made, OutputCheck::Form::Png) || !MoveFileWhole(made, path, &why)) {
        QFile::remove(made);
        m_detail = QStringLiteral("writing the picture of slide %1 failed: %2").arg(slide).arg(why);
        return TargetNotWritable;
    }
    return Success;
}

int WorkerConverter::toHtmlPages(OfficeDocument &doc, const ConvertRequest &r, StagedOutput &out)
{
    QList<DeckSlide> all = FlatOdpDeck::readSlides(flatExport(doc));
    if (m_drawing && all.isEmpty()) {
        // The text reader knows presentations only: a drawing's pages get their pictures alone.
        for (int n = 1; n <= m_last; ++n)
            all.append(DeckSlide{n, QString(), {}, {}});
    }
    if (all.size() < m_last) {
        m_detail = QStringLiteral("reading the slide text failed");
        return Failed;
    }
    const QList<DeckSlide> slides = all.mid(m_first - 1, m_last - m_first + 1);
    const SlideTextOptions o = slideTextOptions(r);
    const QString title = QFileInfo(r.originalFile).completeBaseName();

    const QList<SlideJob> jobs = slideJobs(r, slides); // index page, its slides
    int done = 0;
    for (const auto &job : jobs) {
        // Index, pages and pictures are written into a staged folder and move into place together.
        const QFileInfo index(job.first);
        HtmlPages pages(index.fileName(), title, job.second, o);
        const QString staged = out.stageFolder(index.absolutePath());
        const QString folder = staged + u'/' + pages.folderName();
        if (staged.isEmpty() || !QDir().mkdir(folder)) {
            m_detail = QStringLiteral("could not make the folder of the pages");
            return TargetNotWritable;
        }
        for (const DeckSlide &s : job.second) {
            const QString picture = folder + u'/' + pages.pictureName(s.number);
            if (int rc = slidePng(doc, s.number, picture))
                return rc;
            pages.setPictureSize(s.number, QImageReader(picture).size());
            step(++done, static_cast<int>(slides.size()) + 1);
        }
        bool ok = writeBytes(staged + u'/' + index.fileName(), pages.index());
        for (int i = 0; ok && i < job.second.size(); ++i)
            ok = writeBytes(folder + u'/' + pages.pageName(job.second.at(i).number), pages.page(i));
        // The pages folder may move whole on commit: its entries are synced as its files are.
        if (!ok || !SyncFile(folder)) {
            m_detail = QStringLiteral("writing the pages failed");
            return TargetNotWritable;
        }
    }
    return Success;
}

int WorkerConverter::toImages(OfficeDocument &doc, const ConvertRequest &r, StagedOutput &out)
{
    const int type = r.targetFileType;
    const char *format = type == tPng ? "PNG" : type == tJpeg ? "JPEG" : type == tBmp ? "BMP" : "TIFF";
    const int total = m_last - m_first + 1;
    for (int s = m_first; s <= m_last; ++s) {
        if (type == tPng) {
            if (int rc = slidePng(doc, s, out.stage(perSlidePath(r.targetFile, s))))
                return rc;
            step(s - m_first + 1, total);
            continue;
        }
        const QImage img = doc.renderSlide(s - 1, pictureWidth(doc, s - 1), workFile(QStringLiteral("png")));
        if (img.isNull()) {
            m_detail = QStringLiteral("rendering slide %1 failed").arg(s);
            return Failed;
        }
        const QByteArray picture = encodedPicture(img, format);
        if (picture.isEmpty() || !writeBytes(out.stage(perSlidePath(r.targetFile, s)), picture)) {
            m_detail = QStringLiteral("writing the picture of slide %1 failed").arg(s);
            return TargetNotWritable;
        }
        step(s - m_first + 1, total);
    }
    return Success;
}

int WorkerConverter::toSlideText(OfficeDocument &doc, const ConvertRequest &r, StagedOutput &out)
{
    QList<DeckSlide> all = FlatOdpDeck::readSlides(flatExport(doc));
    if (all.isEmpty()) {
        m_detail = QStringLiteral("reading the slide text failed");
        return Failed;
    }
    const QList<DeckSlide> slides = all.mid(m_first - 1, m_last - m_first + 1);
    const SlideTextOptions o = slideTextOptions(r);

    QMap<int, QImage> pictures;
    if (r.targetFileType == tRtfPictures) {
        // Half the size of the image types: enough to recognise the slide in a document.
        for (const DeckSlide &s : slides)
            pictures.insert(s.number, doc.renderSlide(s.number - 1, qMax(1, pictureWidth(doc, s.number - 1) / 2),
                                                         workFile(QStringLiteral("png"))));
    }

    const QList<SlideJob> jobs = slideJobs(r, slides);
    int done = 0;
    for (const auto &job : jobs) {
        const QString temp = out.stage(job.first);
        bool ok = false;
        switch (r.targetFileType) {
        case tRtf:
        case tRtfPictures:
            ok = writeBytes(temp, SlideTextWriter::rtf(job.second, o, pictures));
            break;
        case tText:
            ok = writeBytes(temp, SlideTextWriter::ansiText(job.second, o));
            break;
        case tUnicodeText:
            ok = writeBytes(temp, SlideTextWriter::unicodeText(job.second, o));
            break;
        case tHtmlText:
            ok = writeBytes(temp, SlideTextWriter::html(job.second, o, QFileInfo(r.originalFile).completeBaseName()));
            break;
        case tWord: {
            // The Word document comes from the RTF text through the office's Writer.
            const QString rtf = workFile(QStringLiteral("rtf"));
            if (writeWorkFile(rtf, SlideTextWriter::rtf(job.second, o))) {
                OfficeHost::LoadStatus status;
                std::unique_ptr<OfficeDocument> text = m_host.load(rtf, status);
                ok = text && text->saveAs(temp, QStringLiteral("doc")) && sealed(temp, QStringLiteral("doc"));
            }
            QFile::remove(rtf);
            break;
        }
        default:
            m_detail = QStringLiteral("type %1 is not produced").arg(r.targetFileType);
            return UnknownTargetType;
        }
        if (!ok) {
            m_detail = QStringLiteral("writing the slide text failed");
            return TargetNotWritable;
        }
        step(++done, static_cast<int>(jobs.size()));
    }
    return Success;
}

int WorkerConverter::convertDocument(const QString &source, const QString &target, const QString &filter,
                                     const QString &options)
{
    m_outputs.clear();
    m_detail.clear();
    static const QList<QPair<QString, QString>> filters = {
        {QStringLiteral("MS Word 97"), QStringLiteral("doc")},
        {QStringLiteral("Rich Text Format"), QStringLiteral("rtf")},
        {QStringLiteral("MS Word 2007 XML"), QStringLiteral("docx")},
        {QStringLiteral("writer8"), QStringLiteral("odt")},
        {QStringLiteral("Text"), QStringLiteral("txt")},
        {QStringLiteral("HTML (StarWriter)"), QStringLiteral("html")},
        {QStringLiteral("writer_pdf_Export"), QStringLiteral("pdf")},
    };
    QString format;
    for (const auto &f : filters)
        if (f.first.compare(filter, Qt::CaseInsensitive) == 0)
            format = f.second;
    if (format.isEmpty() && !filter.isEmpty() && !filter.contains(u' '))
        format = filter.toLower();
    if (format.isEmpty()) {
        m_detail = QStringLiteral("unknown filter");
        return UnknownTargetType;
    }
    if (int rc = checkTargetFolder(target))
        return rc;
    std::unique_ptr<OfficeDocument> doc;
    if (int rc = load(source, doc))
        return rc;
    StagedOutput out;
    const QString staged = out.stage(target);
    if (!doc->saveAs(staged, format, options)) {
        m_detail = QStringLiteral("saving as %1 failed").arg(format);
        return TypeNotSupportedForOriginal;
    }
    if (!sealed(staged, format))
        return TargetNotWritable;
    if (!out.commit())
        return TargetNotWritable;
    m_outputs = out.committedPaths();
    return Success;
}
