#include "AccessibleChoices.h"

#include <QAbstractButton>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QRadioButton>

namespace {

const char kClickProperty[] = "qvAccessibleToggleClicks";

// A caption as it is read: without its mnemonic marks ("&&" stays one "&").
QString withoutMnemonic(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (i + 1 < text.size() && text.at(i + 1) == u'&')
                out += text.at(++i);
            continue;
        }
        out += text.at(i);
    }
    return out;
}

// Answers as Qt's own interface of a checkable button does, except that its actions click.
class ClickingToggleAccessible : public QAccessibleWidget
{
public:
    explicit ClickingToggleAccessible(QAbstractButton *b)
        : QAccessibleWidget(b, b->autoExclusive() || qobject_cast<QRadioButton *>(b) ? QAccessible::RadioButton
                                                                                     : QAccessible::CheckBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            if (!name.isEmpty())
                return name;
            const QString caption = withoutMnemonic(button()->text());
            if (!caption.isEmpty())
                return caption;
        } else if (t == QAccessible::Accelerator) {
            const QKeySequence key = QKeySequence::mnemonic(button()->text());
            if (!key.isEmpty())
                return key.toString(QKeySequence::NativeText);
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        if (const auto *box = qobject_cast<const QCheckBox *>(button()))
            s.checkStateMixed = box->checkState() == Qt::PartiallyChecked;
        s.pressed = button()->isDown();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName == toggleAction() || actionName == pressAction()) {
            if (widget()->isEnabled())
                button()->click();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(object()); }
};

const char kPopupOwnerProperty[] = "qvAccessiblePopupOwner"; // on a pop-up menu: the widget it belongs to
const char kOwnedPopupProperty[] = "qvAccessibleOwnedPopup"; // on that widget: its pop-up menu

template <typename T> T *linked(const QObject *o, const char *property)
{
    return o ? qobject_cast<T *>(o->property(property).value<QObject *>()) : nullptr;
}

bool isExclusiveChoice(const QAction *a)
{
    return a->isCheckable() && a->actionGroup() && a->actionGroup()->isExclusive();
}

// An entry of a menu, in the menu that shows it: the checkable entries of an exclusive group
// as radio items, and every entry of a pop-up that belongs to a widget.
class MenuEntryAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit MenuEntryAccessible(QAction *action) : m_action(action) {}

    bool isValid() const override { return menu() != nullptr; }
    QObject *object() const override { return m_action; }
    QWindow *window() const override
    {
        QMenu *m = menu();
        QWidget *native = m ? (m->windowHandle() ? m : m->nativeParentWidget()) : nullptr;
        return native ? native->windowHandle() : nullptr;
    }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(menu()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!m_action)
            return {};
        if (t == QAccessible::Name)
            return withoutMnemonic(m_action->text().section(u'\t', 0, 0));
        if (t == QAccessible::Accelerator)
            return m_action->shortcut().toString(QKeySequence::NativeText);
        return {};
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        QMenu *m = menu();
        if (!m || !m_action)
            return {};
        const QRect r = m->actionGeometry(m_action);
        return QRect(m->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override
    {
        if (m_action && m_action->isSeparator())
            return QAccessible::Separator;
        return m_action && isExclusiveChoice(m_action) ? QAccessible::RadioButton : QAccessible::MenuItem;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        QMenu *m = menu();
        if (!m_action || !m) {
            s.invisible = true;
            return s;
        }
        s.focusable = !m_action->isSeparator();
        s.checkable = m_action->isCheckable();
        s.checked = m_action->isChecked();
        s.disabled = !m_action->isEnabled() || m_action->isSeparator();
        s.focused = m->activeAction() == m_action;
        s.invisible = !m->isVisible() || !m_action->isVisible();
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        return m_action && !m_action->isSeparator() ? QStringList{pressAction()} : QStringList();
    }
    void doAction(const QString &actionName) override
    {
        // As a click on the entry: the group keeps the choice exclusive, and a pop-up closes
        // before its command runs.
        if (!m_action || !m_action->isEnabled() || m_action->isSeparator()
            || (actionName != pressAction() && actionName != toggleAction()))
            return;
        if (QMenu *m = menu(); m && linked<QWidget>(m, kPopupOwnerProperty))
            m->hide();
        m_action->trigger();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QMenu *menu() const
    {
        if (!m_action)
            return nullptr;
        for (QObject *o : m_action->associatedObjects())
            if (auto *m = qobject_cast<QMenu *>(o))
                return m;
        return nullptr;
    }

    QPointer<QAction> m_action;
};

// A pop-up menu read as a part of the widget it belongs to, not as a window of its own, which
// Qt leaves out of the application's tree.
class OwnedPopupAccessible : public QAccessibleWidget
{
public:
    explicit OwnedPopupAccessible(QMenu *m) : QAccessibleWidget(m, QAccessible::PopupMenu) {}

    QAccessibleInterface *parent() const override
    {
        QWidget *owner = linked<QWidget>(menu(), kPopupOwnerProperty);
        return owner ? QAccessible::queryAccessibleInterface(owner) : QAccessibleWidget::parent();
    }
    int childCount() const override { return static_cast<int>(menu()->actions().size()); }
    QAccessibleInterface *child(int index) const override
    {
        QAction *a = menu()->actions().value(index);
        return a ? QAccessible::queryAccessibleInterface(a) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? static_cast<int>(menu()->actions().indexOf(qobject_cast<QAction *>(child->object()))) : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        QAction *a = menu()->actionAt(menu()->mapFromGlobal(QPoint(x, y)));
        return a ? QAccessible::queryAccessibleInterface(a) : nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        QAction *a = menu()->activeAction();
        return a ? QAccessible::queryAccessibleInterface(a) : nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && menu()->accessibleName().isEmpty())
            return withoutMnemonic(menu()->title());
        return QAccessibleWidget::text(t);
    }

private:
    QMenu *menu() const { return static_cast<QMenu *>(object()); }
};

// The widget a pop-up belongs to: its children and, while it is open, the pop-up.
class PopupOwnerAccessible : public QAccessibleWidget
{
public:
    explicit PopupOwnerAccessible(QWidget *w) : QAccessibleWidget(w) {}

    int childCount() const override { return QAccessibleWidget::childCount() + (open() ? 1 : 0); }
    QAccessibleInterface *child(int index) const override
    {
        if (QMenu *m = open(); m && index == QAccessibleWidget::childCount())
            return QAccessible::queryAccessibleInterface(m);
        return QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (QMenu *m = open(); m && child && child->object() == m)
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    QMenu *open() const
    {
        QMenu *m = linked<QMenu>(object(), kOwnedPopupProperty);
        return m && m->isVisible() ? m : nullptr;
    }
};

// One factory for every kind: the buttons marked by MakeAccessibleToggleClick, the checkable
// entries of exclusive groups, and the pop-ups given an owner with their entries and owners.
QAccessibleInterface *choiceFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QAction")) {
        auto *action = qobject_cast<QAction *>(object);
        if (!action)
            return nullptr;
        bool inOwnedPopup = false;
        for (QObject *o : action->associatedObjects())
            inOwnedPopup = inOwnedPopup || (qobject_cast<QMenu *>(o) && linked<QWidget>(o, kPopupOwnerProperty));
        return isExclusiveChoice(action) || inOwnedPopup ? new MenuEntryAccessible(action) : nullptr;
    }
    if (auto *m = qobject_cast<QMenu *>(object); m && linked<QWidget>(m, kPopupOwnerProperty))
        return new OwnedPopupAccessible(m);
    auto *w = qobject_cast<QWidget *>(object);
    if (w && linked<QMenu>(w, kOwnedPopupProperty))
        return new PopupOwnerAccessible(w);
    auto *b = qobject_cast<QAbstractButton *>(object);
    if (b && b->property(kClickProperty).toBool())
        return new ClickingToggleAccessible(b);
    return nullptr;
}

// Qt may have made its own interface for o before it was marked: dropped, so that the next
// question finds the factory's.
void forgetInterface(QObject *o)
{
    if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(o))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

void installChoiceFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(choiceFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

void MakeAccessibleToggleClick(QAbstractButton *button)
{
    installChoiceFactory();
    button->setProperty(kClickProperty, true);
    // Qt may have made its own interface while the button was built (its caption was set).
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
    if (iface && !dynamic_cast<ClickingToggleAccessible *>(iface))
        forgetInterface(button);
}

void MakeExclusiveMenuItemsAccessibleAsRadioItems() { installChoiceFactory(); }

void MakePopupMenuAccessibleIn(QMenu *popup, QWidget *owner)
{
    installChoiceFactory();
    popup->setProperty(kPopupOwnerProperty, QVariant::fromValue<QObject *>(owner));
    owner->setProperty(kOwnedPopupProperty, QVariant::fromValue<QObject *>(popup));
    // Whichever goes first, the other forgets it: a question asked while a window is torn
    // down must not reach a deleted object.
    QObject::connect(popup, &QObject::destroyed, owner, [owner] { owner->setProperty(kOwnedPopupProperty, {}); });
    QObject::connect(owner, &QObject::destroyed, popup, [popup] { popup->setProperty(kPopupOwnerProperty, {}); });
    for (QObject *o : popup->actions())
        forgetInterface(o);
    forgetInterface(popup);
    forgetInterface(owner);
}
