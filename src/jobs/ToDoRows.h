#pragma once
// Task rows of the task grid (fgToDo) and the log grid (fgLog): the row format, the option
// code of column 0, and the roads between a task record and a row.
//
// Task grid: row 0 header, rows 1 .. rows()-2 the tasks in run order, the last row the new-task
// row whose column 1 holds "*". Columns: 0 option code, 1 task number, 2 DoCode ("C" or "S" & id),
// 3 original, 4 original type code, 5 original type text, 6 target, 7 target type code,
// 8 target type text, 9 Pass mark ("+", "-" or empty). The log grid adds 10 "Status".
#include <QString>
#include <QStringList>

class FlexGrid;
class JobSession;
class clsConversionOptions;
struct ConversionSettings;

namespace ToDoColumn {
enum { Options = 0, Number, Do, Original, OriginalType, OriginalTypeText, Target, TargetType, TargetTypeText,
       Pass, Status };
}

// The last task row, the one before the "*" row (below 1 when the grid holds no task).
int lastTaskRow(const FlexGrid &grid);
// Row r holds a task: between the header and the "*" row, with a task number.
bool isTaskRow(const FlexGrid &grid, int r);
// The same for a grid known only by its row count and the "#" cell of row r.
bool isTaskRow(int r, int rows, const QString &numberCell);

// Appends the task just before the "*" row and makes it the current row (conversion or
// special process by the record's DoCode). The slide range written into the option code is the
// window's current lFromSlide..lToSlide of settings, not the record's.
void AddToDoItemToGrid(const clsConversionOptions &options, FlexGrid &grid, const ConversionSettings &settings);
void AddConversionItemToGrid(const clsConversionOptions &options, FlexGrid &grid,
                             const ConversionSettings &settings);
void AddSpecializedItemToGrid(const clsConversionOptions &options, FlexGrid &grid,
                              const ConversionSettings &settings);

// Letters R G M P D C, then "A" when all slides, then ",from,to" (settings' slide range).
QString BuildOptionsCode(const clsConversionOptions &options, const ConversionSettings &settings);
// The whole column-0 text of a task as the add road writes it (search-and-replace and launch
// suffixes included).
QString BuildRowOptionsCode(const clsConversionOptions &options, const ConversionSettings &settings);

// Fills the record from one task row and makes it the current row. The header and the "*" row
// leave the record unchanged. Never fails: a number field whose cell holds no number keeps its
// value. Special-process rows read back with lConversionMethod 4.
void GetOptionsFromGridRow(clsConversionOptions &options, int row, FlexGrid &grid);

// Flags of an option code count only within its first nine characters: the search-and-replace
// suffix (after ten blanks) may hold any letter.
bool hasFlag(const QString &code, QChar letter);
// The option code of a launch task: "T" priority " S" window state " W" wait seconds.
QString LaunchOptionsCode(int lThreadPriority, int lWindowState, int lWaitSeconds);
// The search-and-replace suffix of an option code: ten blanks, then the texts in their marks.
QString FindReplaceSuffix(const QString &sFind, const QString &sReplace);

// The texts of a search-and-replace option code: "Find{{" text "}}Replace{{" text "}}" after the
// option letters ("Find{{" inside the first nine characters is no code). found: the find text and
// its "}}Replace{{" mark are there; replaceEnded: so is the closing "}}" (replace then stops at
// it, else it runs to the end of the code).
struct FindReplaceTexts
{
    bool found = false;
    bool replaceEnded = false;
    QString find;
    QString replace;
};
FindReplaceTexts ReadFindReplaceTexts(const QString &code);

// The shape the job writer gives a row, for telling job lines from other text. Cells as a line
// of a job file splits at its TABs (the TAB that ends the last cell gives no cell).
// A task row: at least the cells up to the original (later empty cells may be left off), at most
// the ten columns (more only when empty); an option code in cell 0 (IsOptionCodeShape); a task
// number or nothing in cell 1; a Do code in cell 2 (IsDoCode); a whole number or nothing in the
// type-code cells 4 and 7; "+", "-" or nothing in the Pass cell 9. Blanks around a cell count
// for nothing, and letters are taken in either case (the run reads what it can of them).
bool HasTaskRowShape(const QStringList &cells);
// The "*" row closing a saved job: "*" as its number, every other cell empty.
bool IsNewTaskRowCells(const QStringList &cells);
// "C", or "S" and the id of a special process the run knows (1, 50, 55, 56, 60).
bool IsDoCode(const QString &cell);
// Column 0 as the roads that write it give it: option letters and blanks, up to two
// ",slide" numbers, then anything after "Find{{" (the search-and-replace texts); a launch code
// "T" n " S" n " W" n; or nothing (the reload task's blank).
bool IsOptionCodeShape(const QString &cell);

// An empty task grid: header row and the "*" row, which becomes current.
void InitToDoGrid(FlexGrid &grid);
// An empty log grid: header row and one empty row, which becomes current.
void InitLogGrid(FlexGrid &grid);
// Selects the whole current row.
void SelectGridRow(FlexGrid &grid);

// Moves the current task to lTargetRow; the rows between shift by one and the task numbers of
// column 1 stay in order. Refused (false, nothing changes) unless the current row and the target
// are both task rows, and while a run loop is active. Marks the job changed and refreshes the command state.
bool MoveGridRow(JobSession &session, FlexGrid &grid, int lTargetRow);
