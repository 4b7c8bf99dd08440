#include "frmAdvancedOptions.h"

#include "common/FileUtils.h"
#include "common/NumberUtils.h"
#include "common/Pickers.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"
#include "platform/Prompter.h"
#include "ui/options/frmULKAdvancedOptions.h"
#include "ui/support/FormTranslator.h"
#include "ui/support/TabCycling.h"
#include "ui/support/WidgetNaming.h"

#include <QCheckBox>
#include <QCoreApplication>
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

constexpr const char *kWarning = "Please be VERY careful when enabling this option. Back up critical data first.  "
                                 "No deletion will occur if the Input and Output are exactly the same file.";

QWidget *page(QTabWidget *tabs, const char *caption)
{
    auto *w = new QWidget;
    tabs->addTab(w, QString::fromLatin1(caption));
    return w;
}

} // namespace

frmAdvancedOptions::frmAdvancedOptions(DialogContext &ctx, QWidget *parent) : OptionsDialogFrame(ctx, parent)
{
    setObjectName(QStringLiteral("frmAdvancedOptions"));
    setWindowTitle(QStringLiteral("Advanced Options"));
    auto *root = new QVBoxLayout(this);
    TabStrip1 = named(new QTabWidget, "TabStrip1");
    TabStrip1->setUsesScrollButtons(false); // every tab caption shows whole, also translated
    TabStrip1->setElideMode(Qt::ElideNone);
    root->addWidget(TabStrip1);

    // 1 What To Convert
    {
        auto *p = page(TabStrip1, "What To Convert");
        auto *v = new QVBoxLayout(p);
        rbConvertAllSlides[0] = named(new QRadioButton(QStringLiteral("SPECIFY which slides to convert")), "rbConvertAllSlides0");
        rbConvertAllSlides[1] = named(new QRadioButton(QStringLiteral("Convert ALL slides")), "rbConvertAllSlides1");
        frameSelectSlides = named(new QWidget, "frameSelectSlides");
        QSizePolicy keep = frameSelectSlides->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        frameSelectSlides->setSizePolicy(keep);
        auto *g = new QGridLayout(frameSelectSlides);
        g->setContentsMargins(24, 0, 0, 0);
        txtFromSlide = named(new QLineEdit, "txtFromSlide");
        txtToSlide = named(new QLineEdit, "txtToSlide");
        auto *lFrom = new QLabel(QStringLiteral("Convert FROM slide:"));
        auto *lTo = new QLabel(QStringLiteral("TO slide:"));
        lFrom->setBuddy(txtFromSlide);
        lTo->setBuddy(txtToSlide);
        txtFromSlide->setMaximumWidth(90);
        txtToSlide->setMaximumWidth(90);
        g->addWidget(lFrom, 0, 0);
        g->addWidget(txtFromSlide, 0, 1);
        g->addWidget(lTo, 1, 0);
        g->addWidget(txtToSlide, 1, 1);
        g->setColumnStretch(2, 1);
        v->addWidget(rbConvertAllSlides[0]);
        v->addWidget(frameSelectSlides);
        v->addWidget(rbConvertAllSlides[1]);
        v->addStretch(1);
    }
    // 2 How To Convert
    {
        auto *p = page(TabStrip1, "How To Convert");
        auto *v = new QVBoxLayout(p);
        rbCreateFileForEachSlide[0] = named(new QRadioButton(QStringLiteral("Create a single output file")), "rbCreateFileForEachSlide0");
        rbCreateFileForEachSlide[1] = named(new QRadioButton(QStringLiteral("Create a new file for each slide")), "rbCreateFileForEachSlide1");
        auto *frame = named(new QGroupBox(QStringLiteral("Additional Options")), "frameIncludeNotes");
        auto *fv = new QVBoxLayout(frame);
        cbIncludeNotes = named(new QCheckBox(QStringLiteral("Include &NOTES")), "cbIncludeNotes");
        cbNotesOnly = named(new QCheckBox(QStringLiteral("ONLY convert Notes")), "cbNotesOnly");
        cbShowSlideAndShape = named(new QCheckBox(QStringLiteral("Add Slide and Shape Info")), "cbShowSlideAndShape");
        auto *note = new QLabel(QStringLiteral(
            "NOTE: These options are only available for Target file types of Text and MS Word Exports"));
        note->setWordWrap(true);
        fv->addWidget(cbIncludeNotes);
        fv->addWidget(cbNotesOnly);
        fv->addWidget(cbShowSlideAndShape);
        fv->addWidget(note);
        v->addWidget(rbCreateFileForEachSlide[0]);
        v->addWidget(rbCreateFileForEachSlide[1]);
        v->addWidget(frame);
        v->addStretch(1);
    }
    // 3 PDF Options
    {
        auto *p = page(TabStrip1, "PDF Options");
        auto *v = new QVBoxLayout(p);
        cbPDFTextOnly = named(new QCheckBox(QStringLiteral("Text only")), "cbPDFTextOnly");
        cmdPDFOptions = named(new QPushButton(QStringLiteral("Advanced PDF Options")), "cmdPDFOptions");
        auto *h = new QHBoxLayout;
        h->addWidget(cmdPDFOptions);
        h->addStretch(1);
        v->addWidget(cbPDFTextOnly);
        v->addLayout(h);
        v->addStretch(1);
    }
    // 4 Move/Delete Input
    QLabel *moveToLabel = nullptr;
    {
        auto *p = page(TabStrip1, "Move/Delete Input");
        auto *v = new QVBoxLayout(p);
        cbMoveAfterProcessing = named(new QCheckBox(QStringLiteral("Move INPUT files to specified folder after processing")),
                                      "cbMoveAfterProcessing");
        txtMoveToFolder = named(new QLineEdit, "txtMoveToFolder");
        cmdSelectMoveFolder = named(new QPushButton(QStringLiteral("Folder..")), "cmdSelectMoveFolder");
        cbDeleteAfterProcessing = named(new QCheckBox(QStringLiteral("Delete INPUT files after processing")),
                                        "cbDeleteAfterProcessing");
        m_warning = new QLabel;
        m_warning->setWordWrap(true);
        m_warning->setProperty("Tag", QStringLiteral("TranslateFalse")); // set below, with its quotes
        auto *h = new QHBoxLayout;
        h->setContentsMargins(24, 0, 0, 0);
        h->addWidget(txtMoveToFolder, 1);
        h->addWidget(cmdSelectMoveFolder);
        v->addWidget(cbMoveAfterProcessing);
        v->addLayout(h);
        v->addSpacing(12);
        v->addWidget(cbDeleteAfterProcessing);
        v->addWidget(m_warning);
        v->addStretch(1);
        // The check box is the folder box's caption; this label says so to a screen reader.
        moveToLabel = unseenLabel("lblMoveToFolder", txtMoveToFolder);
        v->addWidget(moveToLabel);
    }

    cmdApply = named(new QPushButton(QStringLiteral("&Apply")), "cmdApply");
    cmdCancel = named(new QPushButton(QStringLiteral("&Cancel")), "cmdCancel");
    root->addLayout(closingButtonRow(cmdApply, cmdCancel));

    // Initial states before any value is loaded.
    cbNotesOnly->setEnabled(false);
    txtMoveToFolder->setEnabled(false);
    cmdSelectMoveFolder->setEnabled(false);

    TranslateForm(this);
    m_warning->setText(u'"' + Translate(QString::fromLatin1(kWarning)) + u'"');
    txtMoveToFolder->setAccessibleName(cbMoveAfterProcessing->text().remove(u'&'));
    moveToLabel->setAccessibleName(txtMoveToFolder->accessibleName());

    connect(rbConvertAllSlides[0], &QRadioButton::toggled, this,
            [this](bool on) { frameSelectSlides->setVisible(on); });
    connect(cbIncludeNotes, &QCheckBox::toggled, cbNotesOnly, &QWidget::setEnabled);
    connect(cbMoveAfterProcessing, &QCheckBox::toggled, this, [this] { cbMoveAfterProcessing_Click(); });
    connect(cbDeleteAfterProcessing, &QCheckBox::toggled, this, [this] { cbDeleteAfterProcessing_Click(); });
    connect(cmdSelectMoveFolder, &QPushButton::clicked, this, [this] { cmdSelectMoveFolder_Click(); });
    connect(cmdPDFOptions, &QPushButton::clicked, this, [this] { cmdPDFOptions_Click(); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(TabStrip1, &QTabWidget::currentChanged, this, [this](int i) { TabStrip1_Click(i); });
    InstallTabCycling(this, TabStrip1);
}

void frmAdvancedOptions::Form_Load()
{
    const ConversionSettings &s = context().settings;
    bCancelled = true;
    TabStrip1->setCurrentIndex(0);
    cbDeleteAfterProcessing->setChecked(s.bDeleteOriginalFileAfterProcessing);
    cbMoveAfterProcessing->setChecked(s.bMoveOriginalFileAfterProcessing);
    txtMoveToFolder->setText(s.sMoveFileToFolder);
    rbConvertAllSlides[s.bConvertAllSlides ? 1 : 0]->setChecked(true);
    frameSelectSlides->setVisible(!s.bConvertAllSlides);
    txtFromSlide->setText(QString::number(s.lFromSlide));
    txtToSlide->setText(QString::number(s.lToSlide));
    rbCreateFileForEachSlide[s.bCreateFileForEachSlide ? 1 : 0]->setChecked(true);
    if (!bSupportsSingleFileOutput) {
        rbCreateFileForEachSlide[0]->setVisible(false);
        rbCreateFileForEachSlide[1]->setChecked(true);
    }
    cbPDFTextOnly->setChecked(s.bPDFTextOnly);
    cbIncludeNotes->setChecked(s.bIncludeNotesPage);
    cbNotesOnly->setChecked(s.bIncludeNotesOnly);
    cbShowSlideAndShape->setChecked(s.bShowSlideAndShape);
}

void frmAdvancedOptions::TabStrip1_Click(int index)
{
    const DialogContext &ctx = context();
    const bool atLeast2010 = ctx.PowerPointVersionAtLeast2010 ? ctx.PowerPointVersionAtLeast2010() : true;
    if (index + 1 != 3 || !atLeast2010)
        return;
    QCoreApplication::processEvents(); // let the new page paint before a box covers it
    const int code = ctx.targetTypeCode ? ctx.targetTypeCode() : 0;
    if (code == kPdfWithOptionsType)
        return;
    msgBox(QStringLiteral("Please Note: The options in this tab are only used when 'Convert To File Format' is:") +
               QStringLiteral("\n[300] ") + Translate(QStringLiteral("PDF - with options")),
           Prompter::OkOnly);
}

// Moving and deleting exclude each other. Each handler unchecks the other box only when its
// own is checked, so the nested toggled signal ends at once; the folder box and its button
// follow the Move box on every path.
void frmAdvancedOptions::cbMoveAfterProcessing_Click()
{
    const bool on = cbMoveAfterProcessing->isChecked();
    txtMoveToFolder->setEnabled(on);
    cmdSelectMoveFolder->setEnabled(on);
    if (on)
        cbDeleteAfterProcessing->setChecked(false);
}

void frmAdvancedOptions::cbDeleteAfterProcessing_Click()
{
    if (cbDeleteAfterProcessing->isChecked())
        cbMoveAfterProcessing->setChecked(false);
}

void frmAdvancedOptions::cmdSelectMoveFolder_Click()
{
    QString start = txtMoveToFolder->text();
    const QString folder = BrowseForFolder(context().picker, start, Translate(QStringLiteral("Browse For Folder")));
    // A cancelled browser keeps what was typed: emptying it would silently turn moving off.
    if (!folder.isEmpty())
        txtMoveToFolder->setText(folder);
}

void frmAdvancedOptions::cmdPDFOptions_Click()
{
    frmULKAdvancedOptions dialog(context(), this);
    dialog.Form_Load();
    runModal(dialog);
    cmdPDFOptions->setFocus();
}

bool frmAdvancedOptions::slideTextsValid()
{
    if (!rbConvertAllSlides[0]->isChecked())
        return true;
    for (QLineEdit *box : {txtFromSlide, txtToSlide}) {
        int value = 0;
        if (bTryWholeNumber(box->text(), value))
            continue;
        msgBox(Translate(QStringLiteral("Please enter a whole slide number.")), Prompter::OkOnly | Prompter::Exclamation);
        TabStrip1->setCurrentIndex(0);
        box->selectAll();
        box->setFocus();
        return false;
    }
    return true;
}

void frmAdvancedOptions::cmdApply_Click()
{
    const QString folderText = txtMoveToFolder->text();
    const QString folder = folderText.trimmed();
    if (folder.isEmpty()) {
        txtMoveToFolder->clear();
        cbMoveAfterProcessing->setChecked(false);
    }
    if (cbMoveAfterProcessing->isChecked() && !bFolderExistsFSO(folder)) {
        msgBox(folderText + QStringLiteral("\n\n") + Translate(QStringLiteral("does not exist.")), Prompter::OkOnly);
        TabStrip1->setCurrentIndex(3);
        txtMoveToFolder->selectAll();
        txtMoveToFolder->setFocus();
        return;
    }
    if (!slideTextsValid())
        return;

    ConversionSettings &s = context().settings;
    s.bMoveOriginalFileAfterProcessing = cbMoveAfterProcessing->isChecked();
    s.sMoveFileToFolder = folder;
    s.bDeleteOriginalFileAfterProcessing = cbDeleteAfterProcessing->isChecked();

    bool changed = false;
    const bool all = rbConvertAllSlides[1]->isChecked();
    if (s.bConvertAllSlides != all) {
        s.bConvertAllSlides = all;
        changed = true;
    }
    // With all slides chosen the boxes are hidden: a text that is no number keeps the value.
    int value = 0;
    if (bTryWholeNumber(txtFromSlide->text(), value) && value != s.lFromSlide) {
        s.lFromSlide = value;
        changed = true;
    }
    if (bTryWholeNumber(txtToSlide->text(), value) && value != s.lToSlide) {
        s.lToSlide = value;
        changed = true;
    }
    const bool eachSlide = rbCreateFileForEachSlide[1]->isChecked();
    if (s.bCreateFileForEachSlide != eachSlide) {
        s.bCreateFileForEachSlide = eachSlide;
        changed = true;
    }
    if (changed && context().markTaskDirty)
        context().markTaskDirty();
    s.bPDFTextOnly = cbPDFTextOnly->isChecked();
    s.bIncludeNotesPage = cbIncludeNotes->isChecked();
    s.bIncludeNotesOnly = cbNotesOnly->isChecked();
    s.bShowSlideAndShape = cbShowSlideAndShape->isChecked();
    bCancelled = false;
    accept();
}
