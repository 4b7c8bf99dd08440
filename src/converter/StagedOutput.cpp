#include "StagedOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include "platform/LeftoverRemoval.h"
#include "platform/NameMoves.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

StagedOutput::~StagedOutput() { discard(); }

namespace {

// A commit under way, and a stop signal that arrived during it; whether the process ends
// itself after such a commit (endIfStopped()).
volatile sig_atomic_t g_committing = 0;
volatile sig_atomic_t g_pendingSignal = 0;
volatile sig_atomic_t g_endLater = 0;

void onStopSignal(int sig)
{
    if (g_committing) {
        g_pendingSignal = sig;
        return;
    }
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// Marks a commit as under way for as long as it lives; a stop signal that came meanwhile then
// takes effect.
struct CommitWindow
{
    CommitWindow() { g_committing = 1; }
    ~CommitWindow()
    {
        g_committing = 0;
        if (const int sig = g_pendingSignal; sig && !g_endLater) {
            ::signal(sig, SIG_DFL);
            ::raise(sig);
        }
    }
};

QString tempName(const QString &folder, const QString &name)
{
    return folder + u'/' + StagedNames::ownName(StagedNames::Kind::Part, name);
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : path.left(qMax<qsizetype>(slash, 1));
}

QByteArray nameOf(const QByteArray &path) { return path.mid(path.lastIndexOf('/') + 1); }

bool renameRaw(const char *call, const QByteArray &from, const QByteArray &to)
{
    return NameMoves::allowed(call) && ::rename(from.constData(), to.constData()) == 0;
}

bool renameToFree(const QByteArray &from, const QByteArray &to)
{
    return NameMoves::renameToFree(AT_FDCWD, from, AT_FDCWD, to);
}

// How a replaced target was kept aside: by a second name (hard link); where the file system has no
// hard links, by swapping names with the new file (RENAME_EXCHANGE); where it has neither, renamed
// away (the name then stands empty until the new file takes it; a sweep puts the old file back if
// the commit stops there).
enum class Aside { None, Linked, Exchanged, Moved };

struct Step
{
    Aside how = Aside::None;
    QByteArray aside;
    // The folder holding aside, for a name too long to stand whole after the owner part.
    QByteArray asideFolder;
    // For Exchanged: the names are swapped (before that the kept-aside name holds the new file).
    bool renamed = false;
};

// Chooses where the target of m is kept aside, under a name whose serial is the inode of the new
// file (so that a clean-up can tell that file from another run's), with the exact target name
// recoverable: a name too long for that is kept whole inside a folder of its own.
bool chooseAside(const StagedOutput::Move &m, Step &s)
{
    struct stat made {};
    if (::stat(m.from.constData(), &made) != 0)
        return false;
    const QString name = QFile::decodeName(nameOf(m.to));
    const QString prev = StagedNames::forProcess(::getpid(), made.st_ino, name, StagedNames::Kind::Prev);
    const QByteArray path = folderOf(m.to) + '/' + QFile::encodeName(prev);
    const std::optional<StagedNames::Origin> o = StagedNames::originOf(prev);
    if (o && o->tail == name && StagedNames::isWholeTail(*o)) {
        s.aside = path;
        return true;
    }
    if (!NameMoves::allowed("mkdir") || ::mkdir(path.constData(), 0700) != 0)
        return false;
    s.asideFolder = path;
    s.aside = path + '/' + nameOf(m.to);
    return true;
}

// Removes what kept a target aside once it is no longer needed (or never held anything).
void dropAside(const Step &s)
{
    if (s.how != Aside::None && NameMoves::allowed("unlink"))
        ::unlink(s.aside.constData());
    if (!s.asideFolder.isEmpty())
        ::rmdir(s.asideFolder.constData());
}

// Puts one begun move back: the old target under its name (the same file), the new file under
// its staged name.
void undo(const StagedOutput::Move &m, const Step &s)
{
    switch (s.how) {
    case Aside::None:
        if (s.renamed)
            renameRaw("restore", m.to, m.from);
        break;
    case Aside::Linked:
        // The old file returns over the new one in one rename: the name never stands empty.
        if (s.renamed)
            renameRaw("restore", s.aside, m.to);
        else
            dropAside(s);
        break;
    case Aside::Exchanged:
        // The old file returns over the new one in one rename, or the new one to its staged name.
        renameRaw("restore", s.aside, s.renamed ? m.to : m.from);
        break;
    case Aside::Moved:
        if (s.renamed)
            renameRaw("restore", m.to, m.from);
        // Onto the name only while it is free: a file another run put there meanwhile stays,
        // and the old one waits aside for a sweep.
        renameToFree(s.aside, m.to);
        break;
    }
    if (!s.asideFolder.isEmpty())
        ::rmdir(s.asideFolder.constData());
}

enum class Swap { Done, Failed, Unsupported };

// Without hard links: the new file first takes the kept-aside name, whose serial is its inode, then
// the two names are swapped in one call, so that the target's name always holds a whole file and a
// clean-up tells by the inode whether the kept-aside name holds the new file (the swap was not
// made) or the old one. Where the file system cannot swap, the new file goes back to its staged
// name (Unsupported, s as before).
Swap swapIn(const StagedOutput::Move &m, Step &s)
{
    if (!renameRaw("stage-aside", m.from, s.aside))
        return Swap::Failed;
    s.how = Aside::Exchanged;
    if (NameMoves::allowed("exchange")
        && ::renameat2(AT_FDCWD, s.aside.constData(), AT_FDCWD, m.to.constData(), RENAME_EXCHANGE) == 0) {
        s.renamed = true;
        return Swap::Done;
    }
    if (!NameMoves::unsupported(errno) || !renameRaw("unstage-aside", s.aside, m.from))
        return Swap::Failed;
    s.how = Aside::None;
    return Swap::Unsupported;
}

} // namespace

void StagedOutput::letCommitsFinishOnSignals(bool endLater)
{
    g_endLater = endLater;
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    for (const int sig : {SIGTERM, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

void StagedOutput::endIfStopped()
{
    if (const int sig = g_pendingSignal) {
        ::signal(sig, SIG_DFL);
        ::raise(sig);
    }
}

void StagedOutput::setCallHook(std::function<int(const char *call)> hook) { NameMoves::setCallHook(std::move(hook)); }

bool StagedOutput::commitMoves(const QList<Move> &moves)
{
    const CommitWindow window;
    QList<Step> steps;
    bool ok = true;
    for (const Move &m : moves) {
        Step s;
        // A name that was free when looked at but taken when renamed onto is looked at again.
        for (int look = 0; look < 2 && ok && !s.renamed && s.how == Aside::None; ++look) {
            struct stat st {};
            const bool taken = ::lstat(m.to.constData(), &st) == 0;
            if (taken && S_ISDIR(st.st_mode))
                break; // a folder in the way is never moved: the rename below fails on it
            if (!taken) {
                // A file that appears meanwhile is never replaced without being kept aside.
                if (renameToFree(m.from, m.to))
                    s.renamed = true;
                else if (errno != EEXIST)
                    ok = false;
                continue;
            }
            // The new file takes the old one's permissions before its name: a file the user made
            // private stays private. A file system that keeps no modes refuses; nothing is lost.
            if (S_ISREG(st.st_mode))
                ::chmod(m.from.constData(), st.st_mode & 0777);
            if (!chooseAside(m, s)) {
                ok = false;
            } else if (NameMoves::allowed("link") && ::link(m.to.constData(), s.aside.constData()) == 0) {
                s.how = Aside::Linked;
            } else if (!NameMoves::unsupported(errno)) {
                ok = false;
            } else if (const Swap swap = swapIn(m, s); swap != Swap::Unsupported) {
                ok = swap == Swap::Done;
            } else if (!renameRaw("rename-away", m.to, s.aside)) {
                ok = false;
            } else {
                s.how = Aside::Moved;
                s.renamed = renameToFree(m.from, m.to);
                ok = s.renamed;
            }
        }
        if (!ok) {
            undo(m, s);
            break;
        }
        steps.append(s);
        if (!s.renamed) {
            if (!renameRaw("rename", m.from, m.to)) {
                ok = false;
                break;
            }
            steps.last().renamed = true;
        }
    }
    if (!ok) {
        // Undone in reverse: each output back under its staged name, each old target under its own.
        for (qsizetype j = steps.size() - 1; j >= 0; --j)
            undo(moves.at(j), steps.at(j));
        return false;
    }
    for (const Step &s : std::as_const(steps))
        dropAside(s);
    return true;
}

QString StagedOutput::stage(const QString &finalPath)
{
    const QFileInfo fi(finalPath);
    // What a killed run kept aside there comes back before anything is written over its name.
    LeftoverRemoval::sweepOnce(fi.absolutePath());
    const QString temp = tempName(fi.absolutePath(), fi.fileName());
    m_files.append({temp, fi.absoluteFilePath()});
    return temp;
}

QString StagedOutput::stageFolder(const QString &folder)
{
    LeftoverRemoval::sweepOnce(QDir(folder).absolutePath());
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
    QList<Move> moves;
    for (const auto &f : std::as_const(m_files)) {
        if (!QFileInfo::exists(f.first)) {
            discard();
            return false;
        }
        moves.append({QFile::encodeName(f.first), QFile::encodeName(f.second)});
    }
    if (!commitMoves(moves)) {
        m_committed.clear();
        discard();
        return false;
    }
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
        const std::optional<StagedNames::Origin> o = StagedNames::originOf(QFileInfo(temp).fileName());
        if (two.size() == 2 && o && o->kind == StagedNames::Kind::Part)
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

void StagedOutput::takeOver()
{
    for (auto *pairs : {&m_files, &m_folders}) {
        for (auto &p : *pairs) {
            const QFileInfo fi(p.first);
            const std::optional<StagedNames::Origin> o = StagedNames::originOf(fi.fileName());
            if (!o || o->pid == ::getpid())
                continue;
            const QString own = fi.absolutePath() + u'/' + StagedNames::ownName(StagedNames::Kind::Part, o->tail);
            // A name of this process is new: nothing should stand under it.
            const QByteArray from = QFile::encodeName(p.first), to = QFile::encodeName(own);
            if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0
                || (errno == EINVAL && ::rename(from.constData(), to.constData()) == 0))
                p.first = own;
        }
    }
}
