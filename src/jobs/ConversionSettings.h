#pragma once
// The program-wide conversion settings that the main window keeps (section [frmMain]) and
// that every task of a run reads at the time it runs.
#include <QString>

struct ConversionSettings
{
    int lConversionMethod = 2;
    QString sActionToDo = QStringLiteral("C");
    bool bDeleteOriginalFileAfterProcessing = false;
    bool bMoveOriginalFileAfterProcessing = false;
    QString sMoveFileToFolder;
    bool bConvertAllSlides = true;
    int lFromSlide = 1;
    int lToSlide = 2;
    bool bCreateFileForEachSlide = false;
    bool bPDFTextOnly = true;
    bool bShowSlideAndShape = false;
    bool bIncludeNotesPage = false;
    bool bIncludeNotesOnly = false;

    bool bOverrideFontSettings = false;
    int lULKBaseLine = 1;
    int lULKFontBold = 0;
    int lULKFontItalic = 0;
    int lULKFontSize = 1;
    int lULKFontStrikethru = 0;
    int lULKFontUnderline = 0;
    int lULKFontUnderlineStyle = 1;
    int lULKForeColor = 1;
    int lULKTextBkColor = 0;
    QString sULKFontName = QStringLiteral("Courier New");

    bool bOverrideParagraphSettings = false;
    int lULKAlignment = 0;
    int lULKFrameDistance = 0;
    int lULKFrameLineWidth = 0;
    int lULKFrameStyle = 0;
    int lULKIndentB = 0;
    int lULKIndentFL = 0;
    int lULKIndentL = 0;
    int lULKIndentR = 0;
    int lULKIndentT = 0;
    int lULKLineSpacing = 0;
    int lULKLineSpacingT = 0;

    bool bOverridePageSettings = false;
    int lULKPageMarginL = 1440;
    int lULKPageMarginT = 1440;
    int lULKPageMarginR = 1440;
    int lULKPageMarginB = 1440;
    int lULKPageWidth = 12240;
    int lULKPageHeight = 15840;
    int lULKStyleSheetOption = 0;
    QString sULKStyleSheetFile;
    bool bULKPortrait = true;

    bool bOverridePDFSettings = false;
    QString sULKPDFUserPassword;
    QString sULKPDFMasterPassword;
    int lDocAccessPermissions = 0;

    bool bOverrideImageSettings = false;
    int lImageComparessionQuality = 0;
    int lImageMaxResolution = 300;
};
