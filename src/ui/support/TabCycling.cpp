#include "TabCycling.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTabWidget>

int NextTabIndex(int current, int count, bool backwards)
{
    if (count < 2)
        return current;
    const int next = current + (backwards ? -1 : 1);
    return (next % count + count) % count;
}

void InstallTabCycling(QWidget *window, QTabWidget *tabs)
{
    auto cycle = [tabs](bool backwards) {
        tabs->setCurrentIndex(NextTabIndex(tabs->currentIndex(), tabs->count(), backwards));
    };
    auto *next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), window);
    QObject::connect(next, &QShortcut::activated, tabs, [cycle] { cycle(false); });
    // Shift+Tab arrives as Backtab; the shortcut map tries it as Shift+Tab when nothing else matches.
    auto *previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), window);
    QObject::connect(previous, &QShortcut::activated, tabs, [cycle] { cycle(true); });
}
