#pragma once
// A task or log grid on screen: a read-only QTableView over one FlexGridTableModel, whole-row
// single selection, a fixed row height (30,000 rows are never sized to their contents), the
// current row kept in step with the grid's both ways, the row a run marks and the engine's top
// row scrolled into view, and the columns fitted by GridColumnRules whenever the view changes
// width. Tab and Shift+Tab pass on to the next and previous control (a grid of thousands of
// cells is no stop on the way); arrows, Home/End and Page Up/Down move the current row.
#include <QPersistentModelIndex>
#include <QTableView>
#include <QVector>

class FlexGrid;
class FlexGridTableModel;

class JobGridView : public QTableView
{
    Q_OBJECT
public:
    enum class Kind { ToDo, Log };
    JobGridView(FlexGrid *grid, Kind kind, QWidget *parent = nullptr);

    FlexGrid *grid() const { return m_grid; }
    FlexGridTableModel *gridModel() const { return m_model; }

    // Widths of every column in twips (hidden columns 0), as the settings store them.
    QVector<int> columnWidthsTwips() const;
    // Sets the stored widths and fits the fill columns to the view's width.
    void setColumnWidthsTwips(const QVector<int> &twips);
    // Fits the fill columns and hides the code columns (the layout rule).
    void fitColumns();
    double logicalDpi() const;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void resizeEvent(QResizeEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followGridRow(int modelRow);
    void onCellChanged(int row, int col);
    void scrollToMarkedRow();

    // The last row marked since the view last scrolled; its scroll waits for the event loop.
    QPersistentModelIndex m_markedRow;
    bool m_markScrollQueued = false;

    FlexGrid *m_grid;
    FlexGridTableModel *m_model;
    Kind m_kind;
    QVector<int> m_twips;
    bool m_syncing = false;
    bool m_fitting = false;
};
