#pragma once
// The recent lists of the task editor's eight boxes and the File menu's recent job files.
#include <QString>

class QComboBox;
class clsMRU;
class frmMain;

// Refills the box's list from the recent list, newest first, and leaves the box's text as it
// was: a box that was empty stays empty, so the next Add or Update does not take the newest
// entry for what the user left blank.
void RefillComboKeepingText(QComboBox *cbo, const clsMRU &mru);

// After a task was added or updated: the boxes of the editor's action ("C": original and
// target; "S": the five special boxes, and the replacement text only when it is not empty)
// go to their lists as newest entries, and the boxes are refilled.
void UpdateMRUs(frmMain &w);

// Recent job number Index of the menu (1 = newest): a file that has gone is reported and left
// in the list; otherwise it is opened as Open does, save question first. True when it opened.
bool OpenRecentJob(frmMain &w, int Index);
