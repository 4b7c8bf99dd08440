#pragma once
// Writes a QTextDocument as RTF: font and colour tables, character and paragraph formatting,
// characters outside Windows-1252 as \u, pictures as PNG or JPEG (kept in their own encoding
// when the document holds the encoded bytes), and the page size and margins.
#include "textcontrol/RtfPageSetup.h"

#include <QByteArray>

class QTextDocument;

class RtfWriter
{
public:
    static QByteArray write(const QTextDocument &doc, const RtfPageSetup &page);
};
