#include "SettingsLocation.h"

#include "FileUtils.h"
#include "Globals.h"
#include "OsInfo.h"
#include "SpecialFolderPaths.h"
#include "platform/PrivateFolder.h"
#include "platform/ProfileIni.h"

#include <QFileInfo>

namespace {

QString gCachedIniPath;
QString gRefusedFolder;
int gProductId = kQuorvaneProductId;

const QString kMaker = QStringLiteral("Ornwell, Inc");

// The failure texts of GetSpecialFolderPath; a candidate holding one is not a real folder.
bool holdsFolderFailureText(const QString &path)
{
    return path.contains(QStringLiteral("Special Folder Does Not Exist"), Qt::CaseInsensitive) ||
           path.contains(QStringLiteral("Folder Not Valid On this OS"), Qt::CaseInsensitive);
}

QString candidateIn(int csidl, const QString &sub, const QString &sFile)
{
    return GetSpecialFolderPath(csidl) + sub + u'/' + sFile;
}

// The folder below the maker's name is ours: made 0700; an existing one loses the group's and
// others' write rights (a user's 0755 folder of shared jobs stays open for reading); one that
// belongs to someone else is refused (noted, so that the start can say why).
bool bCanWritePrivateIniFile(const QString &sIniFile)
{
    if (holdsFolderFailureText(sIniFile) || !QFileInfo(sIniFile).isAbsolute())
        return false;
    const QString folder = QFileInfo(sIniFile).absolutePath();
    if (!EnsurePrivateFolder(folder, nullptr, true)) {
        if (QFileInfo(folder).isDir())
            gRefusedFolder = folder;
        return false;
    }
    return bCanWriteIniFile(sIniFile);
}

} // namespace

QString GetProductIniBaseName()
{
    // Not passed through the translator: the translator's own settings live in this file, so
    // the name is needed before any language is loaded.
    return gProductId == kQuorvaneProductId ? QStringLiteral("Quorvane_SearchHistory")
                                            : QStringLiteral("ABC");
}

QString GetProductDisplayName(int lProductID)
{
    return lProductID == kQuorvaneProductId ? QStringLiteral("Quorvane") : QStringLiteral("ABC");
}

QString GetIniFilePathForProduct(int lProductID)
{
    gProductId = lProductID;
    const QString display = GetProductDisplayName(lProductID);
    const QString file = GetProductIniBaseName() + QStringLiteral(".INI");
    const int csidl = bIsVistaOrLater() ? 26 : 0;
    return ResolveIniFilePath(file, kMaker, display, csidl);
}

QString ResolveIniFilePath(const QString &sFile, const QString &sMaker, const QString &sProduct,
                           int lCSIDL)
{
    if (!gCachedIniPath.isEmpty())
        return gCachedIniPath;
    const QString sub = u'/' + sMaker + u'/' + sProduct;
    if (lCSIDL != 0) {
        const QString candidate = candidateIn(lCSIDL, sub, sFile);
        if (!bCanWritePrivateIniFile(candidate))
            return QString();
        gCachedIniPath = candidate;
        return candidate;
    }
    QStringList candidates{GetProgramFolder() + u'/' + sFile};
    for (int csidl : {46, 28, 26, 5, 35})
        candidates << candidateIn(csidl, sub, sFile);
    for (const QString &candidate : candidates) {
        if (candidate == candidates.first() ? bCanWriteIniFile(candidate) : bCanWritePrivateIniFile(candidate)) {
            gCachedIniPath = candidate;
            return candidate;
        }
    }
    return QString();
}

bool bCanWriteIniFile(const QString &sIniFile)
{
    if (sIniFile.isEmpty() || holdsFolderFailureText(sIniFile) || !QFileInfo(sIniFile).isAbsolute())
        return false;
    const QString folder = QFileInfo(sIniFile).absolutePath();
    if (!bFolderExists(folder)) {
        CreateFolderTree(folder);
        if (!bFolderExists(folder))
            return false;
    }
    const QString section = QStringLiteral("Main");
    const QString key = QStringLiteral("Partial");
    // A file that passed the probe before and can still be written is left as it is: every
    // start runs this, and an unattended run must not rewrite the user's settings file.
    const QFileInfo info(sIniFile);
    if (info.exists() && info.isWritable() && QFileInfo(folder).isWritable() &&
        ProfileIni::readString(sIniFile, section, key, QString()) == QStringLiteral("Level3"))
        return true;
    // A write that fails counts even when the file already holds the final value from an
    // earlier probe: a read-only settings file must not pass.
    if (!ProfileIni::writeString(sIniFile, section, key, QStringLiteral("level2")) ||
        ProfileIni::readString(sIniFile, section, key, QStringLiteral("0")) !=
            QStringLiteral("level2"))
        return false;
    return ProfileIni::writeString(sIniFile, section, key, QStringLiteral("Level3")) &&
           ProfileIni::readString(sIniFile, section, key, QStringLiteral("0")) ==
               QStringLiteral("Level3");
}

void ResetIniFilePathCache()
{
    gCachedIniPath.clear();
    gRefusedFolder.clear();
}

QString RefusedSettingsFolder() { return gRefusedFolder; }
