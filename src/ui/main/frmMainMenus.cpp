#include "frmMainMenus.h"

#include "ui/support/AccessibleChoices.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace {

QAction *entry(QMenu *menu, const char *name, const char *caption)
{
    auto *a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QLatin1String(name));
    return a;
}

QMenu *subMenu(QWidget *owner, const char *name, const char *caption)
{
    auto *m = new QMenu(QString::fromLatin1(caption), owner);
    m->setObjectName(QLatin1String(name));
    return m;
}

QIcon picture(const char *name) { return QIcon(QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".png")); }

} // namespace

void frmMainMenus::buildMenus(QWidget *owner)
{
    mnuFile = subMenu(owner, "mnuFile", "&File");
    mnuNewConversionJob = entry(mnuFile, "mnuNewConversionJob", "&New Conversion Job");
    mnuNewConversionJob->setShortcut(QKeySequence::New);
    mnuOpenConversionJob = entry(mnuFile, "mnuOpenConversionJob", "&Open Conversion Job");
    mnuOpenConversionJob->setShortcut(QKeySequence::Open);
    mnuSaveConversionJob = entry(mnuFile, "mnuSaveConversionJob", "Save Conversion Job");
    mnuSaveConversionJob->setShortcut(QKeySequence::Save);
    mnuSaveConversionJobAs = entry(mnuFile, "mnuSaveConversionJobAs", "Save Conversion Job &As..");
    mnuSaveConversionJobAs->setShortcut(QKeySequence::SaveAs);
    mnuSaveLogAsConversionJob = entry(mnuFile, "mnuSaveLogAsConversionJob", "Save &Log as a Conversion Job");
    mnuFile->addSeparator();
    mnuLanguage = entry(mnuFile, "mnuLanguage", "Lan&guage");
    mnuFile->addSeparator();
    mnuOptimizeForSpeed = entry(mnuFile, "mnuOptimizeForSpeed", "Optimize For Speed");
    mnuOptimizeForMemory = entry(mnuFile, "mnuOptimizeForMemory", "Optimize For Memory");
    // One choice of two: radio items, shown and announced as excluding each other.
    MakeExclusiveMenuItemsAccessibleAsRadioItems();
    auto *optimize = new QActionGroup(owner);
    optimize->setExclusive(true);
    for (QAction *a : {mnuOptimizeForSpeed, mnuOptimizeForMemory}) {
        a->setCheckable(true);
        optimize->addAction(a);
    }
    mnuOptimizeForSpeed->setChecked(true);
    mnuMRU.menu = mnuFile;
    mnuMRU.element0 = mnuFile->addSeparator();
    mnuMRU.element0->setObjectName(QStringLiteral("mnuMRU"));
    // The recent entries go between this separator and the one before Exit.
    mnuFile->addSeparator();
    mnuExit = entry(mnuFile, "mnuExit", "E&xit");
    mnuExit->setShortcut(QKeySequence::Quit);
    mnuExit->setMenuRole(QAction::QuitRole);

    mnuConversion = subMenu(owner, "mnuConversion", "C&onversion");
    mnuAddConversionJob = entry(mnuConversion, "mnuAddConversionJob", "&Add Conversion Job");
    mnuRemoveConversionJob = entry(mnuConversion, "mnuRemoveConversionJob", "&Delete Conversion Job");
    mnuUpdateConversionJob = entry(mnuConversion, "mnuUpdateConversionJob", "&Update Conversion Job");
    mnuMoveConversionTask = subMenu(owner, "mnuMoveConversionTask", "&Move Conversion Task");
    mnuConversion->addMenu(mnuMoveConversionTask);
    mnuMoveConversionTask->menuAction()->setObjectName(QStringLiteral("mnuMoveConversionTaskAction"));
    mnuMoveUp = entry(mnuMoveConversionTask, "mnuMoveUp", "Move Up (Ctrl+U)");
    mnuMoveDown = entry(mnuMoveConversionTask, "mnuMoveDown", "Move Down (Ctrl+D)");
    mnuMoveFirst = entry(mnuMoveConversionTask, "mnuMoveFirst", "Move to First");
    mnuMoveLast = entry(mnuMoveConversionTask, "mnuMoveLast", "Move To Last");
    mnuConversion->addSeparator();
    mnuBeginConversionJob = entry(mnuConversion, "mnuBeginConversionJob", "&Begin Conversion Job");
    mnuPause = entry(mnuConversion, "mnuPause", "&Pause Conversion Job");
    mnuRewindConversionJob = entry(mnuConversion, "mnuRewindConversionJob", "&Rewind Conversion Job");
    mnuConversion->addSeparator();
    mnuScheduleConversionJob = entry(mnuConversion, "mnuScheduleConversionJob", "Schedule a Conversion Job");

    mnuHelp = subMenu(owner, "mnuHelp", "&Help");
    mnuLaunchHelpFile = entry(mnuHelp, "mnuLaunchHelpFile", "&Help File");
    mnuLaunchHelpFile->setShortcut(QKeySequence::HelpContents);
    mnuAbout = entry(mnuHelp, "mnuAbout", "&About");
    mnuAbout->setMenuRole(QAction::AboutRole);
    mnuHelpProductUpdates = entry(mnuHelp, "mnuHelpProductUpdates", "Product &Updates");
    mnuHelpOnLine = entry(mnuHelp, "mnuHelpOnLine", "Web Help");
    cmdHelpCommandLine = entry(mnuHelp, "cmdHelpCommandLine", "Using the &Command Line");
    mnuHelpProductHomePage = entry(mnuHelp, "mnuHelpProductHomePage", "Product Home &Page");
    mnuOrnwellHomePage = entry(mnuHelp, "mnuOrnwellHomePage", "&Ornwell Home Page");

    mnuPopup = subMenu(owner, "mnuPopup", "Popup");
    mnuPopupMoveUp = entry(mnuPopup, "mnuPopupMoveUp", "Move Up (Ctrl+U)");
    mnuPopupMoveDown = entry(mnuPopup, "mnuPopupMoveDown", "Move Down (Ctrl+D)");
    mnuPopupMoveFirst = entry(mnuPopup, "mnuPopupMoveFirst", "Move to First");
    mnuPopupMoveLast = entry(mnuPopup, "mnuPopupMoveLast", "Move To Last");
    mnuPopup->addSeparator();
    mnuPopupDelete = entry(mnuPopup, "mnuPopupDelete", "&Delete");

    tbMain = new QToolBar(owner);
    tbMain->setObjectName(QStringLiteral("tbMain"));
    tbMain->setIconSize(QSize(24, 24));
    tbMain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbMain->setMovable(false);
    struct Key {
        const char *key;
        const char *caption;
        const char *tip;
        const char *icon;
        bool spaceBefore;
        QAction *command; // the menu entry the key triggers
    };
    const Key keys[] = {
        {"keyNew", "New", "New Conversion Job", "new", false, mnuNewConversionJob},
        {"keyOpen", "Open", "Open Conversion Job", "open", false, mnuOpenConversionJob},
        {"keyAdd", "Add", "Add Conversion Job", "add", true, mnuAddConversionJob},
        {"keyRemove", "Delete", "Delete Conversion Job", "delete", false, mnuRemoveConversionJob},
        {"keyUpdate", "Update", "Update Conversion Job", "update", false, mnuUpdateConversionJob},
        {"keyRewind", "Rewind", "Rewind Conversion Job", "rewind", true, mnuRewindConversionJob},
        {"keyConvert", "Convert", "Begin Conversion Job", "convert", false, mnuBeginConversionJob},
        {"keyPause", "Pause", "Pause Conversion Job", "pause", false, mnuPause},
    };
    for (const Key &k : keys) {
        if (k.spaceBefore)
            tbMain->addSeparator();
        const QString key = QString::fromLatin1(k.key);
        auto *a = tbMain->addAction(picture(k.icon), QString::fromLatin1(k.caption));
        a->setObjectName(key);
        a->setToolTip(QString::fromLatin1(k.tip));
        a->setData(key);
        QObject::connect(a, &QAction::triggered, k.command, &QAction::trigger);
        tbButtons.insert(key, a);
    }

    tbOpenMenu = subMenu(owner, "tbOpenMenu", "Open");
    const Key menuKeys[] = {
        {"KeyOpen", "&Open Conversion Job", "", "open", false, mnuOpenConversionJob},
        {"KeySave", "Save Conversion Job", "", "", false, mnuSaveConversionJob},
        {"KeySaveAs", "Save Conversion Job &As..", "", "", false, mnuSaveConversionJobAs},
        {"KeySaveLogAsConversionJob", "Save &Log as a Conversion Job", "", "", false, mnuSaveLogAsConversionJob},
    };
    for (const Key &k : menuKeys) {
        const QString key = QString::fromLatin1(k.key);
        auto *a = tbOpenMenu->addAction(QString::fromLatin1(k.caption));
        a->setObjectName(key);
        a->setData(key);
        QObject::connect(a, &QAction::triggered, k.command, &QAction::trigger);
        tbButtonMenus.insert(key, a);
    }
    tbOpenMRU.menu = tbOpenMenu;
    tbOpenMRU.element0 = tbOpenMenu->addSeparator();
    QAction *openKey = tbButtons.value(QStringLiteral("keyOpen"));
    openKey->setMenu(tbOpenMenu);
    if (auto *button = qobject_cast<QToolButton *>(tbMain->widgetForAction(openKey)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
}
