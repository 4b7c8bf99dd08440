#pragma once
// Unit and colour conversions of the text control. Settings and RTF keep lengths in twips
// and colours as COLORREF (0x00BBGGRR); the document model lays text out in pixels of the
// layout's resolution.
#include <QColor>

namespace TextUnits {

// Resolution (dots per inch) in which QTextDocument lays out a document without paint device.
double docDpi();
double twipsToDoc(double twips);
int docToTwips(double docUnits);
QColor colorFromColorRef(int colorRef);
int colorRefFromColor(const QColor &color);

// Text background colours: 0 has always meant "no background" in stored settings, so black
// is kept in COLORREF's palette-relative form, whose low 24 bits still read as black.
constexpr int kNoTextBackground = 0;
constexpr int kBlackTextBackground = 0x02000000;
// The COLORREF of a background colour: black as kBlackTextBackground, never 0.
int textBackgroundRef(int colorRef);

} // namespace TextUnits
