#pragma once
// The order of the task grid from the keyboard and the mouse: Ctrl+U and Ctrl+D while the grid
// has the focus (whether or not the move entries are shown), the Delete key, the pop-up menu on
// a right-button press or the menu key, and the guard every move of the window goes through.
#include <QObject>

class frmMain;

class GridOrdering : public QObject
{
    Q_OBJECT
public:
    explicit GridOrdering(frmMain &w);

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

    frmMain &m_w;
};
