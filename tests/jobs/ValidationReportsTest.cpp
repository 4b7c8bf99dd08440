// The two validation reporters: the boxes, answers and fixes of the window reporter (through a
// scripted prompter and editor), and the log line of the command-line reporter.
#include "TestEnv.h"

#include "common/LogWriter.h"
#include "jobs/Validation.h"
#include "jobs/ValidationReports.h"
#include "jobs/clsConversionOptions.h"
#include "platform/Prompter.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>

namespace {

struct Box
{
    QString text;
    int style;
    QString title;
};

class ScriptedPrompter : public Prompter
{
public:
    int msgBox(const QString &text, int style, const QString &title) override
    {
        boxes.append({text, style, title});
        return answers.isEmpty() ? Ok : answers.takeFirst();
    }
    QList<int> answers;
    QList<Box> boxes;
};

class RecordingEditor : public ValidationEditor
{
public:
    void focusBox(Box box) override { focused.append(box); }
    void setTargetFileText(const QString &text) override { targetText = text; }
    QList<Box> focused;
    QString targetText = QStringLiteral("(untouched)");
};

clsConversionOptions failed(int code, const QString &original, const QString &target)
{
    clsConversionOptions o;
    o.sOriginalFile = original;
    o.sTargetFile = target;
    o.lErr = code;
    return o;
}

} // namespace

TEST(ValidationReportsGUI, CreateItExpandsCreatesAndSucceedsOnlyWhenTheFolderExists)
{
    ScriptedPrompter p;
    RecordingEditor e;
    // -6: the question names the folder as written; Yes creates its expanded form.
    clsConversionOptions o = failed(vrTargetParentMissing, QStringLiteral("/in/a.pptx"),
                                    QStringLiteral("%APPDATA%/made/deep/a.pdf"));
    p.answers = {Prompter::Yes};
    EXPECT_TRUE(ReportValidationResultGUI(o, p, &e));
    ASSERT_EQ(p.boxes.size(), 1);
    EXPECT_EQ(p.boxes[0].text, QStringLiteral("Target Folder\r\r%APPDATA%/made/deep\r\rdoes not exist.  "
                                              "Create it?\r\rCreate it?"));
    EXPECT_EQ(p.boxes[0].style, Prompter::YesNo | Prompter::Information);
    EXPECT_EQ(p.boxes[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(QFileInfo(qvtest::homeDir() + QStringLiteral("/.config/made/deep")).isDir());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("%APPDATA%")));

    // -3 where the folder cannot be made: no success, a box says so.
    QTemporaryDir dir;
    ASSERT_TRUE(qvtest::writeFile(dir.filePath(QStringLiteral("file")), "x"));
    clsConversionOptions blocked = failed(vrTargetFolderMissing, QStringLiteral("/in/*.pptx"),
                                          dir.filePath(QStringLiteral("file/sub/*.pdf")));
    p.boxes.clear();
    p.answers = {Prompter::Yes};
    EXPECT_FALSE(ReportValidationResultGUI(blocked, p, &e));
    ASSERT_EQ(p.boxes.size(), 2);
    EXPECT_TRUE(p.boxes[0].text.endsWith(QStringLiteral("\r\rdoes not exist. Create it?")));
    EXPECT_TRUE(p.boxes[1].text.endsWith(QStringLiteral("could not be created.")));
    EXPECT_EQ(e.focused.value(0), ValidationEditor::TargetFile);

    // No: nothing is created.
    clsConversionOptions declined = failed(vrTargetParentMissing, QStringLiteral("/in/a.pptx"),
                                           dir.filePath(QStringLiteral("other/a.pdf")));
    p.answers = {Prompter::No};
    EXPECT_FALSE(ReportValidationResultGUI(declined, p, &e));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("other"))));

    // A wildcard target without a folder: one box, no question.
    clsConversionOptions blank = failed(vrTargetFolderMissing, QStringLiteral("/in/*.pptx"), QStringLiteral("*.pdf"));
    p.boxes.clear();
    EXPECT_FALSE(ReportValidationResultGUI(blank, p, &e));
    ASSERT_EQ(p.boxes.size(), 1);
    EXPECT_EQ(p.boxes[0].text, QStringLiteral("Target file not specified. Use a wildcard to specify whole folder."));
}

TEST(ValidationReportsGUI, BoxesAnswersAndFocusPerCode)
{
    ScriptedPrompter p;
    RecordingEditor e;
    // -4 without an original: one box, not added.
    clsConversionOptions empty = failed(vrOriginalFileMissing, QString(), QStringLiteral("/o/a.pdf"));
    EXPECT_FALSE(ReportValidationResultGUI(empty, p, &e));
    ASSERT_EQ(p.boxes.size(), 1);
    EXPECT_EQ(p.boxes[0].style, Prompter::OkOnly | Prompter::Information);
    // -4 with a missing original: Yes adds it anyway.
    clsConversionOptions missing = failed(vrOriginalFileMissing, QStringLiteral("/in/x.pptx"), QStringLiteral("/o/a.pdf"));
    p.boxes.clear();
    p.answers = {Prompter::Yes};
    EXPECT_TRUE(ReportValidationResultGUI(missing, p, &e));
    EXPECT_EQ(p.boxes[0].text, QStringLiteral("Unable to add/update: \r\rOriginal File\r\r/in/x.pptx\r\r"
                                              "does not exist.\n\nAdd anyway?"));
    EXPECT_EQ(e.focused.last(), ValidationEditor::OriginalFile);

    // -5: the specific box, then the summary with the same message.
    clsConversionOptions star = failed(vrTargetHasWildcard, QStringLiteral("/in/a.pptx"), QStringLiteral("/o/*.pdf"));
    p.boxes.clear();
    EXPECT_FALSE(ReportValidationResultGUI(star, p, &e));
    ASSERT_EQ(p.boxes.size(), 2);
    EXPECT_EQ(p.boxes[1].text, QStringLiteral("Unable to add/update: \r\r") + p.boxes[0].text);
    EXPECT_EQ(e.focused.last(), ValidationEditor::TargetFile);

    // -8: only the summary, with an empty message part.
    clsConversionOptions job = failed(vrJobFileMissing, QString(), QString());
    p.boxes.clear();
    EXPECT_FALSE(ReportValidationResultGUI(job, p, &e));
    ASSERT_EQ(p.boxes.size(), 1);
    EXPECT_EQ(p.boxes[0].text, QStringLiteral("Unable to add/update: \r\r"));

    clsConversionOptions find = failed(vrFindTextEmpty, QStringLiteral("/a.txt"), QStringLiteral("/b.txt"));
    EXPECT_FALSE(ReportValidationResultGUI(find, p, &e));
    EXPECT_EQ(e.focused.last(), ValidationEditor::FindString);
    clsConversionOptions same = failed(vrAppendSameFile, QStringLiteral("/a.txt"), QStringLiteral("/a.txt"));
    p.boxes.clear();
    EXPECT_FALSE(ReportValidationResultGUI(same, p, &e));
    EXPECT_EQ(p.boxes[0].text,
              QStringLiteral("Original and Target File are the same. Cannot concatenate a file onto itself"));
    EXPECT_EQ(e.focused.last(), ValidationEditor::TargetFileSpecialized);
}

TEST(ValidationReportsGUI, OutputFolderOfferSwitchesTheTargetOnlyWhenAccepted)
{
    ScriptedPrompter p;
    RecordingEditor e;
    clsConversionOptions o = failed(vrOutputNotWriteable, QStringLiteral("/in/a.pptx"), QStringLiteral("/proc/x/a.pdf"));
    p.answers = {Prompter::Cancel};
    EXPECT_FALSE(ReportValidationResultGUI(o, p, &e));
    EXPECT_EQ(o.sTargetFile, QStringLiteral("/proc/x/a.pdf"));
    EXPECT_EQ(e.targetText, QStringLiteral("(untouched)"));
    ASSERT_EQ(p.boxes.size(), 1);
    EXPECT_EQ(p.boxes[0].style, Prompter::OkCancel | Prompter::Exclamation);
    EXPECT_TRUE(p.boxes[0].text.contains(QStringLiteral("\r\r/proc/x/a.pdf\r\r")));

    p.answers = {Prompter::Ok};
    EXPECT_TRUE(ReportValidationResultGUI(o, p, &e));
    EXPECT_NE(o.sTargetFile, QStringLiteral("/proc/x/a.pdf"));
    EXPECT_EQ(e.targetText, o.sTargetFile);
    EXPECT_TRUE(p.boxes[1].text.endsWith(QStringLiteral(":\r\r") + o.sTargetFile));
    EXPECT_EQ(e.focused.last(), ValidationEditor::TargetFile);

    // The validator found the folder unwriteable but the judge objects to nothing: no offer of
    // the same folder, and no success.
    QTemporaryDir dir;
    clsConversionOptions plain = failed(vrOutputNotWriteable, QStringLiteral("/in/a.pptx"),
                                        dir.filePath(QStringLiteral("a.pdf")));
    p.boxes.clear();
    p.answers = {Prompter::Ok};
    EXPECT_FALSE(ReportValidationResultGUI(plain, p, &e));
    ASSERT_EQ(p.boxes.size(), 1);
    EXPECT_EQ(p.boxes[0].style, Prompter::OkOnly | Prompter::Critical);
    EXPECT_TRUE(p.boxes[0].text.startsWith(QStringLiteral("Output folder is not writeable.\r\r")));
}

TEST(ValidationReportsCmdLine, MessageGoesToErrAndTheLogAndIsShownWhenVerbose)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("run.log"));
    clsConversionOptions o = failed(vrOriginalFileMissing, QStringLiteral("/in/x.pptx"), QStringLiteral("/o/a.pdf"));
    o.sLogFile = log;
    ReportValidationResultCmdLine(o);
    EXPECT_EQ(o.sErr, QStringLiteral("Original File\r\n/in/x.pptx\r\ndoes not exist."));
    EXPECT_EQ(qvtest::readFile(log), o.sErr.toUtf8() + "\r\n");

    ScriptedPrompter shown;
    SetLogMessagePrompter(&shown);
    clsConversionOptions verbose = failed(vrTargetParentMissing, QStringLiteral("/in/a.pptx"), QStringLiteral("/o/sub/a.pdf"));
    verbose.sLogFile = log;
    verbose.bVerbose = true;
    ReportValidationResultCmdLine(verbose);
    SetLogMessagePrompter(nullptr);
    EXPECT_EQ(verbose.sErr, QStringLiteral("Output Folder\r\n/o/sub\r\ndoes not exist."));
    ASSERT_EQ(shown.boxes.size(), 1);
    EXPECT_EQ(shown.boxes[0].text, verbose.sErr);
    EXPECT_TRUE(qvtest::readFile(log).endsWith(verbose.sErr.toUtf8() + "\r\n"));
}

TEST(ValidationReportsCmdLine, OutputFolderMessageCarriesTheJudgesReason)
{
    clsConversionOptions o = failed(vrOutputNotWriteable, QStringLiteral("/in/a.pptx"), QStringLiteral("/proc/a.pdf"));
    EXPECT_EQ(ValidationMessageCmdLine(o),
              QStringLiteral("Output Folder: Output folder is a system folder and should not be used.\r\n/proc/a.pdf"));
    o.lErr = -9;
    EXPECT_EQ(ValidationMessageCmdLine(o), QString());
}
