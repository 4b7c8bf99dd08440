#include "JobFiles.h"

#include "common/DamagedTail.h"
#include "common/FileUtils.h"
#include "common/Globals.h"
#include "common/PathUtils.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "language/Translator.h"
#include "platform/AtomicFile.h"
#include "platform/FlexGrid.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

namespace {

void setError(QString *psErr, const QString &text)
{
    if (psErr)
        *psErr = text;
}

// A TAB or a line break inside a cell cannot be stored: on reading it would split the row.
bool cellsStorable(const QStringList &cells)
{
    for (const QString &c : cells)
        if (c.contains(u'\t') || c.contains(u'\n') || c.contains(u'\r'))
            return false;
    return true;
}

void appendLine(QByteArray &out, const QStringList &cells)
{
    for (const QString &c : cells) {
        out += c.toUtf8();
        out += '\t';
    }
    out += "\r\n";
}

bool writeAtomically(const QString &sFile, const QByteArray &bytes, QString *psErr)
{
    QString why;
    if (WriteFileAtomically(sFile, bytes, &why))
        return true;
    setError(psErr, Translate(QStringLiteral("Unable to write the file ")) + sFile + QStringLiteral(": ") + why);
    return false;
}

QString rowNotStorable(int row)
{
    return Translate(QStringLiteral("A cell of row ")) + QString::number(row) +
           Translate(QStringLiteral(" holds a TAB or a line break, which a conversion job file cannot store."));
}

// Lines of a byte buffer, ended by CRLF, LF or a lone CR; a final line end makes no empty line.
class LineReader
{
public:
    explicit LineReader(const QByteArray &bytes) : m_bytes(bytes)
    {
        if (m_bytes.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
    }
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    QByteArray next()
    {
        const char *data = m_bytes.constData();
        const qsizetype size = m_bytes.size();
        qsizetype end = m_pos;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        QByteArray line = m_bytes.mid(m_pos, end - m_pos);
        if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n')
            ++end;
        m_pos = end + 1;
        return line;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

QString notAJobText(const QString &sFile)
{
    return Translate(QStringLiteral("This file is not a conversion job: (")) + sFile + QStringLiteral(")");
}

QString damagedTailText(const QString &sFile)
{
    return Translate(QStringLiteral("The damaged end of the conversion job file (NUL bytes) was left out: (")) + sFile +
           QStringLiteral(")");
}

// The text of a job file: its bytes less a damaged tail, read as UTF-8 when valid, else Windows-1252.
struct JobText
{
    explicit JobText(const QByteArray &all)
        : bytes(all.left(TextEndBeforeNulTail(all))), tailDropped(bytes.size() != all.size()),
          utf8(TextCodec::isValidUtf8(bytes))
    {
    }
    QString decode(const QByteArray &line) const
    {
        return utf8 ? QString::fromUtf8(line) : TextCodec::decodeWindows1252(line);
    }
    QByteArray bytes;
    bool tailDropped;
    bool utf8;
};

enum class LineKind { Blank, Task, NewTaskRow, Foreign };

// What a line of a job file is. The TAB that ends its last cell gives no cell.
LineKind lineKind(const QString &line)
{
    if (line.trimmed().isEmpty())
        return LineKind::Blank;
    QStringList cells = line.split(u'\t');
    if (cells.size() > 1 && line.endsWith(u'\t'))
        cells.removeLast();
    if (IsNewTaskRowCells(cells))
        return LineKind::NewTaskRow;
    return HasTaskRowShape(cells) ? LineKind::Task : LineKind::Foreign;
}

// A job: no NUL byte left, and every line blank or shaped as a row the job writer gives (so that
// a table or a text with one such line is not taken for one). No line at all is an empty job.
bool isJobText(const JobText &text)
{
    if (text.bytes.contains('\0'))
        return false;
    for (LineReader reader(text.bytes); !reader.atEnd();)
        if (lineKind(text.decode(reader.next())) == LineKind::Foreign)
            return false;
    return true;
}

// True when a line after the reader's position would load as a task.
bool moreTasksFollow(LineReader reader, const JobText &text)
{
    while (!reader.atEnd())
        if (lineKind(text.decode(reader.next())) == LineKind::Task)
            return true;
    return false;
}

// The whole file, or nothing with the reason in *psErr.
bool readWholeFile(const QString &sFile, QByteArray &bytes, QString *psErr)
{
    QFile file(sFile);
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        setError(psErr, Translate(QStringLiteral("Unable to read the file ")) + sFile + QStringLiteral(": ") +
                            file.errorString());
        return false;
    }
    return true;
}

// The task that loads a job file from its line `from` on (the load's continuation, and a
// scheduled run of the log saved as a job).
QStringList reloadTaskCells(const QString &sJobFile, int from)
{
    const QString n = QString::number(from);
    return {QStringLiteral(" "),
            n,
            QStringLiteral("S1"),
            QStringLiteral("Reload conversion job start at task ") + n,
            QStringLiteral("0"),
            QStringLiteral("0"),
            sJobFile,
            n};
}

} // namespace

bool IsConversionJobText(const QByteArray &bytes) { return isJobText(JobText(bytes)); }

QString ConversionJobFileRefusal(const QString &sFile)
{
    if (!bFileExists(sFile))
        return Translate(QStringLiteral("Conversion job file not found: (")) + sFile + QStringLiteral(")");
    QByteArray bytes;
    QString why;
    if (!readWholeFile(sFile, bytes, &why))
        return why;
    return IsConversionJobText(bytes) ? QString() : notAJobText(sFile);
}

bool SaveConversionJobFile(JobSession &session, const QString &sFile, QString *psErr)
{
    if (!session.sCappedJobFile.isEmpty() && bIsSamePath(session.sCappedJobFile, sFile)) {
        setError(psErr, Translate(QStringLiteral("This job was loaded in parts; saving it over its own file would lose "
                                                 "the tasks not loaded. Save it under another name.")));
        return false;
    }
    FlexGrid &grid = session.fgToDo;
    if (grid.rows() <= 2 && !session.editorHooks()->AddFileToConvertGUI()) {
        setError(psErr, Translate(QStringLiteral("The conversion job has no tasks to save.")));
        return false;
    }
    QByteArray out;
    for (int r = 1; r < grid.rows(); ++r) {
        const QStringList cells = grid.rowCells(r);
        if (!cellsStorable(cells)) {
            setError(psErr, rowNotStorable(r));
            return false;
        }
        appendLine(out, cells);
    }
    return writeAtomically(sFile, out, psErr);
}

bool LoadConversionJobFile(JobSession &session, const QString &sFile, int lFirstTask, QString *psErr,
                           QString *psNotice)
{
    if (!bFileExists(sFile)) {
        setError(psErr, Translate(QStringLiteral("File: ")) + sFile + Translate(QStringLiteral(" does not exist")));
        return false;
    }
    QByteArray bytes;
    if (!readWholeFile(sFile, bytes, psErr))
        return false;
    const JobText text(bytes);
    // Loading anything else as rows would put its name in the caption, and a save would write over it.
    if (!isJobText(text)) {
        setError(psErr, notAJobText(sFile));
        return false;
    }
    const int first = lFirstTask < 1 ? 1 : lFirstTask;

    FlexGrid &grid = session.fgToDo;
    const bool wasRunning = session.bRunning;
    // Running while loading, so that a Pause (which clears the flag) stops the load.
    session.bRunning = true;
    session.hooks()->UpdateMenuToolbar();
    InitToDoGrid(grid);
    gbSuppressEvents = true;
    session.panels()->setPanelText(StatusPanel::Message,
                                   Translate(QStringLiteral("Loading Conversion Job: ")) + sFile);

    // The reload task that continues the job from line next on, placed before the "*" row.
    const auto addReloadTask = [&](int next) { grid.addItem(reloadTaskCells(sFile, next), grid.rows() - 1); };

    LineReader reader(text.bytes);
    int n = 0;
    bool capped = false;
    while (!reader.atEnd() && session.bRunning) {
        const QByteArray lineBytes = reader.next();
        ++n;
        if (n >= first) {
            const QString line = text.decode(lineBytes);
            if (lineKind(line) == LineKind::Task) {
                const int at = grid.rows() - 1;
                grid.addItem(line, at);
                const QString mark = grid.textMatrix(at, ToDoColumn::Pass);
                if (mark == QStringLiteral("+"))
                    grid.setCellPicture(at, ToDoColumn::Pass, FlexGrid::Picture::Passed);
                else if (mark == QStringLiteral("-"))
                    grid.setCellPicture(at, ToDoColumn::Pass, FlexGrid::Picture::Failed);
            }
            if (grid.rows() >= kMaxLoadedTasks + 1) {
                // A job of exactly this size needs no reload task pointing past its end.
                if (moreTasksFollow(reader, text)) {
                    addReloadTask(n + 1);
                    capped = true;
                }
                break;
            }
        }
        if (n % 1000 == 0) {
            session.panels()->setPanelText(StatusPanel::Message,
                                           Translate(QStringLiteral("Loading Conversion Task: ")) + QString::number(n));
            session.DoEvents();
        }
    }
    // A Pause keeps the rows read so far and, as the cap does, a reload task for the rest: the
    // next Convert goes on with them, and an interrupted run's results hold them too.
    const bool paused = !capped && !session.bRunning && moreTasksFollow(reader, text);
    if (paused)
        addReloadTask(std::max(n + 1, first));
    // A damaged end is said where the load's end is said: the rows shown are all the file still holds.
    const QString done = text.tailDropped
                             ? damagedTailText(sFile)
                             : Translate(QStringLiteral("Completed loading conversion job: ")) + sFile;
    session.panels()->setPanelText(StatusPanel::Message, done);
    if (psNotice)
        *psNotice = text.tailDropped ? done : QString();

    for (int r = 1; r <= lastTaskRow(grid); ++r)
        grid.setTextMatrix(r, ToDoColumn::Number, QString::number(first + r - 1));

    session.sCappedJobFile = (capped || paused || first > 1) ? sFile : QString();
    // A Pause during the load is kept: the run it stopped must not go on.
    if (session.bRunning)
        session.bRunning = wasRunning;
    session.hooks()->UpdateMenuToolbar();
    grid.setRow(grid.rows() - 1);
    SelectGridRow(grid);
    gbSuppressEvents = false;
    return true;
}

QStringList ReadJobFileTaskLines(const QString &sFile, int lMax, int lFirstLine)
{
    QByteArray bytes;
    if (!readWholeFile(sFile, bytes, nullptr))
        return {};
    const JobText text(bytes);
    if (!isJobText(text))
        return {};
    QStringList lines;
    int n = 0;
    for (LineReader reader(text.bytes); !reader.atEnd() && lines.size() < lMax;) {
        const QByteArray lineBytes = reader.next();
        if (++n < lFirstLine)
            continue;
        const QString line = text.decode(lineBytes);
        if (lineKind(line) == LineKind::Task)
            lines << line;
    }
    return lines;
}

namespace {

// The cells of a row that an export writes: the option code and the Do code to the target type.
QStringList exportedCells(const FlexGrid &grid, int r)
{
    QStringList cells{grid.textMatrix(r, ToDoColumn::Options)};
    for (int c = ToDoColumn::Do; c <= ToDoColumn::TargetType; ++c)
        cells.append(grid.textMatrix(r, c));
    return cells;
}

// A log row as a task: the row of a scheduled run that could not start has no Do code and names
// its job file as the original; as the reload task of that job, a run of the saved log runs it.
QStringList logRowAsTask(const QStringList &cells)
{
    const QString job = cells.value(ToDoColumn::Original);
    if (!cells.value(ToDoColumn::Do).trimmed().isEmpty() || job.trimmed().isEmpty())
        return cells;
    QStringList task = reloadTaskCells(job, 1);
    for (int c = ToDoColumn::TargetTypeText; c < cells.size(); ++c)
        task.append(c == ToDoColumn::TargetTypeText ? QString() : cells.at(c));
    return task;
}

} // namespace

bool ExportGridRenumbered(const QString &sFile, const FlexGrid &grid, QString *psErr)
{
    QByteArray out;
    for (int r = 1; r < grid.rows(); ++r) {
        QStringList cells = exportedCells(grid, r);
        bool empty = true;
        for (const QString &c : cells)
            empty = empty && c.isEmpty();
        if (empty)
            continue;
        if (!cellsStorable(cells)) {
            setError(psErr, rowNotStorable(r));
            return false;
        }
        cells.insert(1, QString::number(r));
        appendLine(out, cells);
    }
    return writeAtomically(sFile, out, psErr);
}

bool ExportResultsFile(const QString &sFile, const FlexGrid &log, int lFirstRow, QStringList *psLeftOut,
                       QString *psErr)
{
    FlexGrid failed(log.cols());
    failed.setRows(1);
    for (int r = std::max(lFirstRow, 1); r < log.rows(); ++r) {
        if (log.textMatrix(r, ToDoColumn::Pass) != QStringLiteral("-"))
            continue;
        // One file with a TAB or a line break in its name must not cost the results of all others.
        if (!cellsStorable(exportedCells(log, r))) {
            if (psLeftOut)
                psLeftOut->append(log.textMatrix(r, ToDoColumn::Original));
            continue;
        }
        failed.addItem(logRowAsTask(log.rowCells(r)), failed.rows());
    }
    return ExportGridRenumbered(sFile, failed, psErr);
}

bool ExportLogAsJob(const QString &sFile, const FlexGrid &log, QString *psErr)
{
    FlexGrid tasks(log.cols());
    tasks.setRows(1);
    for (int r = 1; r < log.rows(); ++r)
        tasks.addItem(logRowAsTask(log.rowCells(r)), tasks.rows());
    return ExportGridRenumbered(sFile, tasks, psErr);
}
