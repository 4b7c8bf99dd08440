#include "Translator.h"

#include "LanguageFile.h"
#include "common/Globals.h"
#include "common/LogWriter.h"
#include "platform/ProfileIni.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLocale>

#include <optional>

QString sLanguage = QStringLiteral("English");
bool gbDoubleByteLocale = false;

namespace {

const QString kEnglish = QStringLiteral("English");
const QString kSection = QStringLiteral("Language");

struct TranslatorState
{
    QString languageFile;
    int languageFileFormat = lffAnsi;
    QString languageFont;
    QHash<QString, QString> dictionary;
    QSet<QString> knownInFile;
    bool quiet = false;
    LanguageChooser *chooser = nullptr;
    Prompter *prompter = nullptr;
    std::optional<QLocale> userLocale;
};

TranslatorState &state()
{
    static TranslatorState s;
    return s;
}

QString appName() { return GetProgramTitle(); }


// The locales for which the program's own English needs no choice at the first start.
bool isUsOrUkEnglish(const QLocale &l)
{
    if (l.language() == QLocale::C)
        return true;
    return l.language() == QLocale::English &&
           (l.territory() == QLocale::UnitedStates || l.territory() == QLocale::UnitedKingdom);
}

bool isDoubleByte(const QLocale &l)
{
    return l.language() == QLocale::Japanese || l.language() == QLocale::Korean ||
           l.language() == QLocale::Chinese;
}

QString languagesFolder()
{
    QString folder = gsDataFolder;
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder + QStringLiteral("Languages/");
}

// A box of the translator's own, unless this is a quiet (unattended) run.
void showBox(const QString &text, int style, const QString &title)
{
    if (!state().quiet && state().prompter)
        state().prompter->msgBox(text, style, title);
}

} // namespace

void SetLanguageChooser(LanguageChooser *chooser) { state().chooser = chooser; }

void SetTranslatorPrompter(Prompter *prompter) { state().prompter = prompter; }

void SetTranslatorUserLocale(const QLocale &locale) { state().userLocale = locale; }

QLocale GetTranslatorUserLocale()
{
    return state().userLocale ? *state().userLocale : QLocale::system();
}

QString GetLanguageFont() { return state().languageFont; }

QString GetLanguageFileName() { return state().languageFile; }

QString ReadIniLanguageCode()
{
    return ProfileIni::readString(G_IniFilePath, kSection, QStringLiteral("Language_Code"), {});
}

void SaveIniLanguageCode(const QString &sLanguageCode)
{
    ProfileIni::writeString(G_IniFilePath, kSection, QStringLiteral("Language_Code"),
                            sLanguageCode);
}

QString ReadIniLanguageFont()
{
    return ProfileIni::readString(G_IniFilePath, kSection, QStringLiteral("Language_Font"), {});
}

void SaveIniLanguageFont(const QString &sFont)
{
    ProfileIni::writeString(G_IniFilePath, kSection, QStringLiteral("Language_Font"), sFont);
}

QString GetLanguageFilePath(const QString &sLanguageName)
{
    return languagesFolder() + sLanguageName + u'-' + appName() + QStringLiteral(".txt");
}

int GetLanguageFileFormat(const QString &sPath)
{
    QFile f(sPath);
    if (!f.open(QIODevice::ReadOnly))
        return lffUnreadable;
    return LanguageFile::detectFormat(f.readAll());
}

bool LoadLanguageFile()
{
    TranslatorState &s = state();
    s.dictionary.clear();
    s.knownInFile.clear();
    LanguageFile::Contents contents;
    if (!LanguageFile::read(s.languageFile, s.languageFileFormat, contents))
        return false;
    s.dictionary = std::move(contents.translations);
    s.knownInFile = std::move(contents.knownTexts);
    return true;
}

void AddTextToLanguageFile(const QString &sText)
{
    TranslatorState &s = state();
    if (sText.trimmed().isEmpty() || s.languageFile.isEmpty())
        return;
    // A line break would split the entry into two lines that read back as other texts.
    if (sText.contains(u'\r') || sText.contains(u'\n'))
        return;
    if (s.knownInFile.contains(sText))
        return;
    if (LanguageFile::appendText(s.languageFile, s.languageFileFormat, sText)) {
        s.knownInFile.insert(sText);
        return;
    }
    // Translate caches before it appends, so these two texts do not come back here twice.
    showBox(Translate(QStringLiteral("Unable to add to Language file")), Prompter::Exclamation,
            Translate(QStringLiteral("Error")));
}

QString Translate(const QString &sText)
{
    if (sText.trimmed().isEmpty())
        return sText;
    TranslatorState &s = state();
    const auto it = s.dictionary.constFind(sText);
    if (it != s.dictionary.constEnd())
        return it.value();
    s.dictionary.insert(sText, sText);
    if (sLanguage != kEnglish)
        AddTextToLanguageFile(sText);
    return sText;
}

void InitializeTranslator(bool bQuiet)
{
    TranslatorState &s = state();
    s.quiet = bQuiet;
    s.dictionary.clear();
    s.knownInFile.clear();
    s.languageFile.clear();
    s.languageFileFormat = lffAnsi;
    s.languageFont.clear();

    const QLocale locale = GetTranslatorUserLocale();
    gbDoubleByteLocale = isDoubleByte(locale);

    sLanguage = ReadIniLanguageCode();
    if (sLanguage.isEmpty()) {
        sLanguage = kEnglish;
        // The first start of an unattended run neither asks nor stores: the choice is the
        // user's, made at the first start with a window.
        if (bQuiet)
            return;
        if (!isUsOrUkEnglish(locale))
            SelectLanguage(false);
        SaveIniLanguageCode(sLanguage);
    }

    QString error;
    if (sLanguage != kEnglish) {
        s.languageFile = GetLanguageFilePath(sLanguage);
        const QString where = QStringLiteral(": \r\n") + s.languageFile;
        if (!QFileInfo(s.languageFile).isFile()) {
            error = QStringLiteral("Unable to locate Language file") + where;
        } else {
            s.languageFileFormat = GetLanguageFileFormat(s.languageFile);
            if (s.languageFileFormat == lffUnreadable)
                error = QStringLiteral("Unable to read Language file") + where;
            else if (!LoadLanguageFile())
                error = QStringLiteral("Unable to process Language file") + where;
        }
    }
    if (error.isEmpty()) {
        s.languageFont = ReadIniLanguageFont();
        return;
    }

    showBox(error + QStringLiteral("\r\nDefaulting to English"), Prompter::Exclamation,
            QStringLiteral("Error"));
    // An unattended run shows no box, but its user must learn why the texts are English.
    if (bQuiet)
        WriteToStandardError(QString(error).replace(QStringLiteral(": \r\n"), QStringLiteral(": ")) +
                             QStringLiteral(". Defaulting to English"));
    sLanguage = kEnglish;
    s.languageFile.clear();
    s.languageFileFormat = lffAnsi;
    s.dictionary.clear();
    s.knownInFile.clear();
    if (!bQuiet)
        SaveIniLanguageCode(kEnglish);
}

bool SelectLanguage(bool bFromMenu)
{
    TranslatorState &s = state();
    if (gbCommandLineMode || s.quiet) {
        sLanguage = kEnglish;
        return false;
    }
    QString language;
    QString font;
    if (!s.chooser || !s.chooser->choose(sLanguage, language, font)) {
        language.clear();
        font.clear();
    }

    bool changed = false;
    bool languageChanged = false;
    if (!language.isEmpty() && language != sLanguage) {
        SaveIniLanguageCode(language);
        changed = languageChanged = true;
    }
    if (!font.isEmpty() && font != s.languageFont) {
        SaveIniLanguageFont(font);
        changed = true;
    }

    if (bFromMenu && languageChanged) {
        showBox(Translate(QStringLiteral("Your changes will take effect next time you run ")) +
                    appName(),
                Prompter::Information, GetProgramTitle());
    } else {
        if (!language.isEmpty())
            sLanguage = language;
        if (!font.isEmpty())
            s.languageFont = font;
    }
    return changed;
}

QStringList GetInstalledLanguages()
{
    const QString suffix = u'-' + appName() + QStringLiteral(".txt");
    QStringList out;
    const QStringList names =
        QDir(languagesFolder()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        const qsizetype at = name.indexOf(suffix, 0, Qt::CaseInsensitive);
        if (at <= 0)
            continue;
        const QString language = name.left(at);
        if (language.compare(kEnglish, Qt::CaseInsensitive) != 0 && !out.contains(language))
            out << language;
    }
    return out;
}

bool bFontExists(const QString &sFont)
{
    return !sFont.isEmpty() && QFontDatabase::families().contains(sFont, Qt::CaseInsensitive);
}

bool bMSSansSerifIsBitmapFont() { return false; }
