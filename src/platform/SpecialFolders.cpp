#include "SpecialFolders.h"


#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

QString home()
{
    QString h = qEnvironmentVariable("HOME");
    if (h.isEmpty())
        h = QDir::homePath();
    while (h.size() > 1 && h.endsWith(u'/'))
        h.chop(1);
    return h;
}

QString xdg(const char *var, const QString &fallback)
{
    QString v = qEnvironmentVariable(var);
    if (v.isEmpty() || !QDir::isAbsolutePath(v))
        return fallback;
    while (v.size() > 1 && v.endsWith(u'/'))
        v.chop(1);
    return v;
}

// XDG_DOCUMENTS_DIR from the environment, else from user-dirs.dirs, else ~/Documents.
QString documents()
{
    const QString env = qEnvironmentVariable("XDG_DOCUMENTS_DIR");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    const QString config = xdg("XDG_CONFIG_HOME", home() + QStringLiteral("/.config"));
    QFile f(config + QStringLiteral("/user-dirs.dirs"));
    if (f.open(QIODevice::ReadOnly)) {
        static const QRegularExpression re(QStringLiteral("^\\s*XDG_DOCUMENTS_DIR\\s*=\\s*\"(.*)\""));
        for (const QByteArray &raw : f.readAll().split('\n')) {
            const auto m = re.match(QString::fromUtf8(raw));
            if (m.hasMatch()) {
                QString p = m.captured(1);
                p.replace(QStringLiteral("$HOME"), home());
                if (QDir::isAbsolutePath(p))
                    return QDir::cleanPath(p);
            }
        }
    }
    return home() + QStringLiteral("/Documents");
}

} // namespace

namespace SpecialFolders {

QString path(int csidl, bool *known)
{
    if (known)
        *known = true;
    switch (csidl) {
    case Documents:
        return documents();
    case AppData:
        return xdg("XDG_CONFIG_HOME", home() + QStringLiteral("/.config"));
    case LocalAppData:
        return xdg("XDG_DATA_HOME", home() + QStringLiteral("/.local/share"));
    case Profile:
        return home();
    case CommonAppData:
    case Windows:
    case ProgramFiles:
    case ProgramFilesX86:
    case CommonDocuments:
        return QString();
    default:
        if (known)
            *known = false;
        return QString();
    }
}

} // namespace SpecialFolders
