#include "ConversionRequest.h"

QJsonObject ConversionRequest::toJson(bool deferCommit) const
{
    QJsonObject o{
        {QStringLiteral("op"), QStringLiteral("convert")},
        {QStringLiteral("original"), originalFile},
        {QStringLiteral("target"), targetFile},
        {QStringLiteral("type"), targetFileType},
        {QStringLiteral("from"), fromSlide},
        {QStringLiteral("to"), toSlide},
        {QStringLiteral("filePerSlide"), createFileForEachSlide},
        {QStringLiteral("notesPage"), includeNotesPage},
        {QStringLiteral("notesOnly"), includeNotesOnly},
        {QStringLiteral("showSlideAndShape"), showSlideAndShape},
    };
    if (deferCommit)
        o.insert(QStringLiteral("defer"), true);
    return o;
}

ConversionRequest ConversionRequest::fromJson(const QJsonObject &o, bool *deferCommit)
{
    ConversionRequest r;
    r.originalFile = o.value(QStringLiteral("original")).toString();
    r.targetFile = o.value(QStringLiteral("target")).toString();
    r.targetFileType = o.value(QStringLiteral("type")).toInt();
    r.fromSlide = o.value(QStringLiteral("from")).toInt();
    r.toSlide = o.value(QStringLiteral("to")).toInt();
    r.createFileForEachSlide = o.value(QStringLiteral("filePerSlide")).toBool();
    r.includeNotesPage = o.value(QStringLiteral("notesPage")).toBool();
    r.includeNotesOnly = o.value(QStringLiteral("notesOnly")).toBool();
    r.showSlideAndShape = o.value(QStringLiteral("showSlideAndShape")).toBool();
    if (deferCommit)
        *deferCommit = o.value(QStringLiteral("defer")).toBool();
    return r;
}
