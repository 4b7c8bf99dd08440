#pragma once
// Shows a FlexGrid in a QTableView: the grid's row 0 is the horizontal header, its rows 1..n-1
// are the model's rows 0..n-2. Cell texts are DisplayRole, the cell picture (pass, fail, ...)
// DecorationRole, the cell formats TextAlignmentRole and FontRole. The model follows the grid's
// signals; it never changes the grid.
#include "platform/FlexGrid.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QPointer>

class FlexGridTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit FlexGridTableModel(FlexGrid *grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Row of the grid shown at a model index, and back (invalid for the header row).
    static int gridRow(const QModelIndex &index) { return index.isValid() ? index.row() + 1 : -1; }
    QModelIndex indexOfGridCell(int gridRow, int col) const { return index(gridRow - 1, col); }

    // The picture shown for a cell picture; the defaults are drawn marks (green tick, red cross,
    // pause bars, blue tick).
    void setPictureIcon(FlexGrid::Picture picture, const QIcon &icon);
    QIcon pictureIcon(FlexGrid::Picture picture) const;

signals:
    // The grid's current row moved (model row; -1 for the header).
    void currentModelRowChanged(int modelRow);

private:
    void onAboutToReset();
    void onResetDone();
    void onRowAboutToBeInserted(int gridIndex);
    void onRowInserted(int gridIndex);
    void onRowAboutToBeRemoved(int gridIndex);
    void onRowRemoved(int gridIndex);
    void onRowAboutToBeMoved(int from, int to);
    void onRowMoved(int from, int to);
    void onCellChanged(int row, int col);

    QPointer<FlexGrid> m_grid;
    // A change that touches the header row (grid row 0) is shown as a reset.
    bool m_resetting = false;
    bool m_moving = false;
    mutable QHash<int, QIcon> m_icons;
};
