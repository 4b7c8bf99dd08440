// Settings chosen through the option dialogs, stored in the settings file, and applied by a
// following command-line run of "PDF - with options".
#include "../textcontrol/PdfProbe.h"

#include "TestEnv.h"
#include "jobs/FrmMainSettings.h"
#include "platform/Prompter.h"
#include "ui/options/OptionsDialogs.h"
#include "ui/options/frmAdvancedOptions.h"
#include "ui/options/frmULKAdvancedOptions.h"
#include "ui/options/frmULKPDFOptions.h"
#include "ui/options/frmULKPageDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Drives each dialog of the chain as a user would and presses its Apply or OK.
int driveDialog(QDialog &d)
{
    d.show();
    if (auto *a = qobject_cast<frmAdvancedOptions *>(&d)) {
        a->cbPDFTextOnly->setChecked(false); // slide pictures too, so the quality has work
        QTest::mouseClick(a->cmdPDFOptions, Qt::LeftButton);
        QTest::mouseClick(a->cmdApply, Qt::LeftButton);
    } else if (auto *u = qobject_cast<frmULKAdvancedOptions *>(&d)) {
        u->cbChangePageSettings->setChecked(true);
        QTest::mouseClick(u->cmdChangePageSettings, Qt::LeftButton);
        u->cbChangePDFSettings->setChecked(true);
        QTest::mouseClick(u->cmdChangePDFSettings, Qt::LeftButton);
        u->cbChangeImageQuality->setChecked(true);
        u->comboImageCompressionQuality->setCurrentIndex(40);
        QTest::mouseClick(u->cmdApply, Qt::LeftButton);
    } else if (auto *p = qobject_cast<frmULKPageDlg *>(&d)) {
        p->rbLandscape->setChecked(true);
        p->cboPaperSize->setCurrentIndex(0);
        emit p->cboPaperSize->activated(0);
        QTest::mouseClick(p->btnOK, Qt::LeftButton);
    } else if (auto *s = qobject_cast<frmULKPDFOptions *>(&d)) {
        s->chkUserPassword->setChecked(true);
        s->txtUserPassword->setText(QStringLiteral("open-1"));
        s->chkMasterPassword->setChecked(true);
        s->txtMasterPassword->setText(QStringLiteral("owner-2"));
        s->cboPrinting->setCurrentIndex(1);
        s->cboChangesAllowed->setCurrentIndex(0);
        QTest::mouseClick(s->cmdOK, Qt::LeftButton);
    }
    return d.result();
}

} // namespace

TEST(OptionsDialogsRun, ChosenSettingsReachTheCommandLinePdf)
{
    QTemporaryDir tmp;
    const QString ini = qvtest::homeDir() + "/.config/Ornwell, Inc/Quorvane/Quorvane_SearchHistory.INI";
    struct Cleanup { QString f; ~Cleanup() { QFile::remove(f); } } cleanup{ini};

    FrmMainSettings stored;
    short unit = 1;
    HeadlessPrompter prompter;
    DialogContext ctx(stored.conversion, unit);
    ctx.prompter = &prompter;
    ctx.targetTypeCode = [] { return 300; };
    ctx.runModal = driveDialog;
    ASSERT_TRUE(ShowAdvancedOptionsDialog(nullptr, ctx));
    EXPECT_EQ(prompter.count, 0) << prompter.lastText.toStdString();
    const ConversionSettings &c = stored.conversion;
    EXPECT_EQ(c.lDocAccessPermissions, 128);
    EXPECT_FALSE(c.bULKPortrait);
    stored.glnMeasurement = unit;
    QDir().mkpath(QFileInfo(ini).absolutePath());
    ASSERT_TRUE(WriteFrmMainSettings(ini, stored));

    const QString deck = qvtest::sourceDir() + "/data/Demo Data/Quarterly Review.pptx";
    const QString pdf = tmp.filePath("out/q.pdf");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(qvtest::binDir() + "/quorvane", {"/S", deck, "/T", pdf, "/C", "300"});
    ASSERT_TRUE(p.waitForFinished(600000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();

    EXPECT_FALSE(probePdf(pdf).opened); // the open password is needed
    const PdfInfo info = probePdf(pdf, QStringLiteral("open-1"));
    ASSERT_TRUE(info.opened) << info.error.toStdString();
    EXPECT_TRUE(info.encrypted);
    EXPECT_NEAR(info.width, 16834 / 20.0, 0.5);  // A4 landscape, as read back from inches
    EXPECT_NEAR(info.height, 11909 / 20.0, 0.5);
    EXPECT_TRUE(info.printLow);
    EXPECT_FALSE(info.printHigh);
    EXPECT_FALSE(info.extract);
    EXPECT_FALSE(info.modifyOther);
    EXPECT_FALSE(info.annotate);
    // (The screen-reader bit is not checked: libqpdf always sets it for 256-bit encryption.)
    EXPECT_GT(info.images, 0);
    EXPECT_TRUE(info.allImagesJpeg);
    EXPECT_TRUE(probePdf(pdf, QStringLiteral("owner-2")).opened);
}
