#pragma once
// Fills menus and combo boxes from a recent-list, newest first.
#include <QList>
#include <QPointer>

class QAction;
class QComboBox;
class QMenu;
class clsMRU;

// A "menu array": the numbered entries of a recent-list inside a menu. element0 is the array's
// fixed first element (a separator or a heading) that stays; the numbered entries are placed
// after it (at the menu's end when element0 is null) and are owned by the menu.
struct MruMenuArray
{
    QMenu *menu = nullptr;
    QAction *element0 = nullptr;
    QList<QPointer<QAction>> elements; // elements 1..n, element 1 the newest entry
};

// Dynamic property that the translator reads; "TranslateFalse" keeps an object's text as is.
inline constexpr const char *kTagProperty = "Tag";

// Replaces the numbered entries by one per list entry: "&1 <newest>", "&2 <next>", ... An "&"
// in an entry is shown as itself, never as an access key. Each action's data() is its entry.
void FillMRUMenu(MruMenuArray &menuArray, const clsMRU &mru);
// Removes every numbered entry (element 0 stays).
void HideMRUMenu(MruMenuArray &menuArray, const clsMRU &mru);
// Number of numbered entries the menu holds now.
int CountMenuArrayItems(const MruMenuArray &menuArray, const clsMRU &mru);
// Clears the combo box's list and fills it newest first; the newest becomes the current entry.
void FillComboFromMRU(QComboBox *cbo, const clsMRU &mru);
