#include "Validation.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "jobs/TypeExtensions.h"
#include "jobs/clsConversionOptions.h"

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
    CreateFolderTree(folder);
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

QString TargetInOriginalFolder(const QString &sOriginal, int lTypeCode, int lConversionMethod)
{
    return JoinFolder(GetParentFolder(sOriginal), GetTypeExtension(lTypeCode, true, lConversionMethod));
}
