#include "TypeExtensions.h"

#include "converter/TypeCatalogue.h"
#include "jobs/clsConversionOptions.h"

QString GetTypeExtension(int lTypeIndex, bool bWildcard, int lMode)
{
    switch (lMode) {
    case cmAmbrith:
        return GetConverterTypeExtension(lTypeIndex, bWildcard);
    case cmSpecialProcess:
        return GetTextControlTypeExtension(lTypeIndex, bWildcard);
    default:
        return QString();
    }
}

QString GetConverterTypeExtension(int lTypeIndex, bool bWildcard)
{
    // The PDF-with-options road is ours, not the converter's, so the catalogue does not know it.
    // Its wildcard form must be a real pattern, or a target built from it could never be valid.
    if (lTypeIndex == kPdfWithOptionsType)
        return bWildcard ? QStringLiteral("*.pdf") : QStringLiteral("pdf");
    return TypeCatalogue::typeExtension(lTypeIndex, bWildcard);
}

// Lower case, like the converter's: file names are case-sensitive here, and a process that
// rewrites a.txt must not write a.TXT beside it.
QString GetTextControlTypeExtension(int lTypeIndex, bool bWildcard)
{
    QString ext;
    switch (lTypeIndex) {
    case 1:
    case 2:
    case 6:
        ext = QStringLiteral("txt");
        break;
    case 4:
        ext = QStringLiteral("htm");
        break;
    case 5:
        ext = QStringLiteral("rtf");
        break;
    case 9:
        ext = QStringLiteral("doc");
        break;
    case 10:
        ext = QStringLiteral("xml");
        break;
    case 11:
        ext = QStringLiteral("css");
        break;
    case 12:
        ext = QStringLiteral("pdf");
        break;
    default:
        break;
    }
    return bWildcard ? QStringLiteral("*.") + ext : ext;
}
