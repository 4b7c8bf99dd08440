#pragma once
// The user-interface translator: every shown text goes through Translate.
//
// Language files are "<gsDataFolder>Languages/<language>-Quorvane.txt", UTF-16LE (with or
// without byte-order mark) or 8-bit (UTF-8, or Windows-1252 when not valid UTF-8). One entry a
// line: "English","Translation" or a lone "Text"; a line starting with "! is a comment, one
// starting with "**** ends the dictionary. Texts the file does not hold yet are appended to it
// in its own encoding, so that translators see every text the program shows.
#include <QString>
#include <QStringList>

class QLocale;
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
// The user locale that decides the first-start chooser, gbDoubleByteLocale and the Japanese
// font rule. Until set, the system locale (the C/POSIX locale counts as US English).
void SetTranslatorUserLocale(const QLocale &locale);
QLocale GetTranslatorUserLocale();

// Reads the language settings and loads the language file. With bQuiet (a command-line or
// automation start) no chooser and no box is shown, and English is used without storing it.
void InitializeTranslator(bool bQuiet = false);
QString Translate(const QString &sText);
// Asks the chooser for a language and font; true when either was changed and stored. From the
// menu a new language takes effect at the next start (an information box says so).
bool SelectLanguage(bool bFromMenu);
// Languages that have a file in the Languages folder, sorted by name.
QStringList GetInstalledLanguages();

// Values of the translator's state, for the chooser and the about box.
QString GetLanguageFont();     // "" = no font override
QString GetLanguageFileName(); // "" while English

// Settings of section [Language] in the settings file.
QString ReadIniLanguageCode();
void SaveIniLanguageCode(const QString &sLanguageCode);
QString ReadIniLanguageFont();
void SaveIniLanguageFont(const QString &sFont);

enum LanguageFileFormat { lffAnsi = 0, lffUnicode = -1, lffUnreadable = 99 };
QString GetLanguageFilePath(const QString &sLanguageName);
// lffAnsi for an 8-bit file, lffUnicode for UTF-16LE, lffUnreadable when the first line, read
// in the detected encoding, does not begin with a double quote (or the file cannot be read).
int GetLanguageFileFormat(const QString &sPath);
// Loads the current language file into the dictionary; false when it cannot be read.
bool LoadLanguageFile();
// Appends "sText" as a line of the current language file, unless the file holds it already
// (anywhere, also below the end marker) or it holds a line break the format cannot keep.
void AddTextToLanguageFile(const QString &sText);
// Whether an installed font family has that name (case-insensitive).
bool bFontExists(const QString &sFont);
// Linux has no bitmap "MS Sans Serif": always false.
bool bMSSansSerifIsBitmapFont();
