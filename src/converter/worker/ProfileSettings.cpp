#include "ProfileSettings.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

namespace {

struct Entry
{
    const char *path;
    const char *name;
    QString value;
};

// The start of an entry's line up to its name: what every line of that entry starts with.
QByteArray itemKey(const Entry &e)
{
    return QByteArrayLiteral("<item oor:path=\"") + e.path + QByteArrayLiteral("\"><prop oor:name=\"") + e.name + '"';
}

QByteArray itemLine(const Entry &e)
{
    return itemKey(e) + QByteArrayLiteral(" oor:op=\"fuse\"><value>") + e.value.toHtmlEscaped().toUtf8()
           + QByteArrayLiteral("</value></prop></item>");
}

// The first match of pattern's group 1 in a file of the installation; "" when there is none.
QString installationValue(const QString &file, const QString &pattern)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QRegularExpression(pattern).match(QString::fromUtf8(f.readAll())).captured(1).trimmed();
}

} // namespace

namespace ProfileSettings {

bool seed(const QString &profileFolder, const QString &programFolder)
{
    // The first is the switch over the other two: without it the office still writes its lock
    // file beside every original it opens.
    QList<Entry> entries{{"/org.openoffice.Office.Common/Misc", "UseLocking", QStringLiteral("false")},
                         {"/org.openoffice.Office.Common/Misc", "UseDocumentOOoLockFile", QStringLiteral("false")},
                         {"/org.openoffice.Office.Common/Misc", "UseDocumentSystemFileLocking", QStringLiteral("false")}};
    const QString version = installationValue(programFolder + QStringLiteral("/../share/registry/main.xcd"),
                                              QStringLiteral("<prop oor:name=\"ooSetupVersion\">\\s*<value>([0-9.]+)</value>"));
    if (!version.isEmpty())
        entries.append({"/org.openoffice.Setup/Product", "ooSetupLastVersion", version});
    // Set before the office has copied its presets into the profile, these would keep it from
    // ever doing so.
    if (QFileInfo(profileFolder + QStringLiteral("/user/extensions")).isDir()) {
        entries.append({"/org.openoffice.Setup/Office", "ooSetupInstCompleted", QStringLiteral("true")});
        entries.append({"/org.openoffice.Office.Common/Misc", "FirstRun", QStringLiteral("false")});
        const QString build = installationValue(programFolder + QStringLiteral("/versionrc"), QStringLiteral("(?:^|\\n)buildid=([^\\n]*)"));
        if (!build.isEmpty())
            entries.append({"/org.openoffice.Setup/Office", "LastCompatibilityCheckID", build});
    }

    const QString path = profileFolder + QStringLiteral("/user/registrymodifications.xcu");
    QFile in(path);
    QByteArray text = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    in.close();
    const QByteArray end = QByteArrayLiteral("</oor:items>");
    if (!text.contains(end))
        text = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                                 "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                                 "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n")
               + end + '\n';
    // The office writes one item a line.
    QList<QByteArray> lines = text.split('\n');
    QByteArray missing;
    bool changed = false;
    for (const Entry &e : entries) {
        const QByteArray wanted = itemLine(e);
        const QByteArray key = itemKey(e);
        bool present = false;
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            if (!lines.at(i).startsWith(key))
                continue;
            if (lines.at(i) == wanted && !present) {
                present = true;
            } else {
                lines.removeAt(i);
                changed = true;
            }
        }
        if (!present)
            missing += wanted + '\n';
    }
    text = lines.join('\n');
    if (!missing.isEmpty()) {
        text.insert(text.lastIndexOf(end), missing);
        changed = true;
    }
    if (!changed)
        return true;
    QDir().mkpath(profileFolder + QStringLiteral("/user"));
    return WriteFileAtomically(path, text);
}

} // namespace ProfileSettings
