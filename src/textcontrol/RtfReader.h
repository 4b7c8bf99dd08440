#pragma once
// Reads RTF into a QTextDocument: groups, font and colour tables, character and paragraph
// formatting, \u and \'hh characters in the document's or font's code page, tables as
// text (cells by tabs, rows by paragraphs) and PNG/JPEG pictures. Unknown destinations are
// skipped. Malformed input (no RTF header, truncated groups, runaway nesting, bad \bin
// lengths) gives false and an error text; reading never loops without consuming input.
#include "textcontrol/RtfPageSetup.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

class RtfReader
{
public:
    // Replaces the document's content. On failure the document is left empty.
    static bool read(const QByteArray &rtf, QTextDocument *doc, RtfPageSetup *page, QString *error);
    // True when the bytes start like an RTF document.
    static bool looksLikeRtf(const QByteArray &bytes);
};
