#include "StagedOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include <cstdio>
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
} // namespace

QString StagedOutput::tempName(const QString &folder, const QString &name)
{
    static int serial = 0;
    // A hidden name that no target can have: the worker's pid and a serial keep it unique, so
    // the rest may be shortened to keep the whole within the longest name a target may have.
    const QString prefix = QStringLiteral(".qvpart-%1-%2-").arg(::getpid()).arg(++serial);
    return folder + u'/' + prefix + fitName(name, kNameMax - kHelperSuffix - static_cast<int>(prefix.size()));
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
    for (int i = 0; i < m_files.size(); ++i) {
        const auto &f = m_files.at(i);
        // rename(2) replaces an existing target atomically.
        if (std::rename(QFile::encodeName(f.first).constData(), QFile::encodeName(f.second).constData()) != 0) {
            // What was renamed already goes too: a conversion succeeds whole or leaves nothing.
            for (int j = 0; j < i; ++j) {
                const QString &done = m_files.at(j).second;
                if (QFileInfo(done).isDir())
                    QDir(done).removeRecursively(); // moved whole: its final name was free
                else
                    QFile::remove(done);
            }
            m_committed.clear();
            m_files = m_files.mid(i);
            discard();
            return false;
        }
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
