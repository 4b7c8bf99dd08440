// quorvane: batch conversion of presentations.
#include "app/CommandLine.h"
#include "app/InterruptWatcher.h"
#include "app/StartUp.h"
#include "platform/RuntimeFolder.h"

#include <QApplication>

#include <csignal>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    // Before anything that takes time: a signal from here on is recorded, and the run or the
    // window that follows ends on it instead of the program dying without a word.
    InterruptWatcher::install();
    // Tests: a signal at the earliest point of the start-up.
    if (const char *at = std::getenv("QV_TEST_SIGNAL_AT"); at && std::strcmp(at, "start") == 0)
        std::raise(SIGTERM);
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
