#include "QtPrinters.h"
#include "TestEnv.h"
#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/SpecialFolderPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

QString home() { return qvtest::homeDir(); }

// Runs a block with the current folder set to dir, then restores it.
template <typename F> void inFolder(const QString &dir, F body)
{
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir);
    body();
    QDir::setCurrent(old);
}

} // namespace

TEST(PathUtils, ExpandsOnlyTheFirstPlaceholderGroupCaseInsensitively)
{
    const QString config = home() + "/.config";
    EXPECT_EQ(ExpandPathVariables("  %appdata%/Ornwell, Inc/x  "), config + "/Ornwell, Inc/x");
    EXPECT_EQ(ExpandPathVariables("%HomePath%"), home());
    EXPECT_EQ(ExpandPathVariables("%USERPROFILE%/a/%homepath%"), home() + "/a/" + home());
    // The local group is not mistaken for the roaming one.
    EXPECT_EQ(ExpandPathVariables("%LOCALAPPDATA%/q"), home() + "/.local/share/q");
    // Only the first group found is expanded, later ones stay as typed.
    EXPECT_EQ(ExpandPathVariables("%APPDATA%/a;%MYDOCUMENTS%"), config + "/a;%MYDOCUMENTS%");
    EXPECT_EQ(ExpandPathVariables("%MyDocuments%/out"), home() + "/Documents/out");
    // The list order decides, not the place in the text.
    EXPECT_EQ(ExpandPathVariables("%WINDIR%/x/%APPDATA%"), "%WINDIR%/x/" + config);
    // Groups without a Linux folder leave the whole path as written (trimmed).
    EXPECT_EQ(ExpandPathVariables(" %WINDIR%/x/%MYDOCUMENTS% "), "%WINDIR%/x/%MYDOCUMENTS%");
    EXPECT_EQ(ExpandPathVariables("%PROGRAMFILES(X86)%/p"), "%PROGRAMFILES(X86)%/p");
    // A backslash is an ordinary character.
    EXPECT_EQ(ExpandPathVariables("%APPDATA%\\x"), config + "\\x");
}

TEST(PathUtils, SpecialFolderLookupsReportMissingFolders)
{
    EXPECT_EQ(GetSpecialFolderPath(26), home() + "/.config");
    EXPECT_EQ(GetSpecialFolderPathFixed(40), home());
    EXPECT_EQ(GetSpecialFolderPathFixed(36), "(error)");
    EXPECT_EQ(GetSpecialFolderPath(38), "Special Folder Does Not Exist");
    EXPECT_EQ(GetSpecialFolderPath(9999), "Folder Not Valid On this OS");
    EXPECT_EQ(GetSpecialFolderPathFixed(9999), "(error)");
}

TEST(PathUtils, RootsOfLocalAndNetworkPaths)
{
    EXPECT_EQ(GetPathRoot("/usr/lib", false), "/");
    EXPECT_EQ(GetPathRoot("/usr/lib", true), "/");
    EXPECT_EQ(GetPathRoot("//server/share/dir", false), "//server/share");
    EXPECT_EQ(GetPathRoot("//server/share", true), "//server/share/");
    EXPECT_EQ(GetPathRoot("//server", true), "");
    EXPECT_EQ(GetPathRoot("//server/", false), "");
    EXPECT_EQ(GetPathRoot("relative/x", true), "");
    EXPECT_EQ(GetPathRoot("", true), "");
}

TEST(PathUtils, NormalizeFindsTheDeepestExistingFolder)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    ASSERT_TRUE(QDir().mkpath(base + "/a/b"));
    ASSERT_TRUE(qvtest::writeFile(base + "/a/file", "x"));
    EXPECT_EQ(NormalizeFolderPath(base + "/a/b/missing/deeper/"), base + "/a/b");
    EXPECT_EQ(NormalizeFolderPath(" " + base + "//a/ b /x"), base + "/a/b");
    // A file is not a folder: the walk stops before it.
    EXPECT_EQ(NormalizeFolderPath(base + "/a/file/x"), base + "/a");
    EXPECT_EQ(NormalizeFolderPath("/"), "/");
    EXPECT_EQ(NormalizeFolderPath("/no-such-top-folder/x"), "/");
    EXPECT_EQ(NormalizeFolderPath(""), "");
    EXPECT_EQ(NormalizeFolderPath("//server-that-is-not/share/x"), "");
    // ".." is resolved in the text, and cannot climb above the root.
    EXPECT_EQ(NormalizeFolderPath(base + "/a/../a/b/../../a/b"), base + "/a/b");
    EXPECT_EQ(NormalizeFolderPath("/../../etc/nothing-here"), "/etc");
    // A relative path lies below the current folder.
    inFolder(base, [&] {
        EXPECT_EQ(NormalizeFolderPath("a/b/c"), base + "/a/b");
        EXPECT_EQ(CleanAbsolutePath("x/./y/../z/"), base + "/x/z");
    });
    EXPECT_EQ(CleanAbsolutePath("/../a/..//b"), "/b");
    EXPECT_EQ(CleanAbsolutePath("/a/../.."), "/");
    EXPECT_EQ(CleanAbsolutePath("//srv/share/a/../../x"), "//srv/share/x");
}

TEST(PathUtils, PathPieces)
{
    EXPECT_EQ(GetPathFromFileName("/a/b/c.pptx"), "/a/b/");
    EXPECT_EQ(GetPathFromFileName("c.pptx"), "");
    EXPECT_EQ(GetFileNameFromPath("/a/b/c.d.pptx"), "c.d.pptx");
    EXPECT_EQ(GetFileNameFromPath("/a/b/README"), "README.");
    EXPECT_EQ(GetFileNameFromPath("/a/b/*.ppt"), "*.ppt");
    EXPECT_EQ(GetFileNameFromPath("/a/b/"), "");
    EXPECT_EQ(GetParentFolder("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(GetParentFolder("/a/b/"), "/a");
    EXPECT_EQ(GetParentFolder("/a"), "/");
    EXPECT_EQ(GetParentFolder("/"), "");
    EXPECT_EQ(GetParentFolder("name"), "");
    EXPECT_EQ(StripTrailingBackslash("/a/b/"), "/a/b");
    EXPECT_EQ(StripTrailingBackslash("/"), "/");
    EXPECT_EQ(StripTrailingBackslash(""), "");
}

TEST(PathUtils, ExistingPathForDialogsFallsBackToTheNearestAncestor)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    ASSERT_TRUE(QDir().mkpath(base + "/in"));
    EXPECT_EQ(GetExistingPathForDialog(base + "/in/deck.pptx"), base + "/in/");
    EXPECT_EQ(GetExistingPathForDialog(base + "/in/gone/away/*.ppt"), base + "/in/*.ppt");
    EXPECT_EQ(GetExistingPathForDialog("/no-such-top-folder/x.ppt"), "/x.ppt");
    EXPECT_EQ(GetExistingPathForDialog("  deck.pptx "), "deck.pptx");
    qputenv("XDG_CONFIG_HOME", (base + "/in").toUtf8());
    EXPECT_EQ(GetExistingPathForDialog("%APPDATA%/new/x.odp"), base + "/in/x.odp");
    qputenv("XDG_CONFIG_HOME", (home() + "/.config").toUtf8());
}

TEST(PathUtils, TextHelpers)
{
    EXPECT_EQ(TrimStringFromEnds("//a/b///", "/"), "a/b");
    EXPECT_EQ(TrimStringFromEnds("xXaXx", "x"), "a");
    EXPECT_EQ(TrimStringFromEnds("abab", "ab"), "");
    EXPECT_EQ(TrimStringFromEnds("abc", ""), "abc");
    EXPECT_TRUE(bStartsWith("Hello world", "HELLO"));
    EXPECT_TRUE(bStartsWith("abc", ""));
    EXPECT_FALSE(bStartsWith("ab", "abc"));
    EXPECT_EQ(StripNulls(QString("abc") + QChar(0) + "def"), "abc");
    EXPECT_EQ(StripNulls("abc"), "abc");
    EXPECT_EQ(RemoveQuotes("\"/a b/\"c\""), "/a b/c");
}

TEST(PathUtils, SamePathComparesCanonicalPathsCaseSensitively)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    ASSERT_TRUE(qvtest::writeFile(base + "/sub/f.txt", "x"));
    ASSERT_TRUE(QFile::link(base + "/sub", base + "/link"));
    EXPECT_TRUE(bIsSamePath(base + "/sub/f.txt", base + "/link/f.txt"));
    EXPECT_TRUE(bIsSamePath(base + "/sub/./../sub/f.txt", base + "/sub/f.txt"));
    EXPECT_TRUE(bIsSamePath(base + "/new/x", base + "/new/../new/x"));
    EXPECT_FALSE(bIsSamePath(base + "/sub/F.txt", base + "/sub/f.txt"));
    EXPECT_FALSE(bIsSamePath("", ""));

    // One file on disk under two names (a hard link, as letters a case-insensitive file system
    // folds would be) is one file; a link that leads nowhere yet names the file it will lead to.
    ASSERT_EQ(::link(QFile::encodeName(base + "/sub/f.txt").constData(), QFile::encodeName(base + "/g.txt").constData()), 0);
    EXPECT_TRUE(bIsSamePath(base + "/g.txt", base + "/sub/f.txt"));
    EXPECT_EQ(FileIdentityOf(base + "/g.txt").links, 2u);
    ASSERT_TRUE(QFile::link(base + "/link/later.pdf", base + "/dangling"));
    EXPECT_FALSE(FileIdentityOf(base + "/dangling").exists);
    EXPECT_EQ(FileIdentityOf(base + "/dangling"), FileIdentityOf(base + "/sub/later.pdf"));
    EXPECT_FALSE(FileIdentityOf(base + "/dangling") == FileIdentityOf(base + "/sub/other.pdf"));
}
