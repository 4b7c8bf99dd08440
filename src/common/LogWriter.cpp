#include "LogWriter.h"

#include "platform/MachineMutex.h"
#include "platform/Prompter.h"

#include <QFile>
#include <QRecursiveMutex>
#include <QRegularExpression>
#include <QStringList>

#include <atomic>
#include <cstdio>

namespace {

std::atomic<Prompter *> g_prompter{nullptr};
// Threads of this process queue here first: the file lock object belongs to one thread at a time.
QRecursiveMutex g_threadLock;
thread_local int t_depth = 0;

MachineMutex &globalMutex()
{
    static MachineMutex mutex(QStringLiteral("Ambrith_Global_Mutex"));
    return mutex;
}

QByteArray withCrlf(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(u'\r', u'\n');
    t.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return t.toUtf8();
}

void appendLine(const QString &file, const QString &message)
{
    QFile log(file);
    const QByteArray line = withCrlf(message) + "\r\n";
    // Unbuffered append: the whole line goes out in one write at the end of the file.
    // A log that cannot be written must not swallow what a run reports.
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ||
        log.write(line) != line.size())
        WriteToStandardError(message);
}

} // namespace

void CreateGlobalMutex()
{
    g_threadLock.lock();
    ++t_depth;
    globalMutex().lock();
}

void ReleaseGlobalMutex()
{
    if (t_depth == 0)
        return;
    --t_depth;
    globalMutex().unlock();
    g_threadLock.unlock();
}

void SetLogMessagePrompter(Prompter *prompter) { g_prompter = prompter; }

void WriteToStandardError(const QString &sMessage)
{
    QString t = sMessage;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(u'\r', u'\n');
    const QByteArray text = t.toLocal8Bit() + '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
    std::fflush(stderr);
}

QString EscapeControlCharacters(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Line and paragraph separators break lines in many viewers too.
        if (c.category() != QChar::Other_Control && u != 0x2028 && u != 0x2029) {
            out += c;
            continue;
        }
        switch (u) {
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        default:
            out += (u > 0xFF ? QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'))
                             : QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0')));
        }
    }
    return out;
}

QString OneLine(const QString &text)
{
    QStringList parts;
    for (const QString &line : text.split(QRegularExpression(QStringLiteral("[\r\n]+")))) {
        const QString t = line.trimmed();
        if (!t.isEmpty())
            parts << EscapeControlCharacters(t);
    }
    return parts.join(u' ');
}

void WriteToLogFile(const QString &sMessage, const QString &sLogFile, bool bShowMessage)
{
    CreateGlobalMutex();
    if (!sLogFile.isEmpty())
        appendLine(sLogFile, sMessage);
    ReleaseGlobalMutex();
    // Shown only after the lock is let go: an open box must not hold up every other writer.
    if (!bShowMessage)
        return;
    if (Prompter *prompter = g_prompter.load()) {
        prompter->msgBox(sMessage, Prompter::Information | Prompter::OkOnly);
    } else {
        const QByteArray text = sMessage.toLocal8Bit() + '\n';
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
        std::fflush(stdout);
    }
}
