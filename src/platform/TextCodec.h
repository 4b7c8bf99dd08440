#pragma once
// Text encodings of the files the program reads and writes: valid UTF-8 is UTF-8,
// anything else is Windows-1252; written text is UTF-8 without BOM with CRLF line ends.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace TextCodec {

bool isValidUtf8(const QByteArray &bytes);
QString decodeWindows1252(const QByteArray &bytes);
QByteArray encodeWindows1252(const QString &text); // unmappable characters become '?'
// UTF-8 when valid (a UTF-8 BOM is dropped), otherwise Windows-1252.
QString decode(const QByteArray &bytes);
// Splits at CRLF, LF or CR. A final line end does not produce an empty last line.
QStringList splitLines(const QString &text);
// The Windows-1252 character of a code 0-255 (codes 0x80-0x9F map to their 1252 characters).
QChar charFromCode(int code);

} // namespace TextCodec
