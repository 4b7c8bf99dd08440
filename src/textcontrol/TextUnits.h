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

} // namespace TextUnits
