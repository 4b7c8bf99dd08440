#include "FrmMainSettings.h"

#include "common/Globals.h"
#include "common/NumberUtils.h"
#include "converter/ConversionControl.h"
#include "jobs/JobSession.h"
#include "platform/ProfileIni.h"

namespace {

const QString kSection = QStringLiteral("frmMain");

// Reads keys of one section the way the profile reader of old did: through a 500-character
// buffer, cut at the first NUL.
class Reader
{
public:
    Reader(const QString &file, const QString &section) : m_file(file), m_section(section) {}

    QString text(const QString &key, const QString &def) const
    {
        QString v = ProfileIni::readString(m_file, m_section, key, def);
        const qsizetype nul = v.indexOf(QChar(0));
        if (nul >= 0)
            v.truncate(nul);
        v.truncate(499);
        return v;
    }
    bool boolean(const QString &key, bool def) const
    {
        return text(key, def ? QStringLiteral("TRUE") : QStringLiteral("FALSE")).toUpper() ==
               QStringLiteral("TRUE");
    }
    // A value that is not a number keeps the default.
    int number(const QString &key, int def) const
    {
        int v = 0;
        return bTryCLng(text(key, QString::number(def)), v) ? v : def;
    }
    // A list index: -1 (no selection) up to the last entry when the list size is known.
    int index(const QString &key, int def, int size) const
    {
        const int v = number(key, def);
        if (v < -1 || (size >= 0 && v >= size))
            return def;
        return v;
    }
    int check(const QString &key, int def) const
    {
        const int v = number(key, def);
        return v >= 0 && v <= 2 ? v : def;
    }

private:
    QString m_file;
    QString m_section;
};

void readConversion(const Reader &r, ConversionSettings &s, short *glnMeasurement)
{
    const ConversionSettings d;
    s.bConvertAllSlides = r.boolean(QStringLiteral("bConvertAllSlides"), d.bConvertAllSlides);
    s.lFromSlide = r.number(QStringLiteral("lFromSlide"), d.lFromSlide);
    s.lToSlide = r.number(QStringLiteral("lToSlide"), d.lToSlide);
    s.bCreateFileForEachSlide = r.boolean(QStringLiteral("bCreateFileForEachSlide"), d.bCreateFileForEachSlide);
    s.bPDFTextOnly = r.boolean(QStringLiteral("bPDFTextOnly"), d.bPDFTextOnly);
    s.bShowSlideAndShape = r.boolean(QStringLiteral("bShowSlideAndShape"), d.bShowSlideAndShape);
    s.bIncludeNotesPage = r.boolean(QStringLiteral("bIncludeNotesPage"), d.bIncludeNotesPage);
    s.bIncludeNotesOnly = r.boolean(QStringLiteral("bIncludeNotesOnly"), d.bIncludeNotesOnly);

    // Only inches (1) and centimetres (2) exist; anything else would scale every length wrongly.
    const int unit = r.number(QStringLiteral("glnMeasurement"), 1);
    if (glnMeasurement)
        *glnMeasurement = static_cast<short>(unit == 1 || unit == 2 ? unit : 1);

    s.bOverrideFontSettings = r.boolean(QStringLiteral("bOverrideFontSettings"), d.bOverrideFontSettings);
    s.lULKBaseLine = r.number(QStringLiteral("lULKBaseLine"), d.lULKBaseLine);
    s.lULKFontBold = r.number(QStringLiteral("lULKFontBold"), d.lULKFontBold);
    s.lULKFontItalic = r.number(QStringLiteral("lULKFontItalic"), d.lULKFontItalic);
    s.lULKFontSize = r.number(QStringLiteral("lULKFontSize"), d.lULKFontSize);
    s.lULKFontStrikethru = r.number(QStringLiteral("lULKFontStrikethru"), d.lULKFontStrikethru);
    s.lULKFontUnderline = r.number(QStringLiteral("lULKFontUnderline"), d.lULKFontUnderline);
    s.lULKFontUnderlineStyle = r.number(QStringLiteral("lULKFontUnderlineStyle"), d.lULKFontUnderlineStyle);
    s.lULKForeColor = r.number(QStringLiteral("lULKForeColor"), d.lULKForeColor);
    s.lULKTextBkColor = r.number(QStringLiteral("lULKTextBkColor"), d.lULKTextBkColor);
    s.sULKFontName = r.text(QStringLiteral("sULKFontName"), d.sULKFontName);

    s.bOverridePageSettings = r.boolean(QStringLiteral("bOverridePageSettings"), d.bOverridePageSettings);
    s.lULKPageMarginL = r.number(QStringLiteral("lULKPageMarginL"), d.lULKPageMarginL);
    s.lULKPageMarginT = r.number(QStringLiteral("lULKPageMarginT"), d.lULKPageMarginT);
    s.lULKPageMarginR = r.number(QStringLiteral("lULKPageMarginR"), d.lULKPageMarginR);
    s.lULKPageMarginB = r.number(QStringLiteral("lULKPageMarginB"), d.lULKPageMarginB);
    s.lULKPageWidth = r.number(QStringLiteral("lULKPageWidth"), d.lULKPageWidth);
    s.lULKPageHeight = r.number(QStringLiteral("lULKPageHeight"), d.lULKPageHeight);
    s.lULKStyleSheetOption = r.number(QStringLiteral("lULKStyleSheetOption"), d.lULKStyleSheetOption);
    s.sULKStyleSheetFile = r.text(QStringLiteral("sULKStyleSheetFile"), d.sULKStyleSheetFile);
    s.bULKPortrait = r.boolean(QStringLiteral("bULKPortrait"), d.bULKPortrait);

    s.bOverrideParagraphSettings =
        r.boolean(QStringLiteral("bOverrideParagraphSettings"), d.bOverrideParagraphSettings);
    s.lULKAlignment = r.number(QStringLiteral("lULKAlignment"), d.lULKAlignment);
    s.lULKFrameDistance = r.number(QStringLiteral("lULKFrameDistance"), d.lULKFrameDistance);
    s.lULKFrameLineWidth = r.number(QStringLiteral("lULKFrameLineWidth"), d.lULKFrameLineWidth);
    s.lULKFrameStyle = r.number(QStringLiteral("lULKFrameStyle"), d.lULKFrameStyle);
    s.lULKIndentB = r.number(QStringLiteral("lULKIndentB"), d.lULKIndentB);
    s.lULKIndentFL = r.number(QStringLiteral("lULKIndentFL"), d.lULKIndentFL);
    s.lULKIndentL = r.number(QStringLiteral("lULKIndentL"), d.lULKIndentL);
    s.lULKIndentR = r.number(QStringLiteral("lULKIndentR"), d.lULKIndentR);
    s.lULKIndentT = r.number(QStringLiteral("lULKIndentT"), d.lULKIndentT);
    s.lULKLineSpacing = r.number(QStringLiteral("lULKLineSpacing"), d.lULKLineSpacing);
    s.lULKLineSpacingT = r.number(QStringLiteral("lULKLineSpacingT"), d.lULKLineSpacingT);

    s.bOverridePDFSettings = r.boolean(QStringLiteral("bOverridePDFSettings"), d.bOverridePDFSettings);
    s.sULKPDFUserPassword = r.text(QStringLiteral("sULKPDFUserPassword"), d.sULKPDFUserPassword);
    s.sULKPDFMasterPassword = r.text(QStringLiteral("sULKPDFMasterPassword"), d.sULKPDFMasterPassword);
    s.lDocAccessPermissions = r.number(QStringLiteral("lDocAccessPermissions"), d.lDocAccessPermissions);

    s.bOverrideImageSettings = r.boolean(QStringLiteral("bOverrideImageSettings"), d.bOverrideImageSettings);
    s.lImageComparessionQuality =
        r.number(QStringLiteral("lImageComparessionQuality"), d.lImageComparessionQuality);
    s.lImageMaxResolution = r.number(QStringLiteral("lImageMaxResolution"), d.lImageMaxResolution);

    s.bDeleteOriginalFileAfterProcessing =
        r.boolean(QStringLiteral("bDeleteOriginalFileAfterProcessing"), d.bDeleteOriginalFileAfterProcessing);
    s.bMoveOriginalFileAfterProcessing =
        r.boolean(QStringLiteral("bMoveOriginalFileAfterProcessing"), d.bMoveOriginalFileAfterProcessing);
    s.sMoveFileToFolder = r.text(QStringLiteral("sMoveFileToFolder"), d.sMoveFileToFolder);
}

void readMethodAndAction(const Reader &r, ConversionSettings &s)
{
    const ConversionSettings d;
    s.lConversionMethod = r.number(QStringLiteral("lConversionMethod"), d.lConversionMethod);
    s.sActionToDo = r.text(QStringLiteral("sActionToDO"), d.sActionToDo);
}

bool speedChosen(const Reader &r)
{
    // Only the exact upper-case text selects speed, as it always has.
    return r.text(QStringLiteral("mnuOptimizeForSpeed"), QStringLiteral("TRUE")) == QStringLiteral("TRUE");
}

// Collects the keys and writes them at flush() in one go: one rewrite of the file at close
// instead of one per key.
class Writer
{
public:
    explicit Writer(const QString &file) : m_file(file) {}
    void text(const QString &key, const QString &value) { m_pending.append({key, value}); }
    void boolean(const QString &key, bool v) { text(key, v ? QStringLiteral("TRUE") : QStringLiteral("FALSE")); }
    void number(const QString &key, int v) { text(key, QString::number(v)); }
    // The section holds the PDF passwords: a settings file created here is private.
    void flush()
    {
        if (m_pending.isEmpty())
            return;
        m_ok = ProfileIni::writeStrings(m_file, kSection, m_pending, ProfileIni::Access::Private) && m_ok;
        m_pending.clear();
    }
    bool ok() const { return m_ok; }

private:
    QString m_file;
    ProfileIni::KeyValues m_pending;
    bool m_ok = true;
};

} // namespace

FrmMainSettings ReadFrmMainSettings(const QString &iniPath, const FrmMainListSizes &sizes)
{
    FrmMainSettings s;
    const FrmMainSettings d;
    // A number here, unlike the Booleans of [frmMain]: any non-zero value means set.
    s.bPersistRunning =
        Reader(iniPath, QStringLiteral("frmScheduler")).number(QStringLiteral("chkPersistRunning"), 0) != 0;

    const Reader r(iniPath, kSection);
    readConversion(r, s.conversion, &s.glnMeasurement);
    s.mnuOptimizeForSpeed = speedChosen(r);

    // Negative widths would break the grids, and widths beyond any screen would overflow the
    // sum the layout fits the other columns with; keep the default then.
    auto width = [&r](const QString &key, int def) {
        constexpr int kMaxWidthTwips = 100000;
        const int v = r.number(key, def);
        return v >= 0 && v <= kMaxWidthTwips ? v : def;
    };
    s.fgLogColWidth1 = width(QStringLiteral("fgLog.ColWidth(1)"), d.fgLogColWidth1);
    s.fgLogColWidth2 = width(QStringLiteral("fgLog.ColWidth(2)"), d.fgLogColWidth2);
    s.fgLogColWidth6 = width(QStringLiteral("fgLog.ColWidth(6)"), d.fgLogColWidth6);
    s.fgLogColWidth8 = width(QStringLiteral("fgLog.ColWidth(8)"), d.fgLogColWidth8);
    s.fgLogColWidth9 = width(QStringLiteral("fgLog.ColWidth(9)"), d.fgLogColWidth9);
    s.fgToDoColWidth1 = width(QStringLiteral("fgToDo.ColWidth(1)"), d.fgToDoColWidth1);
    s.fgToDoColWidth2 = width(QStringLiteral("fgToDo.ColWidth(2)"), d.fgToDoColWidth2);
    s.fgToDoColWidth5 = width(QStringLiteral("fgToDo.ColWidth(5)"), d.fgToDoColWidth5);
    s.fgToDoColWidth8 = width(QStringLiteral("fgToDo.ColWidth(8)"), d.fgToDoColWidth8);
    s.fgToDoColWidth9 = width(QStringLiteral("fgToDo.ColWidth(9)"), d.fgToDoColWidth9);

    readMethodAndAction(r, s.conversion);

    s.cbSpecialProcessesListIndex = r.index(QStringLiteral("cbSpecialProcesses.ListIndex"),
                                            d.cbSpecialProcessesListIndex, sizes.cbSpecialProcesses);
    s.cbCommandLineWindowStateListIndex = r.index(QStringLiteral("cbCommandLineWindowState.ListIndex"),
                                                  d.cbCommandLineWindowStateListIndex,
                                                  sizes.cbCommandLineWindowState);
    s.cbCommandLineThreadPriorityListIndex = r.index(QStringLiteral("cbCommandLineThreadPriority.ListIndex"),
                                                     d.cbCommandLineThreadPriorityListIndex,
                                                     sizes.cbCommandLineThreadPriority);
    // The box shows the number read, written back as decimal text.
    s.txtCommandLineWaitTimeInSeconds =
        QString::number(r.number(QStringLiteral("txtCommandLineWaitTimeInSeconds"), -1));

    // A target index past the list leaves the selection the fill made.
    const int target = r.number(QStringLiteral("cbFileTypeTarget.ListIndex"), d.cbFileTypeTargetListIndex);
    if (target < -1)
        s.cbFileTypeTargetListIndex = d.cbFileTypeTargetListIndex;
    else if (sizes.cbFileTypeTarget >= 0 && target > sizes.cbFileTypeTarget - 1)
        s.cbFileTypeTargetListIndex = FrmMainSettings::kKeepFillSelection;
    else
        s.cbFileTypeTargetListIndex = target;

    s.cbFileTypeOriginalListIndex = r.index(QStringLiteral("cbFileTypeOriginal.ListIndex"),
                                            d.cbFileTypeOriginalListIndex, sizes.cbFileTypeOriginal);
    s.cbDoSubfolders = r.check(QStringLiteral("cbDoSubfolders"), d.cbDoSubfolders);
    s.cbDoSubfoldersSpecialized = r.check(QStringLiteral("cbDoSubfoldersSpecialized"), d.cbDoSubfoldersSpecialized);
    s.cbCaseSensitive = r.check(QStringLiteral("cbCaseSensitive"), d.cbCaseSensitive);
    // A special-type index past its list selects the first entry.
    s.cbFileTypeOriginalSpecializedListIndex =
        r.index(QStringLiteral("cbFileTypeOriginalSpecialized.ListIndex"), d.cbFileTypeOriginalSpecializedListIndex,
                sizes.cbFileTypeOriginalSpecialized);
    return s;
}

bool WriteFrmMainSettings(const QString &iniPath, const FrmMainSettings &s, const MruShutDownHook &shutDownMru)
{
    // An unattended run leaves the user's settings as they were.
    if (gbCommandLineMode)
        return false;
    Writer w(iniPath);
    // The recent lists write sections of their own: what is collected so far goes first, so
    // that the sections and keys keep their order in the file.
    auto shutDown = [&shutDownMru, &w](const char *list) {
        if (!shutDownMru)
            return;
        w.flush();
        shutDownMru(QLatin1String(list));
    };
    w.boolean(QStringLiteral("mnuOptimizeForSpeed"), s.mnuOptimizeForSpeed);
    w.number(QStringLiteral("fgLog.ColWidth(1)"), s.fgLogColWidth1);
    w.number(QStringLiteral("fgLog.ColWidth(2)"), s.fgLogColWidth2);
    w.number(QStringLiteral("fgLog.ColWidth(6)"), s.fgLogColWidth6);
    w.number(QStringLiteral("fgLog.ColWidth(8)"), s.fgLogColWidth8);
    w.number(QStringLiteral("fgLog.ColWidth(9)"), s.fgLogColWidth9);
    w.number(QStringLiteral("fgToDo.ColWidth(1)"), s.fgToDoColWidth1);
    w.number(QStringLiteral("fgToDo.ColWidth(2)"), s.fgToDoColWidth2);
    w.number(QStringLiteral("fgToDo.ColWidth(5)"), s.fgToDoColWidth5);
    w.number(QStringLiteral("fgToDo.ColWidth(8)"), s.fgToDoColWidth8);
    w.number(QStringLiteral("fgToDo.ColWidth(9)"), s.fgToDoColWidth9);

    shutDown("mruSource");
    w.number(QStringLiteral("cbFileTypeOriginal.ListIndex"), s.cbFileTypeOriginalListIndex);
    shutDown("mruTarget");
    w.number(QStringLiteral("cbFileTypeTarget.ListIndex"), s.cbFileTypeTargetListIndex);
    w.number(QStringLiteral("cbFileTypeOriginalSpecialized.ListIndex"), s.cbFileTypeOriginalSpecializedListIndex);
    w.number(QStringLiteral("cbSpecialProcesses.ListIndex"), s.cbSpecialProcessesListIndex);
    w.number(QStringLiteral("cbCommandLineWindowState.ListIndex"), s.cbCommandLineWindowStateListIndex);
    w.number(QStringLiteral("cbCommandLineThreadPriority.ListIndex"), s.cbCommandLineThreadPriorityListIndex);
    w.text(QStringLiteral("txtCommandLineWaitTimeInSeconds"), s.txtCommandLineWaitTimeInSeconds);
    for (const char *list : {"mruSourceSpecialized", "mruTargetSpecialized", "mruCommandLine",
                             "mruCommandLineArguments", "mruReplaceString", "mruFindString", "mruFileOpen"})
        shutDown(list);

    w.number(QStringLiteral("cbDoSubfolders"), s.cbDoSubfolders);
    w.number(QStringLiteral("cbDoSubfoldersSpecialized"), s.cbDoSubfoldersSpecialized);
    w.number(QStringLiteral("cbCaseSensitive"), s.cbCaseSensitive);

    const ConversionSettings &c = s.conversion;
    w.number(QStringLiteral("lConversionMethod"), c.lConversionMethod);
    w.text(QStringLiteral("sActionToDO"), c.sActionToDo);
    w.boolean(QStringLiteral("bDeleteOriginalFileAfterProcessing"), c.bDeleteOriginalFileAfterProcessing);
    w.boolean(QStringLiteral("bMoveOriginalFileAfterProcessing"), c.bMoveOriginalFileAfterProcessing);
    w.text(QStringLiteral("sMoveFileToFolder"), c.sMoveFileToFolder);
    w.boolean(QStringLiteral("bConvertAllSlides"), c.bConvertAllSlides);
    w.number(QStringLiteral("lFromSlide"), c.lFromSlide);
    w.number(QStringLiteral("lToSlide"), c.lToSlide);
    w.boolean(QStringLiteral("bCreateFileForEachSlide"), c.bCreateFileForEachSlide);
    w.boolean(QStringLiteral("bPDFTextOnly"), c.bPDFTextOnly);
    w.boolean(QStringLiteral("bShowSlideAndShape"), c.bShowSlideAndShape);
    w.boolean(QStringLiteral("bIncludeNotesPage"), c.bIncludeNotesPage);
    w.boolean(QStringLiteral("bIncludeNotesOnly"), c.bIncludeNotesOnly);
    w.number(QStringLiteral("glnMeasurement"), s.glnMeasurement);

    // An override group's values are written only while it is on; switching a group off keeps
    // the values stored before, ready for when it is switched on again.
    w.boolean(QStringLiteral("bOverrideFontSettings"), c.bOverrideFontSettings);
    if (c.bOverrideFontSettings) {
        w.number(QStringLiteral("lULKBaseLine"), c.lULKBaseLine);
        w.number(QStringLiteral("lULKFontBold"), c.lULKFontBold);
        w.number(QStringLiteral("lULKFontItalic"), c.lULKFontItalic);
        w.number(QStringLiteral("lULKFontSize"), c.lULKFontSize);
        w.number(QStringLiteral("lULKFontStrikethru"), c.lULKFontStrikethru);
        w.number(QStringLiteral("lULKFontUnderline"), c.lULKFontUnderline);
        w.number(QStringLiteral("lULKFontUnderlineStyle"), c.lULKFontUnderlineStyle);
        w.number(QStringLiteral("lULKForeColor"), c.lULKForeColor);
        w.number(QStringLiteral("lULKTextBkColor"), c.lULKTextBkColor);
        w.text(QStringLiteral("sULKFontName"), c.sULKFontName);
    }
    w.boolean(QStringLiteral("bOverridePageSettings"), c.bOverridePageSettings);
    if (c.bOverridePageSettings) {
        w.number(QStringLiteral("lULKPageMarginL"), c.lULKPageMarginL);
        w.number(QStringLiteral("lULKPageMarginT"), c.lULKPageMarginT);
        w.number(QStringLiteral("lULKPageMarginR"), c.lULKPageMarginR);
        w.number(QStringLiteral("lULKPageMarginB"), c.lULKPageMarginB);
        w.number(QStringLiteral("lULKPageWidth"), c.lULKPageWidth);
        w.number(QStringLiteral("lULKPageHeight"), c.lULKPageHeight);
        w.number(QStringLiteral("lULKStyleSheetOption"), c.lULKStyleSheetOption);
        w.text(QStringLiteral("sULKStyleSheetFile"), c.sULKStyleSheetFile);
        // This one key has always been written in the mixed-case form.
        w.text(QStringLiteral("bULKPortrait"), c.bULKPortrait ? QStringLiteral("True") : QStringLiteral("False"));
    }
    w.boolean(QStringLiteral("bOverrideParagraphSettings"), c.bOverrideParagraphSettings);
    if (c.bOverrideParagraphSettings) {
        w.number(QStringLiteral("lULKAlignment"), c.lULKAlignment);
        w.number(QStringLiteral("lULKFrameDistance"), c.lULKFrameDistance);
        w.number(QStringLiteral("lULKFrameLineWidth"), c.lULKFrameLineWidth);
        w.number(QStringLiteral("lULKFrameStyle"), c.lULKFrameStyle);
        w.number(QStringLiteral("lULKIndentB"), c.lULKIndentB);
        w.number(QStringLiteral("lULKIndentFL"), c.lULKIndentFL);
        w.number(QStringLiteral("lULKIndentL"), c.lULKIndentL);
        w.number(QStringLiteral("lULKIndentR"), c.lULKIndentR);
        w.number(QStringLiteral("lULKIndentT"), c.lULKIndentT);
        w.number(QStringLiteral("lULKLineSpacing"), c.lULKLineSpacing);
        w.number(QStringLiteral("lULKLineSpacingT"), c.lULKLineSpacingT);
    }
    w.boolean(QStringLiteral("bOverridePDFSettings"), c.bOverridePDFSettings);
    if (c.bOverridePDFSettings) {
        w.text(QStringLiteral("sULKPDFUserPassword"), c.sULKPDFUserPassword);
        w.text(QStringLiteral("sULKPDFMasterPassword"), c.sULKPDFMasterPassword);
        w.number(QStringLiteral("lDocAccessPermissions"), c.lDocAccessPermissions);
    }
    w.boolean(QStringLiteral("bOverrideImageSettings"), c.bOverrideImageSettings);
    if (c.bOverrideImageSettings) {
        w.number(QStringLiteral("lImageComparessionQuality"), c.lImageComparessionQuality);
        w.number(QStringLiteral("lImageMaxResolution"), c.lImageMaxResolution);
    }
    w.flush();
    return w.ok();
}

void ReadCoreConversionSettings(const QString &iniPath, ConversionSettings &settings)
{
    const Reader r(iniPath, kSection);
    readConversion(r, settings, nullptr);
    readMethodAndAction(r, settings);
}

void ApplyStoredCoreSettings(const QString &iniPath, JobSession &session)
{
    ReadCoreConversionSettings(iniPath, session.settings);
    session.VelmoraX1()->setOptimizeForSpeed(speedChosen(Reader(iniPath, kSection)));
}
