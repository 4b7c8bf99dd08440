#pragma once
// Whether a process of this machine (of our pid namespace) is still running.
#include <QString>

// True while process pid runs. One that has ended but is not yet reaped by its parent (a
// zombie) counts as ended: it runs nothing and holds nothing, and it may stay so for as long
// as its parent lives. Where /proc does not show the process (not mounted, hidepid), the kernel
// is asked whether the pid exists: one that does counts as running, so that nothing of a live
// process is ever taken for a gone one's.
bool bProcessAlive(qint64 pid);

// Tests: the folder read in place of /proc (an empty one stands for a /proc that shows nothing).
void setProcFolderForTests(const QString &folder);
