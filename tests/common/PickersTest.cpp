// The picker rules on a recording FilePicker: open or save from the title, the filter index on
// success and cancel, the start folder derived from what the user typed, and the folder
// browser's start selection and result. Plus the filter conversion Qt's dialogs use.
#include "TestEnv.h"

#include "common/Pickers.h"
#include "platform/FilePicker.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

class RecordingPicker : public FilePicker
{
public:
    QString pickFile(const QString &title, const QString &filter, int &filterIndex,
                     const QString &initDir, bool save) override
    {
        lastTitle = title;
        lastFilter = filter;
        lastInitDir = initDir;
        lastSave = save;
        ++calls;
        if (!answer.isEmpty())
            filterIndex = answerIndex;
        return answer;
    }
    QString browseForFolder(const QString &title, const QString &startPath) override
    {
        lastTitle = title;
        lastStart = startPath;
        ++calls;
        return answer;
    }
    QString answer;
    int answerIndex = 2;
    QString lastTitle, lastFilter, lastInitDir, lastStart;
    bool lastSave = false;
    int calls = 0;
};

} // namespace

TEST(Pickers, QtNameFiltersMatchEitherLetterCase)
{
    EXPECT_EQ(QtNameFilters(QStringLiteral("PowerPoint|*.PPT;*.PPTX|All Files|*.*|")),
              (QStringList{QStringLiteral("PowerPoint (*.PPT *.ppt *.PPTX *.pptx)"),
                           QStringLiteral("All Files (*)")}));
    EXPECT_EQ(QtNameFilters(QStringLiteral("Jobs (*.qvj)|*.qvj")),
              QStringList{QStringLiteral("Jobs (*.qvj) (*.qvj *.QVJ)")});
    EXPECT_TRUE(QtNameFilters(QString()).isEmpty());

    // Qt takes the patterns from the last parentheses of a filter: they select files whose
    // extension is written in either case, and nothing else.
    QTemporaryDir dir;
    for (const char *name : {"a.ppt", "B.PPT", "d.pptx", "e.pdf"})
        ASSERT_TRUE(qvtest::writeFile(dir.filePath(QString::fromLatin1(name)), "x"));
    const QString filter = QtNameFilters(QStringLiteral("Decks|*.PPT|")).first();
    const QRegularExpression lastGroup(QStringLiteral("\\(([^()]*)\\)$"));
    const QStringList patterns = lastGroup.match(filter).captured(1).split(QLatin1Char(' '));
    EXPECT_EQ(QDir(dir.path()).entryList(patterns, QDir::Files | QDir::CaseSensitive,
                                         QDir::Name | QDir::IgnoreCase),
              (QStringList{QStringLiteral("a.ppt"), QStringLiteral("B.PPT")}));
}

TEST(Pickers, PickFileChoosesSaveByTheTitleAndKeepsTheIndexOnCancel)
{
    RecordingPicker picker;
    int index = 1;
    EXPECT_EQ(PickFile(&picker, QStringLiteral("Save Conversion Job As"), QStringLiteral("Jobs|*.qvj|"), index),
              QString());
    EXPECT_TRUE(picker.lastSave);
    EXPECT_EQ(index, 1) << "cancel leaves the filter index";
    EXPECT_TRUE(picker.lastInitDir.isEmpty());

    picker.answer = QStringLiteral("/tmp/x.qvj");
    EXPECT_EQ(PickFile(&picker, QStringLiteral("Open Conversion Job"), QStringLiteral("Jobs|*.qvj|"), index),
              QStringLiteral("/tmp/x.qvj"));
    EXPECT_FALSE(picker.lastSave);
    EXPECT_EQ(index, 2);

    // A translated title is tested with the translated word, in any case.
    PickFile(&picker, QStringLiteral("Trabajo: GUARDAR como"), QString(), index, QStringLiteral("guardar"));
    EXPECT_TRUE(picker.lastSave);
    PickFile(&picker, QStringLiteral("Trabajo: save"), QString(), index, QStringLiteral("guardar"));
    EXPECT_FALSE(picker.lastSave);

    EXPECT_EQ(PickFile(nullptr, QStringLiteral("Open"), QString(), index), QString());
}

TEST(Pickers, PickFileInitDirStartsInTheNearestExistingFolder)
{
    const QString home = qvtest::homeDir();
    QDir().mkpath(home + QStringLiteral("/docs/decks"));
    RecordingPicker picker;
    int index = 1;

    QString start = QStringLiteral("%USERPROFILE%/docs/decks/*.pptx");
    PickFileInitDir(&picker, QStringLiteral("Open"), QString(), index, start);
    EXPECT_EQ(picker.lastInitDir, home + QStringLiteral("/docs/decks/"));
    EXPECT_EQ(start, picker.lastInitDir);

    start = home + QStringLiteral("/docs/gone/deeper/x.pptx");
    PickFileInitDir(&picker, QStringLiteral("Open"), QString(), index, start);
    EXPECT_EQ(picker.lastInitDir, home + QStringLiteral("/docs/"));
    EXPECT_EQ(start, home + QStringLiteral("/docs/"));
}

TEST(Pickers, BrowseForFolderTurnsAPatternIntoAStartPathAndStripsTheResult)
{
    RecordingPicker picker;
    QString start = QStringLiteral("%USERPROFILE%/in/*.ppt");
    picker.answer = QStringLiteral("/srv/out/");
    EXPECT_EQ(BrowseForFolder(&picker, start), QStringLiteral("/srv/out"));
    EXPECT_EQ(start, qvtest::homeDir() + QStringLiteral("/in/A.ppt"));
    EXPECT_EQ(picker.lastStart, start);
    EXPECT_EQ(picker.lastTitle, QStringLiteral("Browse For Folder"));

    start = QStringLiteral("/data/");
    picker.answer = QStringLiteral("/");
    EXPECT_EQ(BrowseForFolder(&picker, start, QStringLiteral("Ordner")), QStringLiteral("/"));
    EXPECT_EQ(picker.lastStart, QStringLiteral("/data"));
    EXPECT_EQ(picker.lastTitle, QStringLiteral("Ordner"));

    picker.answer.clear();
    EXPECT_EQ(BrowseForFolder(&picker, start), QString());
}
