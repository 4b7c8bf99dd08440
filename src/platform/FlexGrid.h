#pragma once
// A grid of rows x columns of text, the model behind the task and log grids. It offers the
// operations the engine uses (rows, columns, cell text, adding a TAB-separated row at an
// index, removing a row, current row and column, selection end column, top row, a picture per
// cell) and signals so that a view adapter can follow it.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class FlexGrid : public QObject
{
    Q_OBJECT
public:
    enum class Picture { None, Passed, Failed, Paused, Done };
    // Cell formatting that views show; General lets the view choose.
    enum class Align { General, Left, Center, Right };

    explicit FlexGrid(int cols = 10, QObject *parent = nullptr);

    int rows() const { return static_cast<int>(m_cells.size()); }
    // Growing adds empty rows at the end; shrinking drops rows from the end.
    void setRows(int n);
    int cols() const { return m_cols; }
    void setCols(int n);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    // The cells of one row; cells beyond cols() are ignored, missing ones are empty.
    QStringList rowCells(int row) const;

    // Inserts a row from TAB-separated cells before index (index == rows() appends).
    void addItem(const QString &tabSeparated, int index);
    void addItem(const QStringList &cells, int index);
    void removeItem(int index);
    // Moves a whole row (texts, pictures, formats) so that it ends up at index to.
    void moveItem(int from, int to);

    int row() const { return m_row; }
    void setRow(int r);
    int col() const { return m_col; }
    void setCol(int c) { m_col = c; }
    int colSel() const { return m_colSel; }
    void setColSel(int c) { m_colSel = c; }
    int topRow() const { return m_topRow; }
    // Emits topRowChanged every time, even with the same row: a view may have been scrolled since.
    void setTopRow(int r)
    {
        m_topRow = r;
        emit topRowChanged(r);
    }

    Picture cellPicture(int row, int col) const;
    void setCellPicture(int row, int col, Picture p);

    Align cellAlignment(int row, int col) const;
    void setCellAlignment(int row, int col, Align a);
    bool cellFontBold(int row, int col) const;
    void setCellFontBold(int row, int col, bool bold);
    // Point size; 0 = the view's own font size.
    int cellFontSize(int row, int col) const;
    void setCellFontSize(int row, int col, int points);

    // Asks a view to take the keyboard focus (views connect to focusRequested).
    void setFocus() { emit focusRequested(); }

signals:
    void aboutToReset();
    void resetDone();
    void rowAboutToBeInserted(int index);
    void rowInserted(int index);
    void rowAboutToBeRemoved(int index);
    void rowRemoved(int index);
    void rowAboutToBeMoved(int from, int to);
    void rowMoved(int from, int to);
    void cellChanged(int row, int col);
    void currentRowChanged(int row);
    // The engine asks the view to scroll so that row is the first one shown (the row a run marks).
    void topRowChanged(int row);
    void focusRequested();

private:
    struct CellFormat {
        Align align = Align::General;
        bool bold = false;
        int fontSize = 0;
    };
    struct Row {
        QStringList cells;
        QVector<Picture> pictures;
        QVector<CellFormat> formats;
    };
    bool validCell(int row, int col) const { return row >= 0 && row < rows() && col >= 0 && col < m_cols; }
    Row makeRow(const QStringList &cells) const;

    int m_cols;
    QVector<Row> m_cells;
    int m_row = 0;
    int m_col = 0;
    int m_colSel = 0;
    int m_topRow = 0;
};
