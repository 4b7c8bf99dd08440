#include "TestEnv.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qvtest {

QString homeDir() { return qEnvironmentVariable("HOME"); }

QString sourceDir()
{
    QString s = qEnvironmentVariable("QV_SOURCE_DIR");
    if (s.isEmpty())
        s = QStringLiteral(QV_TEST_SOURCE_DIR);
    return s;
}

QString buildDir()
{
    QString s = qEnvironmentVariable("QV_BUILD_DIR");
    if (s.isEmpty())
        s = QStringLiteral(QV_TEST_BUILD_DIR);
    return s;
}

QString binDir() { return buildDir() + QStringLiteral("/bin"); }

QString dataDir() { return sourceDir() + QStringLiteral("/tests/data"); }

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString accessibleLabels(QObject *control)
{
    QStringList names;
    if (QAccessibleInterface *i = QAccessible::queryAccessibleInterface(control))
        for (const auto &r : i->relations(QAccessible::Label))
            names << r.first->text(QAccessible::Name);
    return names.join(u'|');
}

} // namespace qvtest
