#include "ShellOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool DesktopShellOpener::open(const QString &target)
{
    if (target.isEmpty())
        return false;
    const QUrl url = QFileInfo(target).isAbsolute() ? QUrl::fromLocalFile(target)
                                                     : QUrl::fromUserInput(target);
    return QDesktopServices::openUrl(url);
}

ShellOpener &DesktopOpener()
{
    static DesktopShellOpener desktop;
    return desktop;
}
