#include "ChoiceLists.h"

#include "common/NumberUtils.h"
#include "converter/TypeCatalogue.h"
#include "language/Translator.h"
#include "platform/ProfileIni.h"
#include "platform/TextCodec.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

ChoiceList translated(std::initializer_list<std::pair<const char *, int>> entries, int selected)
{
    ChoiceList list;
    for (const auto &[text, code] : entries)
        list.items.append({Translate(QString::fromUtf8(text)), code});
    list.selected = selected;
    return list;
}

// A value of the settings file as the old profile reader gave it: at most 499 characters.
QString readValue(const QString &file, const QString &section, const QString &key, const QString &def)
{
    return ProfileIni::readString(file, section, key, def).left(499);
}

} // namespace

ChoiceList CharacterSelectionChoices()
{
    static const char *const names[] = {"SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",
                                        "TAB", "LF",  "VT",  "FF",  "CR",  "SO",  "SI",  "DLE",
                                        "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN",
                                        "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",  "Space"};
    ChoiceList list;
    list.items.append({QStringLiteral("ASCII Char"), 0});
    for (int n = 1; n <= 32; ++n)
        list.items.append({u'[' + QString::number(n) + QStringLiteral("] ") + QLatin1String(names[n - 1]), n});
    for (int n = 33; n <= 255; ++n)
        list.items.append({u'[' + QString::number(n) + u']' + TextCodec::charFromCode(n), n});
    list.selected = 0;
    return list;
}

ChoiceList CommandLineWindowStateChoices()
{
    return translated({{"Hidden", 0}, {"Normal", 1}, {"Maximized", 3}, {"Minimized", 6}}, 0);
}

ChoiceList CommandLineThreadPriorityChoices()
{
    return translated({{"Idle", 64}, {"Normal", 32}, {"High Priority", 128}, {"Realtime Priority", 256}}, 0);
}

ChoiceList SpecialProcessesChoices()
{
    ChoiceList list;
    const std::pair<int, const char *> processes[] = {
        {50, "Append (Concatenate) files. Original file(s) contents is placed at the end of the Target file."},
        {55, "Remove Empty Lines"},
        {56, "Search and Replace a String."},
        {60, "Launch (Run) a program."},
    };
    for (const auto &[id, text] : processes)
        list.items.append({u'[' + QString::number(id) + QStringLiteral("] ") + Translate(QString::fromUtf8(text)), id});
    list.items.append({Translate(QStringLiteral("I NEED SOMETHING NOT LISTED!!!!!!!")), -1});
    list.selected = 0;
    return list;
}

ChoiceList FileTypeChoicesPDFX()
{
    return translated({{"[3] As DOC (RTF)", 3}, {"[2] As HTML (HTM)", 2}, {"[1] As Text", 1}}, 1);
}

ChoiceList FileTypeChoicesSpecialized()
{
    return translated({{"[1] Text", 1},
                       {"[9] MS Word (DOC)", 9},
                       {"[4] HTML (HTM)", 4},
                       {"[5] Rich Text Format (RTF)", 5},
                       {"[6] Unicode/Encoded Text", 6}},
                      0);
}

QString PaddedTypeCode(int code)
{
    QString digits = QString::number(code);
    if (digits.size() < 3)
        digits.prepend(QString(3 - digits.size(), u'0'));
    return u'[' + digits + QStringLiteral("] ");
}

ChoiceList FileTypeChoices(int typeCount, const SaveAsTypeEntry &typeEntry)
{
    ChoiceList list;
    list.items.append({QStringLiteral("[300] ") + Translate(QStringLiteral("PDF - with options")), 300});
    list.selected = 0;
    if (typeCount <= 0) {
        list.items.append({Translate(QStringLiteral("!! Please install MS PowerPoint !!")), 0});
        return list;
    }
    // The catalogue counts its types from 0; every one of them belongs in the list.
    for (int i = 0; i < typeCount; ++i) {
        QString description;
        int code = 0;
        if (typeEntry && typeEntry(i, description, code))
            list.items.append({PaddedTypeCode(code) + Translate(description), code});
    }
    // The control's first type, when any was available.
    list.selected = list.items.size() > 1 ? 1 : 0;
    return list;
}

ChoiceList FileTypeChoices(bool bForSaving)
{
    if (bForSaving)
        return FileTypeChoices(TypeCatalogue::count(), [](int index, QString &description, int &code) {
            return TypeCatalogue::saveAsType(index, description, code);
        });
    return translated({{"Any file PowerPoint can open (*.*)", 1},
                       {"PowerPoint Presentations (PPT(X), PPS(X), HTM, MHTM", 2},
                       {"Presentations and Shows (PPT(X), PPS(X))", 3},
                       {"Web Pages (HTM, HTML, MHT, MHTML)", 4},
                       {"Design Templates POT(X)", 5},
                       {"Outlines (TXT, RTF, DOC, WPD, WPS)", 6}},
                      2);
}

ChoiceList FileTypeChoicesMSWord(const QString &iniPath)
{
    ChoiceList list = translated({{"[0] Word Doc (doc)", 0},
                                  {"[8] HTML (Word Version > 97)", 8},
                                  {"[6] Rich Text Format (RTF)", 6},
                                  {"[2] Text", 2},
                                  {"[3] Text Line Breaks", 3},
                                  {"[7] Unicode/Encoded Text", 7},
                                  {"[4] Dos Text", 4},
                                  {"[101] Text with Layout (ASC) ", 101},
                                  {"[5] Dos Text - Line Breaks", 5},
                                  {"[?] OTHER CONVERSION TYPES", -1}},
                                 0);
    list.items.append(AdditionalFilesConversionTypes(iniPath));
    return list;
}

QList<ChoiceItem> AdditionalFilesConversionTypes(const QString &iniPath)
{
    constexpr int kMaxCount = 1000;
    QList<ChoiceItem> items;
    // Whole numbers only: "4.5", "12abc" or "" count nothing; digits past 32 bits are more than
    // the list takes.
    const QString countText =
        readValue(iniPath, QStringLiteral("WordConvertType"), QStringLiteral("Count"), QStringLiteral("0")).trimmed();
    int count = 0;
    if (!bTryWholeNumber(countText, count)) {
        static const QRegularExpression digits(QStringLiteral("^\\+?[0-9]+$"));
        if (!digits.match(countText).hasMatch())
            return items;
        count = kMaxCount;
    }
    count = std::min(count, kMaxCount);
    for (int i = 1; i <= count; ++i) {
        const QString section = QStringLiteral("WordConvertType") + QString::number(i);
        const QString constant = readValue(iniPath, section, QStringLiteral("Constant"), QStringLiteral("0"));
        const QString description = readValue(iniPath, section, QStringLiteral("sDescription"), QString());
        int code = 0;
        if (bTryWholeNumber(constant, code))
            items.append({u'[' + constant + QStringLiteral("] ") + description, code});
    }
    return items;
}
