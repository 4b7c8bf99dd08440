// quorvane: batch conversion of presentations.
#include "app/CommandLine.h"
#include "app/StartUp.h"
#include "platform/RuntimeFolder.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char **argv)
{
    // An unattended run (cron, ssh, CI) has no display: use Qt's offscreen platform then. Without
    // a display and without a command line the program prints its command-line help.
    (void)argc;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    EnsureRuntimeFolder();
    QApplication app(argc, argv);
    RecordProcessArguments(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setOrganizationName(QStringLiteral("Ornwell, Inc"));
    return Main();
}
