#pragma once
// A lock shared by every process of the machine: flock on a file of the given name in one fixed
// folder (/tmp), whatever a process's TMPDIR says. The kernel releases it when the holding
// process ends, however it ends.
#include <QString>

class MachineMutex
{
public:
    explicit MachineMutex(const QString &name);
    ~MachineMutex();
    MachineMutex(const MachineMutex &) = delete;
    MachineMutex &operator=(const MachineMutex &) = delete;

    // Waits without limit. Taking it again while this object holds it only counts up. False when
    // the lock file cannot be opened or locked.
    bool lock();
    // Takes the lock when it is free; false at once otherwise.
    bool tryLock();
    // One unlock per successful lock; the last one lets go. Harmless when not held.
    void unlock();
    bool isLocked() const { return m_depth > 0; }
    // The lock file: the lock folder and the name.
    QString filePath() const;

    // The folder of every lock file of this process: /tmp, unless a test gave it a folder of its
    // own (so that its locks are not the ones every other run of the machine shares).
    static QString lockFolder();
    static void setLockFolderForTests(const QString &folder);

    // An object is used by one thread at a time; separate objects exclude each other like
    // separate processes do.

private:
    bool acquire(bool wait);

    QString m_name;
    int m_fd = -1;
    int m_depth = 0;
};
