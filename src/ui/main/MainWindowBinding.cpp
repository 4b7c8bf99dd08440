#include "MainWindowBinding.h"

#include "CommandState.h"
#include "JobGridView.h"
#include "SessionController.h"
#include "TaskEditor.h"
#include "frmMain.h"

#include "common/Globals.h"
#include "converter/TypeCatalogue.h"
#include "jobs/JobSession.h"
#include "language/Translator.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

namespace {

using Entries = QList<QPair<QString, int>>;

// PROVISIONAL until the shared choice lists land.
Entries targetTypes()
{
    Entries e{{QStringLiteral("[300] ") + Translate(QStringLiteral("PDF - with options")), 300}};
    for (int i = 0; i < TypeCatalogue::count(); ++i) {
        QString name;
        int code = 0;
        if (TypeCatalogue::saveAsType(i, name, code))
            e.append({QStringLiteral("[%1] ").arg(code, 3, 10, QLatin1Char('0')) + Translate(name), code});
    }
    return e;
}

Entries translated(const QList<QPair<const char *, int>> &raw, bool bracket)
{
    Entries e;
    for (const auto &r : raw) {
        const QString text = Translate(QString::fromLatin1(r.first));
        e.append({bracket ? QStringLiteral("[%1] ").arg(r.second) + text : text, r.second});
    }
    return e;
}

} // namespace

void FillChoiceLists(TaskEditor &ed)
{
    const bool suppressed = gbSuppressEvents;
    gbSuppressEvents = true;
    TaskEditor::FillList(ed.cbFileTypeOriginal,
                         translated({{"Any file PowerPoint can open (*.*)", 1},
                                     {"PowerPoint Presentations (PPT(X), PPS(X), HTM, MHTM", 2},
                                     {"Presentations and Shows (PPT(X), PPS(X))", 3},
                                     {"Web Pages (HTM, HTML, MHT, MHTML)", 4},
                                     {"Design Templates POT(X)", 5},
                                     {"Outlines (TXT, RTF, DOC, WPD, WPS)", 6}},
                                    false),
                         2);
    const Entries targets = targetTypes();
    TaskEditor::FillList(ed.cbFileTypeTarget, targets, targets.size() > 1 ? 1 : 0);
    TaskEditor::FillList(ed.cbFileTypeOriginalSpecialized,
                         translated({{"[1] Text", 1}, {"[9] MS Word (DOC)", 9}, {"[4] HTML (HTM)", 4},
                                     {"[5] Rich Text Format (RTF)", 5}, {"[6] Unicode/Encoded Text", 6}},
                                    false),
                         0);
    Entries processes = translated(
        {{"Append (Concatenate) files. Original file(s) contents is placed at the end of the Target file.", 50},
         {"Remove Empty Lines", 55},
         {"Search and Replace a String.", 56},
         {"Launch (Run) a program.", 60}},
        true);
    processes.append({Translate(QStringLiteral("I NEED SOMETHING NOT LISTED!!!!!!!")), -1});
    TaskEditor::FillList(ed.cbSpecialProcesses, processes, 0);
    TaskEditor::FillList(ed.cbCommandLineWindowState,
                         translated({{"Hidden", 0}, {"Normal", 1}, {"Maximized", 3}, {"Minimized", 6}}, false), 0);
    TaskEditor::FillList(
        ed.cbCommandLineThreadPriority,
        translated({{"Idle", 64}, {"Normal", 32}, {"High Priority", 128}, {"Realtime Priority", 256}}, false), 0);
    Entries chars{{QStringLiteral("ASCII Char"), 0}};
    for (int n = 1; n <= 255; ++n)
        chars.append({QStringLiteral("[%1]").arg(n) + QChar(n), n});
    TaskEditor::FillList(ed.cbCharacter1, chars, 0);
    TaskEditor::FillList(ed.cbCharacter2, chars, 0);
    gbSuppressEvents = suppressed;
}

CommandState ComputeWindowCommandState(const frmMain &w)
{
    const JobSession &s = w.session();
    CommandStateInput in;
    in.bScheduled = w.bSchedularEnabled();
    in.bRunning = s.bRunning;
    in.bCurrentActionItemDirty = s.bCurrentActionItemDirty;
    in.gbSuppressEvents = gbSuppressEvents;
    in.lToDoRows = s.fgToDo.rows();
    in.lToDoRow = s.fgToDo.row();
    in.sCurrentNumberCell = s.fgToDo.textMatrix(s.fgToDo.row(), 1);
    in.sFirstPassCell = s.fgToDo.textMatrix(1, 9);
    in.lResumeFileIndex = s.lResumeFileIndex;
    in.lLogRows = s.fgLog.rows();
    in.lSelectedTab = w.controller()->selectedTab();
    return ComputeCommandState(in);
}

void ApplyCommandState(frmMain &w, const CommandState &state)
{
    auto enable = [&state](QAction *a, const char *key) {
        const auto it = state.enabled.constFind(QLatin1String(key));
        if (a && it != state.enabled.constEnd())
            a->setEnabled(it.value());
    };
    for (auto it = w.tbButtons.constBegin(); it != w.tbButtons.constEnd(); ++it)
        enable(it.value(), it.key().toLatin1().constData());
    for (auto it = w.tbButtonMenus.constBegin(); it != w.tbButtonMenus.constEnd(); ++it)
        enable(it.value(), it.key().toLatin1().constData());
    // Menu entries copy the toolbar.
    enable(w.mnuSaveLogAsConversionJob, "KeySaveLogAsConversionJob");
    enable(w.mnuSaveConversionJob, "KeySave");
    enable(w.mnuSaveConversionJobAs, "KeySaveAs");
    enable(w.mnuNewConversionJob, "keyNew");
    enable(w.mnuOpenConversionJob, "keyOpen");
    enable(w.mnuBeginConversionJob, "keyConvert");
    enable(w.mnuAddConversionJob, "keyAdd");
    enable(w.mnuRemoveConversionJob, "keyRemove");
    enable(w.mnuUpdateConversionJob, "keyUpdate");
    enable(w.mnuPause, "keyPause");
    enable(w.mnuRewindConversionJob, "keyRewind");
    enable(w.mnuPopupDelete, "keyRemove");
    // Recent jobs open like Open: not during a run.
    const bool openable = state.enabled.value(QStringLiteral("keyOpen"), true);
    for (const MruMenuArray *a : {&w.mnuMRU, &w.tbOpenMRU})
        for (const QPointer<QAction> &e : a->elements)
            if (e)
                e->setEnabled(openable);

    auto show = [&state](QAction *a, const char *name) {
        const auto it = state.visible.constFind(QLatin1String(name));
        if (a && it != state.visible.constEnd())
            a->setVisible(it.value());
    };
    show(w.mnuMoveConversionTask->menuAction(), "mnuMoveConversionTask");
    show(w.mnuMoveUp, "mnuMoveUp");
    show(w.mnuMoveFirst, "mnuMoveFirst");
    show(w.mnuMoveDown, "mnuMoveDown");
    show(w.mnuMoveLast, "mnuMoveLast");
    show(w.mnuPopupMoveUp, "mnuPopupMoveUp");
    show(w.mnuPopupMoveFirst, "mnuPopupMoveFirst");
    show(w.mnuPopupMoveDown, "mnuPopupMoveDown");
    show(w.mnuPopupMoveLast, "mnuPopupMoveLast");
}

void ReadWindowSettings(frmMain &w)
{
    // PROVISIONAL until the settings store lands.
    w.mnuOptimizeForSpeed_Click();
    w.RefreshConvertOptionsGUI();
}

void SaveWindowSettings(frmMain &) {}
