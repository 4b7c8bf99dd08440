#pragma once
// Section [frmScheduler] of the settings file: the scheduler window's inputs, one key per
// input, read key by key and written in one go, each in a fixed order. A value that cannot be
// read keeps the key's default, silently. Nothing is written in a command-line run.
#include "SchedulerInput.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

struct SchedulerSettings
{
    SchedulerInput input;
    // The chosen time of day and the first calendar target of the last Begin.
    QDateTime dtUserTargetTime;
    QDateTime dtTargetComplete;
};

// The keys in the order they are read.
QStringList SchedulerReadKeys();

SchedulerSettings ReadIniFileScheduler(const QString &iniFile);
// Writes every key (the job-file box's text included). False when the file could not be
// written, and in a command-line run (nothing written).
bool SaveIniFileScheduler(const QString &iniFile, const SchedulerSettings &s);
// Stores only chkPersistRunning = "0": inputs that are not valid are never restarted.
bool SaveSchedulerPersistOff(const QString &iniFile);
