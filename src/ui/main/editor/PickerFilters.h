#pragma once
// The fixed filters of the task editor's file pickers and the entry each preselects for a
// type code. Entries count from 1, as the picker's filter index does; "unchanged" answers give
// back the index the caller passed (the pickers share one index that remembers the user's last
// choice). Pure: no widget, no dialog.
#include <QString>

// The conversion original's picker: six entries (all files, presentations, ...).
QString OriginalPickerFilter();
// The conversion target's picker: twenty entries, the last "All Files".
QString TargetPickerFilter();
// The special-process pickers: Word, RTF, Text, HTML for processes 50, 55 and 56; none for others.
QString SpecializedPickerFilter(int lSpecialProcess);
// The program picker of the launch task.
QString ProgramPickerFilter();

// Entry of the original's picker for an original type: the type itself for 1 to 6, else lLast.
int OriginalFilterIndex(int lOriginalType, int lLast);
// Entry of the target's picker for a target type (20, "All Files", for codes it does not name).
int TargetFilterIndex(int lTargetType);
// Entry of the special-process pickers for the original's text type: 1, 2, 6 -> 3 (Text);
// 4 -> 4 (HTML); 5 -> 2 (RTF); 9 -> 1 (Word); any other type gives lLast.
int SpecializedFilterIndex(int lOriginalTypeSpecialized, int lLast);
