#include "RunRecordFiles.h"

#include "converter/TypeCatalogue.h"
#include "jobs/JobFiles.h"
#include "jobs/ToDoRows.h"
#include "platform/FlexGrid.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>

void RunRecordFiles::hold(const QString &sLogFile, const QString &sResultsFile)
{
    clear();
    for (const QString &name : {sLogFile, sResultsFile})
        if (!name.trimmed().isEmpty())
            m_held.append({name, FileIdentityOf(name)});
    m_resultsHeld = !sResultsFile.trimmed().isEmpty();
}

void RunRecordFiles::clear()
{
    m_held.clear();
    m_resultsHeld = false;
    m_touched.clear();
}

QString RunRecordFiles::heldAs(const FileIdentity &id) const
{
    if (m_resultsHeld)
        m_touched.append(id);
    for (const Held &h : m_held)
        // A held file that did not exist when it was taken may exist now under its resolved path.
        if (h.id == id || (!h.id.exists && h.id.path == id.path))
            return h.name;
    return QString();
}

QString RunRecordFiles::heldAt(const QString &path) const
{
    return m_held.isEmpty() || path.isEmpty() ? QString() : heldAs(FileIdentityOf(path));
}

QString RunRecordFiles::heldAtBytes(const QByteArray &path) const
{
    return m_held.isEmpty() || path.isEmpty() ? QString() : heldAs(FileIdentityOfBytes(path));
}

QString RunRecordFiles::heldByOutputsOf(const QString &target, int lTargetFileType, bool bEachSlide) const
{
    if (m_held.isEmpty() || target.isEmpty())
        return QString();
    if (const QString held = heldAt(target); !held.isEmpty())
        return held;
    // Further outputs are named from the target's name in its real folder.
    const QFileInfo fi(target);
    const QString folder = CanonicalPathForCompare(fi.absolutePath());
    const QString named = JoinFolder(folder, fi.fileName());
    const SaveAsType *type = TypeCatalogue::find(lTargetFileType);
    const bool perSlide = bEachSlide || (type && type->perSlideImage);
    const QString pages = JoinFolder(folder, fi.completeBaseName() + QStringLiteral("_files/"));
    for (const Held &h : m_held) {
        if (perSlide && TypeCatalogue::perSlideNumber(named, h.id.path) > 0)
            return h.name;
        if (lTargetFileType == TypeCatalogue::tHtmlPages && h.id.path.startsWith(pages))
            return h.name;
    }
    return QString();
}

void RunRecordFiles::noteRead(const QString &path)
{
    if (!m_held.isEmpty())
        m_touched.append(FileIdentityOf(path));
}

void RunRecordFiles::noteWritten(const QString &path)
{
    if (!m_held.isEmpty())
        m_touched.append(FileIdentityOf(path));
}

bool RunRecordFiles::readOrWritten(const QString &path) const
{
    const FileIdentity id = FileIdentityOf(path);
    for (const FileIdentity &t : m_touched)
        if (t == id || (id.exists && t.path == id.path))
            return true;
    return false;
}

namespace {

// The tasks of TAB-separated rows, read as a load reads them into the task grid.
QList<clsConversionOptions> tasksOfLines(const QStringList &lines)
{
    FlexGrid grid(ToDoColumn::Pass + 1);
    grid.setRows(1);
    for (const QString &line : lines) {
        grid.addItem(line, grid.rows());
        grid.setTextMatrix(grid.rows() - 1, ToDoColumn::Number, QString::number(grid.rows() - 1));
    }
    grid.addItem(QStringList(), grid.rows());
    QList<clsConversionOptions> tasks;
    for (int r = 1; r <= lastTaskRow(grid); ++r) {
        clsConversionOptions task;
        GetOptionsFromGridRow(task, r, grid);
        tasks.append(task);
    }
    return tasks;
}

bool isReload(const clsConversionOptions &task)
{
    return task.sActionToDo.contains(u'S', Qt::CaseInsensitive) && task.lSpecialProcess == spReloadJob;
}

} // namespace

QList<ReachedJob> JobsReachedFrom(const QString &sJob, int lFirstLine)
{
    QList<ReachedJob> reached;
    QList<std::pair<FileIdentity, int>> seen; // a job and the first line it was read from
    QList<std::pair<QString, int>> pending{{sJob, lFirstLine}};
    while (!pending.isEmpty()) {
        const auto [file, asked] = pending.takeFirst();
        const int first = std::max(1, asked);
        const FileIdentity id = FileIdentityOf(file);
        const auto known = std::find_if(seen.begin(), seen.end(), [&](const auto &s) { return s.first == id; });
        if (known != seen.end() && known->second <= first)
            continue;
        if (known != seen.end())
            known->second = first;
        else
            seen.append({id, first});
        ReachedJob job{file, tasksOfLines(ReadJobFileTaskLines(file, std::numeric_limits<int>::max(), first))};
        for (const clsConversionOptions &task : std::as_const(job.tasks))
            if (isReload(task))
                pending.append({ExpandPathVariables(task.sTargetFile), task.lTargetFileType});
        reached.append(job);
    }
    return reached;
}

bool ReloadRowsLeadTo(const QList<QStringList> &rows, const QString &path)
{
    QStringList lines;
    for (const QStringList &cells : rows)
        lines.append(cells.join(u'\t'));
    const FileIdentity id = FileIdentityOf(path);
    for (const clsConversionOptions &task : tasksOfLines(lines)) {
        if (!isReload(task))
            continue;
        for (const ReachedJob &job : JobsReachedFrom(ExpandPathVariables(task.sTargetFile), task.lTargetFileType))
            if (FileIdentityOf(job.file) == id)
                return true;
    }
    return false;
}
