#include "FlexGridTableModel.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QIcon drawnIcon(FlexGrid::Picture picture)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    auto tick = [&p](const QColor &colour) {
        p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath path;
        path.moveTo(3, 8.5);
        path.lineTo(6.5, 12);
        path.lineTo(13, 4);
        p.drawPath(path);
    };
    switch (picture) {
    case FlexGrid::Picture::Passed:
        tick(QColor(0, 150, 0));
        break;
    case FlexGrid::Picture::Failed:
        p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case FlexGrid::Picture::Paused:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 140, 0));
        p.drawRect(QRectF(4, 3, 3, 10));
        p.drawRect(QRectF(9, 3, 3, 10));
        break;
    case FlexGrid::Picture::Done:
        tick(QColor(0, 90, 200));
        break;
    case FlexGrid::Picture::None:
        break;
    }
    p.end();
    return QIcon(pixmap);
}

QVariant alignmentOf(FlexGrid::Align a)
{
    switch (a) {
    case FlexGrid::Align::Left:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case FlexGrid::Align::Center:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case FlexGrid::Align::Right:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    case FlexGrid::Align::General:
        break;
    }
    return QVariant();
}

QVariant fontOf(const FlexGrid &grid, int row, int col)
{
    const bool bold = grid.cellFontBold(row, col);
    const int size = grid.cellFontSize(row, col);
    if (!bold && size <= 0)
        return QVariant();
    QFont font;
    font.setBold(bold);
    if (size > 0)
        font.setPointSize(size);
    return font;
}

} // namespace

FlexGridTableModel::FlexGridTableModel(FlexGrid *grid, QObject *parent) : QAbstractTableModel(parent), m_grid(grid)
{
    if (!grid)
        return;
    connect(grid, &FlexGrid::aboutToReset, this, &FlexGridTableModel::onAboutToReset);
    connect(grid, &FlexGrid::resetDone, this, &FlexGridTableModel::onResetDone);
    connect(grid, &FlexGrid::rowAboutToBeInserted, this, &FlexGridTableModel::onRowAboutToBeInserted);
    connect(grid, &FlexGrid::rowInserted, this, &FlexGridTableModel::onRowInserted);
    connect(grid, &FlexGrid::rowAboutToBeRemoved, this, &FlexGridTableModel::onRowAboutToBeRemoved);
    connect(grid, &FlexGrid::rowRemoved, this, &FlexGridTableModel::onRowRemoved);
    connect(grid, &FlexGrid::rowAboutToBeMoved, this, &FlexGridTableModel::onRowAboutToBeMoved);
    connect(grid, &FlexGrid::rowMoved, this, &FlexGridTableModel::onRowMoved);
    connect(grid, &FlexGrid::cellChanged, this, &FlexGridTableModel::onCellChanged);
    connect(grid, &FlexGrid::currentRowChanged, this,
            [this](int row) { emit currentModelRowChanged(row - 1); });
    // A grid that goes away empties the model; its rows are already gone, so the model lets go
    // of it before it announces the reset.
    connect(grid, &QObject::destroyed, this, [this] {
        m_grid.clear();
        beginResetModel();
        endResetModel();
    });
}

int FlexGridTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_grid || m_grid->rows() < 1)
        return 0;
    return m_grid->rows() - 1;
}

int FlexGridTableModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_grid)
        return 0;
    return m_grid->cols();
}

QVariant FlexGridTableModel::data(const QModelIndex &index, int role) const
{
    if (!m_grid || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    const int row = index.row() + 1;
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return m_grid->textMatrix(row, col);
    case Qt::DecorationRole: {
        const FlexGrid::Picture picture = m_grid->cellPicture(row, col);
        if (picture == FlexGrid::Picture::None)
            return QVariant();
        return pictureIcon(picture);
    }
    case Qt::TextAlignmentRole:
        return alignmentOf(m_grid->cellAlignment(row, col));
    case Qt::FontRole:
        return fontOf(*m_grid, row, col);
    default:
        return QVariant();
    }
}

QVariant FlexGridTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !m_grid || m_grid->rows() < 1 || section < 0 || section >= m_grid->cols())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_grid->textMatrix(0, section);
    case Qt::TextAlignmentRole:
        return alignmentOf(m_grid->cellAlignment(0, section));
    case Qt::FontRole:
        return fontOf(*m_grid, 0, section);
    default:
        return QVariant();
    }
}

void FlexGridTableModel::setPictureIcon(FlexGrid::Picture picture, const QIcon &icon)
{
    m_icons.insert(static_cast<int>(picture), icon);
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DecorationRole});
}

QIcon FlexGridTableModel::pictureIcon(FlexGrid::Picture picture) const
{
    const int key = static_cast<int>(picture);
    auto it = m_icons.constFind(key);
    if (it == m_icons.constEnd())
        it = m_icons.insert(key, drawnIcon(picture));
    return *it;
}

void FlexGridTableModel::onAboutToReset() { beginResetModel(); }

void FlexGridTableModel::onResetDone() { endResetModel(); }

void FlexGridTableModel::onRowAboutToBeInserted(int gridIndex)
{
    if (gridIndex <= 0) {
        m_resetting = true;
        beginResetModel();
    } else {
        beginInsertRows(QModelIndex(), gridIndex - 1, gridIndex - 1);
    }
}

void FlexGridTableModel::onRowInserted(int)
{
    if (m_resetting) {
        m_resetting = false;
        endResetModel();
    } else {
        endInsertRows();
    }
}

void FlexGridTableModel::onRowAboutToBeRemoved(int gridIndex)
{
    if (gridIndex <= 0) {
        m_resetting = true;
        beginResetModel();
    } else {
        beginRemoveRows(QModelIndex(), gridIndex - 1, gridIndex - 1);
    }
}

void FlexGridTableModel::onRowRemoved(int)
{
    if (m_resetting) {
        m_resetting = false;
        endResetModel();
    } else {
        endRemoveRows();
    }
}

void FlexGridTableModel::onRowAboutToBeMoved(int from, int to)
{
    m_moving = false;
    if (from > 0 && to > 0) {
        // Qt names the destination as the row before which the moved row lands.
        const int f = from - 1;
        const int t = to - 1;
        m_moving = beginMoveRows(QModelIndex(), f, f, QModelIndex(), t > f ? t + 1 : t);
    }
    if (!m_moving) {
        m_resetting = true;
        beginResetModel();
    }
}

void FlexGridTableModel::onRowMoved(int, int)
{
    if (m_moving) {
        m_moving = false;
        endMoveRows();
    } else if (m_resetting) {
        m_resetting = false;
        endResetModel();
    }
}

void FlexGridTableModel::onCellChanged(int row, int col)
{
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex i = index(row - 1, col);
        emit dataChanged(i, i);
    }
}
