#pragma once
// Whether a process of this machine (of our pid namespace) is still running.
#include <QtGlobal>

// True while process pid runs. One that has ended but is not yet reaped by its parent (a
// zombie) counts as ended: it runs nothing and holds nothing, and it may stay so for as long
// as its parent lives.
bool bProcessAlive(qint64 pid);
