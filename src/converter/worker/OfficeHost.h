#pragma once
// LibreOfficeKit inside the worker: start-up with a private profile, loading a document with a
// refused password prompt, saving, and rendering one slide.
#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>

namespace lok {
class Office;
class Document;
} // namespace lok

class OfficeDocument;

class OfficeHost
{
public:
    enum LoadStatus { Loaded, NotFound, PasswordProtected, NotLoadable };

    OfficeHost();
    ~OfficeHost();
    OfficeHost(const OfficeHost &) = delete;
    OfficeHost &operator=(const OfficeHost &) = delete;

    // Starts LibreOfficeKit from programFolder with the profile in profileFolder; false with a
    // reason in error() when it cannot.
    bool start(const QString &programFolder, const QString &profileFolder);
    QString error() const { return m_error; }
    // "7.4.7.2"
    QString version() const { return m_version; }

    // Loads a document; null with the reason in status when it cannot.
    std::unique_ptr<OfficeDocument> load(const QString &path, LoadStatus &status);

    // Runs a Basic routine ("macro:///Library.Module.Routine()"); false when the office could not.
    bool runMacro(const char *url);
    // A load has named the office's language (the first one does).
    bool languageSet() const { return m_languageSet; }

    // Percent values (0-100) of LibreOffice's own progress while a document loads.
    void setLoadProgress(std::function<void(int)> callback) { m_loadProgress = std::move(callback); }

    // The file: URL of a local path (percent-encoded ASCII), as the office takes it.
    static QByteArray fileUrl(const QString &path);

private:
    static void officeCallback(int type, const char *payload, void *data);

    lok::Office *m_office = nullptr;
    QString m_error;
    QString m_version;
    bool m_passwordAsked = false;
    bool m_languageSet = false;
    std::function<void(int)> m_loadProgress;
};

class OfficeDocument
{
public:
    enum Kind { Text = 0, Spreadsheet = 1, Presentation = 2, Drawing = 3, Other = 4 };
    explicit OfficeDocument(lok::Document *doc);
    ~OfficeDocument();
    OfficeDocument(const OfficeDocument &) = delete;
    OfficeDocument &operator=(const OfficeDocument &) = delete;

    Kind kind() const;
    int slideCount() const;
    // format is LibreOffice's short name ("pdf", "pptx", "fodp", "doc", ...); options are the
    // filter options (JSON for the PDF filter data).
    bool saveAs(const QString &path, const QString &format, const QString &options = QString());
    // Slide (0-based) as a slide show shows it, widthPx pixels wide, written as a PNG file; the
    // height follows the slide's proportions.
    bool exportSlidePng(int slide, int widthPx, const QString &path);
    // The same as a picture; scratchPng is a path the office may write to, removed again.
    QImage renderSlide(int slide, int widthPx, const QString &scratchPng);
    // Size of a slide in twips.
    QSize slideSizeTwips(int slide);

private:
    lok::Document *m_doc;
    bool m_renderingReady = false;
};
