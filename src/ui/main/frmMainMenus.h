#pragma once
// The commands of the main window: the menus (File, Conversion, Help and the grid's pop-up),
// the toolbar tbMain with its keys and the drop-down of its Open key. Each entry is a QAction
// named like its menu entry; the window connects the menu entries to what they do, and each
// toolbar key triggers its menu entry.
#include "ui/support/MruWidgets.h"

#include <QHash>
#include <QList>
#include <QString>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;

class frmMainMenus
{
public:
    // The menus the frame puts on its menu bar, in order (not the pop-up).
    QList<QMenu *> menus() const { return {mnuFile, mnuConversion, mnuHelp}; }

    QMenu *mnuFile = nullptr;
    QAction *mnuNewConversionJob = nullptr;
    QAction *mnuOpenConversionJob = nullptr;
    QAction *mnuSaveConversionJob = nullptr;
    QAction *mnuSaveConversionJobAs = nullptr;
    QAction *mnuSaveLogAsConversionJob = nullptr;
    QAction *mnuLanguage = nullptr;
    QAction *mnuOptimizeForSpeed = nullptr;
    QAction *mnuOptimizeForMemory = nullptr;
    MruMenuArray mnuMRU; // recent job files, after its separator
    QAction *mnuExit = nullptr;

    QMenu *mnuConversion = nullptr;
    QAction *mnuAddConversionJob = nullptr;
    QAction *mnuRemoveConversionJob = nullptr;
    QAction *mnuUpdateConversionJob = nullptr;
    QMenu *mnuMoveConversionTask = nullptr;
    QAction *mnuMoveUp = nullptr;
    QAction *mnuMoveDown = nullptr;
    QAction *mnuMoveFirst = nullptr;
    QAction *mnuMoveLast = nullptr;
    QAction *mnuBeginConversionJob = nullptr;
    QAction *mnuPause = nullptr;
    QAction *mnuRewindConversionJob = nullptr;
    QAction *mnuScheduleConversionJob = nullptr;

    QMenu *mnuHelp = nullptr;
    QAction *mnuLaunchHelpFile = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuHelpProductUpdates = nullptr;
    QAction *mnuHelpOnLine = nullptr;
    QAction *cmdHelpCommandLine = nullptr;
    QAction *mnuHelpProductHomePage = nullptr;
    QAction *mnuOrnwellHomePage = nullptr;

    QMenu *mnuPopup = nullptr;
    QAction *mnuPopupMoveUp = nullptr;
    QAction *mnuPopupMoveDown = nullptr;
    QAction *mnuPopupMoveFirst = nullptr;
    QAction *mnuPopupMoveLast = nullptr;
    QAction *mnuPopupDelete = nullptr;

    // Toolbar: buttons by key ("keyNew", "keyOpen", "keyAdd", "keyRemove", "keyUpdate",
    // "keyRewind", "keyConvert", "keyPause") and the Open key's drop-down entries by key
    // ("KeySave", "KeySaveAs", "KeyOpen", "KeySaveLogAsConversionJob"); recent jobs follow
    // them in tbOpenMRU.
    QToolBar *tbMain = nullptr;
    QHash<QString, QAction *> tbButtons;
    QHash<QString, QAction *> tbButtonMenus;
    QMenu *tbOpenMenu = nullptr;
    MruMenuArray tbOpenMRU;

protected:
    // Builds every action, menu and the toolbar with the owner as their parent. A toolbar key
    // triggers its menu entry, whose enabled state the command state keeps equal to the key's.
    void buildMenus(QWidget *owner);
};
