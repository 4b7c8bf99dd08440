// The editor's choice lists as data: exact texts and item data.
#include "TranslatorTestSupport.h"
#include "converter/TypeCatalogue.h"
#include "platform/ProfileIni.h"
#include "ui/main/editor/ChoiceLists.h"

#include <ostream>

void PrintTo(const ChoiceItem &i, std::ostream *os) { *os << '{' << i.text.toStdString() << ", " << i.itemData << '}'; }

namespace {

using Items = QList<ChoiceItem>;

class ChoiceListsTest : public TranslatorFixture
{
};

} // namespace

TEST_F(ChoiceListsTest, FixedListsInEnglish)
{
    ChoiceList l = CommandLineWindowStateChoices();
    EXPECT_EQ(l.items, Items({{"Hidden", 0}, {"Normal", 1}, {"Maximized", 3}, {"Minimized", 6}}));
    EXPECT_EQ(l.selected, 0);
    l = CommandLineThreadPriorityChoices();
    EXPECT_EQ(l.items, Items({{"Idle", 64}, {"Normal", 32}, {"High Priority", 128}, {"Realtime Priority", 256}}));
    EXPECT_EQ(l.selected, 0);
    l = SpecialProcessesChoices();
    EXPECT_EQ(l.items,
              Items({{"[50] Append (Concatenate) files. Original file(s) contents is placed at the end of the Target file.", 50},
                     {"[55] Remove Empty Lines", 55},
                     {"[56] Search and Replace a String.", 56},
                     {"[60] Launch (Run) a program.", 60},
                     {"I NEED SOMETHING NOT LISTED!!!!!!!", -1}}));
    l = FileTypeChoicesPDFX();
    EXPECT_EQ(l.items, Items({{"[3] As DOC (RTF)", 3}, {"[2] As HTML (HTM)", 2}, {"[1] As Text", 1}}));
    EXPECT_EQ(l.selected, 1);
    l = FileTypeChoicesSpecialized();
    EXPECT_EQ(l.items, Items({{"[1] Text", 1}, {"[9] MS Word (DOC)", 9}, {"[4] HTML (HTM)", 4},
                              {"[5] Rich Text Format (RTF)", 5}, {"[6] Unicode/Encoded Text", 6}}));
    EXPECT_EQ(l.selected, 0);
    l = FileTypeChoices(false);
    EXPECT_EQ(l.items, Items({{"Any file PowerPoint can open (*.*)", 1},
                              {"PowerPoint Presentations (PPT(X), PPS(X), HTM, MHTM", 2},
                              {"Presentations and Shows (PPT(X), PPS(X))", 3},
                              {"Web Pages (HTM, HTML, MHT, MHTML)", 4},
                              {"Design Templates POT(X)", 5},
                              {"Outlines (TXT, RTF, DOC, WPD, WPS)", 6}}));
    EXPECT_EQ(l.selected, 2);
    l = FileTypeChoicesMSWord(tmp.filePath("none.INI"));
    EXPECT_EQ(l.items, Items({{"[0] Word Doc (doc)", 0}, {"[8] HTML (Word Version > 97)", 8},
                              {"[6] Rich Text Format (RTF)", 6}, {"[2] Text", 2}, {"[3] Text Line Breaks", 3},
                              {"[7] Unicode/Encoded Text", 7}, {"[4] Dos Text", 4},
                              {"[101] Text with Layout (ASC) ", 101}, {"[5] Dos Text - Line Breaks", 5},
                              {"[?] OTHER CONVERSION TYPES", -1}}));
    EXPECT_EQ(l.selected, 0);

    l = CharacterSelectionChoices();
    ASSERT_EQ(l.items.size(), 256);
    EXPECT_EQ(l.items[0], ChoiceItem({"ASCII Char", 0}));
    EXPECT_EQ(l.items[1], ChoiceItem({"[1] SOH", 1}));
    EXPECT_EQ(l.items[9], ChoiceItem({"[9] TAB", 9}));
    EXPECT_EQ(l.items[32], ChoiceItem({"[32] Space", 32}));
    EXPECT_EQ(l.items[33], ChoiceItem({"[33]!", 33}));
    EXPECT_EQ(l.items[65], ChoiceItem({"[65]A", 65}));
    EXPECT_EQ(l.items[128], ChoiceItem({QString::fromUtf8("[128]\u20AC"), 128})); // Windows-1252, not Latin-1
    EXPECT_EQ(l.items[150], ChoiceItem({QString::fromUtf8("[150]\u2013"), 150}));
    EXPECT_EQ(l.items[255], ChoiceItem({QString::fromUtf8("[255]\u00FF"), 255}));
    EXPECT_EQ(l.selected, 0);
}

TEST_F(ChoiceListsTest, TargetListHoldsEveryCatalogueType)
{
    const ChoiceList l = FileTypeChoices(true);
    ASSERT_EQ(l.items.size(), TypeCatalogue::count() + 1);
    EXPECT_EQ(l.items[0], ChoiceItem({"[300] PDF - with options", 300}));
    // The catalogue's first type is listed too, and selected.
    EXPECT_EQ(l.items[1], ChoiceItem({"[032] PDF Document", 32}));
    EXPECT_EQ(l.selected, 1);
    EXPECT_TRUE(l.items.contains(ChoiceItem({"[007] PowerPoint 97-2003 Show (PPS)", 7})));
    EXPECT_TRUE(l.items.contains(ChoiceItem({"[106] Rich Text Format - Slide Pictures and Text", 106})));
    for (int i = 0; i < TypeCatalogue::count(); ++i)
        EXPECT_EQ(l.items[i + 1].itemData, TypeCatalogue::types()[i].code);

    // Unavailable types are left out; with none left the first entry stays selected.
    ChoiceList none = FileTypeChoices(3, [](int, QString &, int &) { return false; });
    EXPECT_EQ(none.items, Items({{"[300] PDF - with options", 300}}));
    EXPECT_EQ(none.selected, 0);
    none = FileTypeChoices(0, {});
    EXPECT_EQ(none.items, Items({{"[300] PDF - with options", 300}, {"!! Please install MS PowerPoint !!", 0}}));
    EXPECT_EQ(none.selected, 0);
    const ChoiceList some = FileTypeChoices(3, [](int i, QString &d, int &c) {
        d = QStringLiteral("T") + QString::number(i);
        c = i == 0 ? 2 : 1000;
        return i != 1;
    });
    EXPECT_EQ(some.items, Items({{"[300] PDF - with options", 300}, {"[002] T0", 2}, {"[1000] T2", 1000}}));
    EXPECT_EQ(some.selected, 1);
}

TEST_F(ChoiceListsTest, TranslatedTextsButNeverTheCharacterList)
{
    startWith("German", "\"Hidden\",\"Versteckt\"\r\n\"ASCII Char\",\"ASCII-Zeichen\"\r\n"
                        "\"[1] Text\",\"[1] Textdatei\"\r\n\"PDF Document\",\"PDF-Dokument\"\r\n"
                        "\"Remove Empty Lines\",\"Leere Zeilen entfernen\"\r\n");
    EXPECT_EQ(CommandLineWindowStateChoices().items[0].text, "Versteckt");
    EXPECT_EQ(CharacterSelectionChoices().items[0].text, "ASCII Char");
    EXPECT_EQ(FileTypeChoicesSpecialized().items[0].text, "[1] Textdatei");
    EXPECT_EQ(FileTypeChoices(true).items[1].text, "[032] PDF-Dokument");
    EXPECT_EQ(SpecialProcessesChoices().items[1].text, "[55] Leere Zeilen entfernen");
}

TEST_F(ChoiceListsTest, UserWordTypesFromTheSettingsFile)
{
    const QString ini = tmp.filePath("word.INI");
    auto set = [&](const QString &section, const QString &key, const QString &value) {
        ASSERT_TRUE(ProfileIni::writeString(ini, section, key, value));
    };
    // A count of 3 with a bad constant in the middle and no section for the last.
    set("WordConvertType", "Count", "3");
    set("WordConvertType1", "Constant", "12");
    set("WordConvertType1", "sDescription", "WordPerfect 5.1");
    set("WordConvertType2", "Constant", "4.5");
    set("WordConvertType2", "sDescription", "Broken");
    EXPECT_EQ(AdditionalFilesConversionTypes(ini), Items({{"[12] WordPerfect 5.1", 12}, {"[0] ", 0}}));
    const ChoiceList word = FileTypeChoicesMSWord(ini);
    ASSERT_EQ(word.items.size(), 12);
    EXPECT_EQ(word.items[10], ChoiceItem({"[12] WordPerfect 5.1", 12}));

    set("WordConvertType2", "Constant", "99999999999"); // past 32 bits: left out
    EXPECT_EQ(AdditionalFilesConversionTypes(ini).size(), 2);
    set("WordConvertType2", "Constant", "-7");
    EXPECT_EQ(AdditionalFilesConversionTypes(ini)[1], ChoiceItem({"[-7] Broken", -7}));

    for (const char *bad : {"abc", "2.5", "", "-4", "0"}) {
        set("WordConvertType", "Count", bad);
        EXPECT_TRUE(AdditionalFilesConversionTypes(ini).isEmpty()) << bad;
    }
    // A huge count reads no more than 1000 entries.
    set("WordConvertType", "Count", "123456789012345678901234567890");
    EXPECT_EQ(AdditionalFilesConversionTypes(ini).size(), 1000);
    set("WordConvertType", "Count", "1001");
    EXPECT_EQ(AdditionalFilesConversionTypes(ini).size(), 1000);
}
