#include "TestEnv.h"
#include "common/Globals.h"
#include "converter/ConversionControl.h"
#include "jobs/FrmMainSettings.h"
#include "jobs/JobSession.h"
#include "platform/ProfileIni.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FrmMainSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { gbCommandLineMode = false; }
    void TearDown() override { gbCommandLineMode = false; }
    QTemporaryDir tmp;
    QString ini = tmp.filePath(QStringLiteral("settings.INI"));
    QStringList lines() const
    {
        return QString::fromUtf8(qvtest::readFile(ini)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};

// Every field away from its default, every override group on.
FrmMainSettings everythingChanged()
{
    FrmMainSettings s;
    ConversionSettings &c = s.conversion;
    c.lConversionMethod = 3;
    c.sActionToDo = QStringLiteral("S");
    c.bDeleteOriginalFileAfterProcessing = c.bMoveOriginalFileAfterProcessing = true;
    c.sMoveFileToFolder = QStringLiteral("/srv/done folder/");
    c.bConvertAllSlides = false;
    c.lFromSlide = 3;
    c.lToSlide = 9;
    c.bCreateFileForEachSlide = c.bShowSlideAndShape = c.bIncludeNotesPage = c.bIncludeNotesOnly = true;
    c.bPDFTextOnly = false;
    c.bOverrideFontSettings = c.bOverrideParagraphSettings = c.bOverridePageSettings = true;
    c.bOverridePDFSettings = c.bOverrideImageSettings = true;
    c.lULKBaseLine = 2, c.lULKFontBold = 1, c.lULKFontItalic = 1, c.lULKFontSize = 14, c.lULKFontStrikethru = 1;
    c.lULKFontUnderline = 1, c.lULKFontUnderlineStyle = 2, c.lULKForeColor = 255, c.lULKTextBkColor = 65280;
    c.sULKFontName = QStringLiteral("Liberation Serif");
    c.lULKAlignment = 3, c.lULKFrameDistance = 10, c.lULKFrameLineWidth = 11, c.lULKFrameStyle = 12;
    c.lULKIndentB = 13, c.lULKIndentFL = -14, c.lULKIndentL = 15, c.lULKIndentR = 16, c.lULKIndentT = 17;
    c.lULKLineSpacing = 150, c.lULKLineSpacingT = 1;
    c.lULKPageMarginL = 720, c.lULKPageMarginT = 721, c.lULKPageMarginR = 722, c.lULKPageMarginB = 723;
    c.lULKPageWidth = 16838, c.lULKPageHeight = 11906, c.lULKStyleSheetOption = 1;
    c.sULKStyleSheetFile = QStringLiteral("/tmp/s.css");
    c.bULKPortrait = false;
    c.sULKPDFUserPassword = QStringLiteral("u pw");
    c.sULKPDFMasterPassword = QStringLiteral("m pw");
    c.lDocAccessPermissions = 2052;
    c.lImageComparessionQuality = 75, c.lImageMaxResolution = 150;
    s.glnMeasurement = 2;
    s.mnuOptimizeForSpeed = false;
    s.fgLogColWidth1 = 1, s.fgLogColWidth2 = 2, s.fgLogColWidth6 = 6, s.fgLogColWidth8 = 8, s.fgLogColWidth9 = 9;
    s.fgToDoColWidth1 = 11, s.fgToDoColWidth2 = 12, s.fgToDoColWidth5 = 15, s.fgToDoColWidth8 = 18;
    s.fgToDoColWidth9 = 19;
    s.cbSpecialProcessesListIndex = 3, s.cbCommandLineWindowStateListIndex = 2;
    s.cbCommandLineThreadPriorityListIndex = 0, s.txtCommandLineWaitTimeInSeconds = QStringLiteral("30");
    s.cbFileTypeTargetListIndex = 5, s.cbFileTypeOriginalListIndex = 0, s.cbFileTypeOriginalSpecializedListIndex = 4;
    s.cbDoSubfolders = 1, s.cbDoSubfoldersSpecialized = 2, s.cbCaseSensitive = 0;
    return s;
}

} // namespace

TEST_F(FrmMainSettingsTest, WritesKeysInOrderAndKeepsTheStoredValuesOfGroupsSwitchedOff)
{
    // Values of the PDF group stored earlier survive a save with the group switched off.
    ASSERT_TRUE(ProfileIni::writeString(ini, "frmMain", "sULKPDFUserPassword", "kept"));
    FrmMainSettings s = everythingChanged();
    s.conversion.bOverridePDFSettings = false;
    s.conversion.bOverrideParagraphSettings = false;
    QStringList hooks;
    ASSERT_TRUE(WriteFrmMainSettings(ini, s, [&](const QString &list) {
        hooks << list + u'@' + QString::number(lines().size());
    }));
    const QStringList expected = {
        "[frmMain]", "sULKPDFUserPassword=kept", "mnuOptimizeForSpeed=FALSE", "fgLog.ColWidth(1)=1",
        "fgLog.ColWidth(2)=2", "fgLog.ColWidth(6)=6", "fgLog.ColWidth(8)=8", "fgLog.ColWidth(9)=9",
        "fgToDo.ColWidth(1)=11", "fgToDo.ColWidth(2)=12", "fgToDo.ColWidth(5)=15", "fgToDo.ColWidth(8)=18",
        "fgToDo.ColWidth(9)=19", "cbFileTypeOriginal.ListIndex=0", "cbFileTypeTarget.ListIndex=5",
        "cbFileTypeOriginalSpecialized.ListIndex=4", "cbSpecialProcesses.ListIndex=3",
        "cbCommandLineWindowState.ListIndex=2", "cbCommandLineThreadPriority.ListIndex=0",
        "txtCommandLineWaitTimeInSeconds=30", "cbDoSubfolders=1", "cbDoSubfoldersSpecialized=2", "cbCaseSensitive=0",
        "lConversionMethod=3", "sActionToDO=S", "bDeleteOriginalFileAfterProcessing=TRUE",
        "bMoveOriginalFileAfterProcessing=TRUE", "sMoveFileToFolder=/srv/done folder/", "bConvertAllSlides=FALSE",
        "lFromSlide=3", "lToSlide=9", "bCreateFileForEachSlide=TRUE", "bPDFTextOnly=FALSE",
        "bShowSlideAndShape=TRUE", "bIncludeNotesPage=TRUE", "bIncludeNotesOnly=TRUE", "glnMeasurement=2",
        "bOverrideFontSettings=TRUE", "lULKBaseLine=2", "lULKFontBold=1", "lULKFontItalic=1", "lULKFontSize=14",
        "lULKFontStrikethru=1", "lULKFontUnderline=1", "lULKFontUnderlineStyle=2", "lULKForeColor=255",
        "lULKTextBkColor=65280", "sULKFontName=Liberation Serif", "bOverridePageSettings=TRUE",
        "lULKPageMarginL=720", "lULKPageMarginT=721", "lULKPageMarginR=722", "lULKPageMarginB=723",
        "lULKPageWidth=16838", "lULKPageHeight=11906", "lULKStyleSheetOption=1", "sULKStyleSheetFile=/tmp/s.css",
        "bULKPortrait=False", "bOverrideParagraphSettings=FALSE", "bOverridePDFSettings=FALSE",
        "bOverrideImageSettings=TRUE", "lImageComparessionQuality=75", "lImageMaxResolution=150"};
    EXPECT_EQ(lines(), expected);
    // The recent lists are shut down at their places in the sequence (line counts of the file).
    EXPECT_EQ(hooks, QStringList({"mruSource@13", "mruTarget@14", "mruSourceSpecialized@20",
                                  "mruTargetSpecialized@20", "mruCommandLine@20", "mruCommandLineArguments@20",
                                  "mruReplaceString@20", "mruFindString@20", "mruFileOpen@20"}));
    // The stored paragraph values were not written, yet a later start still reads the old ones.
    EXPECT_EQ(ReadFrmMainSettings(ini).conversion.lULKAlignment, 0);
    EXPECT_EQ(ReadFrmMainSettings(ini).conversion.sULKPDFUserPassword, "kept");
}

TEST_F(FrmMainSettingsTest, RoundTripKeepsEveryValueAndACommandLineRunWritesNothing)
{
    const FrmMainSettings s = everythingChanged();
    // A settings file others could read becomes private once the passwords are written to it.
    const QString exposed = tmp.filePath("exposed.INI");
    ASSERT_TRUE(qvtest::writeFile(exposed, "[Main]\r\nPartial=Level3\r\n"));
    ASSERT_TRUE(QFile::setPermissions(exposed,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(WriteFrmMainSettings(exposed, s));
    EXPECT_EQ(QFile::permissions(exposed) & (QFile::ReadGroup | QFile::ReadOther), 0);
    ASSERT_TRUE(WriteFrmMainSettings(ini, s));
    ASSERT_TRUE(ProfileIni::writeString(ini, "frmScheduler", "chkPersistRunning", "1"));
    const FrmMainSettings r = ReadFrmMainSettings(ini);
    EXPECT_TRUE(r.bPersistRunning);
    EXPECT_EQ(r.cbFileTypeTargetListIndex, 5);
    EXPECT_EQ(r.conversion.sULKPDFMasterPassword, "m pw");
    EXPECT_FALSE(r.conversion.bULKPortrait);
    // Whatever was read writes the very same file again.
    const QString again = tmp.filePath("again.INI");
    ASSERT_TRUE(WriteFrmMainSettings(again, r));
    ASSERT_TRUE(ProfileIni::writeString(again, "frmScheduler", "chkPersistRunning", "1"));
    EXPECT_EQ(qvtest::readFile(again), qvtest::readFile(ini));

    ConversionSettings core;
    ReadCoreConversionSettings(ini, core);
    EXPECT_EQ(core.lConversionMethod, 3);
    EXPECT_EQ(core.sActionToDo, "S");
    EXPECT_TRUE(core.bIncludeNotesOnly);
    EXPECT_EQ(core.lImageMaxResolution, 150);

    const QByteArray before = qvtest::readFile(ini);
    gbCommandLineMode = true;
    FrmMainSettings other;
    EXPECT_FALSE(WriteFrmMainSettings(ini, other, [](const QString &) { ADD_FAILURE() << "list shut down"; }));
    EXPECT_EQ(qvtest::readFile(ini), before);
    EXPECT_FALSE(QFile::exists(tmp.filePath("none.INI")));
    EXPECT_FALSE(WriteFrmMainSettings(tmp.filePath("none.INI"), other));
    EXPECT_FALSE(QFile::exists(tmp.filePath("none.INI")));
}

TEST_F(FrmMainSettingsTest, MissingAndBadValuesGiveTheDefaults)
{
    const FrmMainSettings d = ReadFrmMainSettings(tmp.filePath("missing.INI"));
    EXPECT_EQ(d.conversion.sULKFontName, "Courier New");
    EXPECT_EQ(d.conversion.lULKPageWidth, 12240);
    EXPECT_EQ(d.conversion.lULKPageMarginB, 1440);
    EXPECT_EQ(d.conversion.lImageMaxResolution, 300);
    EXPECT_EQ(d.conversion.lConversionMethod, 2);
    EXPECT_EQ(d.conversion.sActionToDo, "C");
    EXPECT_EQ(d.txtCommandLineWaitTimeInSeconds, "-1");
    EXPECT_TRUE(d.mnuOptimizeForSpeed);
    EXPECT_TRUE(d.conversion.bULKPortrait);
    EXPECT_EQ(d.cbFileTypeOriginalListIndex, 2);
    EXPECT_EQ(d.cbCaseSensitive, 1);

    const QByteArray text = "[frmScheduler]\r\nchkPersistRunning=yes\r\n[frmMain]\r\n"
                            "bIncludeNotesPage=true\r\nbConvertAllSlides=1\r\nbULKPortrait=False\r\n"
                            "mnuOptimizeForSpeed=True\r\nlFromSlide=abc\r\nlToSlide=7\r\nglnMeasurement=9\r\n"
                            "lImageMaxResolution=\r\nfgLog.ColWidth(6)=-40\r\nfgToDo.ColWidth(9)=12x\r\n"
                            "fgLog.ColWidth(1)=100001\r\nfgToDo.ColWidth(2)=100000\r\nfgToDo.ColWidth(8)=2147483647\r\n"
                            "cbSpecialProcesses.ListIndex=5\r\ncbCommandLineWindowState.ListIndex=-1\r\n"
                            "cbCommandLineThreadPriority.ListIndex=-2\r\ntxtCommandLineWaitTimeInSeconds=ten\r\n"
                            "cbFileTypeTarget.ListIndex=40\r\ncbFileTypeOriginal.ListIndex=5\r\n"
                            "cbFileTypeOriginalSpecialized.ListIndex=9\r\ncbDoSubfolders=3\r\n"
                            "cbDoSubfoldersSpecialized=2\r\ncbCaseSensitive=-1\r\n";
    ASSERT_TRUE(qvtest::writeFile(ini, text));
    FrmMainListSizes sizes;
    sizes.cbSpecialProcesses = 5;
    sizes.cbCommandLineWindowState = sizes.cbCommandLineThreadPriority = 4;
    sizes.cbFileTypeTarget = 20;
    sizes.cbFileTypeOriginal = 6;
    sizes.cbFileTypeOriginalSpecialized = 5;
    const FrmMainSettings s = ReadFrmMainSettings(ini, sizes);
    EXPECT_FALSE(s.bPersistRunning);
    EXPECT_TRUE(s.conversion.bIncludeNotesPage);   // any letter case
    EXPECT_FALSE(s.conversion.bConvertAllSlides);  // "1" is not TRUE
    EXPECT_FALSE(s.conversion.bULKPortrait);
    EXPECT_FALSE(s.mnuOptimizeForSpeed);           // only the exact "TRUE" chooses speed
    EXPECT_EQ(s.conversion.lFromSlide, 1);
    EXPECT_EQ(s.conversion.lToSlide, 7);
    EXPECT_EQ(s.glnMeasurement, 1);
    EXPECT_EQ(s.conversion.lImageMaxResolution, 300);
    EXPECT_EQ(s.fgLogColWidth6, 3875);
    EXPECT_EQ(s.fgToDoColWidth9, 660);
    EXPECT_EQ(s.fgLogColWidth1, 450); // above 100,000 twips: the default
    EXPECT_EQ(s.fgToDoColWidth2, 100000);
    EXPECT_EQ(s.fgToDoColWidth8, 690);
    EXPECT_EQ(s.cbSpecialProcessesListIndex, 0);
    EXPECT_EQ(s.cbCommandLineWindowStateListIndex, -1); // no selection is a valid index
    EXPECT_EQ(s.cbCommandLineThreadPriorityListIndex, 1);
    EXPECT_EQ(s.txtCommandLineWaitTimeInSeconds, "-1");
    EXPECT_EQ(s.cbFileTypeTargetListIndex, FrmMainSettings::kKeepFillSelection);
    EXPECT_EQ(s.cbFileTypeOriginalListIndex, 5);
    EXPECT_EQ(s.cbFileTypeOriginalSpecializedListIndex, 0);
    EXPECT_EQ(s.cbDoSubfolders, 0);
    EXPECT_EQ(s.cbDoSubfoldersSpecialized, 2);
    EXPECT_EQ(s.cbCaseSensitive, 1);
    // Without list sizes only the value itself is checked.
    EXPECT_EQ(ReadFrmMainSettings(ini).cbFileTypeTargetListIndex, 40);

    ASSERT_TRUE(ProfileIni::writeString(ini, "frmScheduler", "chkPersistRunning", "-1"));
    EXPECT_TRUE(ReadFrmMainSettings(ini).bPersistRunning);
}

TEST_F(FrmMainSettingsTest, ARunWithoutTheWindowTakesTheConversionSettingsAndTheSpeedChoice)
{
    ASSERT_TRUE(WriteFrmMainSettings(ini, everythingChanged()));
    JobSession session;
    ApplyStoredCoreSettings(ini, session);
    EXPECT_FALSE(session.VelmoraX1()->optimizeForSpeed());
    EXPECT_EQ(session.settings.lConversionMethod, 3);
    EXPECT_EQ(session.settings.sULKFontName, "Liberation Serif");
    EXPECT_FALSE(session.settings.bULKPortrait);
    EXPECT_EQ(session.settings.lImageComparessionQuality, 75);
}
