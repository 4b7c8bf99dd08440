#include "FramePictures.h"

#include <QGuiApplication>

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/quorvane-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap StatusPicture(StatusPanels::Picture picture, int size)
{
    QString name;
    switch (picture) {
    case StatusPanels::CompletePicture:
        name = QStringLiteral("complete");
        break;
    case StatusPanels::AttentionPicture:
        name = QStringLiteral("attention");
        break;
    default:
        return QPixmap();
    }
    const QIcon icon(QStringLiteral(":/icons/%1.png").arg(name));
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    return icon.pixmap(QSize(size, size), ratio);
}
