#include "TypeCatalogue.h"

#include <QStringList>

namespace TypeCatalogue {

const QList<SaveAsType> &types()
{
    // What the office worker really writes. GIF, WMF and EMF pictures are not offered:
    // LibreOfficeKit refuses to save a presentation in those formats, and Qt cannot encode
    // them from a rendered slide.
    static const QList<SaveAsType> list = {
        {32, QStringLiteral("PDF Document"), QStringLiteral("pdf"), true, false},
        {24, QStringLiteral("PowerPoint Presentation (PPTX)"), QStringLiteral("pptx"), true, false},
        {1, QStringLiteral("PowerPoint 97-2003 Presentation (PPT)"), QStringLiteral("ppt"), true, false},
        {28, QStringLiteral("PowerPoint Show (PPSX)"), QStringLiteral("ppsx"), true, false},
        {7, QStringLiteral("PowerPoint 97-2003 Show (PPS)"), QStringLiteral("pps"), true, false},
        {26, QStringLiteral("PowerPoint Template (POTX)"), QStringLiteral("potx"), true, false},
        {5, QStringLiteral("PowerPoint 97-2003 Template (POT)"), QStringLiteral("pot"), true, false},
        {35, QStringLiteral("OpenDocument Presentation (ODP)"), QStringLiteral("odp"), true, false},
        {12, QStringLiteral("HTML Pages"), QStringLiteral("html"), true, false},
        {18, QStringLiteral("PNG Images"), QStringLiteral("png"), false, true},
        {17, QStringLiteral("JPEG Images"), QStringLiteral("jpg"), false, true},
        {19, QStringLiteral("BMP Images"), QStringLiteral("bmp"), false, true},
        {21, QStringLiteral("TIFF Images"), QStringLiteral("tif"), false, true},
        {6, QStringLiteral("Rich Text Format - Slide Text"), QStringLiteral("rtf"), true, false},
        {106, QStringLiteral("Rich Text Format - Slide Pictures and Text"), QStringLiteral("rtf"), true, false},
        {107, QStringLiteral("Text - Slide Text"), QStringLiteral("txt"), true, false},
        {200, QStringLiteral("Unicode Text - Slide Text"), QStringLiteral("txt"), true, false},
        {101, QStringLiteral("Word Document - Slide Text"), QStringLiteral("doc"), true, false},
        {108, QStringLiteral("HTML File - Slide Text"), QStringLiteral("htm"), true, false},
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
    const SaveAsType *t = find(code);
    return t && t->singleFile;
}

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
