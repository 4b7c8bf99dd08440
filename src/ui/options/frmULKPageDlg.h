#pragma once
// Page setup of the "PDF - with options" output: paper size and orientation, margins, and the
// HTML style-sheet option. Lengths show in the program-wide unit; the texts are not translated.
#include "ui/options/OptionsDialogFrame.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmULKPageDlg : public OptionsDialogFrame
{
    Q_OBJECT
public:
    frmULKPageDlg(DialogContext &ctx, QWidget *parent = nullptr);

    void Form_Load();
    void UpdateForPortraitLandscape(bool bDoLandscape);
    void SelectPaperSizeFromDimensions();

    QComboBox *cboPaperSize = nullptr;
    QLineEdit *txtPaperWidth = nullptr;
    QLineEdit *txtPaperHeight = nullptr;
    QRadioButton *rbPortrait = nullptr;
    QRadioButton *rbLandscape = nullptr;
    QLineEdit *txtLeftMargin = nullptr;
    QLineEdit *txtTopMargin = nullptr;
    QLineEdit *txtRightMargin = nullptr;
    QLineEdit *txtBottomMargin = nullptr;
    QRadioButton *optStylesheetOptions[4] = {};
    QLabel *lblStylesheetFile = nullptr;
    QLineEdit *txtStylesheetFile = nullptr;
    QLabel *lblMeasurement[6] = {};
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cboPaperSize_Click();
    void optStylesheetOptions_Click(int index);
    void btnOK_Click();
    int unit() const;

    QButtonGroup *m_stylesheetGroup = nullptr;
};
