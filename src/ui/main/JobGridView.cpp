#include "JobGridView.h"

#include "GridColumnRules.h"
#include "jobs/ToDoRows.h"
#include "platform/FlexGrid.h"
#include "ui/support/FlexGridTableModel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTimer>

JobGridView::JobGridView(FlexGrid *grid, Kind kind, QWidget *parent)
    : QTableView(parent), m_grid(grid), m_model(new FlexGridTableModel(grid, this)), m_kind(kind)
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    m_twips = kind == Kind::ToDo ? GridColumnRules::DefaultToDoWidths() : GridColumnRules::DefaultLogWidths();

    connect(m_model, &FlexGridTableModel::currentModelRowChanged, this, &JobGridView::followGridRow);
    connect(grid, &FlexGrid::cellChanged, this, &JobGridView::onCellChanged);
    connect(grid, &FlexGrid::focusRequested, this, [this] { setFocus(); });
    connect(grid, &FlexGrid::resetDone, this, [this] {
        fitColumns();
        followGridRow(m_grid->row() - 1);
    });
    if (kind == Kind::Log)
        connect(grid, &FlexGrid::rowInserted, this, [this](int r) { scrollTo(m_model->indexOfGridCell(r, 1)); });
    // The engine keeps a row in sight this way: after Rewind, and when a run marks a row above
    // the top.
    connect(grid, &FlexGrid::topRowChanged, this, [this](int r) {
        scrollToMarkedRow();
        scrollTo(m_model->indexOfGridCell(r, 1), QAbstractItemView::PositionAtTop);
    });
    // A user's drag of a column edge becomes the stored width of that column.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int px) {
        if (m_fitting || col >= m_twips.size() || px <= 0)
            return;
        m_twips[col] = GridColumnRules::PixelsToTwips(px, logicalDpi());
    });
    fitColumns();
}

double JobGridView::logicalDpi() const { return LogicalDpi(this); }

QVector<int> JobGridView::columnWidthsTwips() const { return m_twips; }

void JobGridView::setColumnWidthsTwips(const QVector<int> &twips)
{
    m_twips = twips;
    fitColumns();
}

void JobGridView::fitColumns()
{
    const double dpi = logicalDpi();
    const int widthTwips = GridColumnRules::PixelsToTwips(viewport()->width(), dpi);
    m_twips = m_kind == Kind::ToDo ? GridColumnRules::FitToDoColumns(widthTwips, m_twips)
                                   : GridColumnRules::FitLogColumns(widthTwips, m_twips);
    // A fixed column is never narrower than its heading (a translated heading can be longer).
    for (int c = 0; c < m_model->columnCount() && c < m_twips.size(); ++c) {
        if (m_twips[c] <= 0)
            continue;
        const QVariant f = m_model->headerData(c, Qt::Horizontal, Qt::FontRole);
        const QFontMetrics fm(f.isValid() ? f.value<QFont>() : horizontalHeader()->font());
        const int need = fm.horizontalAdvance(m_model->headerData(c, Qt::Horizontal).toString()) + 12;
        if (GridColumnRules::TwipsToPixels(m_twips[c], dpi) < need)
            m_twips[c] = GridColumnRules::PixelsToTwips(need, dpi);
    }
    m_twips = m_kind == Kind::ToDo ? GridColumnRules::FitToDoColumns(widthTwips, m_twips)
                                   : GridColumnRules::FitLogColumns(widthTwips, m_twips);
    m_fitting = true;
    for (int c = 0; c < m_model->columnCount() && c < m_twips.size(); ++c) {
        const bool hidden = m_twips[c] <= 0;
        setColumnHidden(c, hidden);
        if (!hidden)
            setColumnWidth(c, GridColumnRules::TwipsToPixels(m_twips[c], dpi));
    }
    m_fitting = false;
}

QModelIndex JobGridView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // Whole rows are selected, so Home and End go to the first and the last row, as in a list.
    if (cursorAction == MoveHome || cursorAction == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(cursorAction, modifiers);
}

void JobGridView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitColumns();
}

void JobGridView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    scrollToMarkedRow();
    QTableView::currentChanged(current, previous);
    if (m_syncing || !current.isValid())
        return;
    m_syncing = true;
    m_grid->setRow(FlexGridTableModel::gridRow(current));
    m_syncing = false;
}

void JobGridView::followGridRow(int modelRow)
{
    if (m_syncing || modelRow < 0 || modelRow >= m_model->rowCount())
        return;
    scrollToMarkedRow();
    m_syncing = true;
    const QModelIndex idx = m_model->index(modelRow, 1);
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(idx);
    m_syncing = false;
}

void JobGridView::onCellChanged(int row, int col)
{
    // A run writes the Pass mark of the row it finished: keep that row in sight. Opening a job
    // sets the mark of every marked row it loads, so the view scrolls once per event-loop turn,
    // to the last row marked; any other scroll of the view does that one first, so the view
    // ends where one scroll per mark would have left it.
    if (m_kind != Kind::ToDo || col != ToDoColumn::Pass || row < 1 || m_grid->textMatrix(row, col).isEmpty())
        return;
    m_markedRow = m_model->indexOfGridCell(row, 1);
    if (m_markScrollQueued)
        return;
    m_markScrollQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_markScrollQueued = false;
        scrollToMarkedRow();
    });
}

void JobGridView::scrollToMarkedRow()
{
    if (!m_markedRow.isValid())
        return;
    const QModelIndex idx = m_markedRow;
    m_markedRow = QPersistentModelIndex();
    scrollTo(idx);
}
