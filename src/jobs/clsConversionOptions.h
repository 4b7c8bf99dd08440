#pragma once
// The record of one task: a conversion or a special process, with its result.
#include <QString>

// Sentinel of a type code that was never given.
constexpr int kTypeNotGiven = -12345678;
// Target type "PDF - with options": written through the text control's PDF road.
constexpr int kPdfWithOptionsType = 300;

enum ConversionMethod { cmMSWord = 1, cmAmbrith = 2, cmFromPDF = 3, cmSpecialProcess = 4 };

enum SpecialProcessId {
    spReloadJob = 1,
    spAppendFiles = 50,
    spRemoveEmptyLines = 55,
    spSearchAndReplace = 56,
    spLaunchProgram = 60,
};

class clsConversionOptions
{
public:
    QString sActionToDo = QStringLiteral("C");
    QString sCurrentBatchJobFile;
    QString sOriginalFile;
    int lOriginalFileType = kTypeNotGiven;
    QString sTargetFile;
    bool bVerbose = false;
    bool bOpenButDoNotRun = false;
    int lTargetFileType = kTypeNotGiven;
    bool bDoSubfolders = false;
    bool bSaveInOriginalFolder = false;
    int lConversionMethod = cmAmbrith;
    bool bShowSlideAndShape = false;
    bool bIncludeNotesPage = false;
    bool bIncludeNotesOnly = false;
    int lSpecialProcess = 0;
    int lCommandLineThreadPriority = 32;
    int lCommandLineWindowState = 1;
    int lCommandLineWaitTime = -1;
    int lCommandLineExitCode = 0;
    QString sFindString;
    QString sReplaceString;
    bool bCaseSensitive = true;
    bool bConvertAllSlides = true;
    bool bCreateFileForEachSlide = false;
    int lFromSlide = 0;
    int lToSlide = 0;
    QString sLogFile;
    QString sLogAsConversionJobFile;
    QString sCLBatchJobFile;
    QString sErr;
    int lErr = 0;
    QString sSubFolder;
};
