#pragma once
// Reading and appending the plain-text language files of the translator.
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace LanguageFile {

// What a language file holds.
struct Contents
{
    // English text -> translation, from the lines above the end marker; the first line of an
    // English text wins.
    QHash<QString, QString> translations;
    // Every text the file holds anywhere (also below the end marker and in lines that do not
    // parse as meant), so that nothing the file already has is appended again.
    QSet<QString> knownTexts;
};

// 0 (8-bit), -1 (UTF-16LE, with or without byte-order mark) or 99 (first line does not begin
// with a double quote in the detected encoding).
int detectFormat(const QByteArray &bytes);
// The file's text in the given format (a byte-order mark is dropped).
QString decode(const QByteArray &bytes, int format);
Contents parse(const QStringList &lines);
// Reads and parses a file; false when it cannot be read.
bool read(const QString &path, int format, Contents &out);
// Appends the line "text" in the file's own encoding: UTF-16LE for format -1; for 8-bit files
// UTF-8 while the file is valid UTF-8, else Windows-1252. A file that does not end with a line
// end gets one first. False when the file cannot be written.
bool appendText(const QString &path, int format, const QString &text);

} // namespace LanguageFile
