#pragma once
// Password security of the "PDF - with options" output: open password, permissions password
// and the permissions it guards, kept as one bit mask. Texts and messages are not translated.
#include "ui/options/OptionsDialogFrame.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class frmULKPDFOptions : public OptionsDialogFrame
{
    Q_OBJECT
public:
    frmULKPDFOptions(DialogContext &ctx, QWidget *parent = nullptr);

    void Form_Load();

    QCheckBox *chkUserPassword = nullptr;
    QLineEdit *txtUserPassword = nullptr;
    QCheckBox *chkMasterPassword = nullptr;
    QLineEdit *txtMasterPassword = nullptr;
    QComboBox *cboPrinting = nullptr;
    QComboBox *cboChangesAllowed = nullptr;
    QCheckBox *chkAllowExtractContents = nullptr;
    QCheckBox *chkAllowContentAccessibility = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void chkUserPassword_Click();
    void chkMasterPassword_Click();
    void cmdOK_Click();
};
