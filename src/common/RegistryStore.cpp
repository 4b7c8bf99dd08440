#include "RegistryStore.h"

#include "Globals.h"
#include "platform/ProfileIni.h"

#include <QFileInfo>

namespace {
QString sectionName(const QString &sAppName, const QString &sSection)
{
    return sAppName + u'/' + sSection;
}
} // namespace

QString RegistryStorePath()
{
    if (G_IniFilePath.isEmpty())
        return QString();
    return QFileInfo(G_IniFilePath).absolutePath() + QStringLiteral("/Quorvane_Registry.INI");
}

QString GetSetting(const QString &sAppName, const QString &sSection, const QString &sKey,
                   const QString &sDefault)
{
    return ProfileIni::readString(RegistryStorePath(), sectionName(sAppName, sSection), sKey,
                                  sDefault);
}

bool SaveSetting(const QString &sAppName, const QString &sSection, const QString &sKey,
                 const QString &sValue)
{
    // A line break would end the value early and start a line of its own in the file.
    if (sValue.contains(u'\r') || sValue.contains(u'\n'))
        return false;
    return ProfileIni::writeString(RegistryStorePath(), sectionName(sAppName, sSection), sKey,
                                   sValue);
}
