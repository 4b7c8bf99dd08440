#pragma once
// The names in a folder as the file system gives them: bytes, not text, since a name need not be
// valid in any encoding; read through a descriptor, so that the folder read is the one opened.
#include <QByteArray>
#include <QList>

// The entries of the open folder dirFd but "." and "..", in the order the system gives them;
// none when it cannot be read. dirFd stays open and usable.
QList<QByteArray> FolderEntryNames(int dirFd);
// The same for the folder at path (bytes).
QList<QByteArray> FolderEntryNames(const QByteArray &path);
