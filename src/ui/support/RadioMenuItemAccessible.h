#pragma once
// Menu entries of an exclusive action group are radio items to a screen reader too: the
// toolkit's own menu items say only "menu item" and "checked", which reads like independent
// check marks.
#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

class QAction;
class QMenu;

class RadioMenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit RadioMenuItemAccessible(QAction *action) : m_action(action) {}

    // Installs the factory that gives checkable entries of exclusive groups this interface.
    static void install();

    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::RadioButton; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QMenu *menu() const;
    QPointer<QAction> m_action;
};
