#pragma once
// The list of files a task processes: one original file, or the files of a folder that match a
// wildcard pattern ("*.*" or "*." & extension), optionally with all sub-folders.
#include <QString>
#include <QStringList>

class JobSession;
class clsConversionOptions;

// Results of AddFolderFilesToList.
enum FolderListResult { flDone = 0, flFolderMissing = -1, flPaused = -2 };

// Appends the task's files to colFiles. False with options.sErr set when the original file or
// the wildcard's folder does not exist. A pause during the listing returns true with what was
// collected so far (the caller sees bRunning cleared).
bool CreateFileList(JobSession &session, clsConversionOptions &options, QStringList &colFiles);

// Appends the matching files of sFolder (sorted by name, case-insensitively), then, with
// bRecurse, those of each sub-folder, depth first. Symbolic links to folders are not followed;
// hidden files are not listed. sFolder gets a trailing "/" in place.
int AddFolderFilesToList(JobSession &session, QString &sFolder, const QString &sPattern, QStringList &colFiles,
                         bool bRecurse);

// "*.*" matches every file; otherwise the pattern must equal "*." & the extension, ignoring case.
// A file without extension matches only "*." (and "*.*").
bool bFileMatchesPattern(const QString &sPattern, const QString &sExtension);
