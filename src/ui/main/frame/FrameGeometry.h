#pragma once
// The frame's place on the screen as the settings file keeps it ([frmMainMDI]): a window state
// and the normal geometry in twips, 1440 to the inch at the screen's logical DPI. No widgets:
// the frame converts at its edge. The grids measure their columns in the same twips.
#include <QRect>
#include <QString>

class QWidget;

// Window states as stored: 0 normal, 1 minimised, 2 maximised.
enum FrameWindowState { fwsNormal = 0, fwsMinimized = 1, fwsMaximized = 2 };

struct FramePlacement
{
    int windowState = fwsNormal;
    int left = 150;
    int top = 150;
    int width = 13000;
    int height = 8325;
    bool operator==(const FramePlacement &) const = default;
};

// A normal window whose top edge lies beyond this (exclusive) is lost off the screen.
constexpr int kLostTopTwips = 99000;
bool bIsLostPosition(int windowState, int topTwips);

int TwipsToPixels(int twips, double dpi);
int PixelsToTwips(int pixels, double dpi);
// The logical DPI of the screen a widget is on (the primary screen's before it has one).
double LogicalDpi(const QWidget *w);
// A placement's geometry in pixels, and the placement of a geometry in pixels.
QRect PlacementToPixels(const FramePlacement &p, double dpi);
FramePlacement PixelsToPlacement(const QRect &r, int windowState, double dpi);

// [frmMainMDI] of the settings file. A missing or non-numeric key keeps its default; a stored
// minimised state opens normal (a minimised start looks like a failed one); a stored lost
// position (Top beyond the limit) gives the default geometry, so it cannot restore itself.
FramePlacement ReadFramePlacement(const QString &iniFile);
// Writes bFirstTimeUser, WindowState and, for a normal or minimised frame, its normal geometry.
// A minimised frame is stored as normal; a maximised one keeps the last normal geometry of the
// file.
void SaveFramePlacement(const QString &iniFile, bool bFirstTimeUser, const FramePlacement &p);
// bFirstTimeUser is True only when stored exactly as "True"; a missing key counts as "True".
bool ReadFirstTimeUser(const QString &iniFile);
