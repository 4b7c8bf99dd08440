#include "frmULKPageDlg.h"

#include "common/LengthUnits.h"
#include "ui/support/WidgetNaming.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A labelled length box with its unit label, in one row of a grid.
QLineEdit *lengthRow(QGridLayout *g, int row, const char *caption, const char *name, QLabel *&unitLabel)
{
    auto *label = new QLabel(QString::fromLatin1(caption));
    auto *box = named(new QLineEdit, name);
    box->setMaximumWidth(80);
    label->setBuddy(box);
    unitLabel = new QLabel;
    unitLabel->setMinimumWidth(32);
    g->addWidget(label, row, 0);
    g->addWidget(box, row, 1);
    g->addWidget(unitLabel, row, 2);
    return box;
}

} // namespace

frmULKPageDlg::frmULKPageDlg(DialogContext &ctx, QWidget *parent) : OptionsDialogFrame(ctx, parent)
{
    setObjectName(QStringLiteral("frmULKPageDlg"));
    setWindowTitle(QStringLiteral("Page Setup"));
    auto *root = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    root->addLayout(top);

    auto *paper = named(new QGroupBox(QStringLiteral("&Paper size")), "frm3D0");
    {
        auto *g = new QGridLayout(paper);
        cboPaperSize = named(new QComboBox, "cboPaperSize");
        cboPaperSize->setAccessibleName(QStringLiteral("Paper size"));
        paper->setFocusProxy(cboPaperSize);
        g->addWidget(cboPaperSize, 0, 0, 1, 3);
        txtPaperWidth = lengthRow(g, 1, "&Width:", "txtPaperWidth", lblMeasurement[4]);
        txtPaperHeight = lengthRow(g, 2, "&Height:", "txtPaperHeight", lblMeasurement[5]);
        rbPortrait = named(new QRadioButton(QStringLiteral("Portrait")), "rbPortrait");
        rbLandscape = named(new QRadioButton(QStringLiteral("Landscape")), "rbLandscape");
        g->addWidget(rbPortrait, 3, 0, 1, 3);
        g->addWidget(rbLandscape, 4, 0, 1, 3);
        g->setRowStretch(5, 1);
    }
    auto *margins = named(new QGroupBox(QStringLiteral("Page margins")), "frm3D1");
    {
        auto *g = new QGridLayout(margins);
        txtLeftMargin = lengthRow(g, 0, "&Left:", "txtLeftMargin", lblMeasurement[0]);
        txtTopMargin = lengthRow(g, 1, "&Top:", "txtTopMargin", lblMeasurement[1]);
        txtRightMargin = lengthRow(g, 2, "&Right:", "txtRightMargin", lblMeasurement[2]);
        txtBottomMargin = lengthRow(g, 3, "&Bottom:", "txtBottomMargin", lblMeasurement[3]);
        g->setRowStretch(4, 1);
    }
    top->addWidget(paper);
    top->addWidget(margins);

    auto *sheet = named(new QGroupBox(QStringLiteral("HTML stylesheet save options")), "frm3D2");
    {
        auto *g = new QGridLayout(sheet);
        m_stylesheetGroup = new QButtonGroup(this);
        const char *captions[4] = {"No stylesheet", "Inline stylesheet", "Save but do not overwirte existing file",
                                   "Save stylesheet in seperate file"};
        for (int i = 0; i < 4; ++i) {
            optStylesheetOptions[i] = new QRadioButton(QString::fromLatin1(captions[i]));
            optStylesheetOptions[i]->setObjectName(QStringLiteral("optStylesheetOptions%1").arg(i));
            m_stylesheetGroup->addButton(optStylesheetOptions[i], i);
            g->addWidget(optStylesheetOptions[i], i / 2, i % 2);
        }
        lblStylesheetFile = named(new QLabel(QStringLiteral("Stylesheet file:")), "lblStylesheetFile");
        txtStylesheetFile = named(new QLineEdit, "txtStylesheetFile");
        lblStylesheetFile->setBuddy(txtStylesheetFile);
        auto *h = new QHBoxLayout;
        h->addWidget(lblStylesheetFile);
        h->addWidget(txtStylesheetFile, 1);
        g->addLayout(h, 2, 0, 1, 2);
    }
    root->addWidget(sheet);

    btnOK = named(new QPushButton(QStringLiteral("&Apply")), "btnOK");
    btnCancel = named(new QPushButton(QStringLiteral("Cancel")), "btnCancel");
    root->addLayout(closingButtonRow(btnOK, btnCancel));

    txtPaperWidth->installEventFilter(this);
    txtPaperHeight->installEventFilter(this);
    connect(cboPaperSize, &QComboBox::activated, this, [this] { cboPaperSize_Click(); });
    connect(rbPortrait, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            UpdateForPortraitLandscape(false);
    });
    connect(rbLandscape, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            UpdateForPortraitLandscape(true);
    });
    connect(m_stylesheetGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            optStylesheetOptions_Click(id);
    });
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOK_Click(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

int frmULKPageDlg::unit() const { return context().glnMeasurement; }

bool frmULKPageDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && (watched == txtPaperWidth || watched == txtPaperHeight))
        SelectPaperSizeFromDimensions();
    return OptionsDialogFrame::eventFilter(watched, event);
}

void frmULKPageDlg::Form_Load()
{
    const ConversionSettings &s = context().settings;
    for (QLabel *l : lblMeasurement)
        l->setText(UnitLabel(unit()));
    cboPaperSize->clear();
    for (const PaperPreset &p : PaperPresets())
        cboPaperSize->addItem(QString::fromLatin1(p.name));
    cboPaperSize->addItem(QString::fromLatin1(kUserDefinedPaperName));
    txtLeftMargin->setText(TwipsToUnitText(s.lULKPageMarginL, unit()));
    txtTopMargin->setText(TwipsToUnitText(s.lULKPageMarginT, unit()));
    txtRightMargin->setText(TwipsToUnitText(s.lULKPageMarginR, unit()));
    txtBottomMargin->setText(TwipsToUnitText(s.lULKPageMarginB, unit()));
    txtPaperWidth->setText(TwipsToUnitText(s.lULKPageWidth, unit()));
    txtPaperHeight->setText(TwipsToUnitText(s.lULKPageHeight, unit()));
    SelectPaperSizeFromDimensions();
    // A stored option outside the four selects none; Apply then keeps the stored value.
    const int option = s.lULKStyleSheetOption;
    if (option >= 0 && option < 4)
        optStylesheetOptions[option]->setChecked(true);
    else
        optStylesheetOptions_Click(-1);
    txtStylesheetFile->setText(s.sULKStyleSheetFile);
    (s.bULKPortrait ? rbPortrait : rbLandscape)->setChecked(true);
}

void frmULKPageDlg::SelectPaperSizeFromDimensions()
{
    int width = 0, height = 0;
    // A box that holds no number fits no preset.
    const bool numbers = bTryUnitTextToTwips(txtPaperWidth->text(), unit(), width) &&
                         bTryUnitTextToTwips(txtPaperHeight->text(), unit(), height);
    cboPaperSize->setCurrentIndex(numbers ? MatchPaperPreset(width, height) : kUserDefinedPaper);
    cboPaperSize_Click();
}

void frmULKPageDlg::cboPaperSize_Click()
{
    const int index = cboPaperSize->currentIndex();
    if (index >= 0 && index < kUserDefinedPaper) {
        const PaperPreset &p = PaperPresets()[size_t(index)];
        txtPaperWidth->setText(TwipsToUnitText(p.width, unit()));
        txtPaperHeight->setText(TwipsToUnitText(p.height, unit()));
    }
    if (rbLandscape->isChecked())
        UpdateForPortraitLandscape(true);
}

void frmULKPageDlg::UpdateForPortraitLandscape(bool bDoLandscape)
{
    int width = 0, height = 0;
    if (!bTryUnitTextToTwips(txtPaperWidth->text(), unit(), width) ||
        !bTryUnitTextToTwips(txtPaperHeight->text(), unit(), height))
        return; // nothing to compare
    if (bOrientationNeedsSwap(width, height, bDoLandscape)) {
        const QString w = txtPaperWidth->text();
        txtPaperWidth->setText(txtPaperHeight->text());
        txtPaperHeight->setText(w);
    }
}

void frmULKPageDlg::optStylesheetOptions_Click(int index)
{
    const bool on = index == 2 || index == 3;
    txtStylesheetFile->setEnabled(on);
    lblStylesheetFile->setEnabled(on);
}

void frmULKPageDlg::btnOK_Click()
{
    ConversionSettings &s = context().settings;
    s.lULKPageMarginL = UnitTextToTwips(txtLeftMargin->text(), unit());
    s.lULKPageMarginT = UnitTextToTwips(txtTopMargin->text(), unit());
    s.lULKPageMarginR = UnitTextToTwips(txtRightMargin->text(), unit());
    s.lULKPageMarginB = UnitTextToTwips(txtBottomMargin->text(), unit());
    s.lULKPageWidth = UnitTextToTwips(txtPaperWidth->text(), unit());
    s.lULKPageHeight = UnitTextToTwips(txtPaperHeight->text(), unit());
    if (m_stylesheetGroup->checkedId() >= 0)
        s.lULKStyleSheetOption = m_stylesheetGroup->checkedId();
    s.sULKStyleSheetFile = txtStylesheetFile->text();
    s.bULKPortrait = rbPortrait->isChecked();
    accept();
}
