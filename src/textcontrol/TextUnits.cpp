#include "textcontrol/TextUnits.h"

#include <QtGlobal>
#include <cmath>

// The resolution QTextDocument's default layout uses for point sizes (exported by QtGui).
Q_GUI_EXPORT int qt_defaultDpiX();

namespace TextUnits {

double docDpi()
{
    const int dpi = qt_defaultDpiX();
    return dpi > 0 ? dpi : 96.0;
}

double twipsToDoc(double twips)
{
    return twips * docDpi() / 1440.0;
}

int docToTwips(double docUnits)
{
    return int(std::lround(docUnits * 1440.0 / docDpi()));
}

QColor colorFromColorRef(int colorRef)
{
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

int colorRefFromColor(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

int textBackgroundRef(int colorRef)
{
    return (colorRef & 0xFFFFFF) == 0 ? kBlackTextBackground : colorRef;
}

} // namespace TextUnits
