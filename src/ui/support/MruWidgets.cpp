#include "MruWidgets.h"

#include "common/Globals.h"
#include "common/clsMRU.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QScopedValueRollback>

namespace {

// The action before which the next numbered entry goes (null = the menu's end).
QAction *insertionPoint(const MruMenuArray &a)
{
    QAction *last = a.element0;
    for (const QPointer<QAction> &e : a.elements)
        if (e)
            last = e;
    if (!last)
        return nullptr;
    const QList<QAction *> actions = a.menu->actions();
    const qsizetype at = actions.indexOf(last);
    return at >= 0 && at + 1 < actions.size() ? actions.at(at + 1) : nullptr;
}

} // namespace

void FillMRUMenu(MruMenuArray &menuArray, const clsMRU &mru)
{
    const QScopedValueRollback<bool> suppress(gbSuppressEvents, true);
    HideMRUMenu(menuArray, mru);
    if (!menuArray.menu)
        return;
    for (int i = 1; i <= mru.Count(); ++i) {
        const QString entry = mru.Newest(i);
        QString shown = entry;
        shown.replace(u'&', QStringLiteral("&&"));
        auto *action = new QAction(u'&' + QString::number(i) + u' ' + shown, menuArray.menu);
        action->setData(entry);
        action->setProperty(kTagProperty, QStringLiteral("TranslateFalse"));
        action->setVisible(true);
        menuArray.menu->insertAction(insertionPoint(menuArray), action);
        menuArray.elements.append(action);
    }
}

void HideMRUMenu(MruMenuArray &menuArray, const clsMRU &)
{
    // Every loaded entry goes, however many the list holds now: a list that shrank must not
    // leave its old entries in the menu.
    while (!menuArray.elements.isEmpty()) {
        QPointer<QAction> e = menuArray.elements.takeLast();
        if (e) {
            if (menuArray.menu)
                menuArray.menu->removeAction(e);
            // The entry may be the one whose click is refilling the menu right now.
            e->deleteLater();
        }
    }
}

int CountMenuArrayItems(const MruMenuArray &menuArray, const clsMRU &)
{
    int n = 0;
    for (const QPointer<QAction> &e : menuArray.elements)
        if (e)
            ++n;
    return n;
}

void FillComboFromMRU(QComboBox *cbo, const clsMRU &mru)
{
    if (!cbo)
        return;
    const QScopedValueRollback<bool> suppress(gbSuppressEvents, true);
    cbo->clear();
    for (int i = 1; i <= mru.Count(); ++i)
        cbo->addItem(mru.Newest(i));
    if (mru.Count() > 0)
        cbo->setCurrentIndex(0);
}
