#pragma once
// Web pages of a deck that a reader can browse: an index page with a thumbnail and title per
// slide, and one page per slide with its picture, its text and links to the previous and next
// slide and back to the index. The slide pages and pictures live in a folder beside the index
// named after it ("deck.html" and "deck_files/deck_2.html", "deck_files/deck_2.png").
#include "SlideTextWriter.h"

#include <QByteArray>
#include <QMap>
#include <QSize>
#include <QString>

class HtmlPages
{
public:
    // indexFileName is the index page's own name (no folder); title heads the index.
    HtmlPages(const QString &indexFileName, const QString &title, const QList<DeckSlide> &slides,
              const SlideTextOptions &o);

    QString folderName() const { return m_stem + QStringLiteral("_files"); }
    // Names inside the folder; slide is the slide's number in the original.
    QString pageName(int slide) const;
    QString pictureName(int slide) const;
    // The picture's size in pixels, written into the pages so they lay out before it loads.
    void setPictureSize(int slide, const QSize &size) { m_sizes.insert(slide, size); }

    QByteArray index() const;
    // The page of slides()[i].
    QByteArray page(int i) const;
    const QList<DeckSlide> &slides() const { return m_slides; }

private:
    QString slideCaption(const DeckSlide &s) const;
    QString navigation(int i) const;

    QString m_index;
    QString m_stem;
    QString m_title;
    QList<DeckSlide> m_slides;
    SlideTextOptions m_options;
    QMap<int, QSize> m_sizes;
};
