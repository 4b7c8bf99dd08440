#include "FramePictures.h"

#include <QGuiApplication>

// Resources of a static library are registered by hand: the linker would drop the initialiser.
static void initFrameResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(frame);
        return true;
    }();
    (void)done;
}

QIcon ProgramIcon()
{
    initFrameResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/frame/quorvane-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap StatusPicture(StatusPanels::Picture picture, int size)
{
    initFrameResources();
    QString name;
    switch (picture) {
    case StatusPanels::CompletePicture:
        name = QStringLiteral("complete");
        break;
    default:
        return QPixmap();
    }
    const QIcon icon(QStringLiteral(":/frame/%1.png").arg(name));
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    return icon.pixmap(QSize(size, size), ratio);
}
