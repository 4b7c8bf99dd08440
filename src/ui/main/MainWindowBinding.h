#pragma once
// What moves between the headless pieces and the main window's widgets: the choice lists into
// the editor's lists, the command state onto the actions, and the [frmMain] settings into the
// window and back out of it.
class frmMain;
class TaskEditor;
struct CommandState;

void FillChoiceLists(TaskEditor &editor);
CommandState ComputeWindowCommandState(const frmMain &w);
void ApplyCommandState(frmMain &w, const CommandState &state);
void ReadWindowSettings(frmMain &w);
void SaveWindowSettings(frmMain &w);
