#include "StagedNames.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

#include <atomic>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Longest file name the file systems we write to accept, in bytes.
constexpr int kNameMax = 255;
// Room left after a staged name for helpers that stage beside it in turn (libzip writes a
// rewritten package to "<name>.XXXXXX").
constexpr int kHelperSuffix = 8;

const char *kindText(StagedNames::Kind kind)
{
    switch (kind) {
    case StagedNames::Kind::Prev:
        return "qvprev";
    case StagedNames::Kind::Name:
        return "qvname";
    case StagedNames::Kind::Part:
        break;
    }
    return "qvpart";
}

// name shortened to at most maxBytes of UTF-8, cut inside its base so that the extension stays.
QString fitName(const QString &name, int maxBytes)
{
    if (name.toUtf8().size() <= maxBytes)
        return name;
    const int dot = name.lastIndexOf(u'.');
    const QString ext = dot > 0 && name.size() - dot <= 16 ? name.mid(dot) : QString();
    QString base = name.left(name.size() - ext.size());
    const int budget = maxBytes - static_cast<int>(ext.toUtf8().size());
    // Drop whole characters (a surrogate pair is one) until the base fits.
    while (!base.isEmpty() && base.toUtf8().size() > budget)
        base.chop(base.size() >= 2 && base.at(base.size() - 1).isLowSurrogate() ? 2 : 1);
    return base + ext;
}

} // namespace

namespace StagedNames {

namespace {
// The boot and pid namespace of this process, as read from /proc; empty when unreadable.
QByteArray machineId()
{
    static const QByteArray id = [] {
        QFile boot(QStringLiteral("/proc/sys/kernel/random/boot_id"));
        QByteArray machine = boot.open(QIODevice::ReadOnly) ? boot.readAll().trimmed() : QByteArray();
        struct stat ns {};
        if (machine.isEmpty() || ::stat("/proc/self/ns/pid", &ns) != 0)
            return QByteArray();
        return machine + ':' + QByteArray::number(static_cast<qulonglong>(ns.st_dev)) + ':'
               + QByteArray::number(static_cast<qulonglong>(ns.st_ino));
    }();
    return id;
}
} // namespace

QString hostTag()
{
    // Host names are letters, digits, "-" and dots; a dot ends the tag in a staged name. Two
    // machines may share a name, and containers share a kernel but not their pids: the boot and
    // the pid namespace tell them apart.
    static const QString tag = [] {
        QString t = QSysInfo::machineHostName().left(64);
        for (QChar &c : t)
            if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-')
                c = u'_';
        const QByteArray hash = QCryptographicHash::hash(machineId(), QCryptographicHash::Sha1).toHex().left(8);
        return (t.isEmpty() ? QStringLiteral("_") : t) + u'~' + QString::fromLatin1(hash);
    }();
    return tag;
}

QString fittedTail(const QString &prefix, const QString &name)
{
    return fitName(name, kNameMax - kHelperSuffix - static_cast<int>(prefix.toUtf8().size()));
}

bool isWholeTail(const Origin &origin)
{
    return fittedTail(origin.prefix, origin.tail + QStringLiteral("xxxxxxxxxxxxxxxx")).toUtf8().size() > origin.tail.toUtf8().size() + 4;
}

QString forProcess(qint64 pid, quint64 serial, const QString &name, Kind kind)
{
    const QString prefix = QStringLiteral(".%1-%2.%3@%4.%5-")
                               .arg(QLatin1String(kindText(kind)))
                               .arg(pid)
                               .arg(::geteuid())
                               .arg(hostTag())
                               .arg(serial);
    return prefix + fittedTail(prefix, name);
}

QString ownName(Kind kind, const QString &name)
{
    static std::atomic<int> serial{0};
    return forProcess(::getpid(), ++serial, name, kind);
}

std::optional<Origin> originOf(const QString &fileName)
{
    static const QRegularExpression staged(QStringLiteral(
        "^(?:\\.~lock\\.)?(\\.(qvpart|qvprev|qvname)-(\\d{1,10})\\.(\\d{1,10})@([A-Za-z0-9_-]+~[0-9a-f]{8})\\.(\\d{1,20})-)"));
    const QRegularExpressionMatch m = staged.match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    const QString kind = m.captured(2);
    Origin o;
    o.kind = kind == QLatin1String("qvprev") ? Kind::Prev : kind == QLatin1String("qvname") ? Kind::Name : Kind::Part;
    o.pid = m.captured(3).toLongLong();
    o.uid = m.captured(4).toUInt();
    o.host = m.captured(5);
    o.serial = m.captured(6).toULongLong();
    o.prefix = m.captured(1);
    o.tail = fileName.mid(m.capturedEnd(1));
    return o;
}

bool isOwnHere(const Origin &origin)
{
    // Without the machine's identity every container without /proc would carry the same tag,
    // and a pid of one would be looked up in another.
    return origin.uid == ::geteuid() && origin.host == hostTag() && origin.pid > 0 && !machineId().isEmpty();
}

} // namespace StagedNames
