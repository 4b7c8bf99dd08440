#pragma once
// Program-wide values shared by every layer.
#include <QString>

// Full path of the settings file (Quorvane_SearchHistory.INI); "" when none could be written.
extern QString G_IniFilePath;
// Per-user data folder, ending with "/".
extern QString gsDataFolder;
// Set while an unattended command-line run is under way: no prompts, no settings writes.
extern bool gbCommandLineMode;
// Set while code refills a grid or the editor, so that control handlers ignore the changes.
extern bool gbSuppressEvents;

// The program's folder: where its shipped data lives (Demo Data, Languages, help). That is
// share/quorvane beside the executable's folder, or $QV_PROGRAM_FOLDER when set. No trailing "/".
QString GetProgramFolder();
// The program's title and application name ("Quorvane").
QString GetProgramTitle();
