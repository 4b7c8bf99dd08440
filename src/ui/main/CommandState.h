#pragma once
// PROVISIONAL until the settings branch lands its CommandState: the command state as a pure
// function of its inputs.
#include <QHash>
#include <QString>

struct CommandStateInput
{
    bool bScheduled = false;
    bool bRunning = false;
    bool bCurrentActionItemDirty = false;
    bool gbSuppressEvents = false;
    int lToDoRows = 2;
    int lToDoRow = 1;
    QString sCurrentNumberCell;
    QString sFirstPassCell;
    int lResumeFileIndex = 0;
    int lLogRows = 2;
    int lSelectedTab = 1;
};

struct CommandState
{
    // Enabled state by toolbar key or menu name.
    QHash<QString, bool> enabled;
    // Visibility of the move entries; absent = unchanged.
    QHash<QString, bool> visible;
};

CommandState ComputeCommandState(const CommandStateInput &in);
