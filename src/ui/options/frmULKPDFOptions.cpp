#include "frmULKPDFOptions.h"

#include "common/PdfSecurityRules.h"
#include "platform/Prompter.h"
#include "ui/support/WidgetNaming.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmULKPDFOptions::frmULKPDFOptions(DialogContext &ctx, QWidget *parent) : OptionsDialogFrame(ctx, parent)
{
    setObjectName(QStringLiteral("frmULKPDFOptions"));
    setWindowTitle(QStringLiteral("PDF Export Password Security Settings"));
    auto *root = new QVBoxLayout(this);

    chkUserPassword = named(new QCheckBox(QStringLiteral("&Require a password to open the document")), "chkUserPassword");
    txtUserPassword = named(new QLineEdit, "txtUserPassword");
    txtUserPassword->setEchoMode(QLineEdit::Password);
    root->addWidget(chkUserPassword);
    auto *open = new QGridLayout;
    open->setContentsMargins(24, 0, 0, 0);
    addRow(open, 0, "&Document Open Password:", txtUserPassword);
    root->addLayout(open);

    auto *frame = named(new QGroupBox(QStringLiteral("Permissions")), "Frame1");
    auto *fv = new QVBoxLayout(frame);
    chkMasterPassword = named(new QCheckBox(QStringLiteral(
                                  "&Use a password to restrict printing and editing of the document and its security settings")),
                              "chkMasterPassword");
    txtMasterPassword = named(new QLineEdit, "txtMasterPassword");
    txtMasterPassword->setEchoMode(QLineEdit::Password);
    cboPrinting = named(new QComboBox, "cboPrinting");
    cboChangesAllowed = named(new QComboBox, "cboChangesAllowed");
    chkAllowExtractContents =
        named(new QCheckBox(QStringLiteral("&Enable copying of text, images, and other content")), "chkAllowExtractContents");
    chkAllowContentAccessibility = named(
        new QCheckBox(QStringLiteral("Enable text access for screen reader devices for the &visually impaired")),
        "chkAllowContentAccessibility");
    fv->addWidget(chkMasterPassword);
    auto *g = new QGridLayout;
    g->setContentsMargins(24, 0, 0, 0);
    addRow(g, 0, "&Permissions Password:", txtMasterPassword);
    addRow(g, 1, "Pri&nting Allowed:", cboPrinting);
    addRow(g, 2, "Changes &Allowed:", cboChangesAllowed);
    g->setColumnStretch(1, 1);
    fv->addLayout(g);
    fv->addWidget(chkAllowExtractContents);
    fv->addWidget(chkAllowContentAccessibility);
    root->addWidget(frame);

    cmdOK = named(new QPushButton(QStringLiteral("Ok")), "cmdOK");
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel")), "cmdCancel");
    root->addLayout(closingButtonRow(cmdOK, cmdCancel));

    connect(chkUserPassword, &QCheckBox::toggled, this, [this] { chkUserPassword_Click(); });
    connect(chkMasterPassword, &QCheckBox::toggled, this, [this] { chkMasterPassword_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // The boxes start unchecked: their handlers disable the fields until a box is checked.
    chkUserPassword_Click();
    chkMasterPassword_Click();
}

void frmULKPDFOptions::chkUserPassword_Click()
{
    txtUserPassword->clear();
    txtUserPassword->setEnabled(chkUserPassword->isChecked());
}

void frmULKPDFOptions::chkMasterPassword_Click()
{
    txtMasterPassword->clear();
    const bool on = chkMasterPassword->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(txtMasterPassword), static_cast<QWidget *>(cboPrinting),
                       static_cast<QWidget *>(cboChangesAllowed), static_cast<QWidget *>(chkAllowExtractContents),
                       static_cast<QWidget *>(chkAllowContentAccessibility)})
        w->setEnabled(on);
}

void frmULKPDFOptions::Form_Load()
{
    const ConversionSettings &s = context().settings;
    chkUserPassword->setChecked(!s.sULKPDFUserPassword.isEmpty());
    txtUserPassword->setText(s.sULKPDFUserPassword);
    chkMasterPassword->setChecked(!s.sULKPDFMasterPassword.isEmpty());
    txtMasterPassword->setText(s.sULKPDFMasterPassword);
    const PdfPermissionChoices c = DecodePermissionMask(s.lDocAccessPermissions);
    cboPrinting->clear();
    cboPrinting->addItems({QStringLiteral("None"), QStringLiteral("Low Resolution"), QStringLiteral("High Resolution")});
    cboPrinting->setCurrentIndex(c.printing);
    cboChangesAllowed->clear();
    cboChangesAllowed->addItems({QStringLiteral("None"), QStringLiteral("Inserting, deleting and rotating pages"),
                                 QStringLiteral("Filling in form fields and signing"),
                                 QStringLiteral("Commenting, filling in form fields and signing"),
                                 QStringLiteral("Any except extracting pages")});
    cboChangesAllowed->setCurrentIndex(c.changes);
    chkAllowContentAccessibility->setChecked(c.accessibility);
    chkAllowExtractContents->setChecked(c.copy);
}

void frmULKPDFOptions::cmdOK_Click()
{
    const QString problem = PdfPasswordProblem(chkMasterPassword->isChecked(), txtMasterPassword->text(),
                                               chkUserPassword->isChecked(), txtUserPassword->text());
    if (!problem.isEmpty()) {
        msgBox(problem, Prompter::OkOnly | Prompter::Exclamation);
        return;
    }
    ConversionSettings &s = context().settings;
    s.sULKPDFUserPassword = txtUserPassword->text();
    s.sULKPDFMasterPassword = txtMasterPassword->text();
    // The lists and boxes count also while disabled.
    PdfPermissionChoices c;
    c.printing = cboPrinting->currentIndex();
    c.changes = cboChangesAllowed->currentIndex();
    c.accessibility = chkAllowContentAccessibility->isChecked();
    c.copy = chkAllowExtractContents->isChecked();
    s.lDocAccessPermissions = EncodePermissionMask(c);
    accept();
}
