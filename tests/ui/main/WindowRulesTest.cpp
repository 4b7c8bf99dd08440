// The editor's show/hide rule and the grids' column rule, without widgets.
#include "ui/main/editor/EditorPanelRules.h"
#include "ui/main/GridColumnRules.h"

#include <gtest/gtest.h>

using namespace GridColumnRules;

TEST(EditorPanelRules, WildcardDecidesTheFolderOptionsAndTheTargetFrameFollowsItsBox)
{
    EditorPanelState s;
    RefreshConvertOptionsRules(s, "/in/*.ppt", "", "C", 50);
    EXPECT_TRUE(s.saveToOriginalVisible);
    EXPECT_TRUE(s.doSubfoldersVisible);
    EXPECT_FALSE(s.selectTargetFileVisible);

    // The user checks "save in original folder": the target frame goes.
    s.saveToOriginalChecked = true;
    ApplySaveToOriginalRule(s);
    EXPECT_FALSE(s.frameTargetFileVisible);

    // Removing the "*" unchecks the hidden box, and the frame must come back with it.
    RefreshConvertOptionsRules(s, "/in/a.ppt", "", "C", 50);
    EXPECT_FALSE(s.saveToOriginalVisible);
    EXPECT_FALSE(s.saveToOriginalChecked);
    EXPECT_FALSE(s.doSubfoldersVisible);
    EXPECT_TRUE(s.selectTargetFileVisible);
    EXPECT_TRUE(s.frameTargetFileVisible);
}

TEST(EditorPanelRules, SubFoldersOfEverySpecialProcessFollowTheWildcard)
{
    for (int id : {50, 55, 56, 60}) {
        EditorPanelState s;
        RefreshConvertOptionsRules(s, "", "/in/*.txt", "S", id);
        EXPECT_TRUE(s.doSubfoldersSpecVisible) << id;
        RefreshConvertOptionsRules(s, "", "/in/a.txt", "S", id);
        EXPECT_FALSE(s.doSubfoldersSpecVisible) << id;
    }
    // A hidden box never counts, whatever its check mark says.
    EXPECT_FALSE(bDoSubfoldersInEffect("/in/a.txt", true));
    EXPECT_TRUE(bDoSubfoldersInEffect("/in/*.txt", true));

    // Appending writes one file: no folder target and no saving beside the originals.
    EditorPanelState s;
    s.saveToOriginalSpecChecked = true;
    RefreshConvertOptionsRules(s, "", "/in/*.txt", "S", 50);
    EXPECT_FALSE(s.selectTargetFolderSpecVisible);
    EXPECT_FALSE(s.saveToOriginalSpecVisible);
    EXPECT_FALSE(s.saveToOriginalSpecChecked);
    EXPECT_TRUE(s.targetSpecFieldsVisible);
    RefreshConvertOptionsRules(s, "", "/in/*.txt", "S", 55);
    EXPECT_TRUE(s.selectTargetFolderSpecVisible);
    EXPECT_TRUE(s.saveToOriginalSpecVisible);
}

TEST(EditorPanelRules, ActionAndProcessFrames)
{
    EditorPanelState s;
    RefreshConvertOptionsRules(s, "", "", "C", 56);
    EXPECT_FALSE(s.specialPanelVisible);
    EXPECT_EQ(s.actionIndex, 0);
    EXPECT_TRUE(s.searchReplaceFrameVisible);

    RefreshConvertOptionsRules(s, "", "", "S", 60);
    EXPECT_TRUE(s.specialPanelVisible);
    EXPECT_EQ(s.actionIndex, 1);
    EXPECT_TRUE(s.commandLineFrameVisible);
    EXPECT_TRUE(s.searchReplaceFrameVisible) << "60 leaves the search frame as it was";

    // "Not listed" (-1) and an action without C or S change nothing.
    const EditorPanelState before = s;
    RefreshConvertOptionsRules(s, "", "", "", -1);
    EXPECT_EQ(s.specialPanelVisible, before.specialPanelVisible);
    EXPECT_EQ(s.commandLineFrameVisible, before.commandLineFrameVisible);
    EXPECT_EQ(s.searchReplaceFrameVisible, before.searchReplaceFrameVisible);

    RefreshConvertOptionsRules(s, "", "", "S", 50);
    EXPECT_FALSE(s.commandLineFrameVisible);
    EXPECT_FALSE(s.searchReplaceFrameVisible);
}

TEST(GridColumnRules, FillColumnsTakeTheRestAndCodeColumnsStayHidden)
{
    // Fixed columns summing to 3000 twips, and stored widths for the code columns that must go.
    QVector<int> todo{500, 600, 700, 1, 900, 500, 1, 800, 600, 600};
    QVector<int> w = FitToDoColumns(9000, todo);
    EXPECT_EQ(w[3], 2805);
    EXPECT_EQ(w[6], 2805);
    for (int c : {0, 4, 7})
        EXPECT_EQ(w[c], 0);
    EXPECT_EQ(w[1], 600);

    QVector<int> log{9, 600, 600, 9, 9, 9, 600, 9, 600, 600, 1};
    QVector<int> l = FitLogColumns(9000, log);
    EXPECT_EQ(l[10], 5610);
    for (int c : {0, 3, 4, 5, 7})
        EXPECT_EQ(l[c], 0);

    // Too narrow: the fill columns keep their widths.
    w = FitToDoColumns(3000, {0, 450, 540, 1234, 0, 675, 4321, 0, 690, 660});
    EXPECT_EQ(w[3], 1234);
    EXPECT_EQ(w[6], 4321);
    EXPECT_EQ(FitLogColumns(3300, log)[10], 1);

    // Halves round to even: 9001 leaves 6001, half of it minus 195 is 2805.5.
    EXPECT_EQ(FitToDoColumns(9001, todo)[3], 2806);
    EXPECT_EQ(FitToDoColumns(9003, todo)[3], 2806);

    EXPECT_EQ(TwipsToPixels(1440, 96), 96);
    EXPECT_EQ(PixelsToTwips(96, 96), 1440);
    EXPECT_EQ(PixelsToTwips(150, 120), 1800);
}
