#include "Globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString G_IniFilePath;
QString gsDataFolder;
bool gbCommandLineMode = false;
bool gbSuppressEvents = false;

QString GetProgramFolder()
{
    const QString env = qEnvironmentVariable("QV_PROGRAM_FOLDER");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                         : QDir::currentPath();
    const QString share = QDir::cleanPath(exeDir + QStringLiteral("/../share/quorvane"));
    if (QFileInfo(share).isDir())
        return share;
    return exeDir;
}

QString GetProgramTitle() { return QStringLiteral("Quorvane"); }
