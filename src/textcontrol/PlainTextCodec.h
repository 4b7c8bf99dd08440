#pragma once
// The encoding and line-end style of a plain-text file, detected on reading and kept for
// writing, so that a file read and written again keeps its bytes' form: UTF-16 by its byte
// order mark, UTF-8 (with or without mark) when valid, else Windows-1252.
#include <QByteArray>
#include <QString>

struct PlainTextForm
{
    enum Encoding { Utf8, Utf8Bom, Windows1252, Utf16LE, Utf16BE };
    Encoding encoding = Utf8;
    QString lineEnd = QStringLiteral("\r\n");
};

namespace PlainTextCodec {

// Decodes and reports the form; line ends are left as they are in the text.
QString decode(const QByteArray &bytes, PlainTextForm *form);
// Encodes text in the form's encoding (with its byte order mark); line ends are not changed.
QByteArray encode(const QString &text, const PlainTextForm &form);
// Text with every CRLF, CR and LF replaced by the given line end.
QString withLineEnds(const QString &text, const QString &lineEnd);

} // namespace PlainTextCodec
