#pragma once
// A private data folder and settings file for translator tests, with a recording prompter and a
// scripted language chooser.
#include "TestEnv.h"

#include "common/Globals.h"
#include "language/Translator.h"
#include "platform/Prompter.h"

#include <gtest/gtest.h>

#include <QList>
#include <QLocale>
#include <QTemporaryDir>

class RecordingPrompter : public Prompter
{
public:
    struct Box
    {
        QString text;
        int style;
        QString title;
    };
    int msgBox(const QString &text, int style, const QString &title) override
    {
        boxes.append({text, style, title});
        return Ok;
    }
    QList<Box> boxes;
};

class ScriptedChooser : public LanguageChooser
{
public:
    bool choose(const QString &currentLanguage, QString &language, QString &font) override
    {
        ++calls;
        seenCurrent = currentLanguage;
        language = accept ? answerLanguage : QString();
        font = accept ? answerFont : QString();
        return accept;
    }
    QString answerLanguage;
    QString answerFont;
    bool accept = true;
    int calls = 0;
    QString seenCurrent;
};

class TranslatorFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gsDataFolder = tmp.path() + QStringLiteral("/");
        G_IniFilePath = tmp.path() + QStringLiteral("/Quorvane_SearchHistory.INI");
        gbCommandLineMode = false;
        SetTranslatorPrompter(&prompter);
        SetLanguageChooser(&chooser);
        SetTranslatorUserLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override
    {
        SetTranslatorPrompter(nullptr);
        SetLanguageChooser(nullptr);
        G_IniFilePath.clear();
        InitializeTranslator(true); // back to plain English for the next test
    }
    QString languageFile(const QString &language) const
    {
        return tmp.path() + QStringLiteral("/Languages/") + language + QStringLiteral("-Quorvane.txt");
    }
    // Installs a language file, stores the language as chosen and starts the translator.
    void startWith(const QString &language, const QByteArray &bytes, bool quiet = false)
    {
        ASSERT_TRUE(qvtest::writeFile(languageFile(language), bytes));
        SaveIniLanguageCode(language);
        InitializeTranslator(quiet);
    }
    // English as it starts, or a language with the file the program ships for it.
    void startInShippedLanguage(const QString &language)
    {
        if (language == QLatin1String("English"))
            InitializeTranslator(true);
        else
            startWith(language, qvtest::readFile(qvtest::sourceDir() + "/data/Languages/" + language + "-Quorvane.txt"));
    }
    QByteArray fileBytes(const QString &language) const
    {
        return qvtest::readFile(languageFile(language));
    }

    QTemporaryDir tmp;
    RecordingPrompter prompter;
    ScriptedChooser chooser;
};

inline QByteArray utf16le(const QString &s, bool bom)
{
    QByteArray out = bom ? QByteArray("\xFF\xFE", 2) : QByteArray();
    for (QChar c : s) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    return out;
}
