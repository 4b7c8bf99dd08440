#include "GridOrdering.h"

#include "JobGridView.h"
#include "SessionController.h"
#include "frmMain.h"

#include "common/Globals.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "ui/support/AccessibleChoices.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScopedValueRollback>

GridOrdering::GridOrdering(frmMain &w) : QObject(&w), m_w(w), m_grid(w.fgToDo), m_viewport(w.fgToDo->viewport())
{
    // Keys and the keyboard's context-menu requests reach the view, mouse presses and the
    // mouse's requests its viewport.
    m_grid->installEventFilter(this);
    m_viewport->installEventFilter(this);
    // A screen reader finds the pop-up beside the grid it acts on, with its entries.
    MakePopupMenuAccessibleIn(w.mnuPopup, w.frameToDo);
}

GridOrdering::~GridOrdering()
{
    if (m_grid)
        m_grid->removeEventFilter(this);
    if (m_viewport)
        m_viewport->removeEventFilter(this);
}

bool GridOrdering::moveTask(int lTargetRow)
{
    if (m_w.controller()->rowsLocked())
        return false;
    JobSession &s = m_w.session();
    const QScopedValueRollback<bool> suppress(gbSuppressEvents, true);
    return MoveGridRow(s, s.fgToDo, lTargetRow);
}

bool GridOrdering::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_grid || !m_viewport)
        return false;
    if (watched == m_grid && event->type() == QEvent::KeyPress)
        return gridKey(event);
    if (watched == m_grid && event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent *>(event)->reason() != QContextMenuEvent::Mouse) {
        showPopupAtCurrentRow();
        return true;
    }
    if (watched == m_viewport)
        return gridMouse(event);
    return false;
}

bool GridOrdering::gridKey(QEvent *event)
{
    auto *k = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
    const int row = m_w.session().fgToDo.row();
    // Ctrl alone: Ctrl+Shift+U is no move.
    if (mods == Qt::ControlModifier && k->key() == Qt::Key_U) {
        moveTask(row - 1);
        return true;
    }
    if (mods == Qt::ControlModifier && k->key() == Qt::Key_D) {
        moveTask(row + 1);
        return true;
    }
    // The keyboard's way to the pop-up, as the desktop's other programs offer it.
    if ((mods == Qt::NoModifier && k->key() == Qt::Key_Menu) || (mods == Qt::ShiftModifier && k->key() == Qt::Key_F10)) {
        showPopupAtCurrentRow();
        return true;
    }
    if (mods == Qt::NoModifier && k->key() == Qt::Key_Delete) {
        // The pop-up's Delete: a disabled entry (no task row, a run) ignores the trigger.
        m_w.mnuPopupDelete->trigger();
        return true;
    }
    return false;
}

bool GridOrdering::gridMouse(QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *m = static_cast<QMouseEvent *>(event);
        m_grid->setFocus(Qt::MouseFocusReason);
        if (m->button() != Qt::RightButton)
            return false;
        // The pop-up acts on the row it was opened on.
        const QModelIndex idx = m_grid->indexAt(m->position().toPoint());
        if (idx.isValid())
            m_grid->setCurrentIndex(idx);
        showPopup(m->position().toPoint());
        return true;
    }
    if (event->type() == QEvent::ContextMenu) {
        auto *c = static_cast<QContextMenuEvent *>(event);
        // A mouse request was answered at the press.
        if (c->reason() != QContextMenuEvent::Mouse)
            showPopupAtCurrentRow();
        return true;
    }
    return false;
}

void GridOrdering::showPopup(const QPoint &viewportPos)
{
    m_w.mnuPopup->popup(m_viewport->mapToGlobal(viewportPos));
}

void GridOrdering::showPopupAtCurrentRow()
{
    const QModelIndex idx = m_grid->currentIndex();
    showPopup(idx.isValid() ? m_grid->visualRect(idx).center() : QPoint(0, 0));
    // Opened from the keyboard, the menu selects its first entry that can be chosen, as the
    // desktop's menus do: a screen reader names it at once, and Enter chooses it.
    for (QAction *a : m_w.mnuPopup->actions()) {
        if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
            m_w.mnuPopup->setActiveAction(a);
            break;
        }
    }
}
