#pragma once
// Choices as a screen reader meets them. Qt's accessible "toggle" action of a check box or
// option button only flips its check mark, without the clicked signal the window's handlers
// listen to; its menu items say only "menu item" and "checked", which reads like independent
// check marks where the entries of an exclusive group exclude each other; and a pop-up menu is
// a window that Qt leaves out of the application's tree, so that it is never found there.
class QAbstractButton;
class QMenu;
class QWidget;

// The toggle and press actions of the accessibility bus click this button, as the mouse or the
// space key do.
void MakeAccessibleToggleClick(QAbstractButton *button);
// From now on the checkable entries of exclusive action groups are radio items to a screen
// reader, and its press action triggers them.
void MakeExclusiveMenuItemsAccessibleAsRadioItems();
// popup is read as a part of owner: while it is open it is owner's last child, named by its
// title, its entries readable and pressed as a click chooses them.
void MakePopupMenuAccessibleIn(QMenu *popup, QWidget *owner);
