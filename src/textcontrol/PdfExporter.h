#pragma once
// Prints a QTextDocument to a PDF file with a given page size and margins, then secures and
// recompresses it with libqpdf: AES-256 passwords with a permission mask, and pictures
// re-encoded as JPEG at a quality. Pictures above a maximum resolution are scaled down before
// printing. The target appears complete or not at all (written under a temporary name).
#include <QString>

class QTextDocument;

struct PdfExportOptions
{
    // Page and margins in twips.
    int pageWidth = 12240;
    int pageHeight = 15840;
    int marginLeft = 1440;
    int marginTop = 1440;
    int marginRight = 1440;
    int marginBottom = 1440;
    // Encryption is used when either password is given.
    QString userPassword;
    QString ownerPassword;
    // Permission mask: 1 comment/forms/sign, 2 forms/sign, 4 screen readers, 8 assemble,
    // 16 copy, 32 (with 1 and 8) any change, 64 high-resolution print, 128 low-resolution print.
    int permissions = 0;
    int imageQuality = 0;       // 1-100 re-encodes pictures as JPEG; 0 leaves them
    int maxImageResolution = 0; // dots per inch; 0 leaves pictures as they are
    bool pdfA = false;
    QString title;
};

class PdfExporter
{
public:
    // Whether the page's margins leave room for text (at least a tenth of an inch each way; a
    // page without a size has none).
    static bool leavesRoom(const PdfExportOptions &options);
    static bool exportPdf(const QTextDocument &doc, const PdfExportOptions &options, const QString &path,
                          QString *error);
    // The secure/recompress stage alone, on PDF bytes in memory.
    static bool postProcess(const QByteArray &in, const PdfExportOptions &options, QByteArray *out,
                            QString *error);
};
