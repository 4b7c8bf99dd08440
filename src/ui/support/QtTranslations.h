#pragma once
// Qt's own texts (file dialogs, message-box buttons, shortcut names) in the interface language.
#include <QLocale>
#include <QString>

// The locale of a language as the program names it ("German", "Brazilian Portuguese" is not a
// Qt language and gives QLocale::C); QLocale::C for "English" and for names Qt does not know.
QLocale LocaleForLanguageName(const QString &sLanguageName);
// Installs Qt's translations for the language in place of those installed before; English,
// or a language Qt has no translations for, leaves Qt's own English. True when installed.
bool ApplyQtTranslations(const QString &sLanguageName);
