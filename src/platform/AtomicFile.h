#pragma once
// Writing a whole file so that it is either complete or not changed at all.
#include <QByteArray>
#include <QString>

// Writes bytes to a temporary file beside path and renames it over path. A failed write leaves
// the old file whole (never written in place). *error gets the system's reason on failure.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);
