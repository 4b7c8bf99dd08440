#include "ConvertOneFile.h"

#include "common/FileUtils.h"
#include "common/NumberUtils.h"
#include "common/PathUtils.h"
#include "converter/ConversionControl.h"
#include "converter/StagedOutput.h"
#include "converter/TypeCatalogue.h"
#include "jobs/JobSession.h"
#include "jobs/PdfWithOptions.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

QString GetStatusMessageForResult(const clsConversionOptions &options)
{
    switch (options.lErr) {
    case irSuccess:
        return Translate(QStringLiteral("Successfully Processed."));
    case irTargetOpenOrSaveFailed:
        return Translate(QStringLiteral("Unable to open or save to target file.  Could be a sharing violation, or invalid file type: ("))
               + options.sTargetFile + QStringLiteral(")");
    case irOriginalOpenFailed:
        return Translate(QStringLiteral(" Unable to open original file. Check file format. Could be a sharing violation: ("))
               + options.sOriginalFile + QStringLiteral(")");
    case irSourceIsTarget:
        return Translate(QStringLiteral("Source and Target File are the same."));
    case irTargetWrittenInRun:
        return Translate(QStringLiteral("The target file was already written in this run from another original: ("))
               + options.sTargetFile + QStringLiteral(")");
    case irTargetNotCreated:
        return Translate(QStringLiteral("Unable to create Target File."));
    case irLaunchFailed:
        return Translate(QStringLiteral("Unable to launch application."));
    case irLaunchTimeout:
        return Translate(QStringLiteral("Process did not complete in the specified time (Timeout)"));
    case irInterrupted:
        return Translate(QStringLiteral("The run was interrupted."));
    default:
        return QString();
    }
}

int ConvertWithConverterControl(JobSession &session, clsConversionOptions &options)
{
    ConversionControl *ctl = session.VelmoraX1();
    ctl->setEventPump(session.pump());

    QString sVersion;
    ctl->getPowerPointVersion(sVersion);
    double v = 0;
    if (bTryCDbl(sVersion.trimmed(), v)) {
        if (v >= 80)
            v = v / 10;
        if (v > 16.1) {
            options.sErr = Translate(QStringLiteral("Error 20: Version of MS PowerPoint")) + QStringLiteral(" (")
                           + sVersion + QStringLiteral(")");
            options.lErr = irPowerPointTooNew;
            return options.lErr;
        }
    }

    // Zero stands for an open end of the range; a negative slide number is no slide at all.
    if (!options.bConvertAllSlides && (options.lFromSlide < 0 || options.lToSlide < 0)) {
        options.lErr = TypeCatalogue::InvalidSlideRange;
        options.sErr = Translate(TypeCatalogue::resultMessage(TypeCatalogue::InvalidSlideRange));
        return options.lErr;
    }
    ctl->setRequest(ConversionRequestFor(options));

    int result = ctl->convert();
    // Another run that made the target's folder removes it when its own work failed; a
    // conversion that found it gone makes it again and goes on. A few times at most: a folder
    // that cannot be kept is a failure like any other.
    const QString folder = GetParentFolder(options.sTargetFile);
    for (int again = 0; again < 3 && result != TypeCatalogue::Success && !session.bInterrupted
                        && !folder.isEmpty() && !bFolderExists(folder); ++again) {
        CreateTargetFolderTree(folder);
        ctl->setRequest(ConversionRequestFor(options));
        result = ctl->convert();
    }
    // A success that wrote nothing is a failure: the original must never be moved or deleted
    // on the word of a conversion that produced no target.
    if (result == TypeCatalogue::Success && ctl->lastOutputs().isEmpty()) {
        result = TypeCatalogue::Failed;
        options.sErr = Translate(TypeCatalogue::resultMessage(result));
    } else {
        options.sErr = Translate(ctl->lastMessage());
    }
    options.lErr = result;
    return result;
}

ConversionRequest ConversionRequestFor(const clsConversionOptions &options)
{
    ConversionRequest r;
    r.fromSlide = options.bConvertAllSlides ? 0 : options.lFromSlide;
    r.toSlide = options.bConvertAllSlides ? 0 : options.lToSlide;
    r.createFileForEachSlide = options.bCreateFileForEachSlide;
    r.originalFile = options.sOriginalFile;
    r.targetFile = options.sTargetFile;
    r.targetFileType = options.lTargetFileType;
    r.includeNotesPage = options.bIncludeNotesPage;
    r.includeNotesOnly = options.bIncludeNotesOnly;
    r.showSlideAndShape = options.bShowSlideAndShape;
    return r;
}

namespace {

// The key under which a path is remembered: the folder's real path and the name, so that a file
// is the same before and after it is written and under every spelling of its folder (a link
// named as a target is replaced, not followed). folders keeps the real paths already looked
// up: a conversion's outputs share the target's folder (web pages add one of their own).
QString runTargetKey(const QString &target, QHash<QString, QString> &folders)
{
    const QFileInfo fi(target);
    auto folder = folders.constFind(fi.absolutePath());
    if (folder == folders.cend())
        folder = folders.insert(fi.absolutePath(), CanonicalPathForCompare(fi.absolutePath()));
    return *folder + u'/' + fi.fileName();
}

} // namespace

QString TaskOriginals::entryKey(const QString &path) const { return runTargetKey(path, m_folders); }

void TaskOriginals::add(const QString &original)
{
    const QString key = entryKey(original);
    m_exact.insert(key);
    const QFileInfo fi(key);
    if (const QString target = TypeCatalogue::perSlideTarget(key); !target.isEmpty())
        m_perSlide.insert(target);
    // Every "<stem>_files" folder above the original: the pages of "<stem>.html" (and, one file
    // per slide, of "<s>.html" for a stem "<s>_<n>") are written there.
    for (QString below = fi.path(); below.size() > 1; below = GetParentFolder(below)) {
        const QString name = QFileInfo(below).fileName();
        if (!name.endsWith(QLatin1String("_files")) || name.size() <= 6)
            continue;
        QString parent = GetParentFolder(below);
        if (!parent.endsWith(u'/'))
            parent += u'/';
        const QString pages = parent + name.chopped(6) + QStringLiteral(".html");
        m_pagesFolder.insert(pages);
        if (const QString target = TypeCatalogue::perSlideTarget(pages); !target.isEmpty())
            m_perSlide.insert(target);
    }
}

bool TaskOriginals::hitBy(const clsConversionOptions &options) const
{
    const QString key = entryKey(options.sTargetFile);
    if (m_exact.contains(key))
        return true;
    const SaveAsType *type = TypeCatalogue::find(options.lTargetFileType);
    const bool perSlide = options.bCreateFileForEachSlide || (type && type->perSlideImage);
    if (perSlide && m_perSlide.contains(key))
        return true;
    return options.lTargetFileType == TypeCatalogue::tHtmlPages && m_pagesFolder.contains(key);
}

namespace {

// Fails options for the held file, when there is one.
bool refuseHeld(clsConversionOptions &options, const QString &held)
{
    if (held.isEmpty())
        return false;
    options.lErr = irRunRecordFile;
    options.sErr = Translate(QStringLiteral("The file is the log or results file of this run and is left as it is: (")) +
                   held + QStringLiteral(")");
    return true;
}

} // namespace

bool RefuseRunRecordFile(const JobSession &session, clsConversionOptions &options, bool bOutputs)
{
    const RunRecordFiles &record = session.runRecord;
    if (record.isEmpty())
        return false;
    // Both are asked: the record notes every file a task names.
    const QString original = record.heldAt(options.sOriginalFile);
    const QString target = bOutputs ? record.heldByOutputsOf(options.sTargetFile, options.lTargetFileType,
                                                             options.bCreateFileForEachSlide)
                                    : record.heldAt(options.sTargetFile);
    return refuseHeld(options, original.isEmpty() ? target : original);
}

int ConvertToDoItem(JobSession &session, clsConversionOptions &options, const TaskOriginals *originals)
{
    const QString sOriginal = options.sOriginalFile;
    const ConversionSettings &s = session.settings;
    options.bShowSlideAndShape = s.bShowSlideAndShape;
    options.bIncludeNotesPage = s.bIncludeNotesPage;
    options.bIncludeNotesOnly = s.bIncludeNotesOnly;

    QHash<QString, QString> folders;
    const QString key = runTargetKey(options.sTargetFile, folders);
    const QString original = CanonicalPathForCompare(sOriginal);
    const auto written = session.runTargets.constFind(key);
    int result;
    if (RefuseRunRecordFile(session, options, true)) {
        result = options.lErr;
    } else if (bIsSamePath(options.sTargetFile, sOriginal) || (originals && originals->hitBy(options))) {
        // Saving over the original would replace it with the office's re-saved copy; saving over
        // another original of the task would lose that one before (or instead of) its turn.
        result = options.lErr = irSourceIsTarget;
        options.sErr = GetStatusMessageForResult(options);
    } else if (written != session.runTargets.cend() && written.value() != original) {
        // x.pptx, x.ppt and x.odp of one folder all name x.pdf: the first one keeps it.
        result = options.lErr = irTargetWrittenInRun;
        options.sErr = GetStatusMessageForResult(options);
    } else if (options.lTargetFileType == kPdfWithOptionsType) {
        result = PdfWithOptions(session, options);
    } else {
        result = ConvertWithConverterControl(session, options);
    }
    if (result == irSuccess) {
        session.runTargets.insert(key, original);
        session.runRecord.noteWritten(options.sTargetFile);
        if (options.lTargetFileType != kPdfWithOptionsType)
            for (const QString &f : session.VelmoraX1()->lastOutputs()) {
                session.runTargets.insert(runTargetKey(f, folders), original);
                session.runRecord.noteWritten(f);
            }
    }

    // Without a folder there is nowhere to move to: a bare sub-folder tail would be relative to
    // wherever the program happens to run.
    if (s.bMoveOriginalFileAfterProcessing && result == irSuccess && !s.sMoveFileToFolder.trimmed().isEmpty()) {
        // A copy: the setting is the user's text, shown and saved as it was written.
        QString moveTo = s.sMoveFileToFolder;
        if (!moveTo.endsWith(u'/'))
            moveTo += u'/';
        // Nor may the move write over the run's log or results file.
        const QString folder = moveTo + options.sSubFolder;
        if (refuseHeld(options, session.runRecord.heldAt(JoinFolder(folder, QFileInfo(sOriginal).fileName()))))
            result = options.lErr;
        else
            CopyFileToFolder(sOriginal, folder);
    }
    if (s.bDeleteOriginalFileAfterProcessing && result == irSuccess) {
        // The same file under two spellings must never be deleted as "the original".
        if (!bIsSamePath(options.sTargetFile, options.sOriginalFile)
            && options.sTargetFile.compare(options.sOriginalFile, Qt::CaseInsensitive) != 0)
            bDeleteFileWithRetry(sOriginal, session.pump(), &session.bRunning);
    }
    return result;
}

namespace {

// Creates the folder (bytes, ending in "/") and its missing parents.
bool createRawFolderTree(const QByteArray &folder)
{
    for (qsizetype slash = folder.indexOf('/', 1); slash > 0; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray part = folder.left(slash);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

} // namespace

int ConvertByteNamedItem(JobSession &session, clsConversionOptions &options, const RawFileNames &raw,
                         const TaskOriginals *originals)
{
    auto fail = [&](int code, const QString &message) {
        options.lErr = code;
        options.sErr = message;
        return code;
    };
    // By the target's bytes (the readable form may name another file); the original is read
    // through a link, which the conversion below checks.
    if (refuseHeld(options, session.runRecord.heldAtBytes(raw.target)))
        return options.lErr;
    if (raw.target == raw.original || FileIdentityOfBytes(raw.target) == FileIdentityOfBytes(raw.original)
        || (originals && originals->hitBy(options))) {
        options.lErr = irSourceIsTarget;
        return fail(irSourceIsTarget, GetStatusMessageForResult(options));
    }
    if (options.lTargetFileType == TypeCatalogue::tHtmlPages)
        return fail(irOriginalOpenFailed, Translate(QStringLiteral("The name of this file cannot be read as text.")));
    // Two originals of the task naming one target: the first keeps it, as for every other name.
    const QString key = QStringLiteral("bytes:") + QString::fromLatin1(raw.target.toHex());
    const QString original = QString::fromLatin1(raw.original.toHex());
    const auto written = session.runTargets.constFind(key);
    if (written != session.runTargets.cend() && written.value() != original) {
        options.lErr = irTargetWrittenInRun;
        return fail(irTargetWrittenInRun, GetStatusMessageForResult(options));
    }

    const qsizetype slash = raw.target.lastIndexOf('/');
    const QByteArray targetFolder = raw.target.left(slash + 1);
    const QByteArray targetName = raw.target.mid(slash + 1);
    const qsizetype dot = targetName.lastIndexOf('.');
    const QByteArray targetStem = dot > 0 ? targetName.left(dot) : targetName;
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/quorvane-names-XXXXXX"));
    const QString alias = work.path() + QStringLiteral("/original.") + QFileInfo(options.sOriginalFile).suffix();
    const QString out = work.path() + QStringLiteral("/out");
    const QByteArray originalPath =
        raw.original.startsWith('/') ? raw.original : QFile::encodeName(QDir::currentPath()) + '/' + raw.original;
    const QByteArray folderPath =
        targetFolder.startsWith('/') ? targetFolder : QFile::encodeName(QDir::currentPath()) + '/' + targetFolder;
    if (!work.isValid() || !createRawFolderTree(folderPath)
        || ::symlink(originalPath.constData(), QFile::encodeName(alias).constData()) != 0
        || ::symlink(folderPath.constData(), QFile::encodeName(out).constData()) != 0) {
        options.lErr = irTargetOpenOrSaveFailed;
        return fail(irTargetOpenOrSaveFailed, GetStatusMessageForResult(options));
    }
    // A staged name of this run in the target folder: the outputs are written under it, then each
    // takes the target's stem in its place.
    const QString stagedStemText = StagedNames::ownName(StagedNames::Kind::Name, QStringLiteral("o"));
    const QString staged = out + u'/' + stagedStemText + (dot > 0 ? u'.' + QString::fromUtf8(targetName.mid(dot + 1)) : QString());
    const QByteArray stagedStem = QFile::encodeName(stagedStemText);

    clsConversionOptions inner = options;
    inner.sOriginalFile = alias;
    inner.sTargetFile = staged;
    // The original is moved or deleted below, by its bytes: the link is not the file.
    ConversionSettings &s = session.settings;
    const bool move = s.bMoveOriginalFileAfterProcessing, deleteAfter = s.bDeleteOriginalFileAfterProcessing;
    s.bMoveOriginalFileAfterProcessing = s.bDeleteOriginalFileAfterProcessing = false;
    const int result = ConvertToDoItem(session, inner, nullptr);
    s.bMoveOriginalFileAfterProcessing = move;
    s.bDeleteOriginalFileAfterProcessing = deleteAfter;
    options.lErr = inner.lErr;
    options.sErr = inner.sErr;
    options.sErr.replace(staged, options.sTargetFile).replace(alias, options.sOriginalFile);

    // The outputs, by the exact names the conversion reports, take the target's stem in their
    // names; after a failure they only go.
    const QStringList outputs = result != irSuccess ? QStringList()
                                : options.lTargetFileType == kPdfWithOptionsType ? QStringList{staged}
                                                                                 : session.VelmoraX1()->lastOutputs();
    QList<StagedOutput::Move> moves;
    for (const QString &path : outputs) {
        const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
        if (name.startsWith(stagedStem))
            moves.append({folderPath + name, folderPath + targetStem + name.mid(stagedStem.size())});
    }
    if (result != irSuccess) {
        ::unlink(QFile::encodeName(staged).constData());
        return result;
    }
    if (moves.isEmpty() || !StagedOutput::commitMoves(moves)) {
        for (const auto &move : std::as_const(moves))
            ::unlink(move.from.constData());
        options.lErr = irTargetOpenOrSaveFailed;
        return fail(irTargetOpenOrSaveFailed, GetStatusMessageForResult(options));
    }
    session.runTargets.insert(key, original);

    const QByteArray originalName = raw.original.mid(raw.original.lastIndexOf('/') + 1);
    if (move && !s.sMoveFileToFolder.trimmed().isEmpty()) {
        QByteArray moveTo = QFile::encodeName(s.sMoveFileToFolder);
        if (!moveTo.endsWith('/'))
            moveTo += '/';
        moveTo += raw.subFolder;
        if (refuseHeld(options, session.runRecord.heldAtBytes(moveTo + originalName)))
            return options.lErr;
        // Within one file system only; elsewhere the original stays where it is.
        if (createRawFolderTree(moveTo) && moveTo + originalName != raw.original)
            ::rename(raw.original.constData(), (moveTo + originalName).constData());
    }
    if (deleteAfter)
        ::unlink(raw.original.constData());
    return result;
}
