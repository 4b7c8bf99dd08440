#include "FrameGeometry.h"

#include "common/NumberUtils.h"
#include "platform/ProfileIni.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

const QString kSection = QStringLiteral("frmMainMDI");

int readNumber(const QString &ini, const QString &key, int def)
{
    int v = def;
    if (!bTryCLng(ProfileIni::readString(ini, kSection, key, QString::number(def)), v))
        return def;
    return v;
}

} // namespace

bool bIsLostPosition(int windowState, int topTwips)
{
    return windowState == fwsNormal && topTwips > kLostTopTwips;
}

int TwipsToPixels(int twips, double dpi)
{
    return int(std::lround(double(twips) * dpi / 1440.0));
}

int PixelsToTwips(int pixels, double dpi)
{
    return dpi > 0 ? int(std::lround(double(pixels) * 1440.0 / dpi)) : 0;
}

double LogicalDpi(const QWidget *w)
{
    const QScreen *s = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchY() : 96.0;
}

QRect PlacementToPixels(const FramePlacement &p, double dpi)
{
    return QRect(TwipsToPixels(p.left, dpi), TwipsToPixels(p.top, dpi), TwipsToPixels(p.width, dpi),
                 TwipsToPixels(p.height, dpi));
}

FramePlacement PixelsToPlacement(const QRect &r, int windowState, double dpi)
{
    FramePlacement p;
    p.windowState = windowState;
    p.left = PixelsToTwips(r.x(), dpi);
    p.top = PixelsToTwips(r.y(), dpi);
    p.width = PixelsToTwips(r.width(), dpi);
    p.height = PixelsToTwips(r.height(), dpi);
    return p;
}

FramePlacement ReadFramePlacement(const QString &iniFile)
{
    const FramePlacement defaults;
    FramePlacement p;
    p.windowState = readNumber(iniFile, QStringLiteral("WindowState"), fwsNormal);
    if (p.windowState != fwsMaximized)
        p.windowState = fwsNormal;
    p.left = readNumber(iniFile, QStringLiteral("Left"), defaults.left);
    p.top = readNumber(iniFile, QStringLiteral("Top"), defaults.top);
    p.width = readNumber(iniFile, QStringLiteral("Width"), defaults.width);
    p.height = readNumber(iniFile, QStringLiteral("Height"), defaults.height);
    if (p.top > kLostTopTwips || p.width <= 0 || p.height <= 0) {
        const int state = p.windowState;
        p = defaults;
        p.windowState = state;
    }
    return p;
}

void SaveFramePlacement(const QString &iniFile, bool bFirstTimeUser, const FramePlacement &p)
{
    auto write = [&](const char *key, const QString &value) {
        ProfileIni::writeString(iniFile, kSection, QString::fromLatin1(key), value);
    };
    const int state = p.windowState == fwsMaximized ? fwsMaximized : fwsNormal;
    write("bFirstTimeUser", bFirstTimeUser ? QStringLiteral("True") : QStringLiteral("False"));
    write("WindowState", QString::number(state));
    if (state != fwsNormal)
        return;
    write("Left", QString::number(p.left));
    write("Top", QString::number(p.top));
    write("Width", QString::number(p.width));
    write("Height", QString::number(p.height));
}

bool ReadFirstTimeUser(const QString &iniFile)
{
    return ProfileIni::readString(iniFile, kSection, QStringLiteral("bFirstTimeUser"),
                                  QStringLiteral("True")) == QStringLiteral("True");
}
