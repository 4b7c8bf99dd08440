#include "OutputCheck.h"

#include <QFile>

namespace OutputCheck {

namespace {

// A little-endian number of bytes bytes at at (0 where b is too short).
quint64 le(const QByteArray &b, qsizetype at, int bytes)
{
    if (at < 0 || at + bytes > b.size())
        return 0;
    quint64 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | uchar(b.at(at + i));
    return v;
}
quint16 le16(const QByteArray &b, qsizetype at) { return quint16(le(b, at, 2)); }
quint32 le32(const QByteArray &b, qsizetype at) { return quint32(le(b, at, 4)); }
quint64 le64(const QByteArray &b, qsizetype at) { return le(b, at, 8); }

// count bytes of f from offset (fewer at its end; empty when unreadable).
QByteArray readAt(QFile &f, qint64 offset, qint64 count)
{
    return offset >= 0 && f.seek(offset) ? f.read(count) : QByteArray();
}

// The last count bytes of f without the blanks (and zeros) that writers may put after the end.
QByteArray tailOf(QFile &f, qint64 size, qint64 count)
{
    QByteArray tail = readAt(f, qMax<qint64>(0, size - count), count);
    while (!tail.isEmpty() && (QByteArrayView(" \t\r\n\f").contains(tail.back()) || tail.back() == '\0'))
        tail.chop(1);
    return tail;
}

bool pdfWhole(QFile &f, qint64 size) { return readAt(f, 0, 5) == "%PDF-" && tailOf(f, size, 1024).endsWith("%%EOF"); }

bool pngWhole(QFile &f, qint64 size)
{
    static const QByteArray iend = QByteArray::fromHex("0000000049454e44ae426082");
    return readAt(f, 0, 8) == QByteArray::fromHex("89504e470d0a1a0a") && readAt(f, size - 12, 12) == iend;
}

// Every group that opens closes, the outermost one last.
bool rtfWhole(QFile &f, qint64 size)
{
    const QByteArray text = readAt(f, 0, size);
    if (!text.startsWith("{\\rtf"))
        return false;
    qint64 depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\\')
            ++i; // an escaped brace or backslash
        else if (c == '{')
            ++depth;
        else if (c == '}' && --depth == 0)
            return text.mid(i + 1).trimmed().isEmpty();
    }
    return false;
}

// The end record is the last thing in the file (after its comment); the central directory ends
// where the record begins (or where the ZIP64 end record begins).
bool zipWhole(QFile &f, qint64 size)
{
    const qint64 span = qMin<qint64>(size, 65535 + 22);
    const QByteArray tail = readAt(f, size - span, span);
    if (tail.size() != span)
        return false;
    for (qsizetype at = tail.lastIndexOf("PK\x05\x06"); at >= 0; at = at > 0 ? tail.lastIndexOf("PK\x05\x06", at - 1) : -1) {
        if (at + 22 + le16(tail, at + 20) != tail.size())
            continue;
        const qint64 record = size - span + at;
        quint64 cdSize = le32(tail, at + 12), cdOffset = le32(tail, at + 16);
        qint64 cdEnd = record;
        if (cdOffset == 0xFFFFFFFFu || cdSize == 0xFFFFFFFFu) {
            const QByteArray locator = readAt(f, record - 20, 20);
            if (!locator.startsWith("PK\x06\x07"))
                return false;
            cdEnd = static_cast<qint64>(le64(locator, 8));
            const QByteArray zip64 = readAt(f, cdEnd, 56);
            if (!zip64.startsWith("PK\x06\x06"))
                return false;
            cdSize = le64(zip64, 40);
            cdOffset = le64(zip64, 48);
        }
        return cdOffset + cdSize == quint64(cdEnd) && (cdSize == 0 || readAt(f, qint64(cdOffset), 4) == "PK\x01\x02");
    }
    return false;
}

// Every sector that the allocation table marks as used is inside the file. The sectors of
// the table itself are listed in the header (the first 109; larger files are judged by those).
bool compoundWhole(QFile &f, qint64 size)
{
    const QByteArray header = readAt(f, 0, 512);
    if (header.size() != 512 || !header.startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1")))
        return false;
    const int shift = le16(header, 0x1E);
    if (shift != 9 && shift != 12)
        return false;
    const qint64 sector = qint64(1) << shift;
    const quint32 fatSectors = qMin<quint32>(le32(header, 0x2C), 109);
    if (fatSectors == 0)
        return false;
    qint64 lastUsed = -1;
    for (quint32 i = 0; i < fatSectors; ++i) {
        const quint32 at = le32(header, 0x4C + 4 * i);
        const QByteArray table = readAt(f, (qint64(at) + 1) * sector, sector);
        if (at >= 0xFFFFFFFAu || table.size() != sector)
            return false;
        for (qint64 j = 0; j < sector / 4; ++j)
            if (le32(table, 4 * j) != 0xFFFFFFFFu)
                lastUsed = qMax(lastUsed, qint64(i) * (sector / 4) + j);
    }
    return (lastUsed + 2) * sector <= size;
}

} // namespace

std::optional<Form> formOf(const QString &format)
{
    const QString f = format.toLower();
    if (f == QLatin1String("pdf"))
        return Form::Pdf;
    if (f == QLatin1String("pptx") || f == QLatin1String("odp") || f == QLatin1String("docx") || f == QLatin1String("odt"))
        return Form::Zip;
    if (f == QLatin1String("ppt") || f == QLatin1String("pot") || f == QLatin1String("doc"))
        return Form::Compound;
    if (f == QLatin1String("png"))
        return Form::Png;
    if (f == QLatin1String("rtf"))
        return Form::Rtf;
    return std::nullopt;
}

bool isWhole(const QString &path, Form form)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = f.size();
    if (size <= 0)
        return false;
    switch (form) {
    case Form::Pdf: return pdfWhole(f, size);
    case Form::Zip: return zipWhole(f, size);
    case Form::Compound: return compoundWhole(f, size);
    case Form::Png: return pngWhole(f, size);
    case Form::Rtf: return rtfWhole(f, size);
    }
    return false;
}

} // namespace OutputCheck
