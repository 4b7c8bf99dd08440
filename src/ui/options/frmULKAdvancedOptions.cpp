#include "frmULKAdvancedOptions.h"

#include "common/NumberUtils.h"
#include "jobs/PdfWithOptions.h"
#include "textcontrol/TextControl.h"
#include "ui/options/frmULKPDFOptions.h"
#include "ui/options/frmULKPageDlg.h"
#include "ui/support/FormTranslator.h"
#include "ui/support/TabCycling.h"
#include "ui/support/WidgetNaming.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// One tab: the enforce box and, below it, what the box shows while checked.
QVBoxLayout *enforcePage(QTabWidget *tabs, const char *tab, QCheckBox *box)
{
    auto *p = new QWidget;
    tabs->addTab(p, QString::fromLatin1(tab));
    auto *v = new QVBoxLayout(p);
    v->addWidget(box);
    return v;
}

void addButton(QVBoxLayout *v, QPushButton *button)
{
    auto *h = new QHBoxLayout;
    h->setContentsMargins(24, 0, 0, 0);
    h->addWidget(button);
    h->addStretch(1);
    v->addLayout(h);
    v->addStretch(1);
}

} // namespace

frmULKAdvancedOptions::frmULKAdvancedOptions(DialogContext &ctx, QWidget *parent) : OptionsDialogFrame(ctx, parent)
{
    setObjectName(QStringLiteral("frmULKAdvancedOptions"));
    // Named for its button: the dialog that opens it is "Advanced Options".
    setWindowTitle(QStringLiteral("Advanced PDF Options"));
    auto *root = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("The target file can be modfied by changing the settings below:"));
    intro->setWordWrap(true);
    root->addWidget(intro);
    tsDisplay = named(new QTabWidget, "tsDisplay");
    tsDisplay->setUsesScrollButtons(false); // every tab caption shows whole, also translated
    tsDisplay->setElideMode(Qt::ElideNone);
    root->addWidget(tsDisplay, 1);

    cbChangePageSettings = named(new QCheckBox(QStringLiteral("Enforce &Page And Document Settings")), "cbChangePageSettings");
    cmdChangePageSettings = named(new QPushButton(QStringLiteral("Change Page and Document Settings")), "cmdChangePageSettings");
    addButton(enforcePage(tsDisplay, "Page And Document Settings", cbChangePageSettings), cmdChangePageSettings);

    cbChangeParagraphSettings = named(new QCheckBox(QStringLiteral("Enforce Paragraph Formatting")), "cbChangeParagraphSettings");
    cmdChangeParagraphSettings = named(new QPushButton(QStringLiteral("Change Paragraph Formatting")), "cmdChangeParagraphSettings");
    addButton(enforcePage(tsDisplay, "Paragraph Formatting", cbChangeParagraphSettings), cmdChangeParagraphSettings);

    cbChangeFontSettings = named(new QCheckBox(QStringLiteral("Enforce &Font")), "cbChangeFontSettings");
    cmdChangeFontSettings = named(new QPushButton(QStringLiteral("Change Font")), "cmdChangeFontSettings");
    addButton(enforcePage(tsDisplay, "Font", cbChangeFontSettings), cmdChangeFontSettings);

    cbChangePDFSettings = named(new QCheckBox(QStringLiteral("Enforce PDF Settings")), "cbChangePDFSettings");
    cmdChangePDFSettings = named(new QPushButton(QStringLiteral("Change PDF Settings")), "cmdChangePDFSettings");
    addButton(enforcePage(tsDisplay, "PDF Options", cbChangePDFSettings), cmdChangePDFSettings);

    cbChangeImageQuality = named(new QCheckBox(QStringLiteral("Enforce Image Quality Settings")), "cbChangeImageQuality");
    {
        QVBoxLayout *v = enforcePage(tsDisplay, "Image Quality", cbChangeImageQuality);
        frameImageQuality = named(new QWidget, "frameImageQuality");
        auto *g = new QGridLayout(frameImageQuality);
        g->setContentsMargins(24, 0, 0, 0);
        comboImageCompressionQuality = named(new QComboBox, "comboImageCompressionQuality");
        txtImageResolution = named(new QLineEdit, "txtImageResolution");
        auto *lq = new QLabel(QStringLiteral("Image Compression Quality (100 highest, 1 lowest quality. 0 for default)"));
        auto *lr = new QLabel(QStringLiteral(
            "Image Resolution (Sets the maximum resolution for all images in the document in dots per inch when the "
            "document is saved. If an image's resolution is larger than this property's value, it is reduced, "
            "otherwise it is not changed. If this property's value is zero, which is the default value, the default "
            "resolution of each image is used.)"));
        lq->setWordWrap(true);
        lr->setWordWrap(true);
        lq->setBuddy(comboImageCompressionQuality);
        lr->setBuddy(txtImageResolution);
        comboImageCompressionQuality->setMaxVisibleItems(15);
        txtImageResolution->setMaximumWidth(100);
        g->addWidget(lq, 0, 0);
        g->addWidget(comboImageCompressionQuality, 1, 0, Qt::AlignLeft);
        g->addWidget(lr, 2, 0);
        g->addWidget(txtImageResolution, 3, 0, Qt::AlignLeft);
        v->addWidget(frameImageQuality);
        v->addStretch(1);
    }

    auto *bottom = new QHBoxLayout;
    auto *units = named(new QGroupBox(QStringLiteral("Units")), "Frame1");
    auto *uh = new QHBoxLayout(units);
    rbUnits[1] = named(new QRadioButton(QStringLiteral("English")), "rbUnits1");
    rbUnits[2] = named(new QRadioButton(QStringLiteral("Metric")), "rbUnits2");
    uh->addWidget(rbUnits[1]);
    uh->addWidget(rbUnits[2]);
    bottom->addWidget(units);
    bottom->addStretch(1);
    cmdApply = named(new QPushButton(QStringLiteral("&Apply")), "cmdApply");
    cmdCancel = named(new QPushButton(QStringLiteral("&Cancel")), "cmdCancel");
    cmdApply->setDefault(true);
    bottom->addWidget(cmdApply, 0, Qt::AlignBottom);
    bottom->addWidget(cmdCancel, 0, Qt::AlignBottom);
    root->addLayout(bottom);

    for (QWidget *w : {static_cast<QWidget *>(cmdChangePageSettings), static_cast<QWidget *>(cmdChangeParagraphSettings),
                       static_cast<QWidget *>(cmdChangeFontSettings), static_cast<QWidget *>(cmdChangePDFSettings),
                       frameImageQuality}) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
        w->setVisible(false);
    }
    connect(cbChangePageSettings, &QCheckBox::toggled, cmdChangePageSettings, &QWidget::setVisible);
    connect(cbChangeParagraphSettings, &QCheckBox::toggled, cmdChangeParagraphSettings, &QWidget::setVisible);
    connect(cbChangeFontSettings, &QCheckBox::toggled, cmdChangeFontSettings, &QWidget::setVisible);
    connect(cbChangePDFSettings, &QCheckBox::toggled, cmdChangePDFSettings, &QWidget::setVisible);
    connect(cbChangeImageQuality, &QCheckBox::toggled, frameImageQuality, &QWidget::setVisible);

    connect(cmdChangePageSettings, &QPushButton::clicked, this, [this] { cmdChangePageSettings_Click(); });
    connect(cmdChangePDFSettings, &QPushButton::clicked, this, [this] { cmdChangePDFSettings_Click(); });
    connect(cmdChangeFontSettings, &QPushButton::clicked, this, [this] {
        if (context().TXTextControlOutput)
            context().TXTextControlOutput->FontDialog();
    });
    connect(cmdChangeParagraphSettings, &QPushButton::clicked, this, [this] {
        if (context().TXTextControlOutput)
            context().TXTextControlOutput->ParagraphDialog();
    });
    // The unit is program-wide and takes effect at once, also when this dialog is cancelled.
    connect(rbUnits[1], &QRadioButton::toggled, this, [this](bool on) { context().glnMeasurement = on ? 1 : 2; });
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    InstallTabCycling(this, tsDisplay);

    TranslateForm(this);
}

void frmULKAdvancedOptions::readParagraph(ConversionSettings &s) const
{
    const TextControl *tc = context().TXTextControlOutput;
    if (!tc)
        return;
    s.lULKAlignment = tc->Alignment();
    s.lULKFrameDistance = tc->FrameDistance();
    s.lULKFrameLineWidth = tc->FrameLineWidth();
    s.lULKFrameStyle = tc->FrameStyle();
    s.lULKIndentB = tc->IndentB();
    s.lULKIndentFL = tc->IndentFL();
    s.lULKIndentL = tc->IndentL();
    s.lULKIndentR = tc->IndentR();
    s.lULKIndentT = tc->IndentT();
    s.lULKLineSpacing = tc->LineSpacing();
    s.lULKLineSpacingT = tc->LineSpacingT();
}

void frmULKAdvancedOptions::readFont(ConversionSettings &s) const
{
    const TextControl *tc = context().TXTextControlOutput;
    if (!tc)
        return;
    s.lULKBaseLine = tc->BaseLine();
    s.lULKFontBold = tc->FontBold();
    s.lULKFontItalic = tc->FontItalic();
    s.lULKFontSize = tc->FontSize();
    s.lULKFontStrikethru = tc->FontStrikethru();
    s.lULKFontUnderline = tc->FontUnderline();
    s.lULKFontUnderlineStyle = tc->FontUnderlineStyle();
    s.lULKForeColor = tc->ForeColor();
    s.lULKTextBkColor = tc->TextBkColor();
    s.sULKFontName = tc->FontName();
}

void frmULKAdvancedOptions::Form_Load()
{
    const ConversionSettings &s = context().settings;
    tsDisplay->setCurrentIndex(0);
    cbChangePageSettings->setChecked(s.bOverridePageSettings);
    cbChangeParagraphSettings->setChecked(s.bOverrideParagraphSettings);
    cbChangeFontSettings->setChecked(s.bOverrideFontSettings);
    if (TextControl *tc = context().TXTextControlOutput) {
        if (s.bOverrideParagraphSettings)
            WriteULKParagraphSettings(*tc, s);
        if (s.bOverrideFontSettings)
            WriteULKFontSettings(*tc, s);
    }
    cbChangeImageQuality->setChecked(s.bOverrideImageSettings);
    cbChangePDFSettings->setChecked(s.bOverridePDFSettings);
    comboImageCompressionQuality->clear();
    for (int i = 0; i <= 100; ++i)
        comboImageCompressionQuality->addItem(QString::number(i));
    // A stored quality outside the list selects nothing; Apply then keeps it.
    const int q = s.lImageComparessionQuality;
    comboImageCompressionQuality->setCurrentIndex(q >= 0 && q <= 100 ? q : -1);
    txtImageResolution->setText(QString::number(s.lImageMaxResolution));
    // Any stored unit but English counts as metric; the toggled handler writes the same value.
    short &unit = context().glnMeasurement;
    unit = unit == 1 ? 1 : 2;
    rbUnits[unit]->setChecked(true);
}

void frmULKAdvancedOptions::cmdChangePageSettings_Click()
{
    frmULKPageDlg dialog(context(), this);
    dialog.Form_Load();
    runModal(dialog);
}

void frmULKAdvancedOptions::cmdChangePDFSettings_Click()
{
    frmULKPDFOptions dialog(context(), this);
    dialog.Form_Load();
    runModal(dialog);
}

void frmULKAdvancedOptions::cmdApply_Click()
{
    ConversionSettings &s = context().settings;
    s.bOverridePageSettings = cbChangePageSettings->isChecked();
    s.bOverrideParagraphSettings = cbChangeParagraphSettings->isChecked();
    if (s.bOverrideParagraphSettings)
        readParagraph(s);
    s.bOverrideFontSettings = cbChangeFontSettings->isChecked();
    if (s.bOverrideFontSettings)
        readFont(s);
    s.bOverrideImageSettings = cbChangeImageQuality->isChecked();
    if (s.bOverrideImageSettings) {
        if (comboImageCompressionQuality->currentIndex() >= 0)
            s.lImageComparessionQuality = comboImageCompressionQuality->currentIndex();
        // Not a number, or outside 32 bits: the resolution stays as it was.
        int dpi = 0;
        if (bTryCLng(txtImageResolution->text(), dpi, QLocale()))
            s.lImageMaxResolution = dpi;
    }
    s.bOverridePDFSettings = cbChangePDFSettings->isChecked();
    accept();
}
