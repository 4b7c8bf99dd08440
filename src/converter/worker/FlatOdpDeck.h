#pragma once
// The text of a presentation read from its flat OpenDocument export (.fodp/.fodg): per slide
// its shapes with their paragraphs and outline levels, and its notes. Also trims such an export
// to a set of slides, which is how a slide range reaches the office formats.
#include <QList>
#include <QString>
#include <QStringList>

struct DeckParagraph
{
    QString text;
    int level = 0; // 0 = not in a list; 1 = first bullet level, ...
};

struct DeckShape
{
    QString name;               // draw:name, may be ""
    QString presentationClass;  // "title", "subtitle", "outline", "notes", "" for free shapes
    QList<DeckParagraph> paragraphs;
};

struct DeckSlide
{
    int number = 0;             // 1-based, as in the original
    QString name;
    QList<DeckShape> shapes;    // in drawing order
    QList<DeckParagraph> notes;
    QString title() const;      // text of the title shape, "" without one
};

namespace FlatOdpDeck {

// Reads the slides of flat OpenDocument XML; an empty list when the text is not one.
QList<DeckSlide> readSlides(const QByteArray &xml);

// The same XML with only the slides first..last (1-based, inclusive) kept. Empty on failure.
QByteArray keepSlides(const QByteArray &xml, int first, int last);

} // namespace FlatOdpDeck
