#include "textcontrol/PictureResources.h"

#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>

namespace PictureResources {

QList<Use> uses(const QTextDocument &doc)
{
    QList<Use> list;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.isValid() && f.charFormat().isImageFormat())
                list.append({f.position(), f.length(), f.charFormat().toImageFormat()});
        }
    }
    return list;
}

QImage imageOf(const QVariant &res)
{
    if (res.typeId() == QMetaType::QImage)
        return res.value<QImage>();
    if (res.typeId() == QMetaType::QPixmap)
        return res.value<QPixmap>().toImage();
    if (res.typeId() == QMetaType::QByteArray)
        return QImage::fromData(res.toByteArray());
    return QImage();
}

QVariant resourceOf(const QTextDocument &doc, const QString &name)
{
    return doc.resource(QTextDocument::ImageResource, QUrl(name));
}

void copy(const QTextDocument &names, const QTextDocument &from, QTextDocument *to)
{
    for (const Use &use : uses(names)) {
        const QVariant res = resourceOf(from, use.format.name());
        if (res.isValid())
            to->addResource(QTextDocument::ImageResource, QUrl(use.format.name()), res);
    }
}

} // namespace PictureResources
