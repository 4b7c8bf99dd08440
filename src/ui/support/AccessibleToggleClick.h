#pragma once
// Qt's accessible "toggle" action of a check box or option button only flips its check mark,
// without the clicked signal the window's handlers listen to. For a button given here, the
// toggle and press actions of the accessibility bus click it, as the mouse or the space key do.
class QAbstractButton;

void MakeAccessibleToggleClick(QAbstractButton *button);
