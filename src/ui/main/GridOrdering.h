#pragma once
// The order of the task grid from the keyboard and the mouse: Ctrl+U and Ctrl+D while the grid
// has the focus (whether or not the move entries are shown), the Delete key, the pop-up menu on
// a right-button press, the Menu key or Shift+F10, and the guard every move of the window goes
// through.
#include <QObject>
#include <QPointer>

class JobGridView;
class QWidget;
class frmMain;

class GridOrdering : public QObject
{
    Q_OBJECT
public:
    explicit GridOrdering(frmMain &w);
    // Takes the filters off the grid: the window deletes this before its members go, so that
    // no event of a grid being torn down reaches a half-destroyed window.
    ~GridOrdering() override;

    // Moves the current task to lTargetRow (MoveGridRow). Refused, with nothing changed, while a
    // run goes on or a schedule counts down: a moved row would make the run skip or repeat a
    // task. False when nothing moved.
    bool moveTask(int lTargetRow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool gridKey(QEvent *event);
    bool gridMouse(QEvent *event);
    void showPopup(const QPoint &viewportPos);
    // The pop-up at the current row, as the keyboard asks for it.
    void showPopupAtCurrentRow();

    frmMain &m_w;
    QPointer<JobGridView> m_grid;
    QPointer<QWidget> m_viewport;
};
