// The conversion option dialogs and the output control's font and paragraph dialogs, shown on
// the offscreen platform and driven with clicks and keys. Nested dialogs run through the
// context's runner, which drives them and returns instead of waiting.
#include "TranslatorTestSupport.h"

#include "common/LengthUnits.h"
#include "platform/FilePicker.h"
#include "textcontrol/TextControl.h"
#include "ui/options/OptionsDialogs.h"
#include "ui/options/TextFontDialog.h"
#include "ui/options/TextParagraphDialog.h"
#include "ui/options/frmAdvancedOptions.h"
#include "ui/options/frmULKAdvancedOptions.h"
#include "ui/options/frmULKPDFOptions.h"
#include "ui/options/frmULKPageDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <map>

namespace {

class ScriptedPicker : public FilePicker
{
public:
    QString pickFile(const QString &, const QString &, int &, const QString &, bool) override { return {}; }
    QString browseForFolder(const QString &, const QString &start) override
    {
        seenStart = start;
        return answer;
    }
    QString answer;
    QString seenStart;
};

class OptionsDialogs : public TranslatorFixture
{
protected:
    void SetUp() override
    {
        TranslatorFixture::SetUp();
        InitializeTranslator(true);
        ctx.prompter = &prompter;
        ctx.picker = &picker;
        ctx.TXTextControlOutput = &output;
        ctx.markTaskDirty = [this] {
            dirty = true;
            ++refreshes;
        };
        ctx.targetTypeCode = [this] { return targetType; };
        // Every nested dialog is shown, handed to the step registered for its class, and
        // closed as that step left it.
        ctx.runModal = [this](QDialog &d) {
            d.show();
            const auto step = steps.find(d.metaObject()->className());
            if (step != steps.end())
                step->second(d);
            if (d.isVisible())
                d.reject();
            return d.result();
        };
    }
    template <class D> void on(std::function<void(D &)> step)
    {
        steps[D::staticMetaObject.className()] = [step](QDialog &d) { step(static_cast<D &>(d)); };
    }
    void showActive(QDialog &d)
    {
        d.show();
        QApplication::setActiveWindow(&d);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d, 60000));
    }

    ConversionSettings s;
    short unit = 1;
    DialogContext ctx{s, unit};
    ScriptedPicker picker;
    TextControl output;
    bool dirty = false;
    int refreshes = 0;
    int targetType = 32;
    std::map<std::string, std::function<void(QDialog &)>> steps;
};

} // namespace

TEST_F(OptionsDialogs, MoveAndDeleteAreExclusiveAndTheFolderIsCheckedTrimmed)
{
    QTemporaryDir dest;
    s.bMoveOriginalFileAfterProcessing = s.bDeleteOriginalFileAfterProcessing = true;
    s.sMoveFileToFolder = QStringLiteral("/typed/before");
    frmAdvancedOptions d(ctx);
    d.Form_Load();
    d.show();
    EXPECT_TRUE(d.cbMoveAfterProcessing->isChecked());
    EXPECT_FALSE(d.cbDeleteAfterProcessing->isChecked());

    // A cancelled browser leaves the text; a chosen folder replaces it.
    QTest::mouseClick(d.cmdSelectMoveFolder, Qt::LeftButton);
    EXPECT_EQ(picker.seenStart, "/typed/before");
    EXPECT_EQ(d.txtMoveToFolder->text(), "/typed/before");

    // A missing folder: message as typed, nothing written, still open.
    d.txtMoveToFolder->setText(QStringLiteral(" /no/such/folder "));
    QTest::mouseClick(d.cmdApply, Qt::LeftButton);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, " /no/such/folder \n\ndoes not exist.");
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.bCancelled);
    EXPECT_TRUE(s.bDeleteOriginalFileAfterProcessing);

    // An existing folder typed with blanks around it is accepted and stored trimmed.
    d.txtMoveToFolder->setText(u' ' + dest.path() + u' ');
    QTest::mouseClick(d.cmdApply, Qt::LeftButton);
    EXPECT_FALSE(d.bCancelled);
    EXPECT_EQ(s.sMoveFileToFolder, dest.path());
    EXPECT_TRUE(s.bMoveOriginalFileAfterProcessing);
    EXPECT_FALSE(s.bDeleteOriginalFileAfterProcessing);

    // Checking delete clears move; blanks only turn moving off without a message.
    frmAdvancedOptions again(ctx);
    again.Form_Load();
    picker.answer = QStringLiteral("/picked");
    QTest::mouseClick(again.cmdSelectMoveFolder, Qt::LeftButton);
    EXPECT_EQ(again.txtMoveToFolder->text(), "/picked");
    again.cbDeleteAfterProcessing->setChecked(true);
    EXPECT_FALSE(again.cbMoveAfterProcessing->isChecked());
    EXPECT_FALSE(again.txtMoveToFolder->isEnabled());
    again.cbMoveAfterProcessing->setChecked(true);
    EXPECT_FALSE(again.cbDeleteAfterProcessing->isChecked());
    again.txtMoveToFolder->setText(QStringLiteral("   "));
    QTest::mouseClick(again.cmdApply, Qt::LeftButton);
    EXPECT_FALSE(s.bMoveOriginalFileAfterProcessing);
    EXPECT_EQ(s.sMoveFileToFolder, "");
    EXPECT_EQ(prompter.boxes.size(), 1);
}

TEST_F(OptionsDialogs, ScreenReadersHearTheFolderBoxCaptionAndTellTheNestedDialogApart)
{
    frmAdvancedOptions d(ctx);
    d.Form_Load();
    d.show();
    EXPECT_EQ(qvtest::accessibleLabels(d.txtMoveToFolder), d.cbMoveAfterProcessing->text());
    QString inner;
    on<frmULKAdvancedOptions>([&](frmULKAdvancedOptions &u) { inner = u.windowTitle(); });
    QTest::mouseClick(d.cmdPDFOptions, Qt::LeftButton);
    EXPECT_EQ(inner, "Advanced PDF Options");
    EXPECT_EQ(d.windowTitle(), "Advanced Options");
}

TEST_F(OptionsDialogs, SlideRangeMarksTheTaskDirtyOnceAndBadNumbersStopApply)
{
    s.bConvertAllSlides = false;
    s.bPDFTextOnly = true;
    {
        frmAdvancedOptions d(ctx);
        d.Form_Load();
        QTest::mouseClick(d.cmdApply, Qt::LeftButton);
        EXPECT_FALSE(dirty);
        EXPECT_EQ(refreshes, 0);
    }
    {
        frmAdvancedOptions d(ctx);
        d.Form_Load();
        d.txtFromSlide->setText(QStringLiteral("2"));
        QTest::mouseClick(d.cmdApply, Qt::LeftButton);
        EXPECT_EQ(s.lFromSlide, 2);
        EXPECT_TRUE(dirty);
        EXPECT_EQ(refreshes, 1);
    }
    {
        // Specific slides with a TO text that is no whole number: message, first tab, focus.
        frmAdvancedOptions d(ctx);
        d.Form_Load();
        showActive(d);
        d.TabStrip1->setCurrentIndex(3);
        d.cbPDFTextOnly->setChecked(false);
        d.txtToSlide->setText(QStringLiteral("99999999999"));
        QTest::mouseClick(d.cmdApply, Qt::LeftButton);
        ASSERT_EQ(prompter.boxes.size(), 1);
        EXPECT_EQ(prompter.boxes[0].text, "Please enter a whole slide number.");
        EXPECT_EQ(d.TabStrip1->currentIndex(), 0);
        EXPECT_TRUE(d.txtToSlide->hasFocus());
        EXPECT_TRUE(s.bPDFTextOnly);
        EXPECT_TRUE(d.bCancelled);
        // With all slides chosen the stored numbers stay, without a message.
        d.rbConvertAllSlides[1]->setChecked(true);
        EXPECT_FALSE(d.frameSelectSlides->isVisible());
        d.txtFromSlide->clear();
        QTest::mouseClick(d.cmdApply, Qt::LeftButton);
        EXPECT_EQ(prompter.boxes.size(), 1);
        EXPECT_EQ(s.lFromSlide, 2);
        EXPECT_EQ(s.lToSlide, 2);
        EXPECT_TRUE(s.bConvertAllSlides);
        EXPECT_FALSE(s.bPDFTextOnly);
    }
    {
        // A target that cannot be one file: only "a new file for each slide".
        ctx.bSupportsSingleFileOutput = false;
        dirty = false;
        frmAdvancedOptions d(ctx);
        d.bSupportsSingleFileOutput = false;
        d.Form_Load();
        d.show();
        EXPECT_FALSE(d.rbCreateFileForEachSlide[0]->isVisible());
        QTest::mouseClick(d.cmdApply, Qt::LeftButton);
        EXPECT_TRUE(s.bCreateFileForEachSlide);
        EXPECT_TRUE(dirty);
        EXPECT_EQ(refreshes, 3);
    }
}

TEST_F(OptionsDialogs, TabKeysCycleAndThePdfTabNotesItsTargetType)
{
    frmAdvancedOptions d(ctx);
    d.Form_Load();
    showActive(d);
    d.txtFromSlide->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(d.TabStrip1->currentIndex(), 3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(d.TabStrip1->currentIndex(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(d.TabStrip1->currentIndex(), 2);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, "Please Note: The options in this tab are only used when 'Convert To File "
                                      "Format' is:\n[300] PDF - with options");
    EXPECT_EQ(prompter.boxes[0].title, "");

    targetType = 300;
    d.TabStrip1->setCurrentIndex(0);
    d.TabStrip1->setCurrentIndex(2);
    targetType = 32;
    ctx.PowerPointVersionAtLeast2010 = [] { return false; };
    d.TabStrip1->setCurrentIndex(0);
    d.TabStrip1->setCurrentIndex(2);
    EXPECT_EQ(prompter.boxes.size(), 1);

    // Esc cancels and writes nothing.
    d.cbIncludeNotes->setChecked(true);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(d.bCancelled);
    EXPECT_FALSE(s.bIncludeNotesPage);
}

TEST_F(OptionsDialogs, OutputOptionsUnitsEnforceGroupsAndImageValues)
{
    unit = 7;
    s.lImageComparessionQuality = 250;
    s.lImageMaxResolution = 300;
    output.setFontName(QStringLiteral("Liberation Serif"));
    output.setFontSize(17);
    InstallTextControlDialogs(output, ctx.runModal);
    on<TextFontDialog>([](TextFontDialog &f) {
        f.chkBold->setChecked(true);
        QTest::mouseClick(f.cmdOK, Qt::LeftButton);
    });
    {
        frmULKAdvancedOptions d(ctx);
        d.Form_Load();
        EXPECT_EQ(unit, 2); // normalised at once, even though this dialog is cancelled
        EXPECT_EQ(d.comboImageCompressionQuality->currentIndex(), -1);
        EXPECT_TRUE(d.cmdChangeFontSettings->isHidden());
        d.rbUnits[1]->setChecked(true);
        d.cbChangeFontSettings->setChecked(true);
        EXPECT_FALSE(d.cmdChangeFontSettings->isHidden());
        QTest::mouseClick(d.cmdChangeFontSettings, Qt::LeftButton);
        QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
    }
    EXPECT_EQ(unit, 1);
    EXPECT_FALSE(s.bOverrideFontSettings);
    EXPECT_EQ(s.lULKFontBold, 0);
    EXPECT_EQ(output.FontBold(), 1); // the control keeps what its dialog set

    frmULKAdvancedOptions d(ctx);
    d.Form_Load();
    d.cbChangeFontSettings->setChecked(true);
    d.cbChangeImageQuality->setChecked(true);
    d.txtImageResolution->setText(QStringLiteral("3000000000"));
    QTest::mouseClick(d.cmdApply, Qt::LeftButton);
    EXPECT_TRUE(s.bOverrideFontSettings);
    EXPECT_EQ(s.sULKFontName, "Liberation Serif");
    EXPECT_EQ(s.lULKFontSize, 17);
    EXPECT_EQ(s.lULKFontBold, 1);
    EXPECT_TRUE(s.bOverrideImageSettings);
    EXPECT_EQ(s.lImageComparessionQuality, 250); // nothing selected: kept
    EXPECT_EQ(s.lImageMaxResolution, 300);

    frmULKAdvancedOptions e(ctx);
    e.Form_Load();
    e.comboImageCompressionQuality->setCurrentIndex(100);
    e.txtImageResolution->setText(QStringLiteral("150.5"));
    e.cbChangeFontSettings->setChecked(false);
    QTest::mouseClick(e.cmdApply, Qt::LeftButton);
    EXPECT_EQ(s.lImageComparessionQuality, 100);
    EXPECT_EQ(s.lImageMaxResolution, 150); // halves to even
    EXPECT_FALSE(s.bOverrideFontSettings);
    EXPECT_EQ(s.lULKFontBold, 1);
}

TEST_F(OptionsDialogs, ABlackTextBackgroundIsKeptApartFromNoBackground)
{
    InstallTextControlDialogs(output, ctx.runModal);
    on<QColorDialog>([](QColorDialog &c) {
        c.setCurrentColor(Qt::black);
        c.accept();
    });
    on<TextFontDialog>([](TextFontDialog &f) {
        QTest::mouseClick(f.chkNoBackground, Qt::LeftButton);
        QTest::mouseClick(f.cmdBackColor, Qt::LeftButton);
        QTest::mouseClick(f.cmdOK, Qt::LeftButton);
    });
    frmULKAdvancedOptions d(ctx);
    d.Form_Load();
    d.cbChangeFontSettings->setChecked(true);
    QTest::mouseClick(d.cmdChangeFontSettings, Qt::LeftButton);
    QTest::mouseClick(d.cmdApply, Qt::LeftButton);
    ASSERT_NE(s.lULKTextBkColor, 0); // 0 is what settings files store for no background

    // The stored value gives a black background on the next run's control and in the dialog.
    TextControl next;
    next.setTextBkColor(s.lULKTextBkColor);
    EXPECT_EQ(next.TextBkColor(), s.lULKTextBkColor);
    TextFontDialog f(output, {});
    EXPECT_FALSE(f.chkNoBackground->isChecked());
}

TEST_F(OptionsDialogs, PageSetupShowsUnitsMatchesPaperAndSwapsOrientation)
{
    s.lULKPageWidth = 11906;
    s.lULKPageHeight = 16837;
    {
        frmULKPageDlg d(ctx);
        d.Form_Load();
        EXPECT_EQ(d.txtPaperWidth->text(), "8.27");
        EXPECT_EQ(d.txtPaperHeight->text(), "11.69");
        EXPECT_EQ(d.cboPaperSize->currentText(), "A4");
        EXPECT_TRUE(d.rbPortrait->isChecked());
        EXPECT_EQ(d.lblMeasurement[3]->text(), "inch");
        QTest::mouseClick(d.btnOK, Qt::LeftButton);
        EXPECT_EQ(s.lULKPageWidth, 11909);
        EXPECT_EQ(s.lULKPageHeight, 16834);
        EXPECT_EQ(s.lULKPageMarginL, 1440);
    }
    {
        // Landscape and Legal; then typed A4 landscape sizes that match on leaving the box.
        frmULKPageDlg d(ctx);
        d.Form_Load();
        showActive(d);
        d.rbLandscape->setChecked(true);
        EXPECT_EQ(d.txtPaperWidth->text(), "11.69");
        d.cboPaperSize->setCurrentIndex(4);
        emit d.cboPaperSize->activated(4);
        EXPECT_EQ(d.txtPaperWidth->text(), "14.00");
        EXPECT_EQ(d.txtPaperHeight->text(), "8.50");
        d.txtPaperWidth->setFocus();
        d.txtPaperWidth->setText(QStringLiteral("8.30"));
        d.txtPaperHeight->setFocus();
        EXPECT_EQ(d.cboPaperSize->currentIndex(), kUserDefinedPaper);
        d.txtPaperWidth->setText(QStringLiteral("11.69"));
        d.txtPaperHeight->setText(QStringLiteral("8.27"));
        d.txtPaperWidth->setFocus();
        EXPECT_EQ(d.cboPaperSize->currentText(), "A4");
        EXPECT_EQ(d.txtPaperWidth->text(), "11.69");
        d.rbPortrait->setChecked(true);
        EXPECT_EQ(d.txtPaperWidth->text(), "8.27");
        // Cancel writes nothing.
        d.txtLeftMargin->setText(QStringLiteral("3"));
        QTest::keyClick(d.txtLeftMargin, Qt::Key_Escape);
        EXPECT_EQ(s.lULKPageMarginL, 1440);
    }
    {
        // Any unit but 1 is centimetres; a stored landscape size with portrait set is swapped;
        // a style-sheet option outside the list selects none and is kept.
        unit = 0;
        s.lULKPageWidth = 16837;
        s.lULKPageHeight = 11906;
        s.lULKStyleSheetOption = 9;
        frmULKPageDlg d(ctx);
        d.Form_Load();
        EXPECT_EQ(d.lblMeasurement[0]->text(), "cm");
        EXPECT_EQ(d.txtPaperWidth->text(), "21.00");
        EXPECT_EQ(d.txtPaperHeight->text(), "29.69");
        EXPECT_FALSE(d.txtStylesheetFile->isEnabled());
        d.txtBottomMargin->clear();
        QTest::mouseClick(d.btnOK, Qt::LeftButton);
        EXPECT_EQ(s.lULKPageWidth, 11907);
        EXPECT_EQ(s.lULKPageHeight, 16834);
        EXPECT_EQ(s.lULKPageMarginB, 0);
        EXPECT_EQ(s.lULKStyleSheetOption, 9);
        EXPECT_TRUE(s.bULKPortrait);
    }
    frmULKPageDlg d(ctx);
    d.Form_Load();
    d.optStylesheetOptions[3]->setChecked(true);
    EXPECT_TRUE(d.txtStylesheetFile->isEnabled());
    d.optStylesheetOptions[1]->setChecked(true);
    EXPECT_FALSE(d.lblStylesheetFile->isEnabled());
    d.txtStylesheetFile->setText(QStringLiteral("kept.css"));
    QTest::mouseClick(d.btnOK, Qt::LeftButton);
    EXPECT_EQ(s.lULKStyleSheetOption, 1);
    EXPECT_EQ(s.sULKStyleSheetFile, "kept.css");
}

TEST_F(OptionsDialogs, PdfSecurityDecodesTheMaskAndChecksPasswordsInOrder)
{
    s.lDocAccessPermissions = 40000; // above 16 bits: 40000 = 0x9C40, bits 64 and 0x9C00
    {
        frmULKPDFOptions d(ctx);
        d.Form_Load();
        EXPECT_EQ(d.cboPrinting->currentIndex(), 2);
        EXPECT_EQ(d.cboChangesAllowed->currentIndex(), 0);
        EXPECT_FALSE(d.cboPrinting->isEnabled());
        // Disabled lists still count.
        d.cboChangesAllowed->setCurrentIndex(4);
        d.chkAllowContentAccessibility->setChecked(true);
        d.chkAllowExtractContents->setChecked(true);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        EXPECT_EQ(s.lDocAccessPermissions, 125);
        EXPECT_EQ(s.sULKPDFUserPassword, "");
    }
    frmULKPDFOptions d(ctx);
    d.Form_Load();
    EXPECT_EQ(d.cboChangesAllowed->currentIndex(), 4);
    d.chkMasterPassword->setChecked(true);
    d.chkUserPassword->setChecked(true);
    d.txtUserPassword->setText(QStringLiteral("same"));
    QTest::mouseClick(d.cmdOK, Qt::LeftButton); // permissions password empty
    d.txtMasterPassword->setText(QStringLiteral("same"));
    d.chkUserPassword->setChecked(false);
    EXPECT_EQ(d.txtUserPassword->text(), "");
    d.chkUserPassword->setChecked(true);
    QTest::mouseClick(d.cmdOK, Qt::LeftButton); // open password empty again
    d.txtUserPassword->setText(QStringLiteral("same"));
    QTest::mouseClick(d.cmdOK, Qt::LeftButton); // equal
    ASSERT_EQ(prompter.boxes.size(), 3);
    EXPECT_TRUE(prompter.boxes[0].text.startsWith("The 'Use a password"));
    EXPECT_TRUE(prompter.boxes[1].text.startsWith("The 'Require a password"));
    EXPECT_TRUE(prompter.boxes[2].text.startsWith("The Document Open and Permissions"));
    EXPECT_EQ(prompter.boxes[2].style, Prompter::Exclamation);
    EXPECT_EQ(prompter.boxes[2].title, "");
    EXPECT_EQ(s.lDocAccessPermissions, 125);
    d.txtUserPassword->setText(QStringLiteral("SAME"));
    d.cboPrinting->setCurrentIndex(1);
    d.cboChangesAllowed->setCurrentIndex(1);
    d.chkAllowContentAccessibility->setChecked(false);
    d.chkAllowExtractContents->setChecked(false);
    QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    EXPECT_EQ(s.sULKPDFUserPassword, "SAME");
    EXPECT_EQ(s.sULKPDFMasterPassword, "same");
    EXPECT_EQ(s.lDocAccessPermissions, 136);
}

TEST_F(OptionsDialogs, ParagraphDialogWritesTheControlExactly)
{
    InstallTextControlDialogs(output, ctx.runModal);
    output.setLineSpacing(150);
    on<TextParagraphDialog>([](TextParagraphDialog &p) {
        EXPECT_EQ(p.cboLineSpacingKind->currentIndex(), 0);
        EXPECT_EQ(p.spnLineSpacing->value(), 150);
        p.cboAlignment->setCurrentIndex(3);
        p.spnIndentL->setValue(36.75); // 735 twips
        p.spnIndentFL->setValue(-18);
        p.cboLineSpacingKind->setCurrentIndex(1);
        p.spnLineSpacingT->setValue(14);
        p.chkFrame[0]->setChecked(true);
        p.chkFrame[3]->setChecked(true);
        p.spnFrameLineWidth->setValue(0.75);
        QTest::mouseClick(p.cmdOK, Qt::LeftButton);
    });
    output.ParagraphDialog();
    EXPECT_EQ(output.Alignment(), 3);
    EXPECT_EQ(output.IndentL(), 735);
    EXPECT_EQ(output.IndentFL(), -360);
    EXPECT_EQ(output.LineSpacingT(), 280);
    EXPECT_EQ(output.FrameStyle(), 1 | 8);
    EXPECT_EQ(output.FrameLineWidth(), 15);

    // The whole chain from the first dialog: settings read back from the control on Apply.
    s.bOverrideParagraphSettings = false;
    on<TextParagraphDialog>([](TextParagraphDialog &p) {
        p.cboAlignment->setCurrentIndex(2);
        QTest::mouseClick(p.cmdOK, Qt::LeftButton);
    });
    on<frmULKAdvancedOptions>([](frmULKAdvancedOptions &u) {
        u.cbChangeParagraphSettings->setChecked(true);
        QTest::mouseClick(u.cmdChangeParagraphSettings, Qt::LeftButton);
        QTest::mouseClick(u.cmdApply, Qt::LeftButton);
    });
    on<frmAdvancedOptions>([](frmAdvancedOptions &a) {
        QTest::mouseClick(a.cmdPDFOptions, Qt::LeftButton);
        QTest::mouseClick(a.cmdCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(ShowAdvancedOptionsDialog(nullptr, ctx));
    EXPECT_TRUE(s.bOverrideParagraphSettings); // committed below, kept when the top is cancelled
    EXPECT_EQ(s.lULKAlignment, 2);
    EXPECT_EQ(s.lULKIndentL, 735);
    EXPECT_EQ(s.lULKFrameStyle, 9);
}

namespace {

// Every visible text control gets at least the room it asks for and lies inside its parent.
void expectNothingClipped(QWidget *top, const QString &where)
{
    for (QWidget *w : top->findChildren<QWidget *>()) {
        // The tab bar's own scroll buttons are hidden while every tab fits.
        if (!w->isVisibleTo(top) || !w->isVisible() || qobject_cast<QTabBar *>(w->parentWidget()))
            continue;
        const auto *label = qobject_cast<QLabel *>(w);
        if (label && label->wordWrap()) {
            EXPECT_GE(w->height(), label->heightForWidth(w->width())) << where.toStdString() << " " << label->text().toStdString();
        } else if (label || qobject_cast<QAbstractButton *>(w) || qobject_cast<QComboBox *>(w)) {
            const QSize need = w->minimumSizeHint();
            EXPECT_GE(w->width(), need.width()) << where.toStdString() << " " << w->objectName().toStdString();
            EXPECT_GE(w->height(), need.height()) << where.toStdString() << " " << w->objectName().toStdString();
        }
        if (QWidget *parent = w->parentWidget(); parent && !w->isWindow()) {
            EXPECT_TRUE(parent->rect().contains(w->geometry())) << where.toStdString() << " " << w->objectName().toStdString();
        }
    }
    const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        top->grab().save(dir + u'/' + where + QStringLiteral(".png"));
}

void checkEveryTab(QDialog &d, QTabWidget *tabs, const QString &name)
{
    d.show();
    EXPECT_LE(tabs->tabBar()->sizeHint().width(), tabs->tabBar()->width()) << name.toStdString();
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        expectNothingClipped(&d, name + QString::number(i + 1));
    }
}

} // namespace

TEST_F(OptionsDialogs, NothingClippedInEnglishAndGerman)
{
    for (const QString &language : {QStringLiteral("English"), QStringLiteral("German")}) {
        if (language == QStringLiteral("German"))
            startWith(language, qvtest::readFile(qvtest::sourceDir() + "/data/Languages/German-Quorvane.txt"), true);
        s.bConvertAllSlides = false;
        frmAdvancedOptions a(ctx);
        a.Form_Load();
        a.cbMoveAfterProcessing->setChecked(true);
        checkEveryTab(a, a.TabStrip1, language + "-frmAdvancedOptions-tab");
        frmULKAdvancedOptions u(ctx);
        u.Form_Load();
        for (QCheckBox *box : {u.cbChangePageSettings, u.cbChangeParagraphSettings, u.cbChangeFontSettings,
                               u.cbChangePDFSettings, u.cbChangeImageQuality})
            box->setChecked(true);
        checkEveryTab(u, u.tsDisplay, language + "-frmULKAdvancedOptions-tab");
        frmULKPageDlg p(ctx);
        p.Form_Load();
        p.show();
        expectNothingClipped(&p, language + "-frmULKPageDlg");
        frmULKPDFOptions f(ctx);
        f.Form_Load();
        f.show();
        expectNothingClipped(&f, language + "-frmULKPDFOptions");
        TextFontDialog font(output, {});
        font.show();
        expectNothingClipped(&font, language + "-TextFontDialog");
        TextParagraphDialog paragraph(output);
        paragraph.show();
        expectNothingClipped(&paragraph, language + "-TextParagraphDialog");
    }
}
