// Outputs staged under temporary names: a commit renames all of them or leaves none.
#include "ConverterTestSupport.h"
#include "TestEnv.h"
#include "converter/StagedOutput.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <ostream>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {
// What a file was: its bytes, its inode (the same file, not a copy) and its permissions.
struct Old
{
    QByteArray bytes;
    ino_t inode;
    QFile::Permissions permissions;
    bool operator==(const Old &) const = default;
};
Old oldFile(const QString &path)
{
    struct stat st{};
    ::stat(QFile::encodeName(path).constData(), &st);
    return {qvtest::readFile(path), st.st_ino, QFile::permissions(path)};
}
void PrintTo(const Old &o, std::ostream *os) { *os << o.bytes.constData() << " inode " << o.inode << " mode " << o.permissions.toInt(); }
} // namespace

// A later name in the way puts every earlier output already replaced back as it was, read-only ones too.
TEST(StagedOutput, AFailedCommitPutsBackWhatItReplaced)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    ASSERT_TRUE(qvtest::writeFile(out + "/x_1.png", "a"));
    ASSERT_TRUE(qvtest::writeFile(out + "/x_2.png", "b"));
    ASSERT_TRUE(QFile::setPermissions(out + "/x_1.png", QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(qvtest::writeFile(out + "/x_3.png/k", "k"));
    const Old one = oldFile(out + "/x_1.png"), two = oldFile(out + "/x_2.png");
    const QStringList images{"x_1.png", "x_2.png", "x_3.png"};
    const auto commitImages = [&] {
        StagedOutput staged;
        for (const QString &name : images)
            EXPECT_TRUE(qvtest::writeFile(staged.stage(out + u'/' + name), "new")) << name.toStdString();
        return staged.commit();
    };
    EXPECT_FALSE(commitImages());
    EXPECT_EQ(entries(out), images);
    EXPECT_EQ(oldFile(out + "/x_1.png"), one);
    EXPECT_EQ(oldFile(out + "/x_2.png"), two);
    EXPECT_EQ(entries(out + "/x_3.png"), QStringList{"k"});

    // A web presentation: its page and a file of its folder come back when a later file cannot be placed.
    const QString web = dir.filePath("web");
    ASSERT_TRUE(qvtest::writeFile(web + "/x.html", "old page"));
    ASSERT_TRUE(qvtest::writeFile(web + "/x_files/x_1.html", "old slide"));
    ASSERT_TRUE(qvtest::writeFile(web + "/x_files/x_2.html/k", "k"));
    const Old page = oldFile(web + "/x.html"), slide = oldFile(web + "/x_files/x_1.html");
    {
        StagedOutput staged;
        const QString temp = staged.stageFolder(web);
        ASSERT_FALSE(temp.isEmpty());
        for (const char *name : {"/x.html", "/x_files/x_1.html", "/x_files/x_2.html"})
            ASSERT_TRUE(qvtest::writeFile(temp + QLatin1String(name), "new"));
        EXPECT_FALSE(staged.commit());
    }
    EXPECT_EQ(entries(web), QStringList({"x.html", "x_files"}));
    EXPECT_EQ(entries(web + "/x_files"), QStringList({"x_1.html", "x_2.html"}));
    EXPECT_EQ(oldFile(web + "/x.html"), page);
    EXPECT_EQ(oldFile(web + "/x_files/x_1.html"), slide);

    // With the way free the same commit replaces them all and keeps nothing of the old files.
    ASSERT_TRUE(QDir(out + "/x_3.png").removeRecursively());
    EXPECT_TRUE(commitImages());
    EXPECT_EQ(entries(out), images);
    for (const QString &name : images)
        EXPECT_EQ(qvtest::readFile(out + u'/' + name), "new");
}

// The same through the worker: a later slide's image name is taken by a folder.
TEST(StagedOutput, AFailedConversionKeepsTheImagesOfTheRunBefore)
{
    const QString pptx = deck("pptx");
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder("RerunOverImages");
    ASSERT_TRUE(qvtest::writeFile(out + "/x_1.png", "a"));
    ASSERT_TRUE(qvtest::writeFile(out + "/x_2.png", "b"));
    ASSERT_TRUE(qvtest::writeFile(out + "/x_3.png/k", "k"));
    resetOptions(control());
    EXPECT_NE(convert(pptx, out + "/x.png", 18), 0);
    EXPECT_EQ(entries(out), QStringList({"x_1.png", "x_2.png", "x_3.png"}));
    EXPECT_EQ(qvtest::readFile(out + "/x_1.png"), "a");
    EXPECT_EQ(qvtest::readFile(out + "/x_2.png"), "b");
}

// Another user's file in a shared folder with the sticky bit cannot be replaced.
TEST(StagedOutput, ATargetThatMayNotBeReplacedPutsBackTheOnesBefore)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    constexpr uid_t nobody = 65534;
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    const QString out = dir.filePath("shared");
    ASSERT_TRUE(QDir().mkdir(out));
    ASSERT_EQ(::chmod(QFile::encodeName(out).constData(), 01777), 0);
    ASSERT_TRUE(qvtest::writeFile(out + "/x_1.png", "a"));
    ASSERT_EQ(::chown(QFile::encodeName(out + "/x_1.png").constData(), nobody, nobody), 0);
    ASSERT_TRUE(qvtest::writeFile(out + "/x_2.png", "b"));
    const Old one = oldFile(out + "/x_1.png"), two = oldFile(out + "/x_2.png");

    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(3);
        StagedOutput staged;
        for (const char *name : {"/x_1.png", "/x_2.png"})
            if (!qvtest::writeFile(staged.stage(out + QLatin1String(name)), "new"))
                ::_exit(4);
        ::_exit(staged.commit() ? 1 : 0);
    }
    ASSERT_GT(child, 0);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(entries(out), QStringList({"x_1.png", "x_2.png"}));
    EXPECT_EQ(oldFile(out + "/x_1.png"), one);
    EXPECT_EQ(oldFile(out + "/x_2.png"), two);
}
