// A second process for the lock and log-writer tests.
//   hold <name>                  takes the lock, says "locked", lets go at a line (or EOF) on stdin
//   try <name>                   says "free" or "busy"
//   append <log> <count> <tag>   writes count lines through the log writer
// $QV_TEST_LOCK_FOLDER, when set, is the folder of the locks (the test's own).
#include "common/LogWriter.h"
#include "platform/MachineMutex.h"

#include <QString>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    MachineMutex::setLockFolderForTests(qEnvironmentVariable("QV_TEST_LOCK_FOLDER"));
    if (argc >= 3 && std::strcmp(argv[1], "hold") == 0) {
        MachineMutex mutex(QString::fromLocal8Bit(argv[2]));
        if (!mutex.lock())
            return 2;
        std::printf("locked\n");
        std::fflush(stdout);
        char line[16];
        (void)std::fgets(line, sizeof line, stdin);
        mutex.unlock();
        std::printf("released\n");
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "try") == 0) {
        MachineMutex mutex(QString::fromLocal8Bit(argv[2]));
        std::printf(mutex.tryLock() ? "free\n" : "busy\n");
        return 0;
    }
    if (argc >= 5 && std::strcmp(argv[1], "append") == 0) {
        const QString log = QString::fromLocal8Bit(argv[2]);
        const int count = std::atoi(argv[3]);
        const QString tag = QString::fromLocal8Bit(argv[4]);
        for (int i = 0; i < count; ++i)
            WriteToLogFile(tag + QStringLiteral(" line %1 ").arg(i) + QString(200, u'x'), log, false);
        return 0;
    }
    return 1;
}
