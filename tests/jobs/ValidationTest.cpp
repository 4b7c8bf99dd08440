// Task validation on real folders: which code each check gives, which repairs stay (created
// target folders, cleared flags, the special process's target type), and that the record keeps
// the paths as the user wrote them.
#include "TestEnv.h"

#include "jobs/Validation.h"
#include "jobs/clsConversionOptions.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class ValidationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.path();
        ASSERT_TRUE(qvtest::writeFile(root + QStringLiteral("/in/a.pptx"), "deck"));
        ASSERT_TRUE(qvtest::writeFile(root + QStringLiteral("/in/notes.txt"), "text\n"));
        ASSERT_TRUE(qvtest::writeFile(root + QStringLiteral("/plain-file"), "x"));
    }

    clsConversionOptions conversion(const QString &original, const QString &target, int type = 32)
    {
        clsConversionOptions o;
        o.sOriginalFile = original;
        o.sTargetFile = target;
        o.lTargetFileType = type;
        o.bDoSubfolders = true;
        o.bSaveInOriginalFolder = false;
        return o;
    }

    clsConversionOptions special(int id, const QString &original, const QString &target, int type = 1)
    {
        clsConversionOptions o;
        o.sActionToDo = QStringLiteral("S%1").arg(id);
        o.lConversionMethod = cmSpecialProcess;
        o.lSpecialProcess = id;
        o.sOriginalFile = original;
        o.sTargetFile = target;
        o.lOriginalFileType = type;
        return o;
    }

    int validate(clsConversionOptions &o)
    {
        ValidateToDoItem(o);
        return o.lErr;
    }

    QTemporaryDir dir;
    QString root;
};

} // namespace

TEST_F(ValidationTest, SingleConversionCreatesItsTargetFolderAndClearsFolderFlags)
{
    const QString target = root + QStringLiteral("/new/deeper/a.pdf");
    clsConversionOptions o = conversion(root + QStringLiteral("/in/a.pptx"), target);
    o.bSaveInOriginalFolder = true;
    EXPECT_EQ(ValidateToDoItem(o), 0);
    EXPECT_EQ(o.lErr, vrValid);
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/new/deeper")).isDir());
    EXPECT_FALSE(o.bDoSubfolders);
    EXPECT_FALSE(o.bSaveInOriginalFolder);

    clsConversionOptions missing = conversion(root + QStringLiteral("/in/gone.pptx"), target);
    EXPECT_EQ(validate(missing), vrOriginalFileMissing);
    clsConversionOptions starred = conversion(root + QStringLiteral("/in/a.pptx"), root + QStringLiteral("/*.pdf"));
    EXPECT_EQ(validate(starred), vrTargetHasWildcard);
    // A folder that cannot be made (its parent is a file): -6.
    clsConversionOptions blocked =
        conversion(root + QStringLiteral("/in/a.pptx"), root + QStringLiteral("/plain-file/sub/a.pdf"));
    EXPECT_EQ(validate(blocked), vrTargetParentMissing);
    // No extension for the type under this method.
    clsConversionOptions unknownType = conversion(root + QStringLiteral("/in/a.pptx"), target, 9999);
    EXPECT_EQ(validate(unknownType), vrNoTargetExtension);
    // A task refused for its type (GIF) leaves no folder behind.
    clsConversionOptions gif = conversion(root + QStringLiteral("/in/a.pptx"), root + QStringLiteral("/g/y/z/a.gif"), 16);
    EXPECT_EQ(validate(gif), vrNoTargetExtension);
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/g")));
    clsConversionOptions wordMethod = conversion(root + QStringLiteral("/in/a.pptx"), target);
    wordMethod.lConversionMethod = cmMSWord;
    EXPECT_EQ(validate(wordMethod), vrNoTargetExtension);
}

TEST_F(ValidationTest, WildcardConversionChecksFoldersAndCreatesOnlyTheTarget)
{
    clsConversionOptions noFolder =
        conversion(root + QStringLiteral("/absent/*.pptx"), root + QStringLiteral("/made/*.pdf"));
    EXPECT_EQ(validate(noFolder), vrOriginalFolderMissing);
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/absent")));
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/made")));

    clsConversionOptions noStar =
        conversion(root + QStringLiteral("/in/*.pptx"), root + QStringLiteral("/made/a.pdf"));
    EXPECT_EQ(validate(noStar), vrTargetNeedsWildcard);

    clsConversionOptions ok =
        conversion(root + QStringLiteral("/in/*.pptx"), root + QStringLiteral("/made/*.pdf"));
    EXPECT_EQ(validate(ok), vrValid);
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/made")).isDir());
    EXPECT_TRUE(ok.bDoSubfolders) << "a wildcard task keeps its sub-folder choice";

    clsConversionOptions blocked =
        conversion(root + QStringLiteral("/in/*.pptx"), root + QStringLiteral("/plain-file/x/*.pdf"));
    EXPECT_EQ(validate(blocked), vrTargetFolderMissing);
}

TEST_F(ValidationTest, JobFileIsTheOnlyCheckOfACommandLineJob)
{
    clsConversionOptions o;
    o.sCLBatchJobFile = root + QStringLiteral("/job.qvj");
    EXPECT_EQ(validate(o), vrJobFileMissing);

    ASSERT_TRUE(qvtest::writeFile(root + QStringLiteral("/job.qvj"), "\t*\t\r\n"));
    clsConversionOptions present;
    present.sCLBatchJobFile = root + QStringLiteral("/job.qvj");
    EXPECT_EQ(validate(present), vrValid) << "no original and no target are asked for";
}

TEST_F(ValidationTest, PlaceholdersAreCheckedExpandedAndKeptAsWritten)
{
    const QString home = qvtest::homeDir();
    ASSERT_TRUE(qvtest::writeFile(home + QStringLiteral("/decks/b.pptx"), "deck"));
    clsConversionOptions o = conversion(QStringLiteral("  %USERPROFILE%/decks/b.pptx"),
                                        QStringLiteral("%APPDATA%/out/b.pdf"));
    EXPECT_EQ(validate(o), vrValid);
    EXPECT_EQ(o.sOriginalFile, QStringLiteral("  %USERPROFILE%/decks/b.pptx"));
    EXPECT_EQ(o.sTargetFile, QStringLiteral("%APPDATA%/out/b.pdf"));
    EXPECT_TRUE(QFileInfo(home + QStringLiteral("/.config/out")).isDir());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("%APPDATA%")));
}

TEST_F(ValidationTest, OutputFolderThatCannotBeWrittenIsReportedUnlessAnotherCheckFailed)
{
    // /proc refuses new files even to root.
    clsConversionOptions o = conversion(root + QStringLiteral("/in/a.pptx"), QStringLiteral("/proc/qv.pdf"));
    EXPECT_EQ(ValidateToDoItem(o), 1);
    EXPECT_EQ(o.lErr, vrOutputNotWriteable);

    clsConversionOptions earlier =
        conversion(root + QStringLiteral("/in/a.pptx"), QStringLiteral("/proc/qv-none/qv.pdf"));
    EXPECT_EQ(ValidateToDoItem(earlier), 0);
    EXPECT_EQ(earlier.lErr, vrTargetParentMissing);

    // Save in the original folder tests the original's folder, not the target.
    clsConversionOptions inPlace = conversion(QStringLiteral("/proc/*.pptx"), root + QStringLiteral("/*.pdf"));
    inPlace.bSaveInOriginalFolder = true;
    EXPECT_EQ(validate(inPlace), vrOutputNotWriteable);

    // A launch task is never judged by its output folder.
    clsConversionOptions launch = special(spLaunchProgram, QStringLiteral("/bin/true"), QStringLiteral("/proc/x"));
    EXPECT_EQ(validate(launch), vrValid);
}

TEST_F(ValidationTest, AppendComparesFilesAsTheFileSystemSeesThem)
{
    const QString notes = root + QStringLiteral("/in/notes.txt");
    clsConversionOptions same = special(spAppendFiles, notes, root + QStringLiteral("/in/../in/./notes.txt"));
    EXPECT_EQ(validate(same), vrAppendSameFile);

    // Letter case makes another file here.
    clsConversionOptions otherCase = special(spAppendFiles, notes, root + QStringLiteral("/in/NOTES.TXT"));
    EXPECT_EQ(validate(otherCase), vrValid);

    clsConversionOptions star = special(spAppendFiles, notes, root + QStringLiteral("/in/*.txt"));
    EXPECT_EQ(validate(star), vrAppendTargetWildcard);
    clsConversionOptions folder = special(spAppendFiles, notes, root + QStringLiteral("/in"));
    EXPECT_EQ(validate(folder), vrAppendTargetIsFolder);
    // The original of an append need not exist yet.
    clsConversionOptions later = special(spAppendFiles, root + QStringLiteral("/in/later.txt"),
                                         root + QStringLiteral("/in/sum.txt"), 2);
    EXPECT_EQ(validate(later), vrValid);
    EXPECT_EQ(later.lTargetFileType, 2);
    clsConversionOptions badType = special(spAppendFiles, notes, root + QStringLiteral("/in/sum.txt"), 3);
    EXPECT_EQ(validate(badType), vrBadOriginalType);
}

TEST_F(ValidationTest, SpecialProcessCodesAndTheirOrder)
{
    const QString notes = root + QStringLiteral("/in/notes.txt");
    clsConversionOptions emptyFind = special(spSearchAndReplace, notes, root + QStringLiteral("/out.txt"), 3);
    EXPECT_EQ(validate(emptyFind), vrFindTextEmpty) << "-110 wins over -102";
    clsConversionOptions badType = special(spSearchAndReplace, notes, root + QStringLiteral("/out.txt"), 3);
    badType.sFindString = QStringLiteral("x");
    EXPECT_EQ(validate(badType), vrBadOriginalType);

    clsConversionOptions launch = special(spLaunchProgram, QStringLiteral("/bin/*"), QString());
    EXPECT_EQ(validate(launch), vrBadOriginalType);
    clsConversionOptions unknown = special(57, notes, root + QStringLiteral("/out.txt"), 1);
    EXPECT_EQ(validate(unknown), vrBadSpecialProcess);

    // Removing empty lines reads every type of the text table but 3.
    for (const int type : {1, 2, 4, 5, 6, 9}) {
        clsConversionOptions lines = special(spRemoveEmptyLines, notes, root + QStringLiteral("/out.txt"), type);
        EXPECT_EQ(validate(lines), vrValid) << type;
    }

    // Line processes check folders like a conversion but never create one.
    clsConversionOptions noTargetFolder =
        special(spRemoveEmptyLines, root + QStringLiteral("/in/*.txt"), root + QStringLiteral("/nope/*.txt"));
    EXPECT_EQ(validate(noTargetFolder), vrTargetFolderMissing);
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/nope")));
    clsConversionOptions noParent =
        special(spRemoveEmptyLines, notes, root + QStringLiteral("/nope/out.txt"));
    EXPECT_EQ(validate(noParent), vrTargetParentMissing);
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/nope")));

    // A failed task still gets the original's type as its target type (the window may add it).
    clsConversionOptions missing =
        special(spRemoveEmptyLines, root + QStringLiteral("/in/gone.txt"), root + QStringLiteral("/o.txt"), 6);
    missing.lTargetFileType = 32;
    EXPECT_EQ(validate(missing), vrOriginalFileMissing);
    EXPECT_EQ(missing.lTargetFileType, 6);
}

TEST(TargetInOriginalFolder, BuildsTheWildcardTargetBesideTheOriginal)
{
    EXPECT_EQ(TargetInOriginalFolder(QStringLiteral("/in/a.pptx"), 32, cmAmbrith), QStringLiteral("/in/*.pdf"));
    EXPECT_EQ(TargetInOriginalFolder(QStringLiteral("/in/*.ppt"), 300, cmAmbrith), QStringLiteral("/in/*.pdf"));
    EXPECT_EQ(TargetInOriginalFolder(QStringLiteral("%APPDATA%/x/n.txt"), 5, cmSpecialProcess),
              QStringLiteral("%APPDATA%/x/*.rtf"));
    EXPECT_EQ(TargetInOriginalFolder(QStringLiteral("/a.pptx"), 32, cmAmbrith), QStringLiteral("/*.pdf"));
}
