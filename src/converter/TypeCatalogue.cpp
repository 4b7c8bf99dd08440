#include "TypeCatalogue.h"

#include <QFileInfo>
#include <QStringList>

namespace TypeCatalogue {

const QList<SaveAsType> &types()
{
    // What the office worker really writes. GIF, WMF and EMF pictures are not offered:
    // LibreOfficeKit refuses to save a presentation in those formats, and Qt cannot encode
    // them from a rendered slide.
    static const QList<SaveAsType> list = {
        {tPdf, QStringLiteral("PDF Document"), QStringLiteral("pdf"), true, false},
        {tPptx, QStringLiteral("PowerPoint Presentation (PPTX)"), QStringLiteral("pptx"), true, false},
        {tPpt, QStringLiteral("PowerPoint 97-2003 Presentation (PPT)"), QStringLiteral("ppt"), true, false},
        {tPpsx, QStringLiteral("PowerPoint Show (PPSX)"), QStringLiteral("ppsx"), true, false},
        {tPps, QStringLiteral("PowerPoint 97-2003 Show (PPS)"), QStringLiteral("pps"), true, false},
        {tPotx, QStringLiteral("PowerPoint Template (POTX)"), QStringLiteral("potx"), true, false},
        {tPot, QStringLiteral("PowerPoint 97-2003 Template (POT)"), QStringLiteral("pot"), true, false},
        {tOdp, QStringLiteral("OpenDocument Presentation (ODP)"), QStringLiteral("odp"), true, false},
        {tHtmlPages, QStringLiteral("HTML Pages"), QStringLiteral("html"), true, false},
        {tPng, QStringLiteral("PNG Images"), QStringLiteral("png"), false, true},
        {tJpeg, QStringLiteral("JPEG Images"), QStringLiteral("jpg"), false, true},
        {tBmp, QStringLiteral("BMP Images"), QStringLiteral("bmp"), false, true},
        {tTiff, QStringLiteral("TIFF Images"), QStringLiteral("tif"), false, true},
        {tRtf, QStringLiteral("Rich Text Format - Slide Text"), QStringLiteral("rtf"), true, false},
        {tRtfPictures, QStringLiteral("Rich Text Format - Slide Pictures and Text"), QStringLiteral("rtf"), true, false},
        {tText, QStringLiteral("Text - Slide Text"), QStringLiteral("txt"), true, false},
        {tUnicodeText, QStringLiteral("Unicode Text - Slide Text"), QStringLiteral("txt"), true, false},
        {tWord, QStringLiteral("Word Document - Slide Text"), QStringLiteral("doc"), true, false},
        {tHtmlText, QStringLiteral("HTML File - Slide Text"), QStringLiteral("htm"), true, false},
    };
    return list;
}

const SaveAsType *find(int code)
{
    for (const SaveAsType &t : types())
        if (t.code == code)
            return &t;
    return nullptr;
}

int count() { return static_cast<int>(types().size()); }

bool saveAsType(int index, QString &name, int &code)
{
    if (index < 0 || index >= count())
        return false;
    name = types().at(index).name;
    code = types().at(index).code;
    return true;
}

QString typeExtension(int code, bool wildcard)
{
    QString ext;
    if (const SaveAsType *t = find(code))
        ext = t->extension;
    else if (code >= 2 && code <= 4)
        ext = QStringLiteral("ppt"); // original-type groups
    if (ext.isEmpty())
        return QString();
    return wildcard ? QStringLiteral("*.") + ext : ext;
}

bool supportsSingleFileOutput(int code)
{
    // "PDF - with options" is made by the program from the slide text, one file or one per slide.
    if (code == 300)
        return true;
    const SaveAsType *t = find(code);
    return t && t->singleFile;
}

QString perSlideFileName(const QString &target, int slide)
{
    const QFileInfo fi(target);
    QString name = fi.completeBaseName() + u'_' + QString::number(slide);
    if (!fi.suffix().isEmpty())
        name += u'.' + fi.suffix();
    return fi.absolutePath() + u'/' + name;
}

namespace {
// perSlideTarget, with the slide number in *slide.
QString perSlideTargetOf(const QString &path, int *slide)
{
    const QFileInfo p(path);
    const QString stem = p.completeBaseName();
    const qsizetype bar = stem.lastIndexOf(u'_');
    if (bar <= 0 || bar + 1 >= stem.size())
        return QString();
    for (qsizetype i = bar + 1; i < stem.size(); ++i)
        if (!stem.at(i).isDigit())
            return QString();
    bool ok = false;
    const int n = stem.mid(bar + 1).toInt(&ok);
    if (!ok || n <= 0)
        return QString();
    if (slide)
        *slide = n;
    return p.absolutePath() + u'/' + stem.left(bar) + (p.suffix().isEmpty() ? QString() : u'.' + p.suffix());
}
} // namespace

int perSlideNumber(const QString &target, const QString &path)
{
    int n = 0;
    const QString of = perSlideTargetOf(path, &n);
    return !of.isEmpty() && of == QFileInfo(target).absoluteFilePath() ? n : 0;
}

QString perSlideTarget(const QString &path) { return perSlideTargetOf(path, nullptr); }

namespace {
const QStringList &messages()
{
    static const QStringList list = {
        QStringLiteral("The conversion failed."),
        QStringLiteral("Unable to write the target file."),
        QStringLiteral("Unable to open the original file."),
        QStringLiteral("The original file is password-protected."),
        QStringLiteral("The original file is damaged or is not a presentation."),
        QStringLiteral("The target type is not supported for this original."),
        QStringLiteral("The slide range is not valid for this presentation."),
        QStringLiteral("The conversion did not finish within its time limit."),
        QStringLiteral("The conversion worker stopped unexpectedly."),
        QStringLiteral("The target type is unknown."),
        QStringLiteral("The office components could not be started."),
        QStringLiteral("The conversion was interrupted."),
    };
    return list;
}
} // namespace

int resultMessageCount() { return static_cast<int>(messages().size()); }

QString resultMessage(int code)
{
    if (code == 0)
        return QStringLiteral("Conversion successful.");
    if (code < 0 && -code <= resultMessageCount())
        return messages().at(-code - 1);
    return QString();
}

} // namespace TypeCatalogue
