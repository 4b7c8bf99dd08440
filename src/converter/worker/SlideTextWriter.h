#pragma once
// Writes the slide text of a deck as RTF (optionally with a picture of each slide before its
// text), as Windows-1252 or Unicode text, or as one HTML file.
#include "FlatOdpDeck.h"

#include <QByteArray>
#include <QImage>
#include <QMap>

struct SlideTextOptions
{
    bool notes = false;             // the notes follow each slide's text
    bool notesOnly = false;         // only the notes
    bool showSlideAndShape = false; // a label line before each slide and each shape
};

namespace SlideTextWriter {

QByteArray rtf(const QList<DeckSlide> &slides, const SlideTextOptions &o,
               const QMap<int, QImage> &pictures = {});
// Windows-1252, CRLF line ends.
QByteArray ansiText(const QList<DeckSlide> &slides, const SlideTextOptions &o);
// UTF-16LE with byte-order mark, CRLF line ends ("Unicode" text as Windows programs read it).
QByteArray unicodeText(const QList<DeckSlide> &slides, const SlideTextOptions &o);
QByteArray html(const QList<DeckSlide> &slides, const SlideTextOptions &o, const QString &title);
// The body of that HTML file (headings, paragraphs, a rule after each slide), for pages that
// wrap it in their own frame.
QString htmlBody(const QList<DeckSlide> &slides, const SlideTextOptions &o);

} // namespace SlideTextWriter
