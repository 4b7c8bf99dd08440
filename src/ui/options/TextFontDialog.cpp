#include "TextFontDialog.h"

#include "language/Translator.h"
#include "textcontrol/TextControl.h"
#include "textcontrol/TextUnits.h"
#include "ui/options/OptionsDialogFrame.h"
#include "ui/support/FormTranslator.h"
#include "ui/support/WidgetNaming.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {

void showSwatch(QPushButton *button, int colorRef)
{
    QPixmap swatch(40, 14);
    swatch.fill(TextUnits::colorFromColorRef(colorRef));
    button->setIcon(QIcon(swatch));
    button->setIconSize(swatch.size());
}

} // namespace

TextFontDialog::TextFontDialog(TextControl &control, ModalRunner runner, QWidget *parent)
    : QDialog(parent), m_control(control), m_runner(std::move(runner))
{
    setObjectName(QStringLiteral("TextFontDialog"));
    setWindowTitle(QStringLiteral("Font"));
    setModal(true);
    auto *root = new QVBoxLayout(this);
    auto *g = new QGridLayout;
    root->addLayout(g);

    cboFontName = named(new QFontComboBox, "cboFontName");
    spnFontSize = named(new QSpinBox, "spnFontSize");
    spnFontSize->setRange(1, 1638);
    spnFontSize->setSuffix(QStringLiteral(" pt"));
    chkBold = named(new QCheckBox(QStringLiteral("&Bold")), "chkBold");
    chkItalic = named(new QCheckBox(QStringLiteral("&Italic")), "chkItalic");
    chkUnderline = named(new QCheckBox(QStringLiteral("&Underline")), "chkUnderline");
    chkStrikethru = named(new QCheckBox(QStringLiteral("&Strike-through")), "chkStrikethru");
    cboUnderlineStyle = named(new QComboBox, "cboUnderlineStyle");
    for (const char *style : {"Single", "Double", "Dotted", "Dashed", "Wave", "Words only"})
        cboUnderlineStyle->addItem(Translate(QString::fromLatin1(style)));
    spnBaseLine = named(new QDoubleSpinBox, "spnBaseLine");
    spnBaseLine->setRange(-1584, 1584);
    spnBaseLine->setDecimals(2);
    spnBaseLine->setSingleStep(0.5);
    spnBaseLine->setSuffix(QStringLiteral(" pt"));
    cmdForeColor = named(new QPushButton, "cmdForeColor");
    cmdBackColor = named(new QPushButton, "cmdBackColor");
    chkNoBackground = named(new QCheckBox(QStringLiteral("No background")), "chkNoBackground");

    addRow(g, 0, "&Font:", cboFontName);
    addRow(g, 1, "Si&ze:", spnFontSize);
    auto *styles = new QHBoxLayout;
    styles->addWidget(chkBold);
    styles->addWidget(chkItalic);
    styles->addWidget(chkStrikethru);
    styles->addStretch(1);
    g->addLayout(styles, 2, 1);
    g->addWidget(chkUnderline, 3, 1);
    addRow(g, 4, "Underline st&yle:", cboUnderlineStyle);
    addRow(g, 5, "Baseline s&hift:", spnBaseLine);
    auto *foreLabel = new QLabel(QStringLiteral("&Text colour:"));
    foreLabel->setBuddy(cmdForeColor);
    auto *fore = new QHBoxLayout;
    fore->addWidget(cmdForeColor);
    fore->addStretch(1);
    g->addWidget(foreLabel, 6, 0);
    g->addLayout(fore, 6, 1);
    auto *back = new QHBoxLayout;
    back->addWidget(cmdBackColor);
    back->addWidget(chkNoBackground);
    back->addStretch(1);
    auto *backLabel = new QLabel(QStringLiteral("Bac&kground colour:"));
    backLabel->setBuddy(cmdBackColor);
    g->addWidget(backLabel, 7, 0);
    g->addLayout(back, 7, 1);
    g->setColumnStretch(1, 1);

    cmdOK = named(new QPushButton(QStringLiteral("OK")), "cmdOK");
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel")), "cmdCancel");
    root->addLayout(closingButtonRow(cmdOK, cmdCancel));

    // The control's current character format.
    // The name as stored, also when the font is not installed here: OK must not silently
    // replace it with a substitute.
    cboFontName->setEditable(true);
    cboFontName->setCurrentFont(QFont(control.FontName()));
    cboFontName->setEditText(control.FontName());
    spnFontSize->setValue(control.FontSize());
    chkBold->setChecked(control.FontBold() != 0);
    chkItalic->setChecked(control.FontItalic() != 0);
    chkUnderline->setChecked(control.FontUnderline() != 0);
    const int style = control.FontUnderlineStyle();
    cboUnderlineStyle->setCurrentIndex(style >= 1 && style <= 6 ? style - 1 : 0);
    cboUnderlineStyle->setEnabled(chkUnderline->isChecked());
    chkStrikethru->setChecked(control.FontStrikethru() != 0);
    spnBaseLine->setValue(control.BaseLine() / 20.0);
    setForeColor(control.ForeColor());
    const int background = control.TextBkColor();
    const bool none = background == TextUnits::kNoTextBackground;
    chkNoBackground->setChecked(none);
    setBackColor(none ? 0xFFFFFF : background);
    cmdBackColor->setEnabled(!none);

    connect(chkUnderline, &QCheckBox::toggled, cboUnderlineStyle, &QWidget::setEnabled);
    connect(chkNoBackground, &QCheckBox::toggled, cmdBackColor, [this](bool none) { cmdBackColor->setEnabled(!none); });
    connect(cmdForeColor, &QPushButton::clicked, this, [this] { pickColor(false); });
    connect(cmdBackColor, &QPushButton::clicked, this, [this] { pickColor(true); });
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    TranslateForm(this);
}

void TextFontDialog::setForeColor(int colorRef)
{
    m_fore = colorRef;
    showSwatch(cmdForeColor, colorRef);
}

void TextFontDialog::setBackColor(int colorRef)
{
    m_back = colorRef;
    showSwatch(cmdBackColor, colorRef);
}

void TextFontDialog::pickColor(bool background)
{
    QColorDialog chooser(TextUnits::colorFromColorRef(background ? m_back : m_fore), this);
    if (OptionsDialogFrame::runModal(m_runner, chooser) != QDialog::Accepted)
        return;
    const int ref = TextUnits::colorRefFromColor(chooser.selectedColor());
    background ? setBackColor(ref) : setForeColor(ref);
}

void TextFontDialog::apply()
{
    TextControl &tc = m_control;
    tc.setBaseLine(int(std::lround(spnBaseLine->value() * 20.0)));
    tc.setFontBold(chkBold->isChecked() ? 1 : 0);
    tc.setFontItalic(chkItalic->isChecked() ? 1 : 0);
    tc.setFontSize(spnFontSize->value());
    tc.setFontStrikethru(chkStrikethru->isChecked() ? 1 : 0);
    tc.setFontUnderlineStyle(cboUnderlineStyle->currentIndex() + 1);
    tc.setFontUnderline(chkUnderline->isChecked() ? 1 : 0);
    tc.setForeColor(m_fore);
    tc.setTextBkColor(chkNoBackground->isChecked() ? TextUnits::kNoTextBackground
                                                   : TextUnits::textBackgroundRef(m_back));
    const QString name = cboFontName->currentText().trimmed();
    if (!name.isEmpty())
        tc.setFontName(name);
}
