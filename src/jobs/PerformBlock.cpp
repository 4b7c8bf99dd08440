// One task: expands paths, lists the files of a wildcard task, names each target, creates
// target folders, shows progress, logs failures and keeps the resume position of a pause.
#include "JobSession.h"

#include "clsConversionOptions.h"
#include "jobs/AppendTarget.h"
#include "common/FileUtils.h"
#include "common/Globals.h"
#include "common/NumberUtils.h"
#include "common/PathUtils.h"
#include "converter/ConversionControl.h"
#include "jobs/ConvertOneFile.h"
#include "jobs/FileLists.h"
#include "jobs/TypeExtensions.h"
#include "jobs/Validation.h"
#include "language/Translator.h"
#include "platform/Tick.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>

#include <optional>
#include <QStringList>

namespace {

QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString progressText(int i, int count)
{
    const double pct = count > 0 ? i * 100.0 / count : 0.0;
    return QStringLiteral(" ") + QString::number(pct, 'f', 1) + Translate(QStringLiteral(" Percent Complete "));
}

// Target of one file of a wildcard task: beside the original, or below the target prefix in the
// same sub-folder as below the wildcard root (that folder is created when madeFolders is given,
// and noted there when this made it). *subFolder gets the tail.
QString wildcardTarget(const clsConversionOptions &task, const QString &file, const QString &prefix,
                       const QString &root, const QString &ext, QString *subFolder, QStringList *madeFolders)
{
    const QString folder = withSlash(GetParentFolder(file));
    const QString base = QFileInfo(file).completeBaseName();
    const QString sub = folder.size() > root.size() ? folder.right(folder.size() - root.size()) : QString();
    if (subFolder)
        *subFolder = sub;
    if (task.bSaveInOriginalFolder)
        return folder + base + u'.' + ext;
    const QString targetFolder = prefix + sub;
    if (madeFolders && !targetFolder.isEmpty()) {
        if (!bFolderExists(targetFolder))
            CreateTargetFolderTree(targetFolder);
        *madeFolders += TakeFoldersMadeFor(targetFolder);
    }
    return targetFolder + base + u'.' + ext;
}

// The record of one file of a folder task: what it is converted by and to, taken from the
// task's record; the caller fills in the file and the rest.
clsConversionOptions fileRecordOf(const clsConversionOptions &coBlock)
{
    clsConversionOptions record;
    record.lConversionMethod = coBlock.lConversionMethod;
    record.sActionToDo = coBlock.sActionToDo;
    record.lSpecialProcess = coBlock.lSpecialProcess;
    record.lTargetFileType = coBlock.lTargetFileType;
    record.lOriginalFileType = coBlock.lOriginalFileType;
    return record;
}

// Logs each entry of a folder task that cannot be converted as a failed file of the task, which
// takes its result; the result of the last, 0 when there is none.
int logUnlistedFiles(JobSession &session, int lJobNumber, clsConversionOptions &coBlock,
                     const QList<UnlistedFile> &unlisted)
{
    int result = 0;
    for (const UnlistedFile &entry : unlisted) {
        clsConversionOptions record = fileRecordOf(coBlock);
        record.sOriginalFile = entry.sName;
        record.lErr = irOriginalOpenFailed;
        record.sErr = entry.sReason;
        session.LogConversionError(lJobNumber, record);
        coBlock.sErr = record.sErr;
        result = coBlock.lErr = record.lErr;
    }
    return result;
}

// Another run held the target of an append past the wait: the task fails, nothing appended.
int failBusyTarget(JobSession &session, int lJobNumber, clsConversionOptions &coBlock)
{
    coBlock.lErr = irTargetOpenOrSaveFailed;
    coBlock.sErr = Translate(QStringLiteral("Another run kept appending to the target file for too long: (")) +
                   coBlock.sTargetFile + QStringLiteral(")");
    session.LogConversionError(lJobNumber, coBlock);
    return coBlock.lErr;
}

} // namespace

// The resume position belongs to the row that was paused.
int JobSession::firstFileIndex(int lJobNumber) const
{
    return (lResumeRow == lJobNumber && lResumeFileIndex > 0) ? lResumeFileIndex : 1;
}

bool JobSession::bPausedPartWay(int lJobNumber) const
{
    return lResumeRow == lJobNumber && lResumeFileIndex > 0 &&
           fgToDo.textMatrix(lJobNumber, ToDoColumn::Pass).isEmpty();
}

void JobSession::forgetResumePosition(int lJobNumber)
{
    if (lResumeRow == lJobNumber) {
        lResumeRow = 0;
        lResumeFileIndex = 0;
    }
}

// Before file i of a wildcard task: lets Pause in, and when it was pressed keeps the position
// so that the file that ran last before the pause runs again on resumption.
bool JobSession::pausedAtFile(int i, int lJobNumber, bool *pausedInside)
{
    DoEvents();
    if (bRunning && !bInterruptRecorded())
        return false;
    lResumeFileIndex = i > 2 ? i - 1 : 0;
    lResumeRow = lResumeFileIndex > 0 ? lJobNumber : 0;
    if (pausedInside)
        *pausedInside = true;
    return true;
}

// A single file or program is done even when a Pause came, but not after an interrupt: it
// is left undone whole.
bool JobSession::undoneForInterrupt(int lJobNumber, clsConversionOptions &coBlock, bool *pausedInside)
{
    if (!bInterruptRecorded())
        return false;
    keepUndone(lJobNumber, coBlock);
    if (pausedInside)
        *pausedInside = true;
    return true;
}

// A failed file of a wildcard task: the task takes its result and message, the log its row.
int JobSession::logFileFailure(int lJobNumber, clsConversionOptions &coBlock, clsConversionOptions &perFile)
{
    coBlock.sErr = perFile.sErr;
    coBlock.lErr = perFile.lErr;
    LogConversionError(lJobNumber, perFile);
    return perFile.lErr;
}

int JobSession::PerformBlock(int lJobNumber, clsConversionOptions &coBlock, bool *pausedInside)
{
    if (pausedInside)
        *pausedInside = false;
    coBlock.sTargetFile = ExpandPathVariables(coBlock.sTargetFile);
    coBlock.sOriginalFile = ExpandPathVariables(coBlock.sOriginalFile);
    coBlock.sLogFile = ExpandPathVariables(coBlock.sLogFile);
    coBlock.sLogAsConversionJobFile = ExpandPathVariables(coBlock.sLogAsConversionJobFile);
    coBlock.sCurrentBatchJobFile = ExpandPathVariables(coBlock.sCurrentBatchJobFile);
    m_taskForLog = &coBlock;
    int result = 0;
    if (coBlock.sActionToDo.contains(u'C')) {
        result = PerformBlockConversion(lJobNumber, coBlock, pausedInside);
    } else if (coBlock.sActionToDo.contains(u'S')) {
        result = PerformBlockSpecialized(lJobNumber, coBlock, pausedInside);
    } else {
        // A row nothing can run (a mistyped or foreign Do code) must not pass as done.
        coBlock.lErr = vrBadSpecialProcess;
        coBlock.sErr = Translate(QStringLiteral("Unknown action code in the task row: (")) + coBlock.sActionToDo +
                       QStringLiteral(")");
        LogConversionError(lJobNumber, coBlock);
        result = coBlock.lErr;
    }
    m_taskForLog = nullptr;
    return result;
}

int JobSession::PerformBlockConversion(int lJobNumber, clsConversionOptions &coBlock, bool *pausedInside)
{
    // Folders made for this task's targets (here or when the task was checked) and left empty,
    // because every file failed or the run was stopped, do not stay behind; folders that were
    // there before are never touched.
    QStringList madeFolders;
    // A conversion makes its folder again when another run removed it: that one is the task's too.
    const auto removeMadeFolders =
        qScopeGuard([&] { keepMadeFolders(madeFolders + TakeFoldersMadeFor(GetParentFolder(coBlock.sTargetFile))); });
    // Two originals of one task naming one target collide; a later task naming an earlier
    // task's target replaces it on purpose.
    runTargets.clear();
    QStringList files;
    QList<UnlistedFile> unlisted;
    QHash<QString, QByteArray> rawPaths; // of the files whose path is not text, by their readable form
    if (!CreateFileList(*this, coBlock, files, &unlisted, &rawPaths)) {
        coBlock.lErr = irFileListFailed;
        LogConversionError(lJobNumber, coBlock);
        return irFileListFailed;
    }
    // Paused while the files were listed: the list may lack some, so the task stays undone whole.
    const bool listCut = !bRunning;
    if (!bRunning) {
        coBlock.sErr = Translate(QStringLiteral("Conversion Process paused."));
        coBlock.lErr = 0;
    }
    const QString targetParent = GetParentFolder(coBlock.sTargetFile);
    if (!targetParent.isEmpty() && !bFolderExists(targetParent))
        CreateTargetFolderTree(targetParent);
    madeFolders += TakeFoldersMadeFor(targetParent);
    // A target must not fall on an original of the task, whichever of the two comes first.
    TaskOriginals originals;
    for (const QString &file : files)
        originals.add(file);

    if (!coBlock.sOriginalFile.contains(u'*')) {
        sCurrentFile = coBlock.sOriginalFile;
        panels()->setPanelText(StatusPanel::Message, coBlock.sOriginalFile);
        DoEvents();
        if (undoneForInterrupt(lJobNumber, coBlock, pausedInside))
            return 0;
        ConvertToDoItem(*this, coBlock, &originals);
        if (coBlock.lErr != 0)
            LogConversionError(lJobNumber, coBlock);
        panels()->setPanelText(StatusPanel::Time, ElapsedRunSecondsText());
        return coBlock.lErr;
    }

    const QString prefix = coBlock.sTargetFile.left(coBlock.sTargetFile.indexOf(u'*'));
    const QString ext = GetTypeExtension(coBlock.lTargetFileType, false, coBlock.lConversionMethod);
    const QString root = withSlash(GetParentFolder(coBlock.sOriginalFile));
    const int first = firstFileIndex(lJobNumber);

    // The record of file i, as the loop below converts it; only the loop and its look-ahead make
    // target folders.
    auto perFileRecord = [&](int i, bool makeFolder) {
        clsConversionOptions perFile = fileRecordOf(coBlock);
        // The task's slide choices apply to every file of the folder.
        perFile.bConvertAllSlides = coBlock.bConvertAllSlides;
        perFile.lFromSlide = coBlock.lFromSlide;
        perFile.lToSlide = coBlock.lToSlide;
        perFile.bCreateFileForEachSlide = coBlock.bCreateFileForEachSlide;
        // As ConvertToDoItem sets them, so that a file's look-ahead request is its real one.
        perFile.bShowSlideAndShape = settings.bShowSlideAndShape;
        perFile.bIncludeNotesPage = settings.bIncludeNotesPage;
        perFile.bIncludeNotesOnly = settings.bIncludeNotesOnly;
        const QString file = files.at(i - 1);
        perFile.sOriginalFile = file;
        // The folder of a file whose path is not text is made by its bytes, when it is converted.
        QStringList *made = makeFolder && !rawPaths.contains(file) ? &madeFolders : nullptr;
        perFile.sTargetFile = wildcardTarget(coBlock, file, prefix, root, ext, &perFile.sSubFolder, made);
        return perFile;
    };
    // The bytes of file i's paths when they are not text.
    auto rawNames = [&](const clsConversionOptions &perFile) {
        RawFileNames raw;
        raw.original = rawPaths.value(perFile.sOriginalFile);
        const qsizetype slash = raw.original.lastIndexOf('/');
        const QByteArray folder = raw.original.left(slash + 1);
        const QByteArray rawRoot = QFile::encodeName(root);
        raw.subFolder = folder.startsWith(rawRoot) ? folder.mid(rawRoot.size()) : QByteArray();
        QByteArray stem = raw.original.mid(slash + 1);
        if (const qsizetype dot = stem.lastIndexOf('.'); dot > 0)
            stem.truncate(dot);
        raw.target = (coBlock.bSaveInOriginalFolder ? folder : QFile::encodeName(prefix) + raw.subFolder) + stem + '.'
                     + ext.toUtf8();
        return raw;
    };

    // In speed mode the conversion control may convert the next files on further workers while
    // this loop still takes them one by one; it learns which files come next from here.
    ConversionControl *ctl = coBlock.lTargetFileType == kPdfWithOptionsType ? nullptr : VelmoraX1();
    const int ahead = ctl ? ctl->lookAheadLength() : 0;
    // However the loop is left: nothing converted ahead of a pause or of the task's end may stay.
    const auto endLookAhead = qScopeGuard([&] {
        if (ahead > 0)
            ctl->setLookAhead({});
    });

    if (listCut && pausedAtFile(first, lJobNumber, pausedInside)) {
        keepUndone(lJobNumber, coBlock);
        return 0;
    }
    // What the listing could not take is reported once, not again on resumption.
    int result = first == 1 ? logUnlistedFiles(*this, lJobNumber, coBlock, unlisted) : 0;
    clsConversionOptions perFile;
    for (int i = first; i <= files.size(); ++i) {
        if (pausedAtFile(i, lJobNumber, pausedInside)) {
            for (int j = i; j <= files.size(); ++j)
                keepUndone(lJobNumber, perFileRecord(j, false));
            return result;
        }
        perFile = perFileRecord(i, true);
        if (ahead > 0 && rawPaths.contains(perFile.sOriginalFile)) {
            // Converted under other names: nothing ahead can be taken over by it.
            ctl->setLookAhead({});
        } else if (ahead > 0) {
            QList<ConversionRequest> next{ConversionRequestFor(perFile)};
            for (int j = i + 1; j <= files.size() && next.size() < ahead; ++j) {
                // Its folder is made here, not by the conversion control, so that the task
                // knows it as its own and removes it if it stays empty.
                const clsConversionOptions later = perFileRecord(j, true);
                // A file that will fail before converting is not worth converting ahead.
                if (!bIsSamePath(later.sTargetFile, later.sOriginalFile) && !originals.hitBy(later)
                    && !rawPaths.contains(later.sOriginalFile))
                    next << ConversionRequestFor(later);
            }
            ctl->setLookAhead(next);
        }
        const QString file = perFile.sOriginalFile;
        sCurrentFile = file;
        panels()->setPanelText(StatusPanel::Message, file);
        panels()->setPanelText(StatusPanel::Progress, progressText(i, static_cast<int>(files.size())));
        if (rawPaths.contains(file))
            ConvertByteNamedItem(*this, perFile, rawNames(perFile), &originals);
        else
            ConvertToDoItem(*this, perFile, &originals);
        panels()->setPanelText(StatusPanel::Time, ElapsedRunSecondsText());
        if (perFile.lErr != 0)
            result = logFileFailure(lJobNumber, coBlock, perFile);
    }
    forgetResumePosition(lJobNumber);
    return result;
}

int JobSession::PerformBlockSpecialized(int lJobNumber, clsConversionOptions &coBlock, bool *pausedInside)
{
    QStringList madeFolders;
    const auto removeMadeFolders = qScopeGuard([&] { keepMadeFolders(madeFolders); });
    QStringList files;
    QList<UnlistedFile> unlisted;
    const bool listed = coBlock.lSpecialProcess != spLaunchProgram && coBlock.lSpecialProcess != spReloadJob;
    if (listed && !CreateFileList(*this, coBlock, files, &unlisted)) {
        coBlock.lErr = irFileListFailed;
        LogConversionError(lJobNumber, coBlock);
        return irFileListFailed;
    }
    const bool listCut = !bRunning && listed;
    if (listCut) {
        coBlock.sErr = Translate(QStringLiteral("Conversion Process paused."));
        coBlock.lErr = 0;
    }

    if (!listed || !coBlock.sOriginalFile.contains(u'*')) {
        if (undoneForInterrupt(lJobNumber, coBlock, pausedInside))
            return 0;
        panels()->setPanelText(StatusPanel::Message, coBlock.sOriginalFile);
        // One run at a time appends to a file; a Pause does not stop a single file, an interrupt does.
        std::optional<AppendTargetLock> lock;
        if (coBlock.lSpecialProcess == spAppendFiles) {
            lock.emplace(AppendTargetFile(coBlock.sTargetFile));
            const AppendTargetLock::Wait wait = lock->take(*this, false);
            if (wait == AppendTargetLock::Wait::Stopped && undoneForInterrupt(lJobNumber, coBlock, pausedInside))
                return 0;
            if (wait == AppendTargetLock::Wait::TimedOut)
                return failBusyTarget(*this, lJobNumber, coBlock);
        }
        PerformSpecialProcess(coBlock);
        if (coBlock.lErr != 0)
            LogConversionError(lJobNumber, coBlock);
        else if (coBlock.lSpecialProcess == spLaunchProgram)
            LogExitCode(lJobNumber, coBlock);
        panels()->setPanelText(StatusPanel::Time, ElapsedRunSecondsText());
        return coBlock.lErr;
    }

    const QString prefix = coBlock.sTargetFile.left(coBlock.sTargetFile.indexOf(u'*'));
    const QString root = withSlash(GetParentFolder(coBlock.sOriginalFile));
    const int first = firstFileIndex(lJobNumber);
    // The record of file i; only the loop below makes target folders.
    auto perFileRecord = [&](int i, bool makeFolder) {
        clsConversionOptions perFile = fileRecordOf(coBlock);
        perFile.bCaseSensitive = coBlock.bCaseSensitive;
        perFile.sFindString = coBlock.sFindString;
        perFile.sReplaceString = coBlock.sReplaceString;
        const QString file = files.at(i - 1);
        perFile.sOriginalFile = file;
        if (coBlock.lSpecialProcess == spAppendFiles) {
            perFile.sTargetFile = coBlock.sTargetFile;
        } else {
            const QString ext = GetTypeExtension(perFile.lTargetFileType, false, perFile.lConversionMethod);
            perFile.sTargetFile =
                wildcardTarget(coBlock, file, prefix, root, ext, nullptr, makeFolder ? &madeFolders : nullptr);
            // A text process that keeps the file's type in its own folder edits the file itself,
            // whatever the letter case or spelling of its extension.
            if (coBlock.bSaveInOriginalFolder && perFile.lTargetFileType == perFile.lOriginalFileType)
                perFile.sTargetFile = file;
        }
        return perFile;
    };
    if (listCut && pausedAtFile(first, lJobNumber, pausedInside)) {
        keepUndone(lJobNumber, coBlock);
        return 0;
    }
    const bool append = coBlock.lSpecialProcess == spAppendFiles;
    std::optional<StagedAppendTarget> appendTarget;
    if (append) {
        // Held until the task's loop ends. A Pause or an interrupt during the wait is seen by the
        // loop's first look, before anything is appended.
        appendTarget.emplace(coBlock.sTargetFile);
        if (appendTarget->lock(*this) == AppendTargetLock::Wait::TimedOut)
            return failBusyTarget(*this, lJobNumber, coBlock);
    }
    int result = first == 1 ? logUnlistedFiles(*this, lJobNumber, coBlock, unlisted) : 0;
    auto finishAppend = [&] {
        if (!append || appendTarget->finish())
            return;
        coBlock.lErr = irTargetOpenOrSaveFailed;
        coBlock.sErr = GetStatusMessageForResult(coBlock);
        LogConversionError(lJobNumber, coBlock);
        result = coBlock.lErr;
    };
    for (int i = first; i <= files.size(); ++i) {
        if (pausedAtFile(i, lJobNumber, pausedInside)) {
            // An interrupted command line leaves the target as it was and the whole task to its
            // results file, so that running either again appends each file once; a paused window
            // keeps what was appended, since resuming goes on from here.
            if (append && gbCommandLineMode) {
                appendTarget->discard();
                keepUndone(lJobNumber, coBlock);
                return result;
            }
            for (int j = i; j <= files.size(); ++j)
                keepUndone(lJobNumber, perFileRecord(j, false));
            finishAppend();
            return result;
        }
        clsConversionOptions perFile = perFileRecord(i, true);
        const QString file = perFile.sOriginalFile;
        panels()->setPanelText(StatusPanel::Message, file);
        panels()->setPanelText(StatusPanel::Progress, progressText(i, static_cast<int>(files.size())));
        // The target may lie inside the pattern: never append it to itself.
        if (append && bIsSamePath(perFile.sTargetFile, file))
            continue;
        if (append && !RefuseRunRecordFile(*this, perFile, false)) {
            const QString staged = appendTarget->path(madeFolders);
            if (appendTarget->copyFailed()) {
                perFile.lErr = irTargetOpenOrSaveFailed;
            } else {
                perFile.sTargetFile = staged;
                PerformSpecialProcess(perFile);
                perFile.sTargetFile = coBlock.sTargetFile;
                if (perFile.lErr == irSuccess)
                    appendTarget->appended();
            }
            // Its messages name the target, not the copy.
            if (perFile.lErr != irSuccess)
                perFile.sErr = GetStatusMessageForResult(perFile);
        } else if (!append) {
            PerformSpecialProcess(perFile);
        }
        panels()->setPanelText(StatusPanel::Time, ElapsedRunSecondsText());
        if (perFile.lErr != 0)
            result = logFileFailure(lJobNumber, coBlock, perFile);
    }
    finishAppend();
    if (append && result == irSuccess)
        runRecord.noteWritten(coBlock.sTargetFile);
    forgetResumePosition(lJobNumber);
    return result;
}
