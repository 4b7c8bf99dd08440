#include "RowLeaveGuard.h"

#include "platform/FlexGrid.h"
#include "ui/support/FlexGridTableModel.h"

RowLeaveGuard::RowLeaveGuard(QAbstractItemModel *model, FlexGrid *grid, QObject *parent)
    : QItemSelectionModel(model, parent), m_grid(grid)
{
}

void RowLeaveGuard::setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command)
{
    // The guard may show a box; a second move meanwhile (a drag under the box) is no new question.
    if (m_asking)
        return;
    if (guard && index.isValid()) {
        const int to = FlexGridTableModel::gridRow(index);
        const int from = m_grid->row();
        if (to != from) {
            m_asking = true;
            const bool leave = guard(from, to);
            m_asking = false;
            if (!leave) {
                m_refused = true;
                return;
            }
        }
    }
    m_refused = false;
    QItemSelectionModel::setCurrentIndex(index, command);
}

void RowLeaveGuard::select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command)
{
    // A click whose move was refused goes on to select the clicked row: the selection stays with
    // the current row instead.
    const QModelIndex current = currentIndex();
    if (m_refused && current.isValid() && (command & QItemSelectionModel::Select)) {
        for (const QItemSelectionRange &r : selection)
            if (r.top() > current.row() || current.row() > r.bottom())
                return;
    }
    QItemSelectionModel::select(selection, command);
}
