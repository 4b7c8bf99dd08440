#include "SpecialFolderPaths.h"

#include "platform/SpecialFolders.h"

QString GetSpecialFolderPath(int lCSIDL)
{
    bool known = false;
    const QString folder = SpecialFolders::path(lCSIDL, &known);
    if (!folder.isEmpty())
        return folder;
    // A number the platform knows but has no folder for here, versus one it does not know.
    return known ? QStringLiteral("Special Folder Does Not Exist")
                 : QStringLiteral("Folder Not Valid On this OS");
}

QString GetSpecialFolderPathFixed(int lCSIDL)
{
    const QString folder = SpecialFolders::path(lCSIDL);
    return folder.isEmpty() ? QStringLiteral("(error)") : folder;
}
