#include "OsInfo.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QStringList>

#include <sys/utsname.h>

namespace {

// Value of one KEY=value line of os-release: quotes removed, backslash escapes resolved.
QString osReleaseValue(const QString &osReleaseText, const QString &key)
{
    for (const QString &raw : TextCodec::splitLines(osReleaseText)) {
        const QString line = raw.trimmed();
        if (!line.startsWith(key + u'='))
            continue;
        QString v = line.mid(key.size() + 1);
        if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        QString out;
        for (qsizetype i = 0; i < v.size(); ++i) {
            if (v[i] == u'\\' && i + 1 < v.size())
                ++i;
            out += v[i];
        }
        return out.trimmed();
    }
    return {};
}

// Word size of a uname machine name; "" when unknown.
QString bitness(const QString &machine)
{
    static const QStringList wide = {QStringLiteral("x86_64"),  QStringLiteral("amd64"),
                                     QStringLiteral("aarch64"), QStringLiteral("arm64"),
                                     QStringLiteral("ppc64"),   QStringLiteral("ppc64le"),
                                     QStringLiteral("s390x"),   QStringLiteral("riscv64"),
                                     QStringLiteral("mips64"),  QStringLiteral("loongarch64"),
                                     QStringLiteral("sparc64"), QStringLiteral("alpha")};
    if (machine.isEmpty())
        return {};
    if (wide.contains(machine, Qt::CaseInsensitive))
        return QStringLiteral(", 64-bit");
    return QStringLiteral(", 32-bit");
}

QString readOsRelease()
{
    for (const char *path : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile f(QString::fromLatin1(path));
        if (f.open(QIODevice::ReadOnly))
            return TextCodec::decode(f.readAll());
    }
    return {};
}

struct OsFacts
{
    QString description;
};

const OsFacts &facts()
{
    static const OsFacts f = [] {
        OsFacts r;
        QString sysname, release, machine;
        struct utsname u;
        if (::uname(&u) == 0) {
            sysname = QString::fromLocal8Bit(u.sysname);
            release = QString::fromLocal8Bit(u.release);
            machine = QString::fromLocal8Bit(u.machine);
        }
        r.description = DescribeOperatingSystem(readOsRelease(), sysname, release, machine);
        if (r.description.isEmpty())
            r.description = QStringLiteral("GetWinVerInfo Error 2");
        return r;
    }();
    return f;
}

} // namespace

QString DescribeOperatingSystem(const QString &osReleaseText, const QString &sysname,
                                const QString &release, const QString &machine)
{
    QString name = osReleaseValue(osReleaseText, QStringLiteral("PRETTY_NAME"));
    if (name.isEmpty()) {
        name = osReleaseValue(osReleaseText, QStringLiteral("NAME"));
        const QString version = osReleaseValue(osReleaseText, QStringLiteral("VERSION"));
        if (!name.isEmpty() && !version.isEmpty())
            name += u' ' + version;
    }
    const QString kernel = (sysname + u' ' + release).trimmed();
    if (name.isEmpty()) {
        // Without os-release the kernel names the system.
        name = kernel;
        return name.isEmpty() ? QString() : name + bitness(machine);
    }
    name += bitness(machine);
    if (!kernel.isEmpty())
        name += QStringLiteral(" (") + kernel + u')';
    return name;
}

QString GetWinVerInfo() { return facts().description; }

bool bIsWindowsServer() { return false; }

bool bIsVistaOrLater() { return true; }
