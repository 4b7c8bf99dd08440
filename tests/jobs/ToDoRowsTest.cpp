#include "common/Globals.h"
#include "jobs/ConversionSettings.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "jobs/clsConversionOptions.h"

#include <gtest/gtest.h>

namespace {

class CountingHooks : public EngineHooks
{
public:
    void UpdateMenuToolbar() override { ++updates; }
    int updates = 0;
};

// A task grid holding rows with the given option codes (DoCode "C" unless given).
void addCodeRow(FlexGrid &g, const QString &code, const QString &doCode = QStringLiteral("C"),
                const QString &origType = QStringLiteral("1"), const QString &targetType = QStringLiteral("32"))
{
    g.addItem(QStringList{code, QString::number(g.rows() - 1), doCode, "/in/a.ppt", origType, "ppt", "/out/a.pdf",
                          targetType, "pdf"},
              g.rows() - 1);
}

clsConversionOptions readRow(const QString &code, const QString &doCode = QStringLiteral("C"),
                             clsConversionOptions start = clsConversionOptions())
{
    FlexGrid g(10);
    InitToDoGrid(g);
    addCodeRow(g, code, doCode);
    GetOptionsFromGridRow(start, 1, g);
    return start;
}

} // namespace

TEST(ToDoRows, TaskRowsLieBetweenTheHeaderAndTheStarRowAndCarryANumber)
{
    FlexGrid g(10);
    g.setRows(1); // never initialised: no task, no "*" row
    EXPECT_LT(lastTaskRow(g), 1);
    EXPECT_FALSE(isTaskRow(g, 1));
    InitToDoGrid(g);
    EXPECT_EQ(lastTaskRow(g), 0);
    EXPECT_FALSE(isTaskRow(g, 1)); // the "*" row
    addCodeRow(g, "A,1,2");
    addCodeRow(g, "A,1,2");
    EXPECT_EQ(lastTaskRow(g), 2);
    EXPECT_EQ(QList<bool>({isTaskRow(g, 0), isTaskRow(g, 1), isTaskRow(g, 2), isTaskRow(g, 3), isTaskRow(g, 4)}),
              QList<bool>({false, true, true, false, false}));
    g.setTextMatrix(2, ToDoColumn::Number, QString());
    EXPECT_FALSE(isTaskRow(g, 2));
    // The same rule for a grid known by its row count and the "#" cell.
    EXPECT_TRUE(isTaskRow(1, 3, "1"));
    EXPECT_FALSE(isTaskRow(1, 3, "*")); // a stray "*" row
    EXPECT_FALSE(isTaskRow(1, 3, ""));
    EXPECT_FALSE(isTaskRow(1, 2, "1"));
}

TEST(ToDoRows, OptionCodeFlagsAndSlideRanges)
{
    clsConversionOptions start;
    start.lFromSlide = 4;
    start.lToSlide = 6;

    clsConversionOptions o = readRow("RGA,1,2", "C", start);
    EXPECT_TRUE(o.bDoSubfolders);
    EXPECT_TRUE(o.bSaveInOriginalFolder);
    EXPECT_TRUE(o.bConvertAllSlides);
    EXPECT_FALSE(o.bCreateFileForEachSlide);
    EXPECT_EQ(o.lFromSlide, 4); // all slides: the range is not read
    EXPECT_EQ(o.lConversionMethod, cmAmbrith);

    o = readRow(",5,9", "C", start);
    EXPECT_FALSE(o.bDoSubfolders);
    EXPECT_FALSE(o.bConvertAllSlides);
    EXPECT_EQ(o.lFromSlide, 5);
    EXPECT_EQ(o.lToSlide, 9);

    o = readRow("R", "C", start);
    EXPECT_TRUE(o.bDoSubfolders);
    EXPECT_FALSE(o.bConvertAllSlides);
    EXPECT_EQ(o.lFromSlide, 4);
    EXPECT_EQ(o.lToSlide, 6);

    // Pieces that are no numbers keep the old values instead of failing.
    o = readRow("C,x,", "C", start);
    EXPECT_TRUE(o.bCreateFileForEachSlide);
    EXPECT_EQ(o.lFromSlide, 4);
    EXPECT_EQ(o.lToSlide, 6);
    o = readRow(",7", "C", start);
    EXPECT_EQ(o.lFromSlide, 7);
    EXPECT_EQ(o.lToSlide, 6);

    EXPECT_EQ(readRow("MA,1,1").lConversionMethod, cmMSWord);
    EXPECT_EQ(readRow("PA,1,1").lConversionMethod, cmFromPDF);
    EXPECT_FALSE(gbSuppressEvents);
}

TEST(ToDoRows, ReaderNeverFailsOnBadNumbersAndKeepsFields)
{
    FlexGrid g(10);
    InitToDoGrid(g);
    g.addItem(QStringList{"A,1,2", "1", "C", "/in/a.ppt", "abc", "ppt", "/out/a.pdf", "", "pdf"}, 1);
    clsConversionOptions o;
    o.lOriginalFileType = 24;
    o.lTargetFileType = 35;
    GetOptionsFromGridRow(o, 1, g);
    EXPECT_EQ(o.lOriginalFileType, 24);
    EXPECT_EQ(o.lTargetFileType, 35);
    EXPECT_EQ(o.sOriginalFile, "/in/a.ppt");

    // Special-process rows carry method 4, whatever the record held before.
    o.lConversionMethod = cmAmbrith;
    g.setTextMatrix(1, 2, "S55");
    g.setTextMatrix(1, 0, "R G D");
    GetOptionsFromGridRow(o, 1, g);
    EXPECT_EQ(o.lConversionMethod, cmSpecialProcess);
    EXPECT_EQ(o.lSpecialProcess, 55);
    EXPECT_TRUE(o.bCaseSensitive);
    EXPECT_TRUE(o.bSaveInOriginalFolder);

    // "S" & garbage keeps the id.
    g.setTextMatrix(1, 2, "Sx");
    GetOptionsFromGridRow(o, 1, g);
    EXPECT_EQ(o.lSpecialProcess, 55);

    // Header and "*" row are not tasks: the record stays as it was.
    clsConversionOptions untouched;
    untouched.sOriginalFile = "keep";
    GetOptionsFromGridRow(untouched, 0, g);
    GetOptionsFromGridRow(untouched, 2, g);
    GetOptionsFromGridRow(untouched, 99, g);
    EXPECT_EQ(untouched.sOriginalFile, "keep");
    EXPECT_EQ(untouched.sActionToDo, "C");
}

TEST(ToDoRows, SearchAndReplaceAndLaunchCodes)
{
    clsConversionOptions o = readRow("          Find{{Rex}}Replace{{Dog}}", "S56");
    EXPECT_EQ(o.sFindString, "Rex");
    EXPECT_EQ(o.sReplaceString, "Dog");
    EXPECT_FALSE(o.bDoSubfolders); // the R of "Rex" lies beyond position 9
    EXPECT_FALSE(o.bCaseSensitive);

    // "Find{{" inside the first nine characters is no search code.
    clsConversionOptions start;
    start.sFindString = "old";
    start.sReplaceString = "older";
    o = readRow("DFind{{a}}Replace{{b}}", "S56", start);
    EXPECT_EQ(o.sFindString, "old");
    EXPECT_EQ(o.sReplaceString, "older");
    EXPECT_TRUE(o.bCaseSensitive);

    // The replacement ends at its first "}}"; the find text ends at the first "}}Replace{{",
    // and the replacement is what follows that one.
    o = readRow("DA,1,2          Find{{x}}Replace{{y}}z}}", "S56");
    EXPECT_EQ(o.sFindString, "x");
    EXPECT_EQ(o.sReplaceString, "y");
    o = readRow("D,1,2          Find{{p}}Replace{{q}}Replace{{r}}", "S56");
    EXPECT_EQ(o.sFindString, "p");
    EXPECT_EQ(o.sReplaceString, "q");

    // A find text holding "Replace{{" does not move the start of the replacement.
    o = readRow("D,1,2          Find{{Replace{{x}}Replace{{y}}", "S56");
    EXPECT_EQ(o.sFindString, "Replace{{x");
    EXPECT_EQ(o.sReplaceString, "y");
    // A replacement that is never closed runs to the end of the code.
    o = readRow("D,1,2          Find{{a}}Replace{{b", "S56");
    EXPECT_EQ(o.sFindString, "a");
    EXPECT_EQ(o.sReplaceString, "b");

    o = readRow("T128 S6 W30", "S60");
    EXPECT_EQ(o.lSpecialProcess, spLaunchProgram);
    EXPECT_EQ(o.lCommandLineThreadPriority, 128);
    EXPECT_EQ(o.lCommandLineWindowState, 6);
    EXPECT_EQ(o.lCommandLineWaitTime, 30);
    o = readRow("T32 S1 W-1", "S60");
    EXPECT_EQ(o.lCommandLineThreadPriority, 32);
    EXPECT_EQ(o.lCommandLineWindowState, 1);
    EXPECT_EQ(o.lCommandLineWaitTime, -1);
}

TEST(ToDoRows, AddedRowsReadBackAsTheyWereWritten)
{
    ConversionSettings settings;
    settings.lFromSlide = 3;
    settings.lToSlide = 7;
    FlexGrid g(10); // never initialised: the first add builds header and "*" row

    clsConversionOptions conv;
    conv.sOriginalFile = "/in/*.ppt";
    conv.lOriginalFileType = 1;
    conv.sTargetFile = "/out/*.pdf";
    conv.lTargetFileType = 32;
    conv.bDoSubfolders = true;
    conv.bConvertAllSlides = false;
    conv.bCreateFileForEachSlide = true;
    AddToDoItemToGrid(conv, g, settings);
    EXPECT_EQ(g.rows(), 3);
    EXPECT_EQ(g.row(), 1);
    EXPECT_EQ(g.textMatrix(1, 0), "RC,3,7");
    EXPECT_EQ(g.textMatrix(1, 1), "1");
    EXPECT_EQ(g.textMatrix(1, 5), "ppt");
    EXPECT_EQ(g.textMatrix(1, 8), "pdf");
    EXPECT_EQ(g.textMatrix(2, 1), "*");
    EXPECT_EQ(g.textMatrix(0, 3), "Original File(s)");

    clsConversionOptions sr;
    sr.sActionToDo = "S56";
    sr.lSpecialProcess = spSearchAndReplace;
    sr.lConversionMethod = cmSpecialProcess;
    sr.lOriginalFileType = 5;
    sr.lTargetFileType = 5;
    sr.sOriginalFile = "/t/a.rtf";
    sr.sTargetFile = "/t/b.rtf";
    sr.sFindString = "169,65";
    sr.sReplaceString = "66";
    sr.bSaveInOriginalFolder = true;
    AddToDoItemToGrid(sr, g, settings);

    clsConversionOptions launch;
    launch.sActionToDo = "S60";
    launch.lSpecialProcess = spLaunchProgram;
    launch.lConversionMethod = cmSpecialProcess;
    launch.sOriginalFile = "/usr/bin/true";
    launch.sTargetFile = "--flag";
    launch.lCommandLineThreadPriority = 64;
    launch.lCommandLineWindowState = 3;
    launch.lCommandLineWaitTime = 12;
    AddToDoItemToGrid(launch, g, settings);

    EXPECT_EQ(g.rows(), 5);
    EXPECT_EQ(g.row(), 3);
    EXPECT_EQ(g.textMatrix(2, 0), "GDA,3,7          Find{{169,65}}Replace{{66}}");
    EXPECT_EQ(g.textMatrix(2, 2), "S56");
    EXPECT_EQ(g.textMatrix(2, 5), "rtf");
    EXPECT_EQ(g.textMatrix(3, 0), "T64 S3 W12");
    EXPECT_EQ(g.textMatrix(3, 1), "3");
    EXPECT_EQ(g.textMatrix(4, 1), "*");
    EXPECT_FALSE(gbSuppressEvents);

    clsConversionOptions back;
    GetOptionsFromGridRow(back, 1, g);
    EXPECT_EQ(back.sOriginalFile, conv.sOriginalFile);
    EXPECT_EQ(back.lTargetFileType, 32);
    EXPECT_TRUE(back.bDoSubfolders);
    EXPECT_FALSE(back.bSaveInOriginalFolder);
    EXPECT_TRUE(back.bCreateFileForEachSlide);
    EXPECT_FALSE(back.bConvertAllSlides);
    EXPECT_EQ(back.lFromSlide, 3);
    EXPECT_EQ(back.lToSlide, 7);

    GetOptionsFromGridRow(back, 2, g);
    EXPECT_EQ(back.lSpecialProcess, spSearchAndReplace);
    EXPECT_EQ(back.lConversionMethod, cmSpecialProcess);
    EXPECT_EQ(back.sFindString, "169,65");
    EXPECT_EQ(back.sReplaceString, "66");
    EXPECT_TRUE(back.bSaveInOriginalFolder);
    EXPECT_TRUE(back.bCaseSensitive);
    EXPECT_TRUE(back.bConvertAllSlides);

    GetOptionsFromGridRow(back, 3, g);
    EXPECT_EQ(back.sActionToDo, "S60");
    EXPECT_EQ(back.lCommandLineThreadPriority, 64);
    EXPECT_EQ(back.lCommandLineWindowState, 3);
    EXPECT_EQ(back.lCommandLineWaitTime, 12);
    EXPECT_EQ(back.sTargetFile, "--flag");
    EXPECT_EQ(g.row(), 3);
}

TEST(ToDoRows, MoveKeepsNumbersAndRefusesHeaderAndNewTaskRow)
{
    JobSession s;
    CountingHooks hooks;
    s.setHooks(&hooks);
    FlexGrid &g = s.fgToDo;
    InitToDoGrid(g);
    for (const char *name : {"a", "b", "c"})
        g.addItem(QStringList{"A,1,2", QString::number(g.rows() - 1), "C", name, "1", "ppt", "", "32", "pdf",
                              QString::fromLatin1(name) == "c" ? "+" : ""},
                  g.rows() - 1);
    g.setCellPicture(3, 9, FlexGrid::Picture::Passed);
    s.lResumeRow = 1;

    g.setRow(3);
    ASSERT_TRUE(MoveGridRow(s, g, 1));
    EXPECT_EQ(g.textMatrix(1, 3), "c");
    EXPECT_EQ(g.textMatrix(2, 3), "a");
    EXPECT_EQ(g.textMatrix(3, 3), "b");
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(g.textMatrix(r, 1), QString::number(r));
    EXPECT_EQ(g.textMatrix(4, 1), "*");
    // The mark's picture travels with its text.
    EXPECT_EQ(g.textMatrix(1, 9), "+");
    EXPECT_EQ(g.cellPicture(1, 9), FlexGrid::Picture::Passed);
    EXPECT_EQ(g.cellPicture(3, 9), FlexGrid::Picture::None);
    EXPECT_EQ(g.row(), 1);
    EXPECT_EQ(s.lResumeRow, 2); // the paused task "a" was shifted down
    EXPECT_TRUE(s.bAskToSaveQVJFileBeforeExit);
    EXPECT_EQ(hooks.updates, 1);

    ASSERT_TRUE(MoveGridRow(s, g, 3)); // and back down
    EXPECT_EQ(g.textMatrix(1, 3), "a");
    EXPECT_EQ(g.textMatrix(3, 3), "c");
    EXPECT_EQ(s.lResumeRow, 1);

    s.bAskToSaveQVJFileBeforeExit = false;
    g.setRow(2);
    EXPECT_FALSE(MoveGridRow(s, g, 0));
    EXPECT_FALSE(MoveGridRow(s, g, 4)); // onto the "*" row
    g.setRow(4);
    EXPECT_FALSE(MoveGridRow(s, g, 1)); // the "*" row itself
    g.setRow(0);
    EXPECT_FALSE(MoveGridRow(s, g, 2)); // the header
    EXPECT_EQ(g.textMatrix(0, 1), "#");
    EXPECT_EQ(g.textMatrix(4, 1), "*");
    EXPECT_EQ(g.textMatrix(2, 3), "b");
    EXPECT_FALSE(s.bAskToSaveQVJFileBeforeExit);
    EXPECT_EQ(hooks.updates, 2);

    InitToDoGrid(g);
    g.setRow(1);
    EXPECT_FALSE(MoveGridRow(s, g, 1)); // no tasks at all
    EXPECT_FALSE(gbSuppressEvents);
}

TEST(ToDoRows, LogGridHeaderAndReset)
{
    FlexGrid log(11);
    log.setRows(5);
    log.setTextMatrix(3, 6, "old");
    InitLogGrid(log);
    EXPECT_EQ(log.rows(), 2);
    EXPECT_EQ(log.row(), 1);
    EXPECT_EQ(log.textMatrix(0, 6), "Target File");
    EXPECT_EQ(log.textMatrix(0, 10), "Status");
    EXPECT_EQ(log.textMatrix(0, 3), "");
    EXPECT_EQ(log.rowCells(1), QStringList(11, QString()));
    EXPECT_EQ(log.colSel(), 10);
    EXPECT_FALSE(gbSuppressEvents);
}
