// Outputs staged under temporary names: a commit renames all of them or leaves none.
#include "ConverterTestSupport.h"
#include "TestEnv.h"
#include "converter/StagedOutput.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace convtest;

TEST(StagedOutput, AFailingRenameLeavesNothingUnderAFinalName)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    // A final name taken by a folder that holds something: renaming a file onto it fails.
    ASSERT_TRUE(qvtest::writeFile(out + QStringLiteral("/c.pdf/keep.txt"), "x"));
    ASSERT_TRUE(qvtest::writeFile(out + QStringLiteral("/d/keep.txt"), "x"));

    {
        StagedOutput staged;
        ASSERT_TRUE(qvtest::writeFile(staged.stage(out + QStringLiteral("/a.pdf")), "a"));
        ASSERT_TRUE(qvtest::writeFile(staged.stage(out + QStringLiteral("/c.pdf")), "c"));
        EXPECT_FALSE(staged.commit());
    }
    EXPECT_EQ(entries(out), (QStringList{QStringLiteral("c.pdf"), QStringLiteral("d")}));
    EXPECT_EQ(entries(out + QStringLiteral("/c.pdf")), QStringList{QStringLiteral("keep.txt")});

    // A staged folder: its subfolder moves whole under a free name, then a file fails.
    {
        StagedOutput staged;
        const QString temp = staged.stageFolder(out);
        ASSERT_FALSE(temp.isEmpty());
        ASSERT_TRUE(qvtest::writeFile(temp + QStringLiteral("/b-pictures/1.png"), "png"));
        ASSERT_TRUE(qvtest::writeFile(temp + QStringLiteral("/d"), "d"));
        EXPECT_FALSE(staged.commit());
    }
    EXPECT_EQ(entries(out), (QStringList{QStringLiteral("c.pdf"), QStringLiteral("d")}));
    EXPECT_EQ(entries(out + QStringLiteral("/d")), QStringList{QStringLiteral("keep.txt")});
}
