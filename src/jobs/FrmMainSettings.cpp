#include "FrmMainSettings.h"

#include "common/Globals.h"
#include "common/NumberUtils.h"
#include "converter/ConversionControl.h"
#include "jobs/JobSession.h"
#include "platform/ProfileIni.h"

#include <type_traits>
#include <variant>

namespace {

const QString kSection = QStringLiteral("frmMain");

// Reads keys of one section the way the profile reader of old did: through a 500-character
// buffer, cut at the first NUL.
class Reader
{
public:
    Reader(const QString &file, const QString &section) : m_file(file), m_section(section) {}

    QString text(const QString &key, const QString &def) const
    {
        QString v = ProfileIni::readString(m_file, m_section, key, def);
        const qsizetype nul = v.indexOf(QChar(0));
        if (nul >= 0)
            v.truncate(nul);
        v.truncate(499);
        return v;
    }
    bool boolean(const QString &key, bool def) const
    {
        return text(key, def ? QStringLiteral("TRUE") : QStringLiteral("FALSE")).toUpper() ==
               QStringLiteral("TRUE");
    }
    // A value that is not a number keeps the default.
    int number(const QString &key, int def) const
    {
        int v = 0;
        return bTryCLng(text(key, QString::number(def)), v) ? v : def;
    }
    // A list index: -1 (no selection) up to the last entry when the list size is known.
    int index(const QString &key, int def, int size) const
    {
        const int v = number(key, def);
        if (v < -1 || (size >= 0 && v >= size))
            return def;
        return v;
    }
    int check(const QString &key, int def) const
    {
        const int v = number(key, def);
        return v >= 0 && v <= 2 ? v : def;
    }

private:
    QString m_file;
    QString m_section;
};

// Collects the keys and writes them at flush() in one go: one rewrite of the file at close
// instead of one per key.
class Writer
{
public:
    explicit Writer(const QString &file) : m_file(file) {}
    void text(const QString &key, const QString &value) { m_pending.append({key, value}); }
    void boolean(const QString &key, bool v) { text(key, v ? QStringLiteral("TRUE") : QStringLiteral("FALSE")); }
    void number(const QString &key, int v) { text(key, QString::number(v)); }
    void flush()
    {
        if (m_pending.isEmpty())
            return;
        m_ok = ProfileIni::writeStrings(m_file, kSection, m_pending) && m_ok;
        m_pending.clear();
    }
    bool ok() const { return m_ok; }

private:
    QString m_file;
    ProfileIni::KeyValues m_pending;
    bool m_ok = true;
};

// How a key is read and written.
enum class Kind {
    Flag,        // "TRUE"/"FALSE"; read in any letter case
    MixedFlag,   // a Flag always written in the mixed-case form "True"/"False"
    SpeedFlag,   // a Flag that only the exact upper-case "TRUE" sets
    Number,
    Unit,        // the length unit: 1 inches or 2 centimetres
    Width,       // a grid column width in twips
    Index,       // a list selection: -1 up to the list's last entry
    TargetIndex, // an Index that keeps the fill's selection when past the list
    Check,       // a check-box value 0-2
    Text,
    NumberText,  // read as a number, kept and written as text
    RecentList,  // not a key: the recent list of this name writes its own section here
};

using C = ConversionSettings;
using F = FrmMainSettings;
using Member = std::variant<std::monostate, bool C::*, int C::*, QString C::*, bool F::*, short F::*, int F::*,
                            QString F::*>;

struct Field
{
    const char *key;
    Member member;
    Kind kind;
    bool C::*group = nullptr;              // override flag: the key is written only while it is set
    int FrmMainListSizes::*size = nullptr; // entry count of an Index's list
};

constexpr bool C::*font = &C::bOverrideFontSettings;
constexpr bool C::*page = &C::bOverridePageSettings;
constexpr bool C::*paragraph = &C::bOverrideParagraphSettings;
constexpr bool C::*pdf = &C::bOverridePDFSettings;
constexpr bool C::*image = &C::bOverrideImageSettings;

// Every key of the section, in the order of the file: the write goes through it from the top,
// shutting the recent lists down at their rows. The read takes the same rows (reads have no
// effect on each other, so their order does not matter).
const Field kFields[] = {
    {"mnuOptimizeForSpeed", &F::mnuOptimizeForSpeed, Kind::SpeedFlag},
    {"fgLog.ColWidth(1)", &F::fgLogColWidth1, Kind::Width},
    {"fgLog.ColWidth(2)", &F::fgLogColWidth2, Kind::Width},
    {"fgLog.ColWidth(6)", &F::fgLogColWidth6, Kind::Width},
    {"fgLog.ColWidth(8)", &F::fgLogColWidth8, Kind::Width},
    {"fgLog.ColWidth(9)", &F::fgLogColWidth9, Kind::Width},
    {"fgToDo.ColWidth(1)", &F::fgToDoColWidth1, Kind::Width},
    {"fgToDo.ColWidth(2)", &F::fgToDoColWidth2, Kind::Width},
    {"fgToDo.ColWidth(5)", &F::fgToDoColWidth5, Kind::Width},
    {"fgToDo.ColWidth(8)", &F::fgToDoColWidth8, Kind::Width},
    {"fgToDo.ColWidth(9)", &F::fgToDoColWidth9, Kind::Width},
    {"mruSource", {}, Kind::RecentList},
    {"cbFileTypeOriginal.ListIndex", &F::cbFileTypeOriginalListIndex, Kind::Index, nullptr,
     &FrmMainListSizes::cbFileTypeOriginal},
    {"mruTarget", {}, Kind::RecentList},
    {"cbFileTypeTarget.ListIndex", &F::cbFileTypeTargetListIndex, Kind::TargetIndex, nullptr,
     &FrmMainListSizes::cbFileTypeTarget},
    // A special-type index past its list selects the first entry, the default.
    {"cbFileTypeOriginalSpecialized.ListIndex", &F::cbFileTypeOriginalSpecializedListIndex, Kind::Index, nullptr,
     &FrmMainListSizes::cbFileTypeOriginalSpecialized},
    {"cbSpecialProcesses.ListIndex", &F::cbSpecialProcessesListIndex, Kind::Index, nullptr,
     &FrmMainListSizes::cbSpecialProcesses},
    {"cbCommandLineWindowState.ListIndex", &F::cbCommandLineWindowStateListIndex, Kind::Index, nullptr,
     &FrmMainListSizes::cbCommandLineWindowState},
    {"cbCommandLineThreadPriority.ListIndex", &F::cbCommandLineThreadPriorityListIndex, Kind::Index, nullptr,
     &FrmMainListSizes::cbCommandLineThreadPriority},
    {"txtCommandLineWaitTimeInSeconds", &F::txtCommandLineWaitTimeInSeconds, Kind::NumberText},
    {"mruSourceSpecialized", {}, Kind::RecentList},
    {"mruTargetSpecialized", {}, Kind::RecentList},
    {"mruCommandLine", {}, Kind::RecentList},
    {"mruCommandLineArguments", {}, Kind::RecentList},
    {"mruReplaceString", {}, Kind::RecentList},
    {"mruFindString", {}, Kind::RecentList},
    {"mruFileOpen", {}, Kind::RecentList},
    {"cbDoSubfolders", &F::cbDoSubfolders, Kind::Check},
    {"cbDoSubfoldersSpecialized", &F::cbDoSubfoldersSpecialized, Kind::Check},
    {"cbCaseSensitive", &F::cbCaseSensitive, Kind::Check},
    {"lConversionMethod", &C::lConversionMethod, Kind::Number},
    {"sActionToDO", &C::sActionToDo, Kind::Text},
    {"bDeleteOriginalFileAfterProcessing", &C::bDeleteOriginalFileAfterProcessing, Kind::Flag},
    {"bMoveOriginalFileAfterProcessing", &C::bMoveOriginalFileAfterProcessing, Kind::Flag},
    {"sMoveFileToFolder", &C::sMoveFileToFolder, Kind::Text},
    {"bConvertAllSlides", &C::bConvertAllSlides, Kind::Flag},
    {"lFromSlide", &C::lFromSlide, Kind::Number},
    {"lToSlide", &C::lToSlide, Kind::Number},
    {"bCreateFileForEachSlide", &C::bCreateFileForEachSlide, Kind::Flag},
    {"bPDFTextOnly", &C::bPDFTextOnly, Kind::Flag},
    {"bShowSlideAndShape", &C::bShowSlideAndShape, Kind::Flag},
    {"bIncludeNotesPage", &C::bIncludeNotesPage, Kind::Flag},
    {"bIncludeNotesOnly", &C::bIncludeNotesOnly, Kind::Flag},
    {"glnMeasurement", &F::glnMeasurement, Kind::Unit},
    // An override group's values are written only while it is on; switching a group off keeps
    // the values stored before, ready for when it is switched on again.
    {"bOverrideFontSettings", font, Kind::Flag},
    {"lULKBaseLine", &C::lULKBaseLine, Kind::Number, font},
    {"lULKFontBold", &C::lULKFontBold, Kind::Number, font},
    {"lULKFontItalic", &C::lULKFontItalic, Kind::Number, font},
    {"lULKFontSize", &C::lULKFontSize, Kind::Number, font},
    {"lULKFontStrikethru", &C::lULKFontStrikethru, Kind::Number, font},
    {"lULKFontUnderline", &C::lULKFontUnderline, Kind::Number, font},
    {"lULKFontUnderlineStyle", &C::lULKFontUnderlineStyle, Kind::Number, font},
    {"lULKForeColor", &C::lULKForeColor, Kind::Number, font},
    {"lULKTextBkColor", &C::lULKTextBkColor, Kind::Number, font},
    {"sULKFontName", &C::sULKFontName, Kind::Text, font},
    {"bOverridePageSettings", page, Kind::Flag},
    {"lULKPageMarginL", &C::lULKPageMarginL, Kind::Number, page},
    {"lULKPageMarginT", &C::lULKPageMarginT, Kind::Number, page},
    {"lULKPageMarginR", &C::lULKPageMarginR, Kind::Number, page},
    {"lULKPageMarginB", &C::lULKPageMarginB, Kind::Number, page},
    {"lULKPageWidth", &C::lULKPageWidth, Kind::Number, page},
    {"lULKPageHeight", &C::lULKPageHeight, Kind::Number, page},
    {"lULKStyleSheetOption", &C::lULKStyleSheetOption, Kind::Number, page},
    {"sULKStyleSheetFile", &C::sULKStyleSheetFile, Kind::Text, page},
    {"bULKPortrait", &C::bULKPortrait, Kind::MixedFlag, page},
    {"bOverrideParagraphSettings", paragraph, Kind::Flag},
    {"lULKAlignment", &C::lULKAlignment, Kind::Number, paragraph},
    {"lULKFrameDistance", &C::lULKFrameDistance, Kind::Number, paragraph},
    {"lULKFrameLineWidth", &C::lULKFrameLineWidth, Kind::Number, paragraph},
    {"lULKFrameStyle", &C::lULKFrameStyle, Kind::Number, paragraph},
    {"lULKIndentB", &C::lULKIndentB, Kind::Number, paragraph},
    {"lULKIndentFL", &C::lULKIndentFL, Kind::Number, paragraph},
    {"lULKIndentL", &C::lULKIndentL, Kind::Number, paragraph},
    {"lULKIndentR", &C::lULKIndentR, Kind::Number, paragraph},
    {"lULKIndentT", &C::lULKIndentT, Kind::Number, paragraph},
    {"lULKLineSpacing", &C::lULKLineSpacing, Kind::Number, paragraph},
    {"lULKLineSpacingT", &C::lULKLineSpacingT, Kind::Number, paragraph},
    {"bOverridePDFSettings", pdf, Kind::Flag},
    {"sULKPDFUserPassword", &C::sULKPDFUserPassword, Kind::Text, pdf},
    {"sULKPDFMasterPassword", &C::sULKPDFMasterPassword, Kind::Text, pdf},
    {"lDocAccessPermissions", &C::lDocAccessPermissions, Kind::Number, pdf},
    {"bOverrideImageSettings", image, Kind::Flag},
    {"lImageComparessionQuality", &C::lImageComparessionQuality, Kind::Number, image},
    {"lImageMaxResolution", &C::lImageMaxResolution, Kind::Number, image},
};

// The field's value in s. A row whose member is not of type T is a fault of the table and
// throws on its first use. (The length unit, the one short, is no conversion setting.)
template <typename T, typename S>
auto &slot(const Field &f, S &s)
{
    if constexpr (!std::is_same_v<T, short>) {
        if (const auto *m = std::get_if<T C::*>(&f.member))
            return s.conversion.**m;
    }
    return s.*std::get<T F::*>(f.member);
}

// The rows every run takes, a command-line run too: the conversion settings and the
// speed/memory choice.
bool isCore(const Field &f)
{
    return f.kind == Kind::SpeedFlag || std::holds_alternative<bool C::*>(f.member) ||
           std::holds_alternative<int C::*>(f.member) || std::holds_alternative<QString C::*>(f.member);
}

void readField(const Reader &r, const Field &f, FrmMainSettings &s, const FrmMainListSizes &sizes)
{
    static const FrmMainSettings d;
    const QString key = QString::fromLatin1(f.key);
    switch (f.kind) {
    case Kind::Flag:
    case Kind::MixedFlag:
        slot<bool>(f, s) = r.boolean(key, slot<bool>(f, d));
        break;
    case Kind::SpeedFlag:
        slot<bool>(f, s) = r.text(key, slot<bool>(f, d) ? QStringLiteral("TRUE") : QStringLiteral("FALSE")) ==
                           QStringLiteral("TRUE");
        break;
    case Kind::Number:
        slot<int>(f, s) = r.number(key, slot<int>(f, d));
        break;
    case Kind::Unit: {
        // Any other unit would scale every length wrongly.
        const int unit = r.number(key, slot<short>(f, d));
        slot<short>(f, s) = unit == 1 || unit == 2 ? static_cast<short>(unit) : slot<short>(f, d);
        break;
    }
    case Kind::Width: {
        // Negative widths would break the grids, and widths beyond any screen would overflow
        // the sum the layout fits the other columns with; keep the default then.
        constexpr int kMaxWidthTwips = 100000;
        const int v = r.number(key, slot<int>(f, d));
        slot<int>(f, s) = v >= 0 && v <= kMaxWidthTwips ? v : slot<int>(f, d);
        break;
    }
    case Kind::Index:
        slot<int>(f, s) = r.index(key, slot<int>(f, d), sizes.*f.size);
        break;
    case Kind::TargetIndex: {
        const int v = r.number(key, slot<int>(f, d));
        const int size = sizes.*f.size;
        if (v < -1)
            slot<int>(f, s) = slot<int>(f, d);
        else if (size >= 0 && v > size - 1)
            slot<int>(f, s) = FrmMainSettings::kKeepFillSelection;
        else
            slot<int>(f, s) = v;
        break;
    }
    case Kind::Check:
        slot<int>(f, s) = r.check(key, slot<int>(f, d));
        break;
    case Kind::Text:
        slot<QString>(f, s) = r.text(key, slot<QString>(f, d));
        break;
    case Kind::NumberText:
        // The box shows the number read, written back as decimal text.
        slot<QString>(f, s) = QString::number(r.number(key, slot<QString>(f, d).toInt()));
        break;
    case Kind::RecentList:
        break;
    }
}

void writeField(Writer &w, const Field &f, const FrmMainSettings &s)
{
    if (f.group && !(s.conversion.*f.group))
        return;
    const QString key = QString::fromLatin1(f.key);
    switch (f.kind) {
    case Kind::Flag:
    case Kind::SpeedFlag:
        w.boolean(key, slot<bool>(f, s));
        break;
    case Kind::MixedFlag:
        w.text(key, slot<bool>(f, s) ? QStringLiteral("True") : QStringLiteral("False"));
        break;
    case Kind::Unit:
        w.number(key, slot<short>(f, s));
        break;
    case Kind::Number:
    case Kind::Width:
    case Kind::Index:
    case Kind::TargetIndex:
    case Kind::Check:
        w.number(key, slot<int>(f, s));
        break;
    case Kind::Text:
    case Kind::NumberText:
        w.text(key, slot<QString>(f, s));
        break;
    case Kind::RecentList:
        break;
    }
}

// A settings file that holds a PDF password is made owner-only when it is read, not only when
// it is written: an older version left it readable by others, and a run without a window never
// writes it. Its content stays as it is.
void keepPasswordsPrivate(const QString &iniPath, const ConversionSettings &c)
{
    if (!c.sULKPDFUserPassword.isEmpty() || !c.sULKPDFMasterPassword.isEmpty())
        ProfileIni::makeOwnerOnly(iniPath);
}

// The core rows read; every other field keeps its default.
FrmMainSettings readCore(const QString &iniPath)
{
    FrmMainSettings s;
    const Reader r(iniPath, kSection);
    for (const Field &f : kFields)
        if (isCore(f))
            readField(r, f, s, {});
    keepPasswordsPrivate(iniPath, s.conversion);
    return s;
}

} // namespace

FrmMainSettings ReadFrmMainSettings(const QString &iniPath, const FrmMainListSizes &sizes)
{
    FrmMainSettings s;
    // A number here, unlike the Booleans of [frmMain]: any non-zero value means set.
    s.bPersistRunning =
        Reader(iniPath, QStringLiteral("frmScheduler")).number(QStringLiteral("chkPersistRunning"), 0) != 0;
    const Reader r(iniPath, kSection);
    for (const Field &f : kFields)
        readField(r, f, s, sizes);
    keepPasswordsPrivate(iniPath, s.conversion);
    return s;
}

bool WriteFrmMainSettings(const QString &iniPath, const FrmMainSettings &s, const MruShutDownHook &shutDownMru)
{
    // An unattended run leaves the user's settings as they were.
    if (gbCommandLineMode)
        return false;
    Writer w(iniPath);
    for (const Field &f : kFields) {
        if (f.kind != Kind::RecentList) {
            writeField(w, f, s);
        } else if (shutDownMru) {
            // The list writes a section of its own: what is collected so far goes first, so
            // that the sections and keys keep their order in the file.
            w.flush();
            shutDownMru(QString::fromLatin1(f.key));
        }
    }
    w.flush();
    return w.ok();
}

void ReadCoreConversionSettings(const QString &iniPath, ConversionSettings &settings)
{
    settings = readCore(iniPath).conversion;
}

void ApplyStoredCoreSettings(const QString &iniPath, JobSession &session)
{
    const FrmMainSettings s = readCore(iniPath);
    session.settings = s.conversion;
    session.VelmoraX1()->setOptimizeForSpeed(s.mnuOptimizeForSpeed);
}
