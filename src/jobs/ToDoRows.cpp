#include "ToDoRows.h"

#include "common/Globals.h"
#include "common/NumberUtils.h"
#include "jobs/ConversionSettings.h"
#include "jobs/JobSession.h"
#include "jobs/TypeExtensions.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"
#include "platform/FlexGrid.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

// A whole number from a cell; the field keeps its value when the cell holds none.
void readNumber(const QString &cell, int &field)
{
    int value = 0;
    if (bTryCLng(cell, value))
        field = value;
}

void formatHeaderRow(FlexGrid &grid)
{
    for (int c = 0; c < grid.cols(); ++c) {
        grid.setCellAlignment(0, c, FlexGrid::Align::Center);
        grid.setCellFontBold(0, c, !gbDoubleByteLocale);
    }
}

// A grid that was never initialised gets its header and "*" row before a task is numbered.
void prepareForAdd(FlexGrid &grid)
{
    if (grid.textMatrix(1, ToDoColumn::Number).isEmpty())
        InitToDoGrid(grid);
}

void addRow(const QStringList &cells, FlexGrid &grid)
{
    gbSuppressEvents = true;
    grid.addItem(cells, grid.rows() - 1);
    grid.setFocus();
    grid.setRow(lastTaskRow(grid));
    SelectGridRow(grid);
}

} // namespace

int lastTaskRow(const FlexGrid &grid) { return grid.rows() - 2; }

bool isTaskRow(const FlexGrid &grid, int r)
{
    return isTaskRow(r, grid.rows(), grid.textMatrix(r, ToDoColumn::Number));
}

bool isTaskRow(int r, int rows, const QString &numberCell)
{
    return r >= 1 && r <= rows - 2 && !numberCell.isEmpty() && numberCell != QLatin1String("*");
}

QString BuildOptionsCode(const clsConversionOptions &options, const ConversionSettings &settings)
{
    QString code;
    if (options.bDoSubfolders)
        code += u'R';
    if (options.bSaveInOriginalFolder)
        code += u'G';
    if (options.lConversionMethod == cmMSWord)
        code += u'M';
    if (options.lConversionMethod == cmFromPDF)
        code += u'P';
    if (options.lConversionMethod == cmSpecialProcess && options.bCaseSensitive)
        code += u'D';
    if (options.bCreateFileForEachSlide)
        code += u'C';
    if (options.bConvertAllSlides)
        code += u'A';
    return code + u',' + QString::number(settings.lFromSlide) + u',' + QString::number(settings.lToSlide);
}

QString BuildRowOptionsCode(const clsConversionOptions &options, const ConversionSettings &settings)
{
    const bool special = !options.sActionToDo.contains(u'C');
    if (special && options.lSpecialProcess == spLaunchProgram)
        return LaunchOptionsCode(options.lCommandLineThreadPriority, options.lCommandLineWindowState,
                                 options.lCommandLineWaitTime);
    QString code = BuildOptionsCode(options, settings);
    if (special && options.lSpecialProcess == spSearchAndReplace)
        code += FindReplaceSuffix(options.sFindString, options.sReplaceString);
    return code;
}

void AddToDoItemToGrid(const clsConversionOptions &options, FlexGrid &grid, const ConversionSettings &settings)
{
    if (options.sActionToDo.contains(u'C'))
        AddConversionItemToGrid(options, grid, settings);
    else
        AddSpecializedItemToGrid(options, grid, settings);
}

void AddConversionItemToGrid(const clsConversionOptions &options, FlexGrid &grid,
                             const ConversionSettings &settings)
{
    prepareForAdd(grid);
    addRow({BuildRowOptionsCode(options, settings), QString::number(grid.rows() - 1), QStringLiteral("C"),
            options.sOriginalFile, QString::number(options.lOriginalFileType),
            GetConverterTypeExtension(options.lOriginalFileType, false), options.sTargetFile,
            QString::number(options.lTargetFileType),
            GetTypeExtension(options.lTargetFileType, false, options.lConversionMethod)},
           grid);
}

void AddSpecializedItemToGrid(const clsConversionOptions &options, FlexGrid &grid,
                              const ConversionSettings &settings)
{
    prepareForAdd(grid);
    addRow({BuildRowOptionsCode(options, settings), QString::number(grid.rows() - 1),
            QStringLiteral("S") + QString::number(options.lSpecialProcess), options.sOriginalFile,
            QString::number(options.lOriginalFileType),
            GetTypeExtension(options.lOriginalFileType, false, options.lConversionMethod), options.sTargetFile,
            QString::number(options.lTargetFileType),
            GetTypeExtension(options.lTargetFileType, false, options.lConversionMethod)},
           grid);
}

void GetOptionsFromGridRow(clsConversionOptions &options, int row, FlexGrid &grid)
{
    if (!isTaskRow(grid, row))
        return;
    gbSuppressEvents = true;
    grid.setRow(row);

    const QString code = grid.textMatrix(row, ToDoColumn::Options);
    options.bSaveInOriginalFolder = hasFlag(code, u'G');
    options.bDoSubfolders = hasFlag(code, u'R');
    options.bCaseSensitive = hasFlag(code, u'D');
    options.bCreateFileForEachSlide = hasFlag(code, u'C');

    if (hasFlag(code, u'A')) {
        options.bConvertAllSlides = true;
    } else {
        options.bConvertAllSlides = false;
        // Codes without a slide range (special-process rows of the editor, search texts with
        // commas) leave the range as it was.
        const QStringList pieces = code.split(u',');
        if (pieces.size() >= 2)
            readNumber(pieces.at(1), options.lFromSlide);
        if (pieces.size() >= 3)
            readNumber(pieces.at(2), options.lToSlide);
    }

    options.sActionToDo = grid.textMatrix(row, ToDoColumn::Do);
    const bool conversion = options.sActionToDo.contains(u'C');
    const bool special = options.sActionToDo.contains(u'S');
    if (conversion) {
        if (hasFlag(code, u'M'))
            options.lConversionMethod = cmMSWord;
        else if (hasFlag(code, u'P'))
            options.lConversionMethod = cmFromPDF;
        else
            options.lConversionMethod = cmAmbrith;
    } else if (special) {
        options.lConversionMethod = cmSpecialProcess;
    }

    options.sOriginalFile = grid.textMatrix(row, ToDoColumn::Original);
    const QString originalType = grid.textMatrix(row, ToDoColumn::OriginalType);
    if (!originalType.isEmpty())
        readNumber(originalType, options.lOriginalFileType);
    options.sTargetFile = grid.textMatrix(row, ToDoColumn::Target);
    const QString targetType = grid.textMatrix(row, ToDoColumn::TargetType);
    if (!targetType.isEmpty())
        readNumber(targetType, options.lTargetFileType);

    if (special) {
        readNumber(QString(options.sActionToDo).remove(u'S'), options.lSpecialProcess);
        if (options.lSpecialProcess == spLaunchProgram) {
            static const QRegularExpression launch(
                QStringLiteral("T\\s*(-?\\d+)\\s+S\\s*(-?\\d+)\\s+W\\s*(-?\\d+)"));
            const QRegularExpressionMatch m = launch.match(code);
            if (m.hasMatch()) {
                readNumber(m.captured(1), options.lCommandLineThreadPriority);
                readNumber(m.captured(2), options.lCommandLineWindowState);
                readNumber(m.captured(3), options.lCommandLineWaitTime);
            }
        } else if (options.lSpecialProcess == spSearchAndReplace) {
            const FindReplaceTexts texts = ReadFindReplaceTexts(code);
            if (texts.found) {
                options.sFindString = texts.find;
                options.sReplaceString = texts.replace;
            }
        }
    }
    gbSuppressEvents = false;
}

bool hasFlag(const QString &code, QChar letter)
{
    const qsizetype at = code.indexOf(letter);
    return at >= 0 && at < 9;
}

QString LaunchOptionsCode(int lThreadPriority, int lWindowState, int lWaitSeconds)
{
    return QStringLiteral("T%1 S%2 W%3").arg(lThreadPriority).arg(lWindowState).arg(lWaitSeconds);
}

QString FindReplaceSuffix(const QString &sFind, const QString &sReplace)
{
    return QString(10, u' ') + QStringLiteral("Find{{") + sFind + QStringLiteral("}}Replace{{") + sReplace +
           QStringLiteral("}}");
}

FindReplaceTexts ReadFindReplaceTexts(const QString &code)
{
    static const QString findTag = QStringLiteral("Find{{");
    static const QString middleTag = QStringLiteral("}}Replace{{");
    static const QString endTag = QStringLiteral("}}");
    FindReplaceTexts t;
    // The texts follow the flags and ten blanks; a "Find{{" inside the flags is no code.
    const qsizetype find = code.indexOf(findTag);
    if (find < 9)
        return t;
    const qsizetype findStart = find + findTag.size();
    const qsizetype middle = code.indexOf(middleTag, findStart);
    if (middle < 0)
        return t;
    t.found = true;
    t.find = code.mid(findStart, middle - findStart);
    const qsizetype replaceStart = middle + middleTag.size();
    const qsizetype end = code.indexOf(endTag, replaceStart);
    t.replaceEnded = end >= 0;
    t.replace = t.replaceEnded ? code.mid(replaceStart, end - replaceStart) : code.mid(replaceStart);
    return t;
}

namespace {

bool isBlank(const QString &cell) { return cell.trimmed().isEmpty(); }

bool isDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool isTypeCodeCell(const QString &cell)
{
    int value = 0;
    return isBlank(cell) || bTryWholeNumber(cell, value);
}

} // namespace

bool IsDoCode(const QString &cell)
{
    const QString code = cell.trimmed();
    if (code.compare(QLatin1String("C"), Qt::CaseInsensitive) == 0)
        return true;
    if (code.isEmpty() || code.at(0).toUpper() != u'S' || !isDigits(QStringView(code).mid(1)))
        return false;
    int id = 0;
    if (!bTryWholeNumber(code.mid(1), id))
        return false;
    return id == spReloadJob || id == spAppendFiles || id == spRemoveEmptyLines || id == spSearchAndReplace ||
           id == spLaunchProgram;
}

bool IsOptionCodeShape(const QString &cell)
{
    static const QRegularExpression launch(
        QStringLiteral("^\\s*T\\s*-?[0-9]+\\s+S\\s*-?[0-9]+\\s+W\\s*-?[0-9]+\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression letters(QStringLiteral("^[RGMPDCA ]*(,\\s*-?[0-9]*\\s*){0,2}$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (launch.match(cell).hasMatch())
        return true;
    // The texts of a search and replace may hold anything.
    const qsizetype find = cell.indexOf(QLatin1String("Find{{"), 0, Qt::CaseInsensitive);
    return letters.match(find < 0 ? cell : cell.left(find)).hasMatch();
}

bool HasTaskRowShape(const QStringList &cells)
{
    if (cells.size() <= ToDoColumn::Do)
        return false;
    for (qsizetype c = ToDoColumn::Pass + 1; c < cells.size(); ++c)
        if (!isBlank(cells.at(c)))
            return false;
    const QString number = cells.at(ToDoColumn::Number).trimmed();
    const QString pass = cells.value(ToDoColumn::Pass).trimmed();
    return IsOptionCodeShape(cells.at(ToDoColumn::Options)) && (number.isEmpty() || isDigits(number)) &&
           IsDoCode(cells.at(ToDoColumn::Do)) && isTypeCodeCell(cells.value(ToDoColumn::OriginalType)) &&
           isTypeCodeCell(cells.value(ToDoColumn::TargetType)) &&
           (pass.isEmpty() || pass == QLatin1String("+") || pass == QLatin1String("-"));
}

bool IsNewTaskRowCells(const QStringList &cells)
{
    if (cells.size() <= ToDoColumn::Number || cells.at(ToDoColumn::Number).trimmed() != QLatin1String("*"))
        return false;
    for (qsizetype c = 0; c < cells.size(); ++c)
        if (c != ToDoColumn::Number && !isBlank(cells.at(c)))
            return false;
    return true;
}

void InitToDoGrid(FlexGrid &grid)
{
    gbSuppressEvents = true;
    grid.setRows(1);
    const QStringList header = {QString(),
                                QStringLiteral("#"),
                                Translate(QStringLiteral("Do")),
                                Translate(QStringLiteral("Original File(s)")),
                                QString(),
                                Translate(QStringLiteral("Type")),
                                Translate(QStringLiteral("Target File(s)")),
                                QString(),
                                Translate(QStringLiteral("Type")),
                                Translate(QStringLiteral("Pass"))};
    for (int c = 0; c < grid.cols(); ++c)
        grid.setTextMatrix(0, c, header.value(c));
    formatHeaderRow(grid);

    grid.setRows(2);
    grid.setTextMatrix(1, ToDoColumn::Number, QStringLiteral("*"));
    for (int c = ToDoColumn::Options; c <= ToDoColumn::Do; ++c) {
        grid.setCellAlignment(1, c, FlexGrid::Align::Center);
        grid.setCellFontBold(1, c, !gbDoubleByteLocale);
    }
    grid.setCellFontSize(1, ToDoColumn::Number, 12);
    grid.setRow(1);
    SelectGridRow(grid);
}

void InitLogGrid(FlexGrid &grid)
{
    gbSuppressEvents = true;
    grid.setRows(1);
    grid.setRows(2);
    const QStringList header = {QString(),
                                Translate(QStringLiteral("#")),
                                Translate(QStringLiteral("Do")),
                                QString(),
                                QString(),
                                QString(),
                                Translate(QStringLiteral("Target File")),
                                QString(),
                                Translate(QStringLiteral("Type")),
                                Translate(QStringLiteral("Pass")),
                                Translate(QStringLiteral("Status"))};
    for (int c = 0; c < grid.cols(); ++c)
        grid.setTextMatrix(0, c, header.value(c));
    for (int c = 0; c < grid.cols(); ++c)
        grid.setCellAlignment(0, c, FlexGrid::Align::Center);
    grid.setRow(1);
    SelectGridRow(grid);
}

void SelectGridRow(FlexGrid &grid)
{
    gbSuppressEvents = true;
    grid.setCol(ToDoColumn::Options);
    grid.setColSel(grid.cols() - 1);
    gbSuppressEvents = false;
}

bool MoveGridRow(JobSession &session, FlexGrid &grid, int lTargetRow)
{
    // A run on the stack owns the rows it is marking.
    if (session.bLoopActive())
        return false;
    const int from = grid.row();
    // Only task rows move: never the header, never the "*" row, never onto either of them.
    if (!isTaskRow(grid, from) || !isTaskRow(grid, lTargetRow))
        return false;
    if (lTargetRow == from) {
        SelectGridRow(grid);
        return true;
    }
    gbSuppressEvents = true;
    const int lo = std::min(from, lTargetRow);
    const int hi = std::max(from, lTargetRow);
    // The task numbers belong to the places, not to the tasks.
    QStringList numbers;
    for (int r = lo; r <= hi; ++r)
        numbers.append(grid.textMatrix(r, ToDoColumn::Number));
    grid.moveItem(from, lTargetRow);
    for (int r = lo; r <= hi; ++r)
        grid.setTextMatrix(r, ToDoColumn::Number, numbers.at(r - lo));

    // A paused task keeps its resume position when it moves or is shifted by the move.
    if (session.lResumeRow == from)
        session.lResumeRow = lTargetRow;
    else if (session.lResumeRow >= lo && session.lResumeRow <= hi)
        session.lResumeRow += from < lTargetRow ? -1 : 1;

    grid.setRow(lTargetRow);
    grid.setFocus();
    SelectGridRow(grid);
    session.hooks()->UpdateMenuToolbar();
    session.markJobChanged();
    return true;
}
