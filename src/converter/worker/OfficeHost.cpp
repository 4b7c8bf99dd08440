#include "OfficeHost.h"

#include <LibreOfficeKit/LibreOfficeKit.hxx>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <cstdlib>
#include <vector>

OfficeHost::OfficeHost() = default;

// The Office object is deliberately not deleted: destroying it can abort inside LibreOffice,
// so the worker ends with _exit instead.
OfficeHost::~OfficeHost() = default;

QByteArray OfficeHost::fileUrl(const QString &path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
}

bool OfficeHost::start(const QString &programFolder, const QString &profileFolder)
{
    QDir().mkpath(profileFolder);
    const QByteArray profileUrl = fileUrl(profileFolder);
    m_office = lok::lok_cpp_init(programFolder.toLocal8Bit().constData(), profileUrl.constData());
    if (!m_office) {
        m_error = QStringLiteral("LibreOfficeKit could not be started from ") + programFolder;
        return false;
    }
    m_office->setOptionalFeatures(LOK_FEATURE_DOCUMENT_PASSWORD | LOK_FEATURE_DOCUMENT_PASSWORD_TO_MODIFY);
    m_office->registerCallback(&OfficeHost::officeCallback, this);

    if (char *info = m_office->getVersionInfo()) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray(info)).object();
        m_version = o.value(QStringLiteral("ProductVersion")).toString()
                    + o.value(QStringLiteral("ProductExtension")).toString();
        std::free(info);
    }
    return true;
}

void OfficeHost::officeCallback(int type, const char *payload, void *data)
{
    auto *self = static_cast<OfficeHost *>(data);
    switch (type) {
    case LOK_CALLBACK_DOCUMENT_PASSWORD:
        // We never know a password: a null answer cancels the load instead of blocking it.
        self->m_passwordAsked = true;
        self->m_office->setDocumentPassword(payload, nullptr);
        break;
    case LOK_CALLBACK_DOCUMENT_PASSWORD_TO_MODIFY:
        // Opening read-only is all a conversion needs.
        self->m_office->setDocumentPassword(payload, nullptr);
        break;
    case LOK_CALLBACK_STATUS_INDICATOR_SET_VALUE:
        if (self->m_loadProgress && payload)
            self->m_loadProgress(std::atoi(payload));
        break;
    default:
        break;
    }
}

std::unique_ptr<OfficeDocument> OfficeHost::load(const QString &path, LoadStatus &status)
{
    const QFileInfo fi(path);
    if (!fi.isFile()) {
        status = NotFound;
        return nullptr;
    }
    m_passwordAsked = false;
    // The language is set for the whole office, and LibreOfficeKit redoes the locale setup on
    // every load that names one (about 2 ms a document): name it on the first load only.
    const char *options = m_languageSet ? "" : "Language=en-US";
    lok::Document *doc = m_office->documentLoad(fileUrl(path).constData(), options);
    m_languageSet = true;
    if (!doc) {
        status = m_passwordAsked ? PasswordProtected : NotLoadable;
        return nullptr;
    }
    status = Loaded;
    return std::make_unique<OfficeDocument>(doc);
}

bool OfficeHost::runMacro(const char *url) { return m_office->runMacro(url); }

OfficeDocument::OfficeDocument(lok::Document *doc) : m_doc(doc) {}

OfficeDocument::~OfficeDocument() { delete m_doc; }

OfficeDocument::Kind OfficeDocument::kind() const
{
    const int t = m_doc->getDocumentType();
    return (t >= Text && t <= Other) ? static_cast<Kind>(t) : Other;
}

int OfficeDocument::slideCount() const { return m_doc->getParts(); }

bool OfficeDocument::saveAs(const QString &path, const QString &format, const QString &options)
{
    const QByteArray url = OfficeHost::fileUrl(path);
    const QByteArray fmt = format.toUtf8();
    const QByteArray opt = options.toUtf8();
    return m_doc->saveAs(url.constData(), fmt.constData(), opt.isEmpty() ? nullptr : opt.constData());
}

QSize OfficeDocument::slideSizeTwips(int slide)
{
    if (!m_renderingReady) {
        m_doc->initializeForRendering("");
        m_renderingReady = true;
    }
    m_doc->setPart(slide);
    long w = 0, h = 0;
    m_doc->getDocumentSize(&w, &h);
    return QSize(static_cast<int>(w), static_cast<int>(h));
}

bool OfficeDocument::exportSlidePng(int slide, int widthPx, const QString &path)
{
    const QSize twips = slideSizeTwips(slide);
    if (twips.width() <= 0 || twips.height() <= 0 || widthPx <= 0)
        return false;
    const int heightPx = qMax(1, static_cast<int>(qint64(widthPx) * twips.height() / twips.width()));
    // Tiles are painted as the editing view shows the slide: prompts in empty placeholders,
    // their dashed outlines and the page's frame. The office's own picture export paints the
    // slide as a slide show does; it exports the current part, which slideSizeTwips selected.
    // It honours the pixel size only when both sides are given; without translucency a slide
    // that has no background comes out on white, as it is shown.
    const QString options = QStringLiteral("{\"PixelWidth\":{\"type\":\"long\",\"value\":\"%1\"},"
                                           "\"PixelHeight\":{\"type\":\"long\",\"value\":\"%2\"},"
                                           "\"Translucent\":{\"type\":\"boolean\",\"value\":\"false\"}}")
                                .arg(widthPx)
                                .arg(heightPx);
    return saveAs(path, QStringLiteral("png"), options) && QFileInfo(path).size() > 0;
}

QImage OfficeDocument::renderSlide(int slide, int widthPx, const QString &scratchPng)
{
    QImage img;
    if (exportSlidePng(slide, widthPx, scratchPng))
        img.load(scratchPng, "PNG");
    QFile::remove(scratchPng);
    return img.isNull() ? QImage() : img.convertToFormat(QImage::Format_RGB32);
}
