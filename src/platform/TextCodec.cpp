#include "TextCodec.h"

#include <QStringDecoder>

namespace {
// Windows-1252 code points 0x80..0x9F; 0 marks the five undefined codes (kept as C1 controls).
const char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

namespace TextCodec {

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder dec(QStringDecoder::Utf8);
    const QString decoded = dec.decode(bytes); // decoding is lazy: convert to find errors
    return !dec.hasError();
}

QChar charFromCode(int code)
{
    code &= 0xFF;
    if (code >= 0x80 && code <= 0x9F && kHigh[code - 0x80] != 0)
        return QChar(kHigh[code - 0x80]);
    return QChar(static_cast<char16_t>(code));
}

QString decodeWindows1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out.append(charFromCode(static_cast<unsigned char>(c)));
    return out;
}

QByteArray encodeWindows1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF) ||
            (u >= 0x80 && u <= 0x9F && kHigh[u - 0x80] == 0)) {
            out.append(static_cast<char>(u));
            continue;
        }
        int code = -1;
        for (int i = 0; i < 32; ++i)
            if (kHigh[i] == u) {
                code = 0x80 + i;
                break;
            }
        out.append(code >= 0 ? static_cast<char>(code) : '?');
    }
    return out;
}

QString decode(const QByteArray &bytes)
{
    if (isValidUtf8(bytes)) {
        QString s = QString::fromUtf8(bytes);
        if (s.startsWith(QChar(0xFEFF)))
            s.remove(0, 1);
        return s;
    }
    return decodeWindows1252(bytes);
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

} // namespace TextCodec
