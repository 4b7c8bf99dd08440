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

// A checkable entry of an exclusive action group, in the menu that shows it.
class RadioMenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit RadioMenuItemAccessible(QAction *action) : m_action(action) {}

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
    QAccessible::Role role() const override { return QAccessible::RadioButton; }

    QAccessible::State state() const override
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

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override
    {
        // As a click on the entry: the group keeps the choice exclusive.
        if (m_action && m_action->isEnabled() && (actionName == pressAction() || actionName == toggleAction()))
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

// One factory for both kinds: the buttons marked by MakeAccessibleToggleClick and the
// checkable entries of exclusive groups.
QAccessibleInterface *choiceFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QAction")) {
        auto *action = qobject_cast<QAction *>(object);
        if (action && action->isCheckable() && action->actionGroup() && action->actionGroup()->isExclusive())
            return new RadioMenuItemAccessible(action);
        return nullptr;
    }
    auto *b = qobject_cast<QAbstractButton *>(object);
    if (b && b->property(kClickProperty).toBool())
        return new ClickingToggleAccessible(b);
    return nullptr;
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
    // Qt may have made its own interface while the button was built (its caption was set):
    // dropped, so that the next question finds this one.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
    if (iface && !dynamic_cast<ClickingToggleAccessible *>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

void MakeExclusiveMenuItemsAccessibleAsRadioItems() { installChoiceFactory(); }
