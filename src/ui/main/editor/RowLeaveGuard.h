#pragma once
// The selection model of the task grid's view that asks before the user leaves a row. A move
// to another row (click, keys) first calls the guard; when it refuses, the current row and
// its selection stay. Moves the view makes to follow the grid's own current row pass at once.
#include <QItemSelectionModel>

#include <functional>

class FlexGrid;

class RowLeaveGuard : public QItemSelectionModel
{
    Q_OBJECT
public:
    RowLeaveGuard(QAbstractItemModel *model, FlexGrid *grid, QObject *parent = nullptr);

    // Asked with the grid row being left and the one the user goes to; false keeps the row.
    std::function<bool(int fromRow, int toRow)> guard;

    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override;
    void select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command) override;
    using QItemSelectionModel::select;

private:
    FlexGrid *m_grid;
    bool m_asking = false;
    bool m_refused = false; // the last move was refused
};
