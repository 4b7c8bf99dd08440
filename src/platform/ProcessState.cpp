#include "ProcessState.h"

#include <QFile>

bool bProcessAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // "pid (name) state ...": the name may hold ")" itself, so the state follows the last one.
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    const char state = close > 0 && close + 2 < text.size() ? text.at(close + 2) : 'X';
    return state != 'Z' && state != 'X';
}
