#include "JobFiles.h"

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

// The cells of a written row each end in a TAB, and every line the program writes leads with the
// option code, the task number and the Do code ("C", or "S" and a process number); the "*" row
// has "*" for its number. Checked on the bytes: these characters read the same in both encodings.
bool hasJobLineShape(const QByteArray &line)
{
    const QList<QByteArray> cells = line.split('\t');
    if (cells.size() < 3)
        return false;
    if (cells.at(1).trimmed() == "*")
        return true;
    const QByteArray code = cells.at(2).trimmed().toUpper();
    if (code.isEmpty() || (code.at(0) != 'C' && code.at(0) != 'S'))
        return false;
    return std::all_of(code.begin() + 1, code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

QString notAJobText(const QString &sFile)
{
    return Translate(QStringLiteral("This file is not a conversion job: (")) + sFile + QStringLiteral(")");
}

// Blank lines and the "*" row of a saved job are not tasks.
bool isTaskLine(const QString &line)
{
    if (line.trimmed().isEmpty())
        return false;
    return !(line.size() >= 2 && line.at(1) == u'*');
}

// True when a line after the reader's position would load as a task.
bool moreTasksFollow(LineReader reader, bool utf8)
{
    while (!reader.atEnd()) {
        const QByteArray bytes = reader.next();
        if (isTaskLine(utf8 ? QString::fromUtf8(bytes) : TextCodec::decodeWindows1252(bytes)))
            return true;
    }
    return false;
}

} // namespace

bool IsConversionJobText(const QByteArray &bytes)
{
    if (bytes.contains('\0'))
        return false;
    bool blankOnly = true;
    for (LineReader reader(bytes); !reader.atEnd();) {
        const QByteArray line = reader.next();
        if (hasJobLineShape(line))
            return true;
        blankOnly = blankOnly && line.trimmed().isEmpty();
    }
    return blankOnly;
}

QString ConversionJobFileRefusal(const QString &sFile)
{
    if (!bFileExists(sFile))
        return Translate(QStringLiteral("Conversion job file not found: (")) + sFile + QStringLiteral(")");
    QFile file(sFile);
    if (!file.open(QIODevice::ReadOnly))
        return Translate(QStringLiteral("Unable to read the file ")) + sFile + QStringLiteral(": ") + file.errorString();
    return IsConversionJobText(file.readAll()) ? QString() : notAJobText(sFile);
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

bool LoadConversionJobFile(JobSession &session, const QString &sFile, int lFirstTask, QString *psErr)
{
    if (!bFileExists(sFile)) {
        setError(psErr, Translate(QStringLiteral("File: ")) + sFile + Translate(QStringLiteral(" does not exist")));
        return false;
    }
    QFile file(sFile);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        setError(psErr, Translate(QStringLiteral("Unable to read the file ")) + sFile + QStringLiteral(": ") +
                            file.errorString());
        return false;
    }
    file.close();
    // Loading anything else as rows would put its name in the caption, and a save would write over it.
    if (!IsConversionJobText(bytes)) {
        setError(psErr, notAJobText(sFile));
        return false;
    }
    const bool utf8 = TextCodec::isValidUtf8(bytes);
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
    const auto addReloadTask = [&](int next) {
        const QString from = QString::number(next);
        grid.addItem(QStringList{QStringLiteral(" "), from, QStringLiteral("S1"),
                                 QStringLiteral("Reload conversion job start at task ") + from, QStringLiteral("0"),
                                 QStringLiteral("0"), sFile, from},
                     grid.rows() - 1);
    };

    LineReader reader(bytes);
    int n = 0;
    bool capped = false;
    while (!reader.atEnd() && session.bRunning) {
        const QByteArray lineBytes = reader.next();
        ++n;
        if (n >= first) {
            const QString line = utf8 ? QString::fromUtf8(lineBytes) : TextCodec::decodeWindows1252(lineBytes);
            if (isTaskLine(line)) {
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
                if (moreTasksFollow(reader, utf8)) {
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
    const bool paused = !capped && !session.bRunning && moreTasksFollow(reader, utf8);
    if (paused)
        addReloadTask(std::max(n + 1, first));
    session.panels()->setPanelText(StatusPanel::Message,
                                   Translate(QStringLiteral("Completed loading conversion job: ")) + sFile);

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
    QFile file(sFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (!IsConversionJobText(bytes))
        return {};
    const bool utf8 = TextCodec::isValidUtf8(bytes);
    QStringList lines;
    int n = 0;
    for (LineReader reader(bytes); !reader.atEnd() && lines.size() < lMax;) {
        const QByteArray lineBytes = reader.next();
        if (++n < lFirstLine)
            continue;
        const QString line = utf8 ? QString::fromUtf8(lineBytes) : TextCodec::decodeWindows1252(lineBytes);
        if (isTaskLine(line))
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
        failed.addItem(log.rowCells(r), failed.rows());
    }
    return ExportGridRenumbered(sFile, failed, psErr);
}
