#include "LogWriter.h"

#include "platform/MachineMutex.h"
#include "platform/Prompter.h"

#include <QFile>
#include <QFileInfo>
#include <QRecursiveMutex>
#include <QStringList>

#include <algorithm>
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

// A power cut can leave a log's tail as NUL bytes (its size written, its data not). New lines
// go where its text ended, so that the NUL bytes never stand before a line end, where they would
// make the log look like no text to the next start.
void cutDamagedTail(const QString &file)
{
    QFile log(file);
    if (!QFileInfo(file).isFile() || !log.open(QIODevice::ReadOnly))
        return;
    char last = 0;
    const qint64 size = log.size();
    if (size == 0 || !log.seek(size - 1) || !log.getChar(&last) || last == '\n' || last == '\r')
        return;
    // Back to the last line end: cut there when what follows it holds a NUL byte.
    constexpr qint64 kPart = 64 * 1024;
    qint64 lineEnd = 0;
    bool nul = false;
    for (qint64 end = size; end > 0 && lineEnd == 0;) {
        const qint64 from = std::max<qint64>(0, end - kPart);
        QByteArray part;
        if (!log.seek(from) || (part = log.read(end - from)).size() != end - from)
            return;
        const qsizetype at = std::max(part.lastIndexOf('\n'), part.lastIndexOf('\r'));
        nul = nul || part.mid(at + 1).contains('\0');
        if (at >= 0)
            lineEnd = from + at + 1;
        end = from;
    }
    // Without a line end the tail is the whole file only when it starts with a NUL byte.
    char first = 0;
    const bool tail = nul && (lineEnd > 0 || (log.seek(0) && log.getChar(&first) && first == '\0'));
    log.close();
    if (tail)
        QFile::resize(file, lineEnd);
}

void appendLines(const QString &file, const QStringList &lines)
{
    cutDamagedTail(file);
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    QFile log(file);
    // Unbuffered append: all lines go out in one write at the end of the file.
    // A log that cannot be written must not swallow what a run reports.
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ||
        log.write(bytes) != bytes.size())
        for (const QString &line : lines)
            WriteToStandardError(line);
}

void writeOut(FILE *stream, const QString &line)
{
    const QByteArray text = line.toLocal8Bit() + '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stream);
    std::fflush(stream);
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

void WriteToStandardError(const QString &sMessage) { writeOut(stderr, EscapeControlCharacters(sMessage)); }

QString EscapeControlCharacters(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Line and paragraph separators break lines in many viewers too; the directional
        // embeddings, overrides, isolates and marks can make a line read reversed.
        const bool bidi = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F;
        if (c.category() != QChar::Other_Control && u != 0x2028 && u != 0x2029 && !bidi) {
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

void WriteLinesToLogFile(const QStringList &lines, const QString &sLogFile, bool bShowMessage)
{
    QStringList escaped;
    escaped.reserve(lines.size());
    for (const QString &line : lines)
        escaped << EscapeControlCharacters(line);
    CreateGlobalMutex();
    if (!sLogFile.isEmpty())
        appendLines(sLogFile, escaped);
    ReleaseGlobalMutex();
    // Shown only after the lock is let go: an open box must not hold up every other writer.
    if (!bShowMessage)
        return;
    if (Prompter *prompter = g_prompter.load()) {
        prompter->msgBox(escaped.join(QLatin1String("\r\n")), Prompter::Information | Prompter::OkOnly);
    } else {
        for (const QString &line : std::as_const(escaped))
            writeOut(stdout, line);
    }
}

void WriteToLogFile(const QString &sMessage, const QString &sLogFile, bool bShowMessage)
{
    WriteLinesToLogFile(QStringList{sMessage}, sLogFile, bShowMessage);
}
