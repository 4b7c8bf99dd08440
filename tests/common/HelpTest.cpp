// Help on the shipped pages: which page a context id opens, the fall-backs when it cannot be
// opened, the plain-text form printed without a display, and that the command-line page
// documents every switch.
#include "TestEnv.h"

#include "common/Help.h"
#include "platform/ShellOpener.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

namespace {

class RecordingOpener : public ShellOpener
{
public:
    bool open(const QString &target) override
    {
        opened << target;
        return !refuse.contains(target);
    }
    QStringList opened;
    QStringList refuse;
};

// Points the program folder at a folder, installs the recording opener and a text sink, and
// sets or clears the display; everything is put back afterwards.
class HelpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedDisplay = qgetenv("DISPLAY");
        savedWayland = qgetenv("WAYLAND_DISPLAY");
        savedProgramFolder = qgetenv("QV_PROGRAM_FOLDER");
        useProgramFolder(qvtest::sourceDir() + QStringLiteral("/data"));
        SetHelpOpener(&opener);
        SetHelpTextOutput([this](const QString &t) { printed += t; });
    }
    void TearDown() override
    {
        SetHelpOpener(nullptr);
        SetHelpTextOutput({});
        restore("DISPLAY", savedDisplay);
        restore("WAYLAND_DISPLAY", savedWayland);
        restore("QV_PROGRAM_FOLDER", savedProgramFolder);
        InitializeHelpFile();
    }
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    void useProgramFolder(const QString &folder)
    {
        qputenv("QV_PROGRAM_FOLDER", folder.toUtf8());
        InitializeHelpFile();
    }
    void setDisplay(bool on)
    {
        qunsetenv("WAYLAND_DISPLAY");
        if (on)
            qputenv("DISPLAY", ":77");
        else
            qunsetenv("DISPLAY");
    }

    RecordingOpener opener;
    QString printed;
    QByteArray savedDisplay, savedWayland, savedProgramFolder;
};

} // namespace

TEST_F(HelpTest, ContextIdsOpenTheirPagesAndFallBackWhenOpeningFails)
{
    setDisplay(true);
    const QString folder = qvtest::sourceDir() + QStringLiteral("/data/help");
    EXPECT_TRUE(ShowHelpTopic(hcCommandLine, 1));
    EXPECT_EQ(opener.opened, QStringList{folder + QStringLiteral("/command-line.html")});
    EXPECT_TRUE(printed.isEmpty());

    opener.opened.clear();
    EXPECT_TRUE(ShowHelpTopic(hcQuickStart));
    EXPECT_TRUE(ShowHelpTopic(hcContents));
    EXPECT_EQ(opener.opened, (QStringList{folder + QStringLiteral("/quick-start.html"),
                                          folder + QStringLiteral("/index.html")}));

    // The page cannot be opened: the caller's page, or the general page without one.
    opener.opened.clear();
    opener.refuse = {folder + QStringLiteral("/command-line.html")};
    EXPECT_TRUE(ShowHelpTopic(hcCommandLine, 1, QStringLiteral("https://example.org/cl")));
    EXPECT_EQ(opener.opened.last(), QStringLiteral("https://example.org/cl"));
    EXPECT_TRUE(ShowHelpTopic(hcCommandLine));
    EXPECT_EQ(opener.opened.last(), folder + QStringLiteral("/index.html"));
    EXPECT_TRUE(printed.isEmpty());

    // Nothing opens at all: the page is printed instead, and that counts as shown.
    opener.refuse << folder + QStringLiteral("/index.html");
    EXPECT_TRUE(ShowHelpTopic(hcCommandLine));
    EXPECT_TRUE(printed.startsWith(QStringLiteral("Quorvane command line\n=====")));

    // An unknown id goes straight to the general page.
    opener.opened.clear();
    opener.refuse.clear();
    EXPECT_TRUE(ShowHelpTopic(4711));
    EXPECT_EQ(opener.opened, QStringList{folder + QStringLiteral("/index.html")});
}

TEST_F(HelpTest, WithoutADisplayThePageIsPrintedAsText)
{
    setDisplay(false);
    EXPECT_FALSE(bHasDisplay());
    EXPECT_TRUE(ShowHelpTopic(hcCommandLine, 1, QStringLiteral("https://example.org/cl")));
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_EQ(printed, HelpTopicText(hcCommandLine));

    // No pages installed: nothing to show, nothing printed, no success.
    QTemporaryDir empty;
    useProgramFolder(empty.path());
    printed.clear();
    EXPECT_FALSE(ShowHelpTopic(hcCommandLine));
    EXPECT_TRUE(printed.isEmpty());

    qputenv("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_TRUE(bHasDisplay());
}

TEST_F(HelpTest, CommandLinePageDocumentsEverySwitch)
{
    const QString text = HelpTopicText(hcCommandLine);
    ASSERT_FALSE(text.isEmpty());
    for (const char *sw : {"/S", "/T", "/C", "/F", "/Y", "/Z", "/E", "/R", "/G", "/L", "/B", "/J", "/O",
                           "/V", "/?"}) {
        const QRegularExpression entry(QStringLiteral("^") + QRegularExpression::escape(QString::fromLatin1(sw))
                                           + QStringLiteral("( \\w+)?\\n    \\S"),
                                       QRegularExpression::MultilineOption);
        EXPECT_TRUE(entry.match(text).hasMatch()) << "no entry for " << sw;
    }
    EXPECT_TRUE(text.contains(QStringLiteral("/C32")));
    EXPECT_TRUE(text.contains(QStringLiteral("2: the command line was missing or invalid")));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QStringLiteral("    quorvane"))) {
            EXPECT_LE(line.size(), 78) << line.toStdString();
        }
    }
}

TEST(HelpText, RendersHeadingsListsPreformattedAndDefinitions)
{
    const QString html = QStringLiteral(
        "<h1>Title</h1><p>First paragraph with <b>bold</b> words that goes on and on so that it must be "
        "wrapped somewhere before the seventy-eighth column of the text.</p>"
        "<ul><li>one</li><li>two</li></ul><ol><li>first</li><li>second</li></ol>"
        "<pre>quorvane /S a\n  indented line</pre><h2>Sub</h2>"
        "<dl><dt>/X value</dt><dd>Does x.</dd><dt>/Y</dt><dd>Does y.</dd></dl>");
    const QString expected = QStringLiteral(
        "Title\n=====\n\n"
        "First paragraph with bold words that goes on and on so that it must be wrapped\n"
        "somewhere before the seventy-eighth column of the text.\n\n"
        "  - one\n  - two\n\n"
        "  1. first\n  2. second\n\n"
        "    quorvane /S a\n      indented line\n\n"
        "Sub\n---\n\n"
        "/X value\n    Does x.\n\n/Y\n    Does y.\n");
    EXPECT_EQ(HelpPageText(html), expected);
    EXPECT_EQ(HelpPageText(QStringLiteral("  ")), QString());
}
