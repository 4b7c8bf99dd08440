#include "ProcessState.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <csignal>

namespace {
QString &procFolder()
{
    static QString folder = QStringLiteral("/proc");
    return folder;
}
} // namespace

void setProcFolderForTests(const QString &folder) { procFolder() = folder.isEmpty() ? QStringLiteral("/proc") : folder; }

bool bProcessAlive(qint64 pid)
{
    // A number beyond any pid names no process (and must not reach kill() as a process group).
    if (pid <= 0 || pid > INT_MAX)
        return false;
    QFile stat(procFolder() + QStringLiteral("/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
    // "pid (name) state ...": the name may hold ")" itself, so the state follows the last one.
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    const char state = close > 0 && close + 2 < text.size() ? text.at(close + 2) : 'X';
    return state != 'Z' && state != 'X';
}
