#include "CommandState.h"

CommandState ComputeCommandState(const CommandStateInput &in)
{
    CommandState s;
    auto &e = s.enabled;
    const bool busy = in.bScheduled || in.bRunning;
    const bool realRow = in.lToDoRow >= 1 && in.lToDoRow < in.lToDoRows - 1 && !in.sCurrentNumberCell.isEmpty();
    e[QStringLiteral("keyOpen")] = !busy;
    e[QStringLiteral("keyNew")] = !busy;
    e[QStringLiteral("keyConvert")] = !busy;
    e[QStringLiteral("keyPause")] = busy;
    e[QStringLiteral("keyRewind")] = !busy && !(in.sFirstPassCell.isEmpty() && in.lResumeFileIndex == 0);
    e[QStringLiteral("keyAdd")] = !busy && in.lSelectedTab != 2;
    e[QStringLiteral("keyRemove")] = !busy && realRow && in.lSelectedTab != 2;
    e[QStringLiteral("keyUpdate")] = !busy && realRow && in.bCurrentActionItemDirty && in.lSelectedTab != 2;
    e[QStringLiteral("KeySave")] = in.lToDoRows > 1;
    e[QStringLiteral("KeySaveAs")] = in.lToDoRows > 1;
    e[QStringLiteral("KeyOpen")] = !busy;
    if (in.lToDoRows == 3) {
        e[QStringLiteral("keyRewind")] = false;
        e[QStringLiteral("keyRemove")] = false;
    }
    e[QStringLiteral("KeySaveLogAsConversionJob")] = in.lLogRows > 2;
    if (!busy && !in.gbSuppressEvents) {
        auto &v = s.visible;
        const int rows = in.lToDoRows, row = in.lToDoRow;
        bool task = true, up = true, down = true;
        bool menuUnchanged = false;
        if (rows <= 3 || row == rows - 1) {
            task = false;
            up = down = false;
            menuUnchanged = true;
        } else if (row == 1) {
            up = false;
        } else if (row >= rows - 2) {
            down = false;
        }
        v[QStringLiteral("mnuMoveConversionTask")] = task;
        if (!menuUnchanged) {
            v[QStringLiteral("mnuMoveUp")] = up;
            v[QStringLiteral("mnuMoveFirst")] = up;
            v[QStringLiteral("mnuMoveDown")] = down;
            v[QStringLiteral("mnuMoveLast")] = down;
        }
        v[QStringLiteral("mnuPopupMoveUp")] = up;
        v[QStringLiteral("mnuPopupMoveFirst")] = up;
        v[QStringLiteral("mnuPopupMoveDown")] = down;
        v[QStringLiteral("mnuPopupMoveLast")] = down;
    }
    return s;
}
