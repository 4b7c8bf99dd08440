#pragma once
// The user-interface translator: every shown text goes through Translate.
#include <QString>

class QWidget;
class Prompter;

extern QString sLanguage;        // "English" means no translation
extern bool gbDoubleByteLocale;  // Japanese, Korean and Chinese user locales

// Chooses the language for the language chooser (the window's chooser implements it).
class LanguageChooser
{
public:
    virtual ~LanguageChooser() = default;
    // Shows the chooser; returns false when cancelled. language/font are "" when not chosen.
    virtual bool choose(const QString &currentLanguage, QString &language, QString &font) = 0;
};

void SetLanguageChooser(LanguageChooser *chooser);
// Prompter for the translator's own error boxes (nullptr = none shown).
void SetTranslatorPrompter(Prompter *prompter);

// Reads the language settings and loads the language file. With bQuiet (a command-line or
// automation start) no chooser and no box is shown, and English is used without storing it.
void InitializeTranslator(bool bQuiet = false);
QString Translate(const QString &sText);
// Translates a window: title, labels, buttons, group boxes, tabs, menu actions, tool tips.
void TranslateForm(QWidget *frm);
bool SelectLanguage(bool bFromMenu);
