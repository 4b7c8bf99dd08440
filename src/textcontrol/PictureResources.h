#pragma once
// The pictures of a document: where they stand, their decoded images, and copies of their
// resources between documents (a copied fragment carries picture names, not the pictures).
#include <QImage>
#include <QList>
#include <QTextImageFormat>
#include <QVariant>

class QTextDocument;

namespace PictureResources {

struct Use
{
    int position;
    int length;
    QTextImageFormat format;
};

// Every picture of the document, in text order.
QList<Use> uses(const QTextDocument &doc);
// The image of a resource value (QImage, QPixmap or encoded bytes); null when none.
QImage imageOf(const QVariant &resource);
// The resource of a picture name, loading files relative to the document as Qt does.
QVariant resourceOf(const QTextDocument &doc, const QString &name);
// Copies the resources that the pictures of `names` refer to from `from` into `to`.
void copy(const QTextDocument &names, const QTextDocument &from, QTextDocument *to);

} // namespace PictureResources
