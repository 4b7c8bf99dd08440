#pragma once
// The main window's stored state, section [frmMain] of the settings file: the program-wide
// conversion settings, the speed/memory choice, the length unit, the stored widths of the
// two grids (twips) and the editor's list selections, check boxes and wait time. A plain
// store without widgets: the window applies it, and an unattended run reads its core part
// (the conversion settings and the speed choice) through the same reader.
#include "jobs/ConversionSettings.h"

#include <QString>

#include <functional>

class JobSession;

struct FrmMainSettings
{
    ConversionSettings conversion;

    // [frmScheduler] chkPersistRunning: a schedule was counting down when the window closed.
    bool bPersistRunning = false;
    // Length unit of the option dialogs: 1 inches, 2 centimetres.
    short glnMeasurement = 1;
    bool mnuOptimizeForSpeed = true;

    // Stored grid column widths in twips; the other columns are hidden or fitted to the window.
    int fgLogColWidth1 = 450;
    int fgLogColWidth2 = 615;
    int fgLogColWidth6 = 3875;
    int fgLogColWidth8 = 555;
    int fgLogColWidth9 = 615;
    int fgToDoColWidth1 = 450;
    int fgToDoColWidth2 = 540;
    int fgToDoColWidth5 = 675;
    int fgToDoColWidth8 = 690;
    int fgToDoColWidth9 = 660;

    // Editor selections (-1 = no selection). kKeepFillSelection for the target list: the stored
    // index does not fit the list, which keeps the selection its fill made.
    static constexpr int kKeepFillSelection = -2;
    int cbSpecialProcessesListIndex = 0;
    int cbCommandLineWindowStateListIndex = 1;
    int cbCommandLineThreadPriorityListIndex = 1;
    QString txtCommandLineWaitTimeInSeconds = QStringLiteral("-1");
    int cbFileTypeTargetListIndex = 0;
    int cbFileTypeOriginalListIndex = 2;
    int cbFileTypeOriginalSpecializedListIndex = 0;

    // Check-box values: 0 unchecked, 1 checked, 2 grey.
    int cbDoSubfolders = 0;
    int cbDoSubfoldersSpecialized = 0;
    int cbCaseSensitive = 1;
};

// Entry counts of the editor's lists, for the range checks of the stored selections; a
// negative count means unknown (only the value itself is checked then).
struct FrmMainListSizes
{
    int cbSpecialProcesses = -1;
    int cbCommandLineWindowState = -1;
    int cbCommandLineThreadPriority = -1;
    int cbFileTypeTarget = -1;
    int cbFileTypeOriginal = -1;
    int cbFileTypeOriginalSpecialized = -1;
};

// Reads every key of the store. A missing file or key, a value that is not a number where a
// number is stored, a list index outside its list and a check value outside 0-2 all give the
// key's default (a special-type index outside its list selects entry 0; a target index outside
// its list gives kKeepFillSelection).
FrmMainSettings ReadFrmMainSettings(const QString &iniPath, const FrmMainListSizes &sizes = {});

// The points of the write at which the window shuts its recent lists down (each writes its own
// section), so that a new settings file gets its sections in the same order as ever.
using MruShutDownHook = std::function<void(const QString &listName)>;

// Writes the store's keys in a fixed order, rewriting the file once between the recent lists'
// points rather than once per key. Nothing at all is written in a command-line run (false then);
// the detail keys of an override group are written only when its flag is set, so a cleared
// flag keeps the values stored before. False when the file could not be written.
bool WriteFrmMainSettings(const QString &iniPath, const FrmMainSettings &settings,
                          const MruShutDownHook &shutDownMru = {});

// The conversion settings alone (with the method and the Do code), for runs without a window.
void ReadCoreConversionSettings(const QString &iniPath, ConversionSettings &settings);
// What every run takes from the store: the conversion settings into the session and the
// speed/memory choice into its conversion control.
void ApplyStoredCoreSettings(const QString &iniPath, JobSession &session);
