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

// The labels of Qt's own (non-native) file dialog, as the program shows it without a desktop theme.
QString fileDialogLabels()
{
    QFileDialog dlg;
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.show();
    QStringList texts;
    for (const QLabel *l : dlg.findChildren<QLabel *>())
        texts << l->text();
    return texts.join(u'|');
}

} // namespace

TEST(QtTranslations, GermanForTheProgramsLanguageNameEnglishWhenQtHasNoTexts)
{
    EXPECT_EQ(LocaleForLanguageName(QStringLiteral("german")).language(), QLocale::German);
    EXPECT_EQ(LocaleForLanguageName(QStringLiteral("Pirate")).language(), QLocale::C);

    ASSERT_TRUE(ApplyQtTranslations(QStringLiteral("German")));
    EXPECT_EQ(shortcutText(), QStringLiteral("Strg+N"));
    EXPECT_EQ(buttonText(QMessageBox::Yes), QStringLiteral("&Ja"));
    EXPECT_EQ(buttonText(QMessageBox::No), QStringLiteral("&Nein"));
    EXPECT_EQ(buttonText(QMessageBox::Cancel), QStringLiteral("Abbrechen"));
    EXPECT_EQ(fileDialogLabels(), QStringLiteral("Suchen in:|Datei&name:|Dateien des Typs:"));

    // Esperanto is a language Qt knows without a qtbase catalogue: German goes, English stays.
    EXPECT_FALSE(ApplyQtTranslations(QStringLiteral("Esperanto")));
    EXPECT_EQ(shortcutText(), QStringLiteral("Ctrl+N"));
    EXPECT_EQ(buttonText(QMessageBox::Yes), QStringLiteral("&Yes"));
    EXPECT_EQ(fileDialogLabels(), QStringLiteral("Look in:|File &name:|Files of type:"));
    EXPECT_FALSE(ApplyQtTranslations(QStringLiteral("English")));
}
