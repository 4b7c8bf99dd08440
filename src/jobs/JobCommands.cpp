// Commands on a whole job: pause, rewind, save, save as, open, new, save the log as a job.
#include "JobSession.h"

#include "common/FileUtils.h"
#include "common/Globals.h"
#include "common/PathUtils.h"
#include "common/SpecialFolderPaths.h"
#include "common/clsMRU.h"
#include "jobs/JobFiles.h"
#include "jobs/ToDoRows.h"
#include "language/Translator.h"
#include "platform/FilePicker.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <QScopedValueRollback>

namespace {

QString jobFilter() { return Translate(QStringLiteral("Quorvane (*.QVJ)|*.QVJ")); }

QString unableToCreateText()
{
    return Translate(QStringLiteral("Unable to create file. Try a different folder such as 'My Documents'"));
}

} // namespace

void JobSession::showSaveFailure(const QString &reason)
{
    QString text = unableToCreateText();
    if (!reason.isEmpty())
        text += QStringLiteral("\r\r") + reason;
    prompter()->msgBox(text, Prompter::OkOnly);
}

void JobSession::ConversionJobPause()
{
    bRunning = false;
    // A schedule counting down between runs is stopped too: otherwise Pause, the only command
    // left enabled while a schedule is active, would do nothing at all.
    if (scheduleHooks()->bSchedularEnabled())
        scheduleHooks()->stopScheduler();
    hooks()->UpdateMenuToolbar();
}

void JobSession::RequestClose()
{
    if (!m_loopActive) {
        hooks()->closeWindow();
        return;
    }
    // The run stops after the current file; the loop closes the window when it has returned.
    bRunning = false;
    m_closeRequested = true;
}

void JobSession::ConversionJobRewind()
{
    if (m_loopActive)
        return;
    rewindJob();
}

void JobSession::rewindJob()
{
    lResumeFileIndex = 0;
    lResumeRow = 0;
    // The job starts over from its first row: as it was loaded, with no task run since.
    seedJobLoads();
    {
        const QScopedValueRollback<bool> suppress(gbSuppressEvents, true);
        for (int r = fgToDo.rows() - 1; r >= 1; --r) {
            fgToDo.setCellPicture(r, ToDoColumn::Pass, FlexGrid::Picture::None);
            fgToDo.setTextMatrix(r, ToDoColumn::Pass, QString());
        }
    }
    InitLogGrid(fgLog);
    hooks()->UpdateMenuToolbar();
    SelectGridRow(fgToDo);
    fgToDo.setTopRow(fgToDo.row());
    panels()->setPanelText(StatusPanel::Progress, QString());
    panels()->setPanelPicture(StatusPanel::Progress, StatusPanels::NoPicture);
    hooks()->setTimer1Enabled(false);
}

bool JobSession::ConversionJobSave()
{
    if (sCurrentJobFileName.isEmpty() || sCurrentJobFileName == QStringLiteral("*"))
        return ConversionJobSaveAs();
    // A job loaded in parts must not be saved over its own file: that would drop every later task.
    if (!sCappedJobFile.isEmpty() && bIsSamePath(sCappedJobFile, sCurrentJobFileName))
        return ConversionJobSaveAs();
    QString why;
    if (!SaveConversionJobFile(*this, sCurrentJobFileName, &why)) {
        showSaveFailure(why);
        return false;
    }
    markJobUnchanged();
    hooks()->UpdateMenuToolbar();
    return true;
}

bool JobSession::ConversionJobSaveAs()
{
    if (!picker())
        return false;
    int filterIndex = 1;
    const QString initDir = sCurrentJobFileName.size() < 2 ? QString() : GetPathFromFileName(sCurrentJobFileName);
    const QString file = picker()->pickFile(Translate(QStringLiteral("Save")), jobFilter(), filterIndex, initDir, true);
    if (file.isEmpty())
        return false;
    if (!bFolderIsWriteable(GetParentFolder(file))) {
        showSaveFailure(QString());
        return false;
    }
    if (!sCappedJobFile.isEmpty() && bIsSamePath(sCappedJobFile, file)) {
        showSaveFailure(Translate(QStringLiteral("This job was loaded in parts; saving it over its own file would lose the tasks not loaded.")));
        return false;
    }
    QString why;
    if (!SaveConversionJobFile(*this, file, &why)) {
        showSaveFailure(why);
        return false;
    }
    sCurrentJobFileName = file;
    hooks()->setJobCaption(QFileInfo(file).fileName());
    if (mruFileOpen) {
        mruFileOpen->AddUniqueItemToCollection(file);
        hooks()->refreshRecentJobsMenu();
    }
    markJobUnchanged();
    hooks()->UpdateMenuToolbar();
    return true;
}

bool JobSession::ConversionJobOpen(const QString &sFileIn, QString *sErr, QString *sNotice)
{
    if (sNotice)
        sNotice->clear();
    // Replacing the job under a run would hand the run's resume position to the new job.
    if (m_loopActive)
        return false;
    if (!hooks()->CheckToSaveFileBeforeErasing())
        return false;
    if (bRunning)
        ConversionJobPause();
    panels()->setPanelPicture(StatusPanel::Progress, StatusPanels::NoPicture);
    panels()->setPanelEnabled(StatusPanel::Progress, true);
    panels()->setPanelText(StatusPanel::Progress, QString());

    QString file;
    if (sFileIn.isEmpty()) {
        if (!picker())
            return false;
        QString initDir;
        if (mruFileOpen && mruFileOpen->Count() == 0)
            initDir = GetSpecialFolderPathFixed(26) + QStringLiteral("/Ornwell, Inc/Quorvane/");
        else if (sCurrentJobFileName.size() > 1)
            initDir = GetPathFromFileName(sCurrentJobFileName);
        int filterIndex = 1;
        file = picker()->pickFile(Translate(QStringLiteral("Open Conversion Job")), jobFilter(), filterIndex,
                                  initDir, false);
        if (file.isEmpty())
            return false; // cancelled: the open job stays as it was
    } else {
        file = ExpandPathVariables(sFileIn);
    }

    QString why;
    if (!bFileExists(file)) {
        why = Translate(QStringLiteral("Conversion job file not found: (")) + file + QStringLiteral(")");
    } else if (!LoadConversionJobFile(*this, file, 1, &why, sNotice)) {
        if (why.isEmpty())
            why = Translate(QStringLiteral("Unable to load the conversion job file: (")) + file + QStringLiteral(")");
    } else {
        why.clear();
    }
    if (!why.isEmpty()) {
        if (sErr)
            *sErr = why;
        if (!gbCommandLineMode)
            prompter()->msgBox(why, Prompter::OkOnly | Prompter::Exclamation);
        hooks()->UpdateMenuToolbar();
        return false;
    }

    sCurrentJobFileName = file;
    lResumeFileIndex = 0;
    lResumeRow = 0;
    {
        const QScopedValueRollback<bool> suppress(gbSuppressEvents, true);
        for (int r = 1; r <= lastTaskRow(fgToDo); ++r) {
            const QString mark = fgToDo.textMatrix(r, ToDoColumn::Pass);
            if (mark == QStringLiteral("+"))
                fgToDo.setCellPicture(r, ToDoColumn::Pass, FlexGrid::Picture::Passed);
            else if (mark == QStringLiteral("-"))
                fgToDo.setCellPicture(r, ToDoColumn::Pass, FlexGrid::Picture::Failed);
        }
    }
    InitLogGrid(fgLog);
    fgToDo.setRow(1);
    // The editor's edits belonged to the job that was replaced.
    clearTaskDirty();
    editorHooks()->LoadEditorFromCurrentRow();
    hooks()->UpdateMenuToolbar();
    if (!gbCommandLineMode) {
        SelectGridRow(fgToDo);
        if (mruFileOpen) {
            mruFileOpen->AddUniqueItemToCollection(file);
            hooks()->refreshRecentJobsMenu();
        }
        hooks()->setJobCaption(QFileInfo(file).fileName());
    }
    markJobUnchanged();
    seedJobLoads();
    return true;
}

void JobSession::ConversionJobNew()
{
    if (m_loopActive)
        return;
    if (!hooks()->CheckToSaveFileBeforeErasing())
        return;
    markJobUnchanged();
    InitToDoGrid(fgToDo);
    InitLogGrid(fgLog);
    sCurrentJobFileName = QStringLiteral("*");
    hooks()->setJobCaption(QString()); // the job that was open is gone
    sCappedJobFile.clear();
    lResumeFileIndex = 0;
    lResumeRow = 0;
    seedJobLoads();
    clearTaskDirty();
    editorHooks()->LoadEditorFromCurrentRow();
    hooks()->UpdateMenuToolbar();
}

bool JobSession::ConversionJobSaveLogAs()
{
    if (m_loopActive || !picker())
        return false;
    int filterIndex = 1;
    const QString file = picker()->pickFile(Translate(QStringLiteral("Save")), jobFilter(), filterIndex, QString(), true);
    if (file.isEmpty())
        return false;
    QString why;
    if (!ExportLogAsJob(file, fgLog, &why)) {
        showSaveFailure(why);
        return false;
    }
    return true;
}
