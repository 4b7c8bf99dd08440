#include "StagedOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSysInfo>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

StagedOutput::~StagedOutput() { discard(); }

namespace {
// Longest file name the file systems we write to accept, in bytes.
constexpr int kNameMax = 255;
// Room left after a staged name for helpers that stage beside it in turn (libzip writes a
// rewritten package to "<name>.XXXXXX").
constexpr int kHelperSuffix = 8;

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

// name in folder under a hidden prefix of the given kind that no target can have: the pid, user,
// host and a serial keep it unique, so the rest may be shortened to keep the whole within the
// longest name a target may have.
QString kindName(const char *kind, const QString &folder, qint64 pid, int serial, const QString &name)
{
    const QString prefix = QStringLiteral(".%1-%2.%3@%4.%5-")
                               .arg(QLatin1String(kind))
                               .arg(pid)
                               .arg(::geteuid())
                               .arg(StagedOutput::hostTag())
                               .arg(serial);
    const QString fitted = prefix + fitName(name, kNameMax - kHelperSuffix - static_cast<int>(prefix.size()));
    return folder.isEmpty() ? fitted : folder + u'/' + fitted;
}

int nextSerial()
{
    static int serial = 0;
    return ++serial;
}

QString tempName(const QString &folder, const QString &name)
{
    return kindName("qvpart", folder, ::getpid(), nextSerial(), name);
}

// Where a target that a commit replaces waits until the commit has succeeded.
QString asideName(const QString &target)
{
    const QFileInfo fi(target);
    return kindName("qvprev", fi.absolutePath(), ::getpid(), nextSerial(), fi.fileName());
}

bool renamePath(const QString &from, const QString &to)
{
    // rename(2) replaces an existing target atomically.
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

QString StagedOutput::hostTag()
{
    // Host names are letters, digits, "-" and dots; a dot ends the tag in a staged name.
    static const QString tag = [] {
        QString t = QSysInfo::machineHostName().left(64);
        for (QChar &c : t)
            if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-')
                c = u'_';
        return t.isEmpty() ? QStringLiteral("_") : t;
    }();
    return tag;
}

QString StagedOutput::stagedFileName(qint64 pid, int serial, const QString &name)
{
    return kindName("qvpart", QString(), pid, serial, name);
}

std::optional<StagedOutput::Origin> StagedOutput::originOf(const QString &fileName)
{
    static const QRegularExpression staged(
        QStringLiteral("^(?:\\.~lock\\.)?\\.qvpart-(\\d{1,10})\\.(\\d{1,10})@([A-Za-z0-9_-]+)\\.\\d+-"));
    const QRegularExpressionMatch m = staged.match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    return Origin{m.captured(1).toLongLong(), m.captured(2).toUInt(), m.captured(3)};
}

QString StagedOutput::stage(const QString &finalPath)
{
    const QFileInfo fi(finalPath);
    const QString temp = tempName(fi.absolutePath(), fi.fileName());
    m_files.append({temp, fi.absoluteFilePath()});
    return temp;
}

QString StagedOutput::stageFolder(const QString &folder)
{
    const QString temp = tempName(QDir(folder).absolutePath(), QStringLiteral("dir"));
    if (!QDir().mkdir(temp))
        return QString();
    m_folders.append({temp, QDir(folder).absolutePath()});
    return temp;
}

bool StagedOutput::commit()
{
    // Plan the folder contents as files so that one loop renames everything. A folder inside
    // moves whole when its final name is free, else its files join the folder already there.
    for (const auto &f : m_folders) {
        const QDir dir(f.first);
        const auto flags = QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot;
        for (const QFileInfo &e : dir.entryInfoList(flags, QDir::Name)) {
            const QString final = f.second + u'/' + e.fileName();
            if (e.isDir() && QFileInfo(final).isDir()) {
                for (const QFileInfo &inner : QDir(e.absoluteFilePath()).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
                    m_files.append({inner.absoluteFilePath(), final + u'/' + inner.fileName()});
            } else {
                m_files.append({e.absoluteFilePath(), final});
            }
        }
    }
    for (const auto &f : m_files) {
        if (!QFileInfo::exists(f.first)) {
            discard();
            return false;
        }
    }
    // What each rename replaced, kept aside ("" when its final name was free): a conversion
    // succeeds whole or leaves every target as it found it.
    QStringList aside;
    int renamed = 0;
    for (; renamed < m_files.size(); ++renamed) {
        const auto &f = m_files.at(renamed);
        struct stat st;
        QString old;
        // A folder in the way is never moved: the rename onto it fails.
        if (::lstat(QFile::encodeName(f.second).constData(), &st) == 0 && !S_ISDIR(st.st_mode)
            && !QFileInfo(f.first).isDir()) {
            old = asideName(f.second);
            if (!renamePath(f.second, old))
                break;
        }
        aside << old;
        if (!renamePath(f.first, f.second))
            break;
    }
    if (renamed < m_files.size()) {
        // Undone in reverse: each output back under its staged name, then the old target back
        // under its own. An old target that cannot go back stays aside, never removed.
        for (qsizetype j = aside.size() - 1; j >= 0; --j) {
            const auto &f = m_files.at(j);
            if (j < renamed)
                renamePath(f.second, f.first);
            if (!aside.at(j).isEmpty())
                renamePath(aside.at(j), f.second);
        }
        m_committed.clear();
        discard();
        return false;
    }
    for (const QString &old : std::as_const(aside))
        if (!old.isEmpty())
            QFile::remove(old);
    for (const auto &f : std::as_const(m_files)) {
        if (QFileInfo(f.second).isDir()) {
            for (const QString &inner : QDir(f.second).entryList(QDir::Files | QDir::Hidden, QDir::Name))
                m_committed << f.second + u'/' + inner;
        } else {
            m_committed << f.second;
        }
    }
    m_files.clear();
    // What is left of a staged folder is empty subfolders whose files moved out.
    for (const auto &f : m_folders)
        QDir(f.first).removeRecursively();
    m_folders.clear();
    return true;
}

void StagedOutput::discard()
{
    for (const auto &f : m_files)
        QFile::remove(f.first);
    m_files.clear();
    for (const auto &f : m_folders)
        QDir(f.first).removeRecursively();
    m_folders.clear();
}

namespace {
QJsonArray pairsToJson(const QList<QPair<QString, QString>> &pairs)
{
    QJsonArray a;
    for (const auto &p : pairs)
        a.append(QJsonArray{p.first, p.second});
    return a;
}

QList<QPair<QString, QString>> pairsFromJson(const QJsonValue &v)
{
    QList<QPair<QString, QString>> pairs;
    for (const QJsonValue &p : v.toArray()) {
        const QJsonArray two = p.toArray();
        // Only staged names may be renamed or removed on the word of a plan.
        const QString temp = two.at(0).toString();
        if (two.size() == 2 && QFileInfo(temp).fileName().startsWith(QLatin1String(".qvpart-")))
            pairs.append({temp, two.at(1).toString()});
    }
    return pairs;
}
} // namespace

QJsonObject StagedOutput::plan()
{
    const QJsonObject o{{QStringLiteral("files"), pairsToJson(m_files)},
                        {QStringLiteral("folders"), pairsToJson(m_folders)}};
    m_files.clear();
    m_folders.clear();
    return o;
}

void StagedOutput::adopt(const QJsonObject &plan)
{
    m_files += pairsFromJson(plan.value(QStringLiteral("files")));
    m_folders += pairsFromJson(plan.value(QStringLiteral("folders")));
}
