#pragma once
// Which groups of the "PDF - with options" output are enforced (page, paragraph, font, PDF
// security, image quality), the image values, and the program-wide length unit.
#include "ui/options/OptionsDialogFrame.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

class frmULKAdvancedOptions : public OptionsDialogFrame
{
    Q_OBJECT
public:
    frmULKAdvancedOptions(DialogContext &ctx, QWidget *parent = nullptr);

    void Form_Load();

    QTabWidget *tsDisplay = nullptr;
    QCheckBox *cbChangePageSettings = nullptr;
    QCheckBox *cbChangeParagraphSettings = nullptr;
    QCheckBox *cbChangeFontSettings = nullptr;
    QCheckBox *cbChangePDFSettings = nullptr;
    QCheckBox *cbChangeImageQuality = nullptr;
    QPushButton *cmdChangePageSettings = nullptr;
    QPushButton *cmdChangeParagraphSettings = nullptr;
    QPushButton *cmdChangeFontSettings = nullptr;
    QPushButton *cmdChangePDFSettings = nullptr;
    QWidget *frameImageQuality = nullptr;
    QComboBox *comboImageCompressionQuality = nullptr;
    QLineEdit *txtImageResolution = nullptr;
    QRadioButton *rbUnits[3] = {}; // 1 English, 2 Metric
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void cmdChangePageSettings_Click();
    void cmdChangePDFSettings_Click();
    void cmdApply_Click();
    void readParagraph(ConversionSettings &s) const;
    void readFont(ConversionSettings &s) const;
};
