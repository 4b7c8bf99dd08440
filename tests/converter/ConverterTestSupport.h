#pragma once
// Shared pieces of the converter tests: one conversion control (and so one worker) for the
// whole test program, presentations made from the flat-ODP fixture by the worker itself, and
// readers for what the conversions write.
#include "converter/ConversionControl.h"

#include <QByteArray>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace convtest {

// The control every test shares; options are reset to "all slides, no extras".
ConversionControl &control();
void resetOptions(ConversionControl &c);

// tests/data/quarterly-review.fodp (4 slides: titles, bullets, notes, a picture) saved once
// per run as the given type ("pptx", "ppt", "odp") in a shared folder.
QString deck(const QString &ext);
constexpr int kDeckSlides = 4;

// A fresh empty folder for one test.
QString freshFolder(const QString &name);

// Converts with the control's current options; returns the result code.
int convert(const QString &original, const QString &target, int type);

// PDF pages and the first page's size in points (-1 pages when it cannot be read).
struct PdfFacts
{
    int pages = -1;
    QSizeF size;
    // The document's language (/Lang) and each page's drawing, decoded.
    QByteArray language;
    QList<QByteArray> pageContents;
};
PdfFacts pdfFacts(const QString &path);
// The [Content_Types].xml of a zip package ("" when unreadable).
QByteArray contentTypes(const QString &path);
// Entries of a folder, hidden ones included, sorted.
QStringList entries(const QString &folder);
// Entries that are staged (temporary) outputs, or old targets a commit keeps aside.
QStringList stagedLeftovers(const QString &folder);

} // namespace convtest
