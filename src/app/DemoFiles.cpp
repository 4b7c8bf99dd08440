#include "DemoFiles.h"

#include "common/FileUtils.h"
#include "common/Globals.h"
#include "common/PathUtils.h"
#include "common/RegistryStore.h"

#include <QStringList>

void InstallDemoFiles()
{
    const QString app = GetProgramTitle();
    if (GetSetting(app, QStringLiteral("Settings"), QStringLiteral("bDInstalled"), QStringLiteral("FALSE")).toUpper() !=
        QStringLiteral("FALSE"))
        return;
    // Stored before copying, so the copy is attempted once per user.
    SaveSetting(app, QStringLiteral("Settings"), QStringLiteral("bDInstalled"), QStringLiteral("TRUE"));
    const QString base = QStringLiteral("%APPDATA%/Ornwell, Inc/Quorvane/");
    if (bFolderExists(ExpandPathVariables(base + QStringLiteral("Demo/"))))
        return;
    const QStringList folders = {QStringLiteral("Demo Data"), QStringLiteral("Demo Conversion Jobs"),
                                 QStringLiteral("Demo Batch Files"), QStringLiteral("Languages")};
    for (const QString &name : folders)
        CopyFolderFSO(GetProgramFolder() + u'/' + name, ExpandPathVariables(base + name), false);
}
