#include "FlexGrid.h"

FlexGrid::FlexGrid(int cols, QObject *parent) : QObject(parent), m_cols(cols) {}

FlexGrid::Row FlexGrid::makeRow(const QStringList &cells) const
{
    Row r;
    r.cells = cells.mid(0, m_cols);
    while (r.cells.size() < m_cols)
        r.cells.append(QString());
    r.pictures.fill(Picture::None, m_cols);
    r.formats.resize(m_cols);
    return r;
}

void FlexGrid::setRows(int n)
{
    if (n < 0)
        n = 0;
    if (n == rows())
        return;
    emit aboutToReset();
    if (n < rows())
        m_cells.resize(n);
    else
        while (rows() < n)
            m_cells.append(makeRow({}));
    if (m_row >= n)
        m_row = n > 0 ? n - 1 : 0;
    if (m_topRow >= n)
        m_topRow = 0;
    emit resetDone();
}

void FlexGrid::setCols(int n)
{
    if (n < 1)
        n = 1;
    emit aboutToReset();
    m_cols = n;
    for (Row &r : m_cells) {
        r.cells = r.cells.mid(0, n);
        while (r.cells.size() < n)
            r.cells.append(QString());
        r.pictures.resize(n);
        r.formats.resize(n);
    }
    emit resetDone();
}

QString FlexGrid::textMatrix(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return QString();
    return m_cells[row].cells[col];
}

void FlexGrid::setTextMatrix(int row, int col, const QString &text)
{
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return;
    m_cells[row].cells[col] = text;
    emit cellChanged(row, col);
}

QStringList FlexGrid::rowCells(int row) const
{
    if (row < 0 || row >= rows())
        return {};
    return m_cells[row].cells;
}

void FlexGrid::addItem(const QString &tabSeparated, int index)
{
    addItem(tabSeparated.split(u'\t'), index);
}

void FlexGrid::addItem(const QStringList &cells, int index)
{
    if (index < 0 || index > rows())
        index = rows();
    emit rowAboutToBeInserted(index);
    m_cells.insert(index, makeRow(cells));
    if (rows() > 1 && index <= m_row)
        ++m_row;
    emit rowInserted(index);
}

void FlexGrid::removeItem(int index)
{
    if (index < 0 || index >= rows())
        return;
    emit rowAboutToBeRemoved(index);
    m_cells.remove(index);
    if (m_row > index || m_row >= rows())
        m_row = m_row > 0 ? m_row - 1 : 0;
    emit rowRemoved(index);
}

void FlexGrid::setRow(int r)
{
    if (r < 0 || r >= rows() || r == m_row) {
        if (r >= 0 && r < rows())
            m_row = r;
        return;
    }
    m_row = r;
    emit currentRowChanged(r);
}

FlexGrid::Picture FlexGrid::cellPicture(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return Picture::None;
    return m_cells[row].pictures[col];
}

void FlexGrid::setCellPicture(int row, int col, Picture p)
{
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return;
    m_cells[row].pictures[col] = p;
    emit cellChanged(row, col);
}

void FlexGrid::moveItem(int from, int to)
{
    if (from < 0 || from >= rows() || to < 0 || to >= rows() || from == to)
        return;
    emit rowAboutToBeMoved(from, to);
    m_cells.move(from, to);
    // The current row keeps pointing at the same row of data.
    const int oldRow = m_row;
    if (m_row == from)
        m_row = to;
    else if (from < m_row && m_row <= to)
        --m_row;
    else if (to <= m_row && m_row < from)
        ++m_row;
    emit rowMoved(from, to);
    if (m_row != oldRow)
        emit currentRowChanged(m_row);
}

FlexGrid::Align FlexGrid::cellAlignment(int row, int col) const
{
    return validCell(row, col) ? m_cells[row].formats[col].align : Align::General;
}

void FlexGrid::setCellAlignment(int row, int col, Align a)
{
    if (!validCell(row, col))
        return;
    m_cells[row].formats[col].align = a;
    emit cellChanged(row, col);
}

bool FlexGrid::cellFontBold(int row, int col) const
{
    return validCell(row, col) && m_cells[row].formats[col].bold;
}

void FlexGrid::setCellFontBold(int row, int col, bool bold)
{
    if (!validCell(row, col))
        return;
    m_cells[row].formats[col].bold = bold;
    emit cellChanged(row, col);
}

int FlexGrid::cellFontSize(int row, int col) const
{
    return validCell(row, col) ? m_cells[row].formats[col].fontSize : 0;
}

void FlexGrid::setCellFontSize(int row, int col, int points)
{
    if (!validCell(row, col))
        return;
    m_cells[row].formats[col].fontSize = points;
    emit cellChanged(row, col);
}
