#include "Pickers.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "platform/FilePicker.h"

namespace {

// A pattern in every letter case the file system may hold it in: as written, lower, upper.
QStringList patternForms(const QString &pattern)
{
    if (pattern == QLatin1String("*.*"))
        return {QStringLiteral("*")};
    QStringList forms{pattern};
    for (const QString &f : {pattern.toLower(), pattern.toUpper()}) {
        if (!forms.contains(f))
            forms << f;
    }
    return forms;
}

} // namespace

QStringList QtNameFilters(const QString &sFilter)
{
    const QStringList parts = sFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed();
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString &f : patternForms(p.trimmed())) {
                if (!f.isEmpty() && !patterns.contains(f))
                    patterns << f;
            }
        }
        if (desc.isEmpty() && patterns.isEmpty())
            continue;
        filters << desc + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

namespace {

QString pick(FilePicker *picker, const QString &title, const QString &filter, int &filterIndex,
             const QString &initDir, const QString &saveWord)
{
    if (!picker)
        return QString();
    const bool save = !saveWord.isEmpty() && title.contains(saveWord, Qt::CaseInsensitive);
    int index = filterIndex;
    const QString chosen = picker->pickFile(title, filter, index, initDir, save);
    if (!chosen.isEmpty())
        filterIndex = index;
    return chosen;
}

} // namespace

QString PickFile(FilePicker *picker, const QString &sTitle, const QString &sFilter,
                 int &lFilterIndex, const QString &sSaveWord)
{
    return pick(picker, sTitle, sFilter, lFilterIndex, QString(), sSaveWord);
}

QString PickFileInitDir(FilePicker *picker, const QString &sTitle, const QString &sFilter,
                        int &lFilterIndex, QString &sStartPath, const QString &sSaveWord)
{
    sStartPath = GetExistingPathForDialog(sStartPath);
    if (!sStartPath.isEmpty())
        sStartPath = GetPathFromFileName(sStartPath);
    return pick(picker, sTitle, sFilter, lFilterIndex, sStartPath, sSaveWord);
}

QString BrowseForFolder(FilePicker *picker, QString &sStartPath, const QString &sTitle)
{
    sStartPath = ExpandPathVariables(sStartPath).replace(QLatin1Char('*'), QLatin1Char('A'));
    if (!picker)
        return QString();
    const QString chosen = picker->browseForFolder(sTitle, StripTrailingBackslash(sStartPath));
    return StripTrailingBackslash(chosen);
}
