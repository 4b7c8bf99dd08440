#include "RadioMenuItemAccessible.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {

QAccessibleInterface *radioMenuItemFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QAction"))
        return nullptr;
    auto *action = qobject_cast<QAction *>(object);
    if (!action || !action->isCheckable() || !action->actionGroup() || !action->actionGroup()->isExclusive())
        return nullptr;
    return new RadioMenuItemAccessible(action);
}

} // namespace

void RadioMenuItemAccessible::install() { QAccessible::installFactory(radioMenuItemFactory); }

QMenu *RadioMenuItemAccessible::menu() const
{
    if (!m_action)
        return nullptr;
    for (QObject *o : m_action->associatedObjects())
        if (auto *m = qobject_cast<QMenu *>(o))
            return m;
    return nullptr;
}

bool RadioMenuItemAccessible::isValid() const { return menu() != nullptr; }

QObject *RadioMenuItemAccessible::object() const { return m_action; }

QWindow *RadioMenuItemAccessible::window() const
{
    QMenu *m = menu();
    QWidget *native = m ? (m->windowHandle() ? m : m->nativeParentWidget()) : nullptr;
    return native ? native->windowHandle() : nullptr;
}

QAccessibleInterface *RadioMenuItemAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(menu());
}

QString RadioMenuItemAccessible::text(QAccessible::Text t) const
{
    if (!m_action)
        return {};
    if (t == QAccessible::Name) {
        // The caption without its mnemonic marks ("&&" stays one "&").
        QString name = m_action->text().section(u'\t', 0, 0);
        for (qsizetype i = 0; i < name.size(); ++i)
            if (name.at(i) == u'&')
                name.remove(i, 1);
        return name;
    }
    if (t == QAccessible::Accelerator)
        return m_action->shortcut().toString(QKeySequence::NativeText);
    return {};
}

QRect RadioMenuItemAccessible::rect() const
{
    QMenu *m = menu();
    if (!m || !m_action)
        return {};
    const QRect r = m->actionGeometry(m_action);
    return QRect(m->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State RadioMenuItemAccessible::state() const
{
    QAccessible::State s;
    QMenu *m = menu();
    if (!m_action || !m) {
        s.invisible = true;
        return s;
    }
    s.focusable = true;
    s.checkable = true;
    s.checked = m_action->isChecked();
    s.disabled = !m_action->isEnabled();
    s.focused = m->activeAction() == m_action;
    s.invisible = !m->isVisible() || !m_action->isVisible();
    return s;
}

void *RadioMenuItemAccessible::interface_cast(QAccessible::InterfaceType t)
{
    return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
}

QStringList RadioMenuItemAccessible::actionNames() const { return {pressAction()}; }

void RadioMenuItemAccessible::doAction(const QString &actionName)
{
    // As a click on the entry: the group keeps the choice exclusive.
    if (m_action && m_action->isEnabled() && (actionName == pressAction() || actionName == toggleAction()))
        m_action->trigger();
}
