// The about box's animation and shortcuts, and the language chooser driven in place of exec().
#include "TestEnv.h"
#include "TranslatorTestSupport.h"
#include "platform/ProfileIni.h"
#include "platform/ShellOpener.h"
#include "ui/main/dialogs/frmAbout.h"
#include "ui/main/dialogs/frmLanguage.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class RecordingOpener : public ShellOpener
{
public:
    bool open(const QString &target) override
    {
        opened << target;
        return true;
    }
    QStringList opened;
};

void clickItem(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

using AboutBox = TranslatorFixture;
using LanguageChooserTest = TranslatorFixture;

} // namespace

TEST_F(AboutBox, AnimationStepsAndRestsAfterTheLastPicture)
{
    RecordingOpener opener;
    frmAbout about(nullptr, &opener);
    EXPECT_EQ(about.Timer1->interval(), 200);
    EXPECT_TRUE(about.Timer1->isActive());
    const QImage first = about.ImageArray->pixmap().toImage();
    for (int i = 1; i <= 15; ++i)
        about.Timer1_Timer();
    EXPECT_EQ(about.currentPicture(), 15);
    EXPECT_EQ(about.Timer1->interval(), 200);
    about.Timer1_Timer();
    EXPECT_EQ(about.currentPicture(), 16);
    EXPECT_EQ(about.Timer1->interval(), 10000);
    EXPECT_NE(about.ImageArray->pixmap().toImage(), first);
    about.Timer1_Timer();
    EXPECT_EQ(about.currentPicture(), 1);
    EXPECT_EQ(about.previousPicture(), 1);
    EXPECT_EQ(about.Timer1->interval(), 200);
    EXPECT_EQ(about.ImageArray->pixmap().toImage(), first);

    // Double-click: nothing while the settings file is missing, then the file opens.
    QTest::mouseDClick(about.ImageArray, Qt::LeftButton);
    EXPECT_TRUE(opener.opened.isEmpty());
    ProfileIni::writeString(G_IniFilePath, QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("1"));
    QTest::mouseDClick(about.ImageArray, Qt::LeftButton);
    EXPECT_EQ(opener.opened, QStringList{G_IniFilePath});
    QTest::mouseClick(about.cmdMailToProductName, Qt::LeftButton);
    EXPECT_TRUE(opener.opened.last().startsWith(QStringLiteral("mailto:")));

    about.show();
    QTest::keyClick(&about, Qt::Key_A);
    EXPECT_TRUE(about.isVisible());
    QTest::keyRelease(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(LanguageChooserTest, ChoosingGermanStoresItAndEditOpensItsFile)
{
    ASSERT_TRUE(qvtest::writeFile(languageFile(QStringLiteral("German")), "\"Language\",\"Sprache\"\r\n"));
    InitializeTranslator();
    RecordingOpener opener;
    LanguageChooserDialog dialog(nullptr, &opener);
    dialog.run = [&](frmLanguage &w) {
        w.show();
        EXPECT_EQ(w.List1->item(0)->text(), QStringLiteral("English"));
        // A list reports no label: a screen reader hears its name.
        EXPECT_EQ(QAccessible::queryAccessibleInterface(w.List1)->text(QAccessible::Name), "Select a Language:");
        EXPECT_FALSE(w.cmdEditLanguageFile->isEnabled()); // English has no file
        clickItem(w.List1, QStringLiteral("German"));
        EXPECT_TRUE(w.cmdEditLanguageFile->isEnabled());
        QTest::mouseClick(w.cmdEditLanguageFile, Qt::LeftButton);
        QTest::mouseClick(w.cmdDone, Qt::LeftButton);
        EXPECT_FALSE(w.isVisible());
    };
    SetLanguageChooser(&dialog);
    EXPECT_TRUE(SelectLanguage(true));
    EXPECT_EQ(ReadIniLanguageCode(), QStringLiteral("German"));
    // The file the translator reads, whatever the case of its name.
    EXPECT_EQ(opener.opened, QStringList{languageFile(QStringLiteral("German"))});
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes.first().text.startsWith(QStringLiteral("Your changes will take effect")));
}

TEST_F(LanguageChooserTest, CancelAfterAFontKeepsEverything)
{
    ASSERT_TRUE(qvtest::writeFile(languageFile(QStringLiteral("German")), "\"Language\",\"Sprache\"\r\n"));
    InitializeTranslator();
    LanguageChooserDialog dialog;
    int asked = 0;
    dialog.fontPicker = [&](const QFont &, QString &family) {
        ++asked;
        family = QStringLiteral("DejaVu Sans");
        return true;
    };
    dialog.run = [&](frmLanguage &w) {
        w.show();
        clickItem(w.List1, QStringLiteral("German"));
        QTest::mouseClick(w.cmdSelectFont, Qt::LeftButton);
        EXPECT_EQ(w.sFontName, QStringLiteral("DejaVu Sans"));
        QTest::keyRelease(&w, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
    };
    SetLanguageChooser(&dialog);
    EXPECT_FALSE(SelectLanguage(true));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadIniLanguageCode(), QStringLiteral("English"));
    EXPECT_EQ(ReadIniLanguageFont(), QString());
}
