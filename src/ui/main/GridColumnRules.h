#pragma once
// Column widths of the task and log grids, in twips: the fixed columns keep the widths the
// settings gave, the fill columns take what the grid's width leaves, the code columns are hidden
// (width 0). Pure, so the window's resize and the tests use the same rule.
#include "ui/main/frame/FrameGeometry.h"

#include <QVector>

namespace GridColumnRules {

// Task grid: 10 columns; 0, 4, 7 hidden; 3 and 6 share the rest.
// Log grid: 11 columns; 0, 3, 4, 5, 7 hidden; 10 takes the rest.
// widths: the current widths (missing entries count as 0). A fill width that would not be
// positive keeps the column's current width.
QVector<int> FitToDoColumns(int gridWidthTwips, QVector<int> widths);
QVector<int> FitLogColumns(int gridWidthTwips, QVector<int> widths);

bool IsHiddenToDoColumn(int col);
bool IsHiddenLogColumn(int col);

// Design widths of the grids before the settings say otherwise.
QVector<int> DefaultToDoWidths();
QVector<int> DefaultLogWidths();

// Twips are 1440 per inch at the screen's logical DPI, as for the frame.
using ::PixelsToTwips;
using ::TwipsToPixels;

} // namespace GridColumnRules
