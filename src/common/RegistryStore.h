#pragma once
// Per-user application values that a Windows program keeps in the registry (for example
// "bDInstalled", which records that the demo folders were copied). They live in a small INI
// file beside the settings file, one section per application and section name.
#include <QString>

// "<folder of G_IniFilePath>/Quorvane_Registry.INI"; "" while no settings file is known.
QString RegistryStorePath();
// The stored value, or sDefault when the value, the file or the settings folder is missing.
QString GetSetting(const QString &sAppName, const QString &sSection, const QString &sKey,
                   const QString &sDefault = QString());
// False when the value could not be stored.
bool SaveSetting(const QString &sAppName, const QString &sSection, const QString &sKey,
                 const QString &sValue);
