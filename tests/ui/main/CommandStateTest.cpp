// The command state table, headless.
#include "ui/main/CommandState.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// The enabled commands, named as the controls are.
QStringList enabled(const CommandState &s)
{
    QStringList out;
    const std::pair<const char *, bool> all[] = {
        {"keyOpen", s.keyOpen}, {"keyNew", s.keyNew}, {"keyConvert", s.keyConvert}, {"keyPause", s.keyPause},
        {"keyRewind", s.keyRewind}, {"keyAdd", s.keyAdd}, {"keyRemove", s.keyRemove}, {"keyUpdate", s.keyUpdate},
        {"KeyOpen", s.KeyOpen}, {"KeySave", s.KeySave}, {"KeySaveAs", s.KeySaveAs},
        {"KeySaveLogAsConversionJob", s.KeySaveLogAsConversionJob}};
    for (const auto &[name, on] : all)
        if (on)
            out << QLatin1String(name);
    return out;
}

// Menus and buttons always copy their toolbar key.
void expectCopies(const CommandState &s)
{
    EXPECT_EQ(s.mnuOpenConversionJob, s.keyOpen);
    EXPECT_EQ(s.mnuMRU, s.keyOpen);
    EXPECT_EQ(s.KeyOpen, s.keyOpen);
    EXPECT_EQ(s.mnuNewConversionJob, s.keyNew);
    EXPECT_EQ(s.mnuBeginConversionJob, s.keyConvert);
    EXPECT_EQ(s.mnuPause, s.keyPause);
    EXPECT_EQ(s.cmdPause, s.keyPause);
    EXPECT_EQ(s.mnuRewindConversionJob, s.keyRewind);
    EXPECT_EQ(s.mnuAddConversionJob, s.keyAdd);
    EXPECT_EQ(s.cmdAdd, s.keyAdd);
    EXPECT_EQ(s.mnuRemoveConversionJob, s.keyRemove);
    EXPECT_EQ(s.cmdRemove, s.keyRemove);
    EXPECT_EQ(s.mnuPopupDelete, s.keyRemove);
    EXPECT_EQ(s.mnuUpdateConversionJob, s.keyUpdate);
    EXPECT_EQ(s.cmdUpdate, s.keyUpdate);
    EXPECT_EQ(s.mnuSaveConversionJob, s.KeySave);
    EXPECT_EQ(s.mnuSaveConversionJobAs, s.KeySaveAs);
    EXPECT_EQ(s.mnuSaveLogAsConversionJob, s.KeySaveLogAsConversionJob);
}

// A job of n tasks with row `row` current (row n + 1 is the "*" row).
CommandStateInput job(int tasks, int row)
{
    CommandStateInput in;
    in.toDoRows = tasks + 2;
    in.toDoRow = row;
    in.toDoNumberCell = row == tasks + 1 ? QStringLiteral("*") : QString::number(row);
    return in;
}

// Visibility of the main menu's and the pop-up's move entries: "Up/First", "Down/Last".
QString moves(const CommandState &s)
{
    auto v = [](const std::optional<bool> &o) { return !o ? QStringLiteral("=") : *o ? QStringLiteral("+") : QStringLiteral("-"); };
    EXPECT_EQ(s.mnuMoveUp, s.mnuMoveFirst);
    EXPECT_EQ(s.mnuMoveDown, s.mnuMoveLast);
    EXPECT_EQ(s.mnuPopupMoveUp, s.mnuPopupMoveFirst);
    EXPECT_EQ(s.mnuPopupMoveDown, s.mnuPopupMoveLast);
    return v(s.mnuMoveConversionTask) + u' ' + v(s.mnuMoveUp) + v(s.mnuMoveDown) + u' ' + v(s.mnuPopupMoveUp) +
           v(s.mnuPopupMoveDown);
}

} // namespace

TEST(CommandState, IdleTaskTab)
{
    // A new job: header and "*" row only.
    CommandState s = ComputeCommandState(job(0, 1));
    expectCopies(s);
    EXPECT_EQ(enabled(s), QStringList({"keyOpen", "keyNew", "keyConvert", "keyAdd", "KeyOpen", "KeySave", "KeySaveAs"}));
    EXPECT_EQ(moves(s), "- == --");

    // One task: Remove and Rewind stay off whatever the row and its result; Update follows the editor.
    CommandStateInput in = job(1, 1);
    in.toDoRow1PassCell = QStringLiteral("+");
    in.bCurrentActionItemDirty = true;
    s = ComputeCommandState(in);
    expectCopies(s);
    EXPECT_EQ(enabled(s), QStringList({"keyOpen", "keyNew", "keyConvert", "keyAdd", "keyUpdate", "KeyOpen", "KeySave",
                                       "KeySaveAs"}));
    EXPECT_EQ(moves(s), "- == --");

    // Three tasks: the move entries follow the row, Remove on every real row.
    in = job(3, 1);
    s = ComputeCommandState(in);
    EXPECT_TRUE(s.keyRemove);
    EXPECT_FALSE(s.keyUpdate); // the editor is clean
    EXPECT_FALSE(s.keyRewind); // nothing has run yet
    EXPECT_EQ(moves(s), "+ -+ -+");
    EXPECT_EQ(moves(ComputeCommandState(job(3, 2))), "+ ++ ++");
    EXPECT_EQ(moves(ComputeCommandState(job(3, 3))), "+ +- +-");
    // The "*" row: no Remove, no Update even when dirty, no moves.
    in = job(3, 4);
    in.bCurrentActionItemDirty = true;
    s = ComputeCommandState(in);
    EXPECT_FALSE(s.keyRemove);
    EXPECT_FALSE(s.keyUpdate);
    EXPECT_EQ(moves(s), "- == --");
    // A task row whose "#" cell is empty is no real row.
    in = job(3, 2);
    in.toDoNumberCell.clear();
    EXPECT_FALSE(ComputeCommandState(in).keyRemove);

    // Rewind: a result in row 1, or a paused wildcard task with no result yet.
    in = job(2, 1);
    in.toDoRow1PassCell = QStringLiteral("-");
    EXPECT_TRUE(ComputeCommandState(in).keyRewind);
    in.toDoRow1PassCell.clear();
    in.lResumeFileIndex = 4;
    EXPECT_TRUE(ComputeCommandState(in).keyRewind);

    // Events suppressed: the move entries are left as they are.
    in = job(3, 1);
    in.gbSuppressEvents = true;
    EXPECT_EQ(moves(ComputeCommandState(in)), "= == ==");
}

TEST(CommandState, LogTabAndSaveLog)
{
    CommandStateInput in = job(3, 2);
    in.bCurrentActionItemDirty = true;
    in.selectedTab = 2;
    in.logRows = 3;
    const CommandState s = ComputeCommandState(in);
    expectCopies(s);
    EXPECT_EQ(enabled(s), QStringList({"keyOpen", "keyNew", "keyConvert", "KeyOpen", "KeySave", "KeySaveAs",
                                       "KeySaveLogAsConversionJob"}));
    in.logRows = 2; // header and one empty line: nothing to save
    EXPECT_FALSE(ComputeCommandState(in).KeySaveLogAsConversionJob);
}

TEST(CommandState, RunningOrScheduledLeavesOnlyPauseAndSaving)
{
    for (bool scheduled : {false, true}) {
        CommandStateInput in = job(3, 2);
        in.bRunning = !scheduled;
        in.bScheduled = scheduled;
        in.bCurrentActionItemDirty = true;
        in.toDoRow1PassCell = QStringLiteral("+");
        in.logRows = 5;
        const CommandState s = ComputeCommandState(in);
        expectCopies(s);
        // Open and the recent jobs are off too: opening mid-run would mark this run's results on another job.
        EXPECT_EQ(enabled(s), QStringList({"keyPause", "KeySave", "KeySaveAs", "KeySaveLogAsConversionJob"}))
            << "scheduled " << scheduled;
        EXPECT_FALSE(s.mnuOpenConversionJob);
        EXPECT_FALSE(s.mnuMRU);
        EXPECT_EQ(moves(s), "= == ==");
    }
}

TEST(CommandState, DialogsThatChangeWhatARunReadsOpenOnlyWithoutARun)
{
    CommandStateInput in = job(3, 2);
    CommandState s = ComputeCommandState(in);
    EXPECT_TRUE(s.cmdAdvancedPPTOptions && s.mnuLanguage && s.mnuScheduleConversionJob && s.editorEnabled);
    in.selectedTab = 2; // the log tab takes no dialog away
    EXPECT_TRUE(ComputeCommandState(in).cmdAdvancedPPTOptions);

    in.bRunning = true;
    s = ComputeCommandState(in);
    EXPECT_FALSE(s.cmdAdvancedPPTOptions || s.mnuLanguage || s.mnuScheduleConversionJob || s.editorEnabled);

    // A schedule counting down owns the settings and the rows as a run does; its own window
    // and the language stay reachable.
    in.bRunning = false;
    in.bScheduled = true;
    s = ComputeCommandState(in);
    EXPECT_FALSE(s.cmdAdvancedPPTOptions);
    EXPECT_TRUE(s.mnuScheduleConversionJob && s.mnuLanguage);
}
