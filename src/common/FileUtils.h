#pragma once
// Existence tests, folder creation, copies, deletion, temporary names and writability.
#include <QDateTime>
#include <QString>
#include <QStringList>

class EventPump;

// False for an empty path or a path holding "*" or "?"; true for an existing file (not folder).
bool bFileExists(const QString &sPath);
// True when the folder exists.
bool bFolderExists(const QString &sFolder);
bool bFolderExistsFSO(const QString &sFolder);
// A file or a folder exists at the path.
bool bPathExists(const QString &sPath);
// The deepest existing folder on the path, without a trailing "/" (the root stays "/").
QString NormalizeFolderPath(const QString &sPath);
// A start location for file dialogs: the path's folder when it exists, else the nearest
// existing ancestor followed by the file name, else the trimmed path.
QString GetExistingPathForDialog(const QString &sPath);
QDateTime GetFileDateLastModified(const QString &sFile);
// What tells a file apart from the same name rewritten or replaced since (device, inode, size
// and times to the nanosecond); empty when the file cannot be read.
QString FileStamp(const QString &sPath);
// Creates the folder and its missing parents; errors are ignored (callers test afterwards).
// Returns the folders this call made, outermost first.
QStringList CreateFolderTree(const QString &sFolder);
// CreateFolderTree for the targets of a run: the process keeps what it made for
// TakeFoldersMadeFor, so that a task whose work failed leaves no empty folder behind. Folders
// made for anything else (the settings, a folder the user asked for) are not kept.
void CreateTargetFolderTree(const QString &sFolder);
// The folders CreateTargetFolderTree made in this process that are sFolder or hold it,
// outermost first; each is handed out once (whoever takes it decides whether it stays).
QStringList TakeFoldersMadeFor(const QString &sFolder);
// Removes those of the folders (outermost first, as the two above list them; several lists may
// be joined) that are empty, innermost first. A folder that holds anything stays.
void RemoveFoldersLeftEmpty(const QStringList &folders);
// Copies a folder tree; existing files are replaced only with bOverwrite (otherwise kept, and
// the rest is still copied). Links to folders are not followed. False when anything failed.
bool CopyFolderFSO(const QString &sSource, const QString &sDestination, bool bOverwrite);
// Moves a file into a folder (created when missing). The source is deleted only after a copy
// that is complete and is not the file itself; a move into the file's own folder succeeds
// and changes nothing.
bool CopyFileToFolder(const QString &sFile, const QString &sFolder);
// Moves a file to a name that nobody else uses (a staged output). Within a file system it is
// renamed as it is (whoever wrote it syncs it); onto another one it is copied, and the copy
// arrives whole and synced to disk, or the move fails and nothing is left under sTo (sFrom then
// stays). *error gets the system's reason.
bool MoveFileWhole(const QString &sFrom, const QString &sTo, QString *error = nullptr);
// Clears read-only and deletes the file.
bool bKillFile(const QString &sFile);
// Attributes And lMask: a mask with bit 0 (read-only) clear gives the owner write permission
// (mask -2 = clear read-only); the other attribute bits have no meaning here. False when the
// file does not exist or the change fails.
bool bSetFileAttributeMask(const QString &sFile, int lMask);
// Deletes a file. A missing file is success at once; errors that can pass (busy, locked) are
// retried up to 20 times, 1 s apart (the pause is injectable for tests); permission and
// read-only errors fail at once. With a pump the pauses process events, and when bRunning is
// set at the start and a Pause clears it during a pause, the retries stop (false).
bool bDeleteFileWithRetry(const QString &sFile, EventPump *pump = nullptr, const bool *bRunning = nullptr);
void SetDeleteRetryPause(int ms);
// A name that no file has yet: folder & prefix & random digits & "." & extension (an empty
// extension is "TMP", an empty folder the temp folder). Never hands out the same name twice in
// one process. "" when none could be found.
QString GetUniqueTempFileName(const QString &sFolder, const QString &sPrefix,
                              const QString &sExtension);
// A file can be created in the deepest existing folder of the path. False for "" and for a
// path that cannot be normalised. Tried with a file that never has a name, so that no probe
// is ever left in the folder; where the file system has no such files, by the right to write.
bool bFolderIsWriteable(const QString &sFolder);

// Whether bytes hold a NUL byte where text stands: before a line end (CR or LF), or after text on
// a first line. NUL bytes after the last line end (from the very start when there is none) are
// the tail a power cut leaves (the size written, the data not): no sign of a binary file.
bool bHoldsNulBeforeTail(const QByteArray &bytes);
// The same for an existing regular file, read no further than its first 64 KiB unless they hold
// a NUL byte (a long log is not read whole at every start); false for anything else.
bool bFileHoldsNulBeforeTail(const QString &sPath);

// Codes of CheckOutputFolder.
enum OutputFolderCheck { ofcFine = 0, ofcSystemFolder = 2, ofcProtectedFolder = 3, ofcSystemRoot = 4,
                         ofcNotWriteable = 5 };
// Judges an output folder (or a target path in it) by its nearest existing folder, with ".."
// resolved: system folders (/bin, /boot, /dev, /etc, /lib*, /proc, /sbin, /sys, /usr, /var) 2,
// /home itself and the folder that holds the user's profile 3 (folders below them are fine),
// / 4, not writeable (or no folder at all) 5. sRecommended receives the path with the matched
// folder replaced by the documents folder (code 5: the documents folder), no trailing "/";
// vMessage the untranslated reason, set only for codes other than 0.
int CheckOutputFolder(const QString &sFolder, QString &sRecommended, QString &vMessage);

// The default web browser's program: the first handler of x-scheme-handler/http in the
// mimeapps.list files (XDG order) whose desktop entry names a program that exists, else the
// first program of $BROWSER; "" when there is none.
QString GetDefaultBrowserCommand();
