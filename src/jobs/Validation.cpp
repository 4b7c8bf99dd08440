#include "Validation.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "converter/TypeCatalogue.h"
#include "jobs/FileLists.h"
#include "jobs/JobFiles.h"
#include "jobs/JobSession.h"
#include "jobs/RunRecordFiles.h"
#include "jobs/ToDoRows.h"
#include "jobs/TypeExtensions.h"
#include "jobs/clsConversionOptions.h"
#include "platform/FlexGrid.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

// The folder part of a wildcard path: the text before its first "*".
QString textBeforeWildcard(const QString &s) { return s.left(s.indexOf(QLatin1Char('*'))); }

bool hasWildcard(const QString &s) { return s.contains(QLatin1Char('*')); }

// Original types that the text processes (append, remove empty lines, search and replace)
// can read.
bool isTextProcessType(int type)
{
    switch (type) {
    case 1:
    case 2:
    case 4:
    case 5:
    case 6:
    case 9:
        return true;
    default:
        return false;
    }
}

// The only check of a record that runs a job file from the command line.
bool jobFileCheck(clsConversionOptions &o)
{
    if (o.sCLBatchJobFile.isEmpty())
        return false;
    if (!bFileExists(ExpandPathVariables(o.sCLBatchJobFile)))
        o.lErr = vrJobFileMissing;
    return true;
}

// The folder of the target must exist; a conversion creates it first.
bool targetFolderReady(const QString &folder, bool create)
{
    if (bFolderExistsFSO(folder))
        return true;
    if (!create || folder.isEmpty())
        return false;
    CreateTargetFolderTree(folder);
    return bFolderExistsFSO(folder);
}

// Append would read and write the same file: compared as the file system sees them, so that
// "./a.txt" or a link to the target is caught too.
bool sameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() && b.isEmpty();
    return bIsSamePath(a, b);
}

// Checks shared by conversions and the line-based text processes: wildcard original and
// target, or single original and target. Returns the first failure (0 for none).
int originalAndTargetCode(clsConversionOptions &o, bool createTargetFolder)
{
    if (hasWildcard(o.sOriginalFile)) {
        if (!bFolderExistsFSO(textBeforeWildcard(o.sOriginalFile)))
            return vrOriginalFolderMissing;
        if (!hasWildcard(o.sTargetFile))
            return vrTargetNeedsWildcard;
        // A conversion names the parent of the target pattern; the text processes the text
        // before its "*" (the same folder for a pattern such as "/out/*.txt").
        const QString folder = createTargetFolder ? GetParentFolder(o.sTargetFile)
                                                  : textBeforeWildcard(o.sTargetFile);
        if (!targetFolderReady(folder, createTargetFolder))
            return vrTargetFolderMissing;
        return vrValid;
    }
    o.bDoSubfolders = false;
    o.bSaveInOriginalFolder = false;
    if (!bFileExists(o.sOriginalFile))
        return vrOriginalFileMissing;
    if (hasWildcard(o.sTargetFile))
        return vrTargetHasWildcard;
    if (!targetFolderReady(GetParentFolder(o.sTargetFile), createTargetFolder))
        return vrTargetParentMissing;
    return vrValid;
}

// Paths as the file system resolves them, also where they do not exist yet: element by element,
// each existing one replaced by its real path (so that a linked folder, "..", "./" and "//" all
// give one text), the missing rest appended as written. What one check of a command line has
// resolved is kept (by the text that led to it), so that a job of many tasks in a few folders
// asks the file system once per folder.
class PathResolver
{
public:
    QString resolved(const QString &path)
    {
        const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path);
        QString real = QStringLiteral("/");
        QString written;
        bool existing = true;
        for (const QString &part : absolute.split(u'/', Qt::SkipEmptyParts)) {
            written += u'/' + part;
            if (const auto known = m_known.constFind(written); known != m_known.cend()) {
                real = known->real;
                existing = known->existing;
                continue;
            }
            if (part == QLatin1String("..")) {
                real = QFileInfo(real).path();
            } else if (part != QLatin1String(".")) {
                real = JoinFolder(real, part);
                if (existing) {
                    const QString canonical = QFileInfo(real).canonicalFilePath();
                    existing = !canonical.isEmpty();
                    if (existing)
                        real = canonical;
                }
            }
            m_known.insert(written, {real, existing});
        }
        return real;
    }

private:
    struct Known
    {
        QString real;
        bool existing;
    };
    QHash<QString, Known> m_known;
};

// Two names of one file: the same resolved path, or (hard links) the same file on disk.
bool namesSameFile(PathResolver &paths, const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (paths.resolved(a) == paths.resolved(b))
        return true;
    // One file on disk (hard links, folded letter case), or one file to come.
    return FileIdentityOf(a) == FileIdentityOf(b);
}

// Whether the resolved file lies in the resolved folder, or anywhere below it with anyDepth.
bool liesIn(const QString &file, const QString &folder, bool anyDepth)
{
    const QString below = folder.endsWith(u'/') ? folder : folder + u'/';
    if (!file.startsWith(below))
        return false;
    return anyDepth || !file.mid(below.size()).contains(u'/');
}

// Whether a file of the run may be written as file: the target itself, a picture (or, with one
// file per slide, a file) of one slide beside it, or anything in its folder of web pages.
bool isOutputOfTarget(PathResolver &paths, const clsConversionOptions &o, const QString &file)
{
    if (namesSameFile(paths, file, o.sTargetFile))
        return true;
    const QString real = paths.resolved(file);
    const QString target = paths.resolved(o.sTargetFile);
    const SaveAsType *type = TypeCatalogue::find(o.lTargetFileType);
    if ((o.bCreateFileForEachSlide || (type && type->perSlideImage)) && TypeCatalogue::perSlideNumber(target, real) > 0)
        return true;
    if (o.lTargetFileType != TypeCatalogue::tHtmlPages)
        return false;
    const QFileInfo fi(target);
    return liesIn(real, fi.path() + u'/' + fi.completeBaseName() + QStringLiteral("_files"), true);
}

// Whether a folder task reads file as an original: in the pattern's folder (below it too with
// sub-folders), not hidden there (the listing passes hidden files and folders over) and of an
// extension the pattern takes; or, for a file of several names, one that the listing takes
// under another name.
bool matchesOriginals(PathResolver &paths, const clsConversionOptions &o, const QString &file)
{
    const qsizetype star = o.sOriginalFile.indexOf(u'*');
    const QString real = paths.resolved(file);
    QString folder = paths.resolved(o.sOriginalFile.left(star));
    if (liesIn(real, folder, o.bDoSubfolders)) {
        const QString below = u'/' + real.mid(folder.size() + (folder.endsWith(u'/') ? 0 : 1));
        const bool hidden = below.contains(QStringLiteral("/."));
        if (!hidden && bFileMatchesPattern(o.sOriginalFile.mid(star), QFileInfo(real).suffix()))
            return true;
    }
    const FileIdentity id = FileIdentityOf(file);
    if (!id.exists || id.links < 2)
        return false;
    JobSession lister;
    lister.bRunning = true;
    QStringList listed;
    AddFolderFilesToList(lister, folder, o.sOriginalFile.mid(star), listed, o.bDoSubfolders);
    return std::any_of(listed.cbegin(), listed.cend(), [&](const QString &f) { return FileIdentityOf(f) == id; });
}

// Whether a folder task may write file as a target: targets are named prefix, sub-folder, the
// original's name and the type's extension (web pages add a folder of their own beside each).
bool matchesTargets(PathResolver &paths, const clsConversionOptions &o, const QString &file)
{
    const qsizetype star = o.sTargetFile.indexOf(u'*');
    if (star < 0)
        return false;
    const QString prefix = o.sTargetFile.left(star);
    const QString folder = GetPathFromFileName(prefix);
    const QString root = paths.resolved(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QString real = paths.resolved(file);
    const QFileInfo fi(real);
    // Targets are named after listed originals, which are neither hidden nor in hidden folders.
    if (liesIn(real, root, true)) {
        QString below = real.mid(root.size() + (root.endsWith(u'/') ? 0 : 1));
        if (const QString namePart = prefix.mid(folder.size()); below.startsWith(namePart, Qt::CaseInsensitive))
            below.remove(0, namePart.size());
        if ((u'/' + below).contains(QStringLiteral("/.")))
            return false;
    }
    if (o.lTargetFileType == TypeCatalogue::tHtmlPages && liesIn(real, root, true) &&
        QFileInfo(fi.path()).fileName().endsWith(QStringLiteral("_files"), Qt::CaseInsensitive))
        return true;
    const QString ext = GetTypeExtension(o.lTargetFileType, false, o.lConversionMethod);
    if (ext.isEmpty() || fi.suffix().compare(ext, Qt::CaseInsensitive) != 0)
        return false;
    if (o.bDoSubfolders)
        return liesIn(real, root, true);
    return liesIn(real, root, false) && fi.fileName().startsWith(prefix.mid(folder.size()), Qt::CaseInsensitive);
}

// Whether file, one of several names of a file, is an existing target of a folder task under
// another name: a file below the targets' folder that their pattern takes.
bool targetUnderAnotherName(PathResolver &paths, const clsConversionOptions &o, const QString &file)
{
    const FileIdentity id = FileIdentityOf(file);
    const qsizetype star = o.sTargetFile.indexOf(u'*');
    if (!id.exists || id.links < 2 || star < 0)
        return false;
    const QString folder = GetPathFromFileName(o.sTargetFile.left(star));
    QDirIterator it(folder.isEmpty() ? QStringLiteral(".") : folder, QDir::Files,
                    o.bDoSubfolders ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString target = it.next();
        if (FileIdentityOf(target) == id && matchesTargets(paths, o, target))
            return true;
    }
    return false;
}

// Whether a task reads or writes file: its original (or a file its pattern takes) or a target.
// A launch task names a program and its arguments, nothing it writes.
bool isFileOfTask(PathResolver &paths, clsConversionOptions o, const QString &file)
{
    const bool special = o.sActionToDo.contains(u'S', Qt::CaseInsensitive);
    if (special && o.lSpecialProcess == spLaunchProgram)
        return false;
    o.sOriginalFile = ExpandPathVariables(o.sOriginalFile);
    o.sTargetFile = ExpandPathVariables(o.sTargetFile);
    if (special && o.lSpecialProcess == spReloadJob)
        return namesSameFile(paths, file, o.sTargetFile);
    if (o.sOriginalFile.contains(u'*')) {
        if (o.bSaveInOriginalFolder)
            o.sTargetFile = TargetInOriginalFolder(o.sOriginalFile, o.lTargetFileType, o.lConversionMethod);
        // An append task writes all of them into its one target.
        return matchesOriginals(paths, o, file) || matchesTargets(paths, o, file) ||
               targetUnderAnotherName(paths, o, file) ||
               (!o.sTargetFile.contains(u'*') && namesSameFile(paths, file, o.sTargetFile));
    }
    return namesSameFile(paths, file, o.sOriginalFile) || (!o.sTargetFile.isEmpty() && isOutputOfTarget(paths, o, file));
}

} // namespace

int ValidateConversionItem(clsConversionOptions &o)
{
    if (jobFileCheck(o))
        return 0;
    // A task refused for its type must not leave a folder behind: the folder is made only for a
    // type that can be written, and for any other type its absence is not the reason to refuse.
    const bool knownType = !GetTypeExtension(o.lTargetFileType, false, o.lConversionMethod).isEmpty();
    int code = originalAndTargetCode(o, knownType);
    if (!knownType && (code == vrValid || code == vrTargetFolderMissing || code == vrTargetParentMissing))
        code = vrNoTargetExtension;
    if (code != vrValid)
        o.lErr = code;
    return 0;
}

int ValidateSpecializedItem(clsConversionOptions &o)
{
    if (jobFileCheck(o))
        return 0;
    int code = vrValid;
    switch (o.lSpecialProcess) {
    case spLaunchProgram:
        if (hasWildcard(o.sOriginalFile))
            code = vrBadOriginalType;
        break;
    case spAppendFiles:
        // The original need not exist yet: an earlier task may create it.
        if (hasWildcard(o.sTargetFile))
            code = vrAppendTargetWildcard;
        else if (sameFile(o.sOriginalFile, o.sTargetFile))
            code = vrAppendSameFile;
        else if (bFolderExistsFSO(o.sTargetFile))
            code = vrAppendTargetIsFolder;
        break;
    case spRemoveEmptyLines:
    case spSearchAndReplace:
        code = originalAndTargetCode(o, false);
        break;
    default:
        break;
    }

    // The target of a text process has the original's type; set also for a task that failed,
    // since the window may add it anyway.
    o.lTargetFileType = o.lOriginalFileType;

    if (code == vrValid) {
        switch (o.lSpecialProcess) {
        case spAppendFiles:
        case spRemoveEmptyLines:
            if (!isTextProcessType(o.lOriginalFileType))
                code = vrBadOriginalType;
            break;
        case spSearchAndReplace:
            if (!isTextProcessType(o.lOriginalFileType))
                code = vrBadOriginalType;
            if (o.sFindString.isEmpty())
                code = vrFindTextEmpty;
            break;
        case spLaunchProgram:
            break;
        default:
            code = vrBadSpecialProcess;
            break;
        }
    }
    if (code != vrValid)
        o.lErr = code;
    return 0;
}

int ValidateToDoItem(clsConversionOptions &o)
{
    const QString keptTarget = o.sTargetFile;
    const QString keptOriginal = o.sOriginalFile;
    o.sTargetFile = ExpandPathVariables(o.sTargetFile);
    o.sOriginalFile = ExpandPathVariables(o.sOriginalFile);

    const bool special = o.sActionToDo.contains(QLatin1Char('S'), Qt::CaseInsensitive);
    if (special)
        ValidateSpecializedItem(o);
    else
        ValidateConversionItem(o);

    int result = 0;
    if (o.lErr == vrValid && !(special && o.lSpecialProcess == spLaunchProgram)) {
        const QString path = o.bSaveInOriginalFolder ? o.sOriginalFile : o.sTargetFile;
        if (!path.trimmed().isEmpty() && !bFolderIsWriteable(path)) {
            o.lErr = vrOutputNotWriteable;
            result = 1;
        }
    }

    // Paths the checks left as they were go back to the text the user wrote.
    if (o.sTargetFile.trimmed() == ExpandPathVariables(keptTarget).trimmed())
        o.sTargetFile = keptTarget;
    if (o.sOriginalFile.trimmed() == ExpandPathVariables(keptOriginal).trimmed())
        o.sOriginalFile = keptOriginal;
    return result;
}

int ValidateCommandLineOutputs(clsConversionOptions &o)
{
    PathResolver paths;
    const QString log = o.sLogFile.trimmed().isEmpty() ? QString() : ExpandPathVariables(o.sLogFile);
    const QString results =
        o.sLogAsConversionJobFile.trimmed().isEmpty() ? QString() : ExpandPathVariables(o.sLogAsConversionJobFile);
    if (log.isEmpty() && results.isEmpty())
        return vrValid;
    // A job run reads its job file, the jobs its reload tasks lead to as they stand now, and the
    // files of all their tasks; else the line is the one task.
    const QString job = o.sCLBatchJobFile.isEmpty() ? QString() : ExpandPathVariables(o.sCLBatchJobFile);
    const QList<ReachedJob> jobs = job.isEmpty() ? QList<ReachedJob>{{QString(), {o}}} : JobsReachedFrom(job);
    // A job the run reads whole before it writes its results may take them: the failures run again
    // and what still fails stays in the same file. One the load cuts goes on through a reload of
    // itself, which its results would lead back into.
    const bool jobReadWhole = !job.isEmpty() && jobs.first().tasks.size() < kMaxLoadedTasks;
    // Compared as the file system resolves them: a link that leads nowhere yet names the file it
    // will lead to.
    auto isFileOfTheRun = [&](const QString &written, bool bResults) {
        const QString file = FileIdentityOf(written).path;
        for (qsizetype j = 0; j < jobs.size(); ++j) {
            if (!(bResults && j == 0 && jobReadWhole) && namesSameFile(paths, file, jobs.at(j).file))
                return true;
            for (const clsConversionOptions &task : jobs.at(j).tasks)
                if (isFileOfTask(paths, task, file))
                    return true;
        }
        return false;
    };
    if (!log.isEmpty() && isFileOfTheRun(log, false))
        o.lErr = vrLogFileInUse;
    else if (!results.isEmpty() && (isFileOfTheRun(results, true) || namesSameFile(paths, results, log)))
        o.lErr = vrResultsFileInUse;
    // A log or results file is appended to or replaced: what is there must be text.
    else if (!log.isEmpty() && bFileHoldsNulBeforeTail(log))
        o.lErr = vrLogFileNotText;
    else if (!results.isEmpty() && bFileHoldsNulBeforeTail(results))
        o.lErr = vrResultsFileNotText;
    else
        return vrValid;
    return o.lErr;
}

QString TargetInOriginalFolder(const QString &sOriginal, int lTypeCode, int lConversionMethod)
{
    return JoinFolder(GetParentFolder(sOriginal), GetTypeExtension(lTypeCode, true, lConversionMethod));
}
