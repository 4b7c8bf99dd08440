#include "GridColumnRules.h"

#include <cmath>

namespace GridColumnRules {

namespace {

// Rounds to the nearest whole number, halves to even (the default floating-point rounding).
int roundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

QVector<int> sized(QVector<int> w, int n)
{
    w.resize(n);
    return w;
}

} // namespace

bool IsHiddenToDoColumn(int col) { return col == 0 || col == 4 || col == 7; }

bool IsHiddenLogColumn(int col) { return col == 0 || col == 3 || col == 4 || col == 5 || col == 7; }

QVector<int> FitToDoColumns(int gridWidthTwips, QVector<int> widths)
{
    QVector<int> w = sized(std::move(widths), 10);
    for (int c = 0; c < 10; ++c)
        if (IsHiddenToDoColumn(c))
            w[c] = 0;
    const int rest = roundEven(double(gridWidthTwips) - (w[1] + w[2] + w[5] + w[8] + w[9]));
    const int fill = roundEven(rest / 2.0 - 195);
    if (fill > 0) {
        w[3] = fill;
        w[6] = fill;
    }
    return w;
}

QVector<int> FitLogColumns(int gridWidthTwips, QVector<int> widths)
{
    QVector<int> w = sized(std::move(widths), 11);
    for (int c = 0; c < 11; ++c)
        if (IsHiddenLogColumn(c))
            w[c] = 0;
    const int rest = roundEven(double(gridWidthTwips) - (w[1] + w[2] + w[6] + w[8] + w[9]));
    const int fill = rest - 390;
    if (fill > 0)
        w[10] = fill;
    return w;
}

QVector<int> DefaultToDoWidths() { return {0, 450, 540, 3000, 0, 675, 3000, 0, 690, 660}; }

QVector<int> DefaultLogWidths() { return {0, 450, 615, 0, 0, 0, 3875, 0, 555, 615, 3000}; }

} // namespace GridColumnRules
