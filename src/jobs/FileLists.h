#pragma once
// The list of files a task processes: one original file, or the files of a folder that match a
// wildcard pattern ("*.*" or "*." & extension), optionally with all sub-folders.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class JobSession;
class clsConversionOptions;

// An entry of a folder task that matches the pattern but cannot be converted: a name that is not
// text, a link that leads nowhere or in a circle, a pipe or device, a path longer than the system
// takes, or a sub-folder that cannot be read. sName is the path for reading (bytes that are not
// text as "\xHH"); sReason is translated.
struct UnlistedFile
{
    QString sName;
    QString sReason;
};

// Results of AddFolderFilesToList.
enum FolderListResult { flDone = 0, flFolderMissing = -1, flPaused = -2 };

// Appends the task's files to colFiles. False with options.sErr set when the original file or
// the wildcard's folder does not exist. A pause during the listing returns true with what was
// collected so far (the caller sees bRunning cleared). Entries that match but cannot be
// converted go to unlisted (when given) instead of being passed over in silence. A file whose
// path is not text is listed by its readable form when rawPaths is given, which keeps its bytes
// under that form; without rawPaths it is unlisted.
bool CreateFileList(JobSession &session, clsConversionOptions &options, QStringList &colFiles,
                    QList<UnlistedFile> *unlisted = nullptr, QHash<QString, QByteArray> *rawPaths = nullptr);

// Appends the matching files of sFolder (sorted by name, case-insensitively), then, with
// bRecurse, those of each sub-folder, depth first. Symbolic links to folders are not followed;
// hidden files and folders are not listed; links to files are. sFolder gets a trailing "/" in
// place. Matching entries that cannot be converted go to unlisted (when given), in the same order;
// rawPaths as for CreateFileList.
int AddFolderFilesToList(JobSession &session, QString &sFolder, const QString &sPattern, QStringList &colFiles,
                         bool bRecurse, QList<UnlistedFile> *unlisted = nullptr,
                         QHash<QString, QByteArray> *rawPaths = nullptr);

// "*.*" matches every file; otherwise the pattern must equal "*." & the extension, ignoring case.
// A file without extension matches only "*." (and "*.*").
bool bFileMatchesPattern(const QString &sPattern, const QString &sExtension);
