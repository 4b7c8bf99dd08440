#pragma once
// The advanced options of a conversion: slide range, one file per slide, notes, the text-only
// choice of "PDF - with options" and what happens to input files after processing.
#include "ui/options/OptionsDialogFrame.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

class frmAdvancedOptions : public OptionsDialogFrame
{
    Q_OBJECT
public:
    frmAdvancedOptions(DialogContext &ctx, QWidget *parent = nullptr);

    bool bSupportsSingleFileOutput = true;
    // True from loading until Apply succeeds.
    bool bCancelled = true;

    // Reads the settings into the controls (called by the opener after setting the flag above).
    void Form_Load();

    QTabWidget *TabStrip1 = nullptr;
    QRadioButton *rbConvertAllSlides[2] = {};
    QWidget *frameSelectSlides = nullptr;
    QLineEdit *txtFromSlide = nullptr;
    QLineEdit *txtToSlide = nullptr;
    QRadioButton *rbCreateFileForEachSlide[2] = {};
    QCheckBox *cbIncludeNotes = nullptr;
    QCheckBox *cbNotesOnly = nullptr;
    QCheckBox *cbShowSlideAndShape = nullptr;
    QCheckBox *cbPDFTextOnly = nullptr;
    QPushButton *cmdPDFOptions = nullptr;
    QCheckBox *cbMoveAfterProcessing = nullptr;
    QLineEdit *txtMoveToFolder = nullptr;
    QPushButton *cmdSelectMoveFolder = nullptr;
    QCheckBox *cbDeleteAfterProcessing = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void TabStrip1_Click(int index);
    void cbMoveAfterProcessing_Click();
    void cbDeleteAfterProcessing_Click();
    void cmdSelectMoveFolder_Click();
    void cmdPDFOptions_Click();
    void cmdApply_Click();
    bool slideTextsValid();

    QLabel *m_warning = nullptr;
};
