#pragma once
// Helpers shared by every test executable.
#include <QByteArray>
#include <QString>

class QObject;

namespace qvtest {

// The private home folder that TestMain set up for this test process.
QString homeDir();
// Root of the source tree and of the build tree (from the environment CTest passes).
QString sourceDir();
QString buildDir();
// Folder of the built executables (build/bin).
QString binDir();
// tests/data in the source tree.
QString dataDir();

// Writes bytes to a file, creating its folder; returns false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// What a screen reader reads as the caption of a control: the names of the labels tied to it
// (a buddy label, the title of its group), joined by "|"; "" when none is.
QString accessibleLabels(QObject *control);

} // namespace qvtest
