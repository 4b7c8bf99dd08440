// Qt's own texts in the interface language: message-box buttons, key names, the file dialog.
#include "ui/support/QtTranslations.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString shortcutText() { return QKeySequence(Qt::CTRL | Qt::Key_N).toString(QKeySequence::NativeText); }

QString buttonText(QMessageBox::StandardButton which)
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return box.button(which)->text();
}

// The texts of the labels of Qt's own (non-native) file dialog, shown as the program shows it.
QStringList fileDialogLabels()
{
    QFileDialog dlg;
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.show();
    QStringList texts;
    for (const QLabel *l : dlg.findChildren<QLabel *>())
        texts << l->text();
    return texts;
}

struct EnglishAfterwards : ::testing::Test
{
    void TearDown() override { ApplyQtTranslations(QStringLiteral("English")); }
};

} // namespace

TEST_F(EnglishAfterwards, GermanIsLoadedForTheProgramsLanguageNameAndEnglishComesBack)
{
    EXPECT_EQ(LocaleForLanguageName(QStringLiteral("German")).language(), QLocale::German);
    EXPECT_EQ(LocaleForLanguageName(QStringLiteral("french")).language(), QLocale::French);
    EXPECT_EQ(LocaleForLanguageName(QStringLiteral("English")).language(), QLocale::C);
    EXPECT_EQ(LocaleForLanguageName(QStringLiteral("Pirate")).language(), QLocale::C);

    ASSERT_TRUE(ApplyQtTranslations(QStringLiteral("German")));
    EXPECT_EQ(shortcutText(), QStringLiteral("Strg+N"));
    EXPECT_EQ(buttonText(QMessageBox::Yes), QStringLiteral("&Ja"));
    EXPECT_EQ(buttonText(QMessageBox::No), QStringLiteral("&Nein"));
    EXPECT_EQ(buttonText(QMessageBox::Cancel), QStringLiteral("Abbrechen"));
    const QStringList labels = fileDialogLabels();
    EXPECT_TRUE(labels.contains(QStringLiteral("Suchen in:"))) << labels.join(u'|').toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("Datei&name:"))) << labels.join(u'|').toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("Dateien des Typs:"))) << labels.join(u'|').toStdString();

    // Back to English: German is removed, not stacked under a second translator.
    EXPECT_FALSE(ApplyQtTranslations(QStringLiteral("English")));
    EXPECT_EQ(shortcutText(), QStringLiteral("Ctrl+N"));
    EXPECT_EQ(buttonText(QMessageBox::Yes), QStringLiteral("&Yes"));
    EXPECT_TRUE(fileDialogLabels().contains(QStringLiteral("Look in:")));
}

TEST_F(EnglishAfterwards, ALanguageQtHasNoTextsForKeepsQtsEnglish)
{
    ASSERT_TRUE(ApplyQtTranslations(QStringLiteral("German")));
    // Esperanto is a language Qt knows, but there is no qtbase_eo catalogue.
    EXPECT_FALSE(ApplyQtTranslations(QStringLiteral("Esperanto")));
    EXPECT_EQ(shortcutText(), QStringLiteral("Ctrl+N"));
    EXPECT_EQ(buttonText(QMessageBox::No), QStringLiteral("&No"));
}
