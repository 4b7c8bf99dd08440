#include "TextParagraphDialog.h"

#include "language/Translator.h"
#include "textcontrol/TextControl.h"
#include "ui/support/FormTranslator.h"
#include "ui/support/WidgetNaming.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {

QDoubleSpinBox *points(const char *name, double min = -1584, double max = 1584)
{
    auto *s = named(new QDoubleSpinBox, name);
    s->setRange(min, max);
    s->setDecimals(2);
    s->setSingleStep(1);
    s->setSuffix(QStringLiteral(" pt"));
    return s;
}

int twips(const QDoubleSpinBox *s) { return int(std::lround(s->value() * 20.0)); }

} // namespace

TextParagraphDialog::TextParagraphDialog(TextControl &control, QWidget *parent) : QDialog(parent), m_control(control)
{
    setObjectName(QStringLiteral("TextParagraphDialog"));
    setWindowTitle(QStringLiteral("Paragraph"));
    setModal(true);
    auto *root = new QVBoxLayout(this);

    auto *top = new QGridLayout;
    cboAlignment = named(new QComboBox, "cboAlignment");
    for (const char *a : {"Left", "Right", "Centre", "Justify"})
        cboAlignment->addItem(Translate(QString::fromLatin1(a)));
    addRow(top, 0, "&Alignment:", cboAlignment);
    top->setColumnStretch(2, 1);
    root->addLayout(top);

    auto *indents = new QGroupBox(QStringLiteral("Indents and spacing"));
    auto *gi = new QGridLayout(indents);
    spnIndentL = points("spnIndentL");
    spnIndentR = points("spnIndentR");
    spnIndentFL = points("spnIndentFL");
    spnIndentT = points("spnIndentT", 0);
    spnIndentB = points("spnIndentB", 0);
    addRow(gi, 0, "&Left indent:", spnIndentL);
    addRow(gi, 1, "&Right indent:", spnIndentR);
    addRow(gi, 2, "&First line:", spnIndentFL);
    addRow(gi, 3, "Space &before:", spnIndentT);
    addRow(gi, 4, "Space a&fter:", spnIndentB);
    cboLineSpacingKind = named(new QComboBox, "cboLineSpacingKind");
    cboLineSpacingKind->addItem(Translate(QStringLiteral("Proportional")));
    cboLineSpacingKind->addItem(Translate(QStringLiteral("Exact")));
    spnLineSpacing = named(new QSpinBox, "spnLineSpacing");
    spnLineSpacing->setRange(1, 1000);
    spnLineSpacing->setSuffix(QStringLiteral(" %"));
    spnLineSpacingT = points("spnLineSpacingT", 0.05);
    addRow(gi, 5, "Line &spacing:", cboLineSpacingKind);
    auto *spacing = new QHBoxLayout;
    spacing->addWidget(spnLineSpacing);
    spacing->addWidget(spnLineSpacingT);
    auto *spacingLabel = new QLabel(QStringLiteral("Line spacing &value:"));
    spacingLabel->setBuddy(spnLineSpacing);
    gi->addWidget(spacingLabel, 6, 0);
    gi->addLayout(spacing, 6, 1);
    spnLineSpacingT->setAccessibleName(Translate(QStringLiteral("Exact line spacing")));
    root->addWidget(indents);

    auto *frame = new QGroupBox(QStringLiteral("Frame"));
    auto *gf = new QGridLayout(frame);
    const char *lines[4] = {"Left line", "Right line", "Top line", "Bottom line"};
    for (int i = 0; i < 4; ++i) {
        chkFrame[i] = new QCheckBox(QString::fromLatin1(lines[i]));
        chkFrame[i]->setObjectName(QStringLiteral("chkFrame%1").arg(i));
        gf->addWidget(chkFrame[i], i / 2, i % 2);
    }
    auto *gm = new QGridLayout;
    spnFrameLineWidth = points("spnFrameLineWidth", 0, 100);
    spnFrameDistance = points("spnFrameDistance", 0, 1584);
    addRow(gm, 0, "Line &width:", spnFrameLineWidth);
    addRow(gm, 1, "&Distance to text:", spnFrameDistance);
    gf->addLayout(gm, 2, 0, 1, 2);
    root->addWidget(frame);

    cmdOK = named(new QPushButton(QStringLiteral("OK")), "cmdOK");
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel")), "cmdCancel");
    root->addLayout(closingButtonRow(cmdOK, cmdCancel));

    // The control's current paragraph format.
    const int alignment = control.Alignment();
    cboAlignment->setCurrentIndex(alignment >= 0 && alignment <= 3 ? alignment : 0);
    spnIndentL->setValue(control.IndentL() / 20.0);
    spnIndentR->setValue(control.IndentR() / 20.0);
    spnIndentFL->setValue(control.IndentFL() / 20.0);
    spnIndentT->setValue(control.IndentT() / 20.0);
    spnIndentB->setValue(control.IndentB() / 20.0);
    const int exact = control.LineSpacingT();
    cboLineSpacingKind->setCurrentIndex(exact > 0 ? 1 : 0);
    spnLineSpacing->setValue(exact > 0 ? 100 : std::max(1, control.LineSpacing()));
    spnLineSpacingT->setValue(exact > 0 ? exact / 20.0 : 12.0);
    spnLineSpacing->setVisible(exact <= 0);
    spnLineSpacingT->setVisible(exact > 0);
    const int style = control.FrameStyle();
    for (int i = 0; i < 4; ++i)
        chkFrame[i]->setChecked((style & (1 << i)) != 0);
    spnFrameLineWidth->setValue(control.FrameLineWidth() / 20.0);
    spnFrameDistance->setValue(control.FrameDistance() / 20.0);

    connect(cboLineSpacingKind, &QComboBox::currentIndexChanged, this, [this](int kind) {
        spnLineSpacing->setVisible(kind == 0);
        spnLineSpacingT->setVisible(kind == 1);
    });
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    TranslateForm(this);
}

void TextParagraphDialog::apply()
{
    TextControl &tc = m_control;
    tc.setAlignment(cboAlignment->currentIndex());
    tc.setFrameDistance(twips(spnFrameDistance));
    tc.setFrameLineWidth(twips(spnFrameLineWidth));
    int style = 0;
    for (int i = 0; i < 4; ++i)
        if (chkFrame[i]->isChecked())
            style |= 1 << i;
    tc.setFrameStyle(style);
    tc.setIndentB(twips(spnIndentB));
    tc.setIndentFL(twips(spnIndentFL));
    tc.setIndentL(twips(spnIndentL));
    tc.setIndentR(twips(spnIndentR));
    tc.setIndentT(twips(spnIndentT));
    // An exact height replaces the percentage; a percentage clears the exact height.
    if (cboLineSpacingKind->currentIndex() == 1) {
        tc.setLineSpacingT(twips(spnLineSpacingT));
    } else {
        tc.setLineSpacing(spnLineSpacing->value());
    }
}
