#pragma once
// Small builders shared by the text-control tests.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace texttest {

// A picture with fine detail (so that JPEG quality matters), encoded as "png" or "jpeg".
inline QByteArray pictureBytes(const char *format, int w = 480, int h = 360, quint32 seed = 7)
{
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 3 + int(rng.bounded(40))) & 0xFF, (y * 2 + int(rng.bounded(40))) & 0xFF,
                                    int(rng.bounded(256))));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format, 95);
    return bytes;
}

// Inserts a picture at the cursor, shown at the given size in twips.
inline void insertPicture(QTextDocument *doc, QTextCursor &c, const QString &name, const QByteArray &bytes,
                          double shownW, double shownH)
{
    doc->addResource(QTextDocument::ImageResource, QUrl(name), bytes);
    QTextImageFormat f;
    f.setName(name);
    f.setWidth(shownW);
    f.setHeight(shownH);
    c.insertImage(f);
}

} // namespace texttest
