// The translator: language files, appends of unknown texts, start-up and language choice.
#include "TranslatorTestSupport.h"
#include "Unchangeable.h"

#include "language/LanguageFile.h"

#include "platform/ProfileIni.h"
#include "platform/TextCodec.h"


namespace {

const QByteArray kGerman =
    "\"! German file\"\r\n"
    "\"Open\",\"\xC3\x96" "ffnen\"\r\n"
    "\r\n"
    "   \"Close\",\"Schlie\xC3\x9F" "en\"   \r\n"
    "\"Save \",\"Speichern mit Blank\"\r\n"
    "\"Save\",\"Speichern\"\r\n"
    "\"Open\",\"Zweite Zeile\"\r\n"
    "\"Say \"hi\"\",\"Sag \"hallo\"\",\"und mehr\"\r\n"
    "\"Untranslated\",\"\"\r\n"
    "\"Lone text\"\r\n"
    "\"**** end\"\r\n"
    "\"Below\",\"Unten\"\r\n";

QString iniValue(const QString &key)
{
    return ProfileIni::readString(G_IniFilePath, QStringLiteral("Language"), key,
                                  QStringLiteral("(missing)"));
}

} // namespace

using TranslatorTest = TranslatorFixture;

TEST_F(TranslatorTest, LanguageFileLinesFollowTheirRules)
{
    startWith(QStringLiteral("German"), kGerman);
    ASSERT_EQ(sLanguage, QStringLiteral("German"));
    EXPECT_TRUE(prompter.boxes.isEmpty());

    EXPECT_EQ(Translate(QStringLiteral("Open")), QStringLiteral("Öffnen")); // first line wins
    EXPECT_EQ(Translate(QStringLiteral("Close")), QStringLiteral("Schließen"));
    EXPECT_EQ(Translate(QStringLiteral("Save ")), QStringLiteral("Speichern mit Blank"));
    EXPECT_EQ(Translate(QStringLiteral("Save")), QStringLiteral("Speichern"));
    // The translation ends at a further "," separator.
    EXPECT_EQ(Translate(QStringLiteral("Say \"hi\"")), QStringLiteral("Sag \"hallo\""));
    EXPECT_EQ(Translate(QStringLiteral("Untranslated")), QStringLiteral("Untranslated"));
    EXPECT_EQ(Translate(QStringLiteral("Lone text")), QStringLiteral("Lone text"));
    // Below the end marker nothing is read, and nothing there is appended again either.
    EXPECT_EQ(Translate(QStringLiteral("Below")), QStringLiteral("Below"));
    EXPECT_EQ(fileBytes(QStringLiteral("German")), kGerman);
}

TEST_F(TranslatorTest, UnknownTextIsAppendedOnceAcrossStarts)
{
    const QByteArray noFinalBreak = "\"Open\",\"\xC3\x96" "ffnen\"\r\n\"**** end\"";
    startWith(QStringLiteral("German"), noFinalBreak);
    EXPECT_EQ(Translate(QStringLiteral("Convert now")), QStringLiteral("Convert now"));
    EXPECT_EQ(Translate(QStringLiteral("Convert now")), QStringLiteral("Convert now"));
    const QByteArray once = noFinalBreak + "\r\n\"Convert now\"\r\n";
    EXPECT_EQ(fileBytes(QStringLiteral("German")), once);

    // Next start: the text sits below the end marker, where it is not read, and stays once.
    InitializeTranslator();
    EXPECT_EQ(Translate(QStringLiteral("Convert now")), QStringLiteral("Convert now"));
    // Blank texts and texts with line breaks are never appended.
    EXPECT_EQ(Translate(QStringLiteral("   ")), QStringLiteral("   "));
    EXPECT_EQ(Translate(QStringLiteral("two\r\nlines")), QStringLiteral("two\r\nlines"));
    // A text that would read back as a comment is still recognised as present.
    Translate(QStringLiteral("!Important"));
    InitializeTranslator();
    Translate(QStringLiteral("!Important"));
    EXPECT_EQ(fileBytes(QStringLiteral("German")), once + "\"!Important\"\r\n");
}

TEST_F(TranslatorTest, EnglishNeverWritesALanguageFile)
{
    startWith(QStringLiteral("English"), "\"x\"\r\n");
    EXPECT_EQ(sLanguage, QStringLiteral("English"));
    EXPECT_EQ(Translate(QStringLiteral("Anything")), QStringLiteral("Anything"));
    EXPECT_EQ(fileBytes(QStringLiteral("English")), QByteArray("\"x\"\r\n"));
    EXPECT_EQ(GetLanguageFileName(), QString());
}

TEST_F(TranslatorTest, Utf16FilesAreReadAndAppendedInUtf16)
{
    const QString text = QStringLiteral("\"Open\",\"Öffnen\"\r\n\"Size\",\"Größe 尺寸\"\r\n");
    for (bool bom : {true, false}) {
        SCOPED_TRACE(bom ? "with BOM" : "without BOM");
        const QByteArray bytes = utf16le(text, bom);
        EXPECT_EQ(LanguageFile::detectFormat(bytes), lffUnicode);
        startWith(QStringLiteral("German"), bytes);
        ASSERT_EQ(sLanguage, QStringLiteral("German"));
        EXPECT_EQ(Translate(QStringLiteral("Size")), QStringLiteral("Größe 尺寸"));
        Translate(QStringLiteral("Neu ü"));
        EXPECT_EQ(fileBytes(QStringLiteral("German")),
                  bytes + utf16le(QStringLiteral("\"Neu ü\"\r\n"), false));
    }
}

TEST_F(TranslatorTest, EightBitFilesAppendInTheirOwnEncoding)
{
    // Windows-1252 ("é" is the single byte E9): appended in Windows-1252.
    const QByteArray cp1252 = "\"Date\",\"Dat\xE9\"\r\n";
    startWith(QStringLiteral("French"), cp1252);
    EXPECT_EQ(Translate(QStringLiteral("Date")), QStringLiteral("Daté"));
    Translate(QStringLiteral("Größe"));
    EXPECT_EQ(fileBytes(QStringLiteral("French")), cp1252 + "\"Gr\xF6\xDF" "e\"\r\n");

    // UTF-8 stays UTF-8.
    const QByteArray utf8 = "\"Date\",\"Dat\xC3\xA9\"\n";
    startWith(QStringLiteral("Italian"), utf8);
    EXPECT_EQ(Translate(QStringLiteral("Date")), QStringLiteral("Daté"));
    Translate(QStringLiteral("Größe"));
    EXPECT_EQ(fileBytes(QStringLiteral("Italian")), utf8 + "\"Gr\xC3\xB6\xC3\x9F" "e\"\r\n");
}

TEST_F(TranslatorTest, FormatDetection)
{
    EXPECT_EQ(LanguageFile::detectFormat("\"! comment first\"\r\n\"a\",\"b\"\r\n"), lffAnsi);
    EXPECT_EQ(LanguageFile::detectFormat("\xEF\xBB\xBF\"a\"\r\n"), lffAnsi);
    EXPECT_EQ(LanguageFile::detectFormat("\r\n\"a\",\"b\"\r\n"), lffUnreadable);
    EXPECT_EQ(LanguageFile::detectFormat("a,b\r\n"), lffUnreadable);
    EXPECT_EQ(LanguageFile::detectFormat(QByteArray()), lffUnreadable);
    EXPECT_EQ(LanguageFile::detectFormat(utf16le(QStringLiteral("x\"\r\n"), true)), lffUnreadable);
    EXPECT_EQ(GetLanguageFileFormat(tmp.path() + QStringLiteral("/none.txt")), lffUnreadable);
}

TEST_F(TranslatorTest, BrokenLanguageFileFallsBackToEnglishWithOneBox)
{
    startWith(QStringLiteral("German"), "\r\n\"Open\",\"Öffnen\"\r\n");
    EXPECT_EQ(sLanguage, QStringLiteral("English"));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("Unable to read Language file: \r\n") +
                                          languageFile(QStringLiteral("German")) +
                                          QStringLiteral("\r\nDefaulting to English"));
    EXPECT_EQ(prompter.boxes[0].style, Prompter::Exclamation);
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(iniValue(QStringLiteral("Language_Code")), QStringLiteral("English"));
    EXPECT_EQ(Translate(QStringLiteral("Open")), QStringLiteral("Open"));

    SaveIniLanguageCode(QStringLiteral("Klingon"));
    InitializeTranslator();
    ASSERT_EQ(prompter.boxes.size(), 2);
    EXPECT_TRUE(prompter.boxes[1].text.startsWith(QStringLiteral("Unable to locate Language file: \r\n")));
}

TEST_F(TranslatorTest, QuietStartShowsNothingAndStoresNothing)
{
    // A missing file: English for this run only.
    SaveIniLanguageCode(QStringLiteral("Klingon"));
    InitializeTranslator(true);
    EXPECT_EQ(sLanguage, QStringLiteral("English"));
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(iniValue(QStringLiteral("Language_Code")), QStringLiteral("Klingon"));

    // First start in a German locale: no chooser, nothing stored.
    ProfileIni::deleteKey(G_IniFilePath, QStringLiteral("Language"), QStringLiteral("Language_Code"));
    SetTranslatorUserLocale(QLocale(QLocale::German, QLocale::Germany));
    InitializeTranslator(true);
    EXPECT_EQ(chooser.calls, 0);
    EXPECT_EQ(sLanguage, QStringLiteral("English"));
    EXPECT_EQ(iniValue(QStringLiteral("Language_Code")), QStringLiteral("(missing)"));

    // A working language is still used by a quiet start.
    startWith(QStringLiteral("German"), kGerman, true);
    EXPECT_EQ(Translate(QStringLiteral("Open")), QStringLiteral("Öffnen"));
    // And a failing append shows no box either.
    Unchangeable locked(languageFile(QStringLiteral("German")));
    if (!locked.ok())
        GTEST_SKIP() << "cannot make a file unwritable here";
    Translate(QStringLiteral("Brand new"));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(TranslatorTest, FirstStartAsksOnlyOutsideUsAndUkEnglish)
{
    InitializeTranslator();
    EXPECT_EQ(chooser.calls, 0);
    EXPECT_EQ(iniValue(QStringLiteral("Language_Code")), QStringLiteral("English"));
    EXPECT_FALSE(gbDoubleByteLocale);

    ProfileIni::deleteKey(G_IniFilePath, QStringLiteral("Language"), QStringLiteral("Language_Code"));
    ASSERT_TRUE(qvtest::writeFile(languageFile(QStringLiteral("German")), kGerman));
    SetTranslatorUserLocale(QLocale(QLocale::German, QLocale::Germany));
    chooser.answerLanguage = QStringLiteral("German");
    chooser.answerFont = QStringLiteral("DejaVu Sans");
    InitializeTranslator();
    EXPECT_EQ(chooser.calls, 1);
    EXPECT_EQ(chooser.seenCurrent, QStringLiteral("English"));
    // A choice at the first start takes effect at once.
    EXPECT_EQ(sLanguage, QStringLiteral("German"));
    EXPECT_EQ(Translate(QStringLiteral("Open")), QStringLiteral("Öffnen"));
    EXPECT_EQ(GetLanguageFont(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(iniValue(QStringLiteral("Language_Code")), QStringLiteral("German"));
    EXPECT_EQ(iniValue(QStringLiteral("Language_Font")), QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(prompter.boxes.isEmpty());

    SetTranslatorUserLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    InitializeTranslator();
    EXPECT_TRUE(gbDoubleByteLocale);
}

TEST_F(TranslatorTest, ChoiceFromTheMenuWaitsForTheNextStart)
{
    ASSERT_TRUE(qvtest::writeFile(languageFile(QStringLiteral("German")), kGerman));
    InitializeTranslator();
    chooser.answerLanguage = QStringLiteral("German");
    EXPECT_TRUE(SelectLanguage(true));
    EXPECT_EQ(sLanguage, QStringLiteral("English"));
    EXPECT_EQ(iniValue(QStringLiteral("Language_Code")), QStringLiteral("German"));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text,
              QStringLiteral("Your changes will take effect next time you run Quorvane"));
    EXPECT_EQ(prompter.boxes[0].style, Prompter::Information);

    // Cancelled: nothing changes, even though a font had been picked.
    chooser.accept = false;
    chooser.answerFont = QStringLiteral("DejaVu Sans");
    EXPECT_FALSE(SelectLanguage(true));
    EXPECT_EQ(iniValue(QStringLiteral("Language_Font")), QStringLiteral("(missing)"));

    // Only the font changed: that takes effect at once, without a box.
    chooser.accept = true;
    chooser.answerLanguage = QStringLiteral("English");
    EXPECT_TRUE(SelectLanguage(true));
    EXPECT_EQ(GetLanguageFont(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(prompter.boxes.size(), 1);

    // No chooser in a command-line run.
    gbCommandLineMode = true;
    EXPECT_FALSE(SelectLanguage(true));
    gbCommandLineMode = false;
    EXPECT_EQ(chooser.calls, 3);
}

TEST_F(TranslatorTest, ReadOnlyLanguageFileReportsTheFailedAppend)
{
    startWith(QStringLiteral("German"), kGerman);
    Unchangeable locked(languageFile(QStringLiteral("German")));
    if (!locked.ok())
        GTEST_SKIP() << "cannot make a file unwritable here";
    EXPECT_EQ(Translate(QStringLiteral("Brand new")), QStringLiteral("Brand new"));
    ASSERT_FALSE(prompter.boxes.isEmpty());
    EXPECT_EQ(prompter.boxes.last().text, QStringLiteral("Unable to add to Language file"));
    EXPECT_EQ(prompter.boxes.last().title, QStringLiteral("Error"));
    EXPECT_EQ(prompter.boxes.last().style, Prompter::Exclamation);
    const auto before = prompter.boxes.size();
    Translate(QStringLiteral("Another"));
    EXPECT_EQ(prompter.boxes.size(), before + 1); // the message's own texts are cached now
}

TEST_F(TranslatorTest, InstalledLanguagesAreTheFilesOfTheLanguagesFolder)
{
    for (const char *name : {"German-Quorvane.txt", "french-QUORVANE.TXT", "notes.txt",
                             "English-Quorvane.txt", "Dutch-Other.txt"})
        ASSERT_TRUE(qvtest::writeFile(tmp.path() + QStringLiteral("/Languages/") +
                                          QString::fromLatin1(name),
                                      "\"a\"\r\n"));
    startWith(QStringLiteral("German"), kGerman);
    EXPECT_EQ(GetInstalledLanguages(), (QStringList{"french", "German"}));
}

TEST_F(TranslatorTest, ShippedGermanFileLoads)
{
    const QByteArray shipped =
        qvtest::readFile(qvtest::sourceDir() + QStringLiteral("/data/Languages/German-Quorvane.txt"));
    ASSERT_FALSE(shipped.isEmpty());
    startWith(QStringLiteral("German"), shipped);
    ASSERT_EQ(sLanguage, QStringLiteral("German"));
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(Translate(QStringLiteral("Error")), QStringLiteral("Fehler"));
    EXPECT_EQ(Translate(QStringLiteral("Time to complete job: ")),
              QStringLiteral("Dauer des Auftrags: "));
}
