#include "LanguageFile.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const QString kSeparator = QStringLiteral("\",\"");

bool isUtf16LeStart(const QByteArray &b)
{
    if (b.startsWith("\xFF\xFE"))
        return true;
    // Without a byte-order mark the opening quote shows as '"' 0.
    return b.size() >= 2 && b[0] == '"' && b[1] == '\0';
}

QString stripQuote(QString s, bool front)
{
    if (front && s.startsWith(u'"'))
        s.remove(0, 1);
    if (!front && s.endsWith(u'"'))
        s.chop(1);
    return s;
}

// The text inside the quotes of a whole-line entry.
QString inner(const QString &line) { return stripQuote(stripQuote(line, true), false); }

} // namespace

namespace LanguageFile {

QString decode(const QByteArray &bytes, int format)
{
    if (format == -1) {
        QStringDecoder dec(QStringDecoder::Utf16LE);
        QByteArray b = bytes;
        if (b.startsWith("\xFF\xFE"))
            b.remove(0, 2);
        if (b.size() % 2)
            b.chop(1);
        return dec.decode(b);
    }
    return TextCodec::decode(bytes);
}

int detectFormat(const QByteArray &bytes)
{
    const int format = isUtf16LeStart(bytes) ? -1 : 0;
    const QStringList lines = TextCodec::splitLines(decode(bytes, format));
    if (lines.isEmpty() || !lines.first().startsWith(u'"'))
        return 99;
    return format;
}

Contents parse(const QStringList &lines)
{
    Contents c;
    bool ended = false;
    for (QString line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        // Blanks outside the quotes (an editor's indentation or trailing blanks) do not count.
        const QString t = line.trimmed();
        if (t.size() >= 2 && t.startsWith(u'"') && t.endsWith(u'"'))
            line = t;
        // Whatever the line means, a text appended as this very line is already here.
        c.knownTexts.insert(inner(line));
        if (line.startsWith(QStringLiteral("\"!")))
            continue;
        if (line.startsWith(QStringLiteral("\"****"))) {
            ended = true;
            continue;
        }
        QString english;
        QString translation;
        const qsizetype sep = line.indexOf(kSeparator);
        if (sep >= 0) {
            // The translation ends at the next separator; anything after it is not part of it.
            english = stripQuote(line.left(sep), true);
            const qsizetype start = sep + kSeparator.size();
            const qsizetype next = line.indexOf(kSeparator, start);
            translation = next < 0 ? stripQuote(line.mid(start), false) : line.mid(start, next - start);
        } else {
            english = inner(line);
            translation = english;
        }
        if (english.isEmpty())
            continue;
        c.knownTexts.insert(english);
        if (ended || c.translations.contains(english))
            continue;
        // An entry not translated yet shows the English text rather than an empty caption.
        c.translations.insert(english, translation.isEmpty() ? english : translation);
    }
    return c;
}

bool read(const QString &path, int format, Contents &out)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    out = parse(TextCodec::splitLines(decode(f.readAll(), format)));
    return true;
}

bool appendText(const QString &path, int format, const QString &text)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray existing = f.readAll();
    f.close();

    QByteArray out;
    if (format == -1) {
        const bool endsWithBreak = existing.endsWith(QByteArray("\n\0", 2)) ||
                                   existing.endsWith(QByteArray("\r\0", 2));
        QString line = u'"' + text + QStringLiteral("\"\r\n");
        if (!existing.isEmpty() && !endsWithBreak)
            line.prepend(QStringLiteral("\r\n"));
        QStringEncoder enc(QStringEncoder::Utf16LE);
        out = enc.encode(line);
        if (existing.size() % 2)
            out.prepend('\0'); // keep the code units aligned after a cut-off last byte
    } else {
        const bool endsWithBreak = existing.endsWith('\n') || existing.endsWith('\r');
        QString line = u'"' + text + QStringLiteral("\"\r\n");
        if (!existing.isEmpty() && !endsWithBreak)
            line.prepend(QStringLiteral("\r\n"));
        out = TextCodec::isValidUtf8(existing) ? line.toUtf8() : TextCodec::encodeWindows1252(line);
    }

    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const bool ok = f.write(out) == out.size();
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

} // namespace LanguageFile
