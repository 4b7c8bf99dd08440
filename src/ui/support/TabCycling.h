#pragma once
// Ctrl+Tab and Ctrl+Shift+Tab anywhere in a window select the next and the previous tab of its
// tab strip, wrapping around at either end, wherever the focus is (a grid would otherwise take
// the key for itself).
class QTabWidget;
class QWidget;

// The tab that follows current (or precedes it, backwards), wrapping; current when count < 2.
int NextTabIndex(int current, int count, bool backwards);

void InstallTabCycling(QWidget *window, QTabWidget *tabs);
