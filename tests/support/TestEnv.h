#pragma once
// Helpers shared by every test executable.
#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

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

// Another thread that asks this one for something and waits for each answer before it asks
// again a millisecond later, as a screen reader does over the accessibility bus; counts the
// answers. Ending it answers its last request.
class BlockingCaller
{
public:
    BlockingCaller();
    ~BlockingCaller();
    int answered() const { return m_answered; }

private:
    QObject m_here;
    std::atomic<bool> m_stop = false, m_ended = false;
    std::atomic<int> m_answered = 0;
    std::thread m_thread;
};

// What a screen reader reads as the caption of a control: the names of the labels tied to it
// (a buddy label, the title of its group), joined by "|"; "" when none is.
QString accessibleLabels(QObject *control);

} // namespace qvtest
