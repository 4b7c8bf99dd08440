#pragma once
// Writing a whole file so that it is either complete or not changed at all.
#include <QByteArray>
#include <QString>

// Writes bytes to a file under a staged name (StagedNames) beside path and renames it over path. A failed write leaves
// the old file whole (never written in place). *error gets the system's reason on failure.
// The file keeps the mode of the file it replaces (a new one gets the umask's); with ownerOnly
// it is 0600 whatever it was, from before its first byte is written.
// What a killed writer left beside path (platform/LeftoverRemoval) goes before the first write
// into its folder.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                         bool ownerOnly = false);
