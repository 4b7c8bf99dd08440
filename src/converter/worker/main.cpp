// quorvane-office: hosts LibreOfficeKit for the conversion control. Requests arrive as JSON
// lines on standard input; progress lines and one answer line per request go to standard
// output. LibreOffice's own chatter is sent to standard error so it can never corrupt the
// answers.
#include "HiddenPdfExport.h"
#include "OfficeHost.h"
#include "ProfileSettings.h"
#include "WorkerConverter.h"
#include "platform/PrivateFolder.h"
#include "converter/StagedOutput.h"
#include "platform/LeftoverRemoval.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonArray>
#include <QLockFile>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <langinfo.h>
#include <memory>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

FILE *g_answers = nullptr;

void send(const QJsonObject &o)
{
    const QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact);
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), g_answers);
    std::fputc('\n', g_answers);
    std::fflush(g_answers);
}

[[noreturn]] void quit(int status)
{
    std::fflush(g_answers);
    std::fflush(stderr);
    // Tearing LibreOfficeKit down can abort inside the office; nothing is left to save.
    ::_exit(status);
}

QString cacheRoot()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/quorvane");
}

// A profile folder that no other running worker uses: office-profile-1, -2, ... each guarded
// by a lock file that dies with its process.
QString claimProfile(std::unique_ptr<QLockFile> &lock, QString *why)
{
    const QString root = cacheRoot();
    for (int i = 1; i < 100; ++i) {
        auto l = std::make_unique<QLockFile>(root + QStringLiteral("/office-profile-%1.lock").arg(i));
        l->setStaleLockTime(0);
        if (l->tryLock(0)) {
            const QString profile = root + QStringLiteral("/office-profile-%1").arg(i);
            // A profile an earlier start made under a lax umask is tightened before the office
            // reads it.
            if (!EnsurePrivateFolder(profile, why))
                return QString();
            lock = std::move(l);
            return profile;
        }
    }
    *why = QStringLiteral("no free profile folder");
    return QString();
}

// The worker must never outlive the program that started it: it would go on writing targets
// nobody waits for. The kernel kills it when its parent ends; a parent that ended before that
// was arranged is caught by comparing the parent's pid with the one the client passed.
void endWithParent()
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    bool ok = false;
    const qint64 expected = qEnvironmentVariable("QV_PARENT_PID").toLongLong(&ok);
    const pid_t parent = ::getppid();
    // Without the pid (started by hand), being adopted by init is the sign of a lost parent.
    if (ok && expected > 0 ? parent != static_cast<pid_t>(expected) : parent == 1)
        ::_exit(1);
}

// The office turns its file URLs into names in the character set of the locale that LC_ALL,
// LC_CTYPE or LANG names, while names here are UTF-8 whatever the locale. Under C or POSIX, or
// a locale that is not installed, it reaches no name beyond ASCII ("damaged or not a
// presentation"): its character set becomes UTF-8, the language kept where that locale exists.
void giveOfficeUtf8Names()
{
    const char *var = "LANG";
    for (const char *v : {"LC_ALL", "LC_CTYPE"})
        if (const char *s = std::getenv(v); s && *s) {
            var = v;
            break;
        }
    const std::string current = std::getenv(var) ? std::getenv(var) : "";
    const std::string kept = std::setlocale(LC_CTYPE, nullptr);
    const auto utf8 = [](const std::string &name) {
        return std::setlocale(LC_CTYPE, name.c_str()) && std::strcmp(::nl_langinfo(CODESET), "UTF-8") == 0;
    };
    if (!utf8(current.empty() ? std::string("C") : current)) {
        const size_t at = current.find('@');
        const std::string modifier = at == std::string::npos ? std::string() : current.substr(at);
        const std::string language = current.substr(0, std::min(current.find('.'), at));
        std::string chosen = "C.UTF-8";
        if (!language.empty() && language != "C" && language != "POSIX" && utf8(language + ".UTF-8" + modifier))
            chosen = language + ".UTF-8" + modifier;
        // LANG yields to LC_CTYPE, which touches the character set alone.
        ::setenv(std::strcmp(var, "LANG") == 0 ? "LC_CTYPE" : var, chosen.c_str(), 1);
    }
    std::setlocale(LC_CTYPE, kept.c_str());
}

// Resident memory in kB: LibreOffice keeps a little with every document it loads, so the
// client replaces a worker that has grown too large.
qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

QJsonObject answer(int result, const WorkerConverter &c)
{
    QJsonObject o{{QStringLiteral("result"), result}, {QStringLiteral("rss"), residentKb()}};
    if (!c.detail().isEmpty())
        o[QStringLiteral("detail")] = c.detail();
    QJsonArray files;
    for (const QString &f : c.outputs())
        files.append(f);
    o[QStringLiteral("files")] = files;
    if (!c.staged().isEmpty())
        o[QStringLiteral("staged")] = c.staged();
    return o;
}

} // namespace

int main()
{
    // Keep the real standard output for answers; everything else printing to fd 1 goes to
    // standard error.
    const int answersFd = ::dup(STDOUT_FILENO);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    g_answers = ::fdopen(answersFd, "w");
    std::signal(SIGPIPE, SIG_IGN);
    // The client starts the worker in a process group of its own and stops it itself; started
    // otherwise, a Ctrl+C meant for the program is still not one for the worker.
    std::signal(SIGINT, SIG_IGN);
    endWithParent();
    giveOfficeUtf8Names();
    // Profiles, work folders and locks are ours alone; the outputs the user asked for are made
    // under the user's own umask (see below).
    const mode_t userMask = KeepNewFilesPrivate();
    QString why;
    if (!EnsurePrivateFolder(cacheRoot(), &why)) {
        send({{QStringLiteral("ready"), false}, {QStringLiteral("detail"), why}});
        quit(1);
    }

    // LibreOffice leaves its temporary folders (lu*.tmp) behind: keep them in our own folder,
    // which goes when the worker ends (or at the next start after it was killed).
    const QString work = LeftoverRemoval::makeWorkerFolder();
    ::setenv("TMPDIR", QFile::encodeName(work).constData(), 1);

    std::unique_ptr<QLockFile> profileLock;
    const QString profile = claimProfile(profileLock, &why);
    OfficeHost host;
    QString programFolder = qEnvironmentVariable("QV_LIBREOFFICE_PROGRAM");
    if (programFolder.isEmpty())
        programFolder = QStringLiteral(QV_LIBREOFFICE_PROGRAM);
    // Not fatal: the worker then only starts more slowly, and may leave locks behind.
    if (!profile.isEmpty())
        ProfileSettings::seed(profile, programFolder);
    if (profile.isEmpty() || !host.start(programFolder, profile)) {
        send({{QStringLiteral("ready"), false},
              {QStringLiteral("detail"), profile.isEmpty() ? why : host.error()}});
        LeftoverRemoval::removeWorkerFolder(work);
        quit(1);
    }
    // The office's set-up puts its own handler on SIGINT.
    std::signal(SIGINT, SIG_IGN);
    // A stop signal lets a commit that has begun finish: no target is left half replaced, and
    // the answer says the file is there before the worker ends.
    StagedOutput::letCommitsFinishOnSignals(true);
    WorkerConverter converter(host, work, [](int percent) {
        send({{QStringLiteral("progress"), percent}});
    });
    HiddenPdfExport hiddenPdf(host, profile, work);
    if (hiddenPdf.install())
        converter.setHiddenPdfExport(&hiddenPdf);
    send({{QStringLiteral("ready"), true}, {QStringLiteral("version"), host.version()},
          {QStringLiteral("pid"), static_cast<qint64>(::getpid())}});

    // The office adds to its profile while it converts, under the user's umask: taken back
    // before the answer (the client may end the worker once it has it), where that umask lets
    // others write. A walk of the profile costs a few milliseconds; the usual umask needs none.
    const auto reclaimProfile = [&profile, userMask] {
        if ((userMask & 022) != 022)
            TightenPrivateTree(profile);
    };
    std::string line;
    while (std::getline(std::cin, line)) {
        const QJsonObject req = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        const QString op = req.value(QStringLiteral("op")).toString();
        if (op == QLatin1String("quit"))
            break;
        if (op == QLatin1String("version")) {
            send({{QStringLiteral("result"), 0}, {QStringLiteral("version"), host.version()}});
        } else if (op == QLatin1String("convert")) {
            const ScopedUmask outputs(userMask);
            bool defer = false;
            const ConversionRequest request = ConversionRequest::fromJson(req, &defer);
            const int rc = converter.convert({request, defer});
            QJsonObject a = answer(rc, converter);
            a[QStringLiteral("road")] = converter.tookHiddenRoad() ? QStringLiteral("hidden") : QStringLiteral("regular");
            reclaimProfile();
            send(a);
            StagedOutput::endIfStopped();
        } else if (op == QLatin1String("document")) {
            const ScopedUmask outputs(userMask);
            const int rc = converter.convertDocument(req.value(QStringLiteral("source")).toString(),
                                                     req.value(QStringLiteral("target")).toString(),
                                                     req.value(QStringLiteral("filter")).toString(),
                                                     req.value(QStringLiteral("options")).toString());
            reclaimProfile();
            send(answer(rc, converter));
            StagedOutput::endIfStopped();
        } else {
            send({{QStringLiteral("result"), -1}, {QStringLiteral("detail"), QStringLiteral("unknown request")}});
        }
    }
    LeftoverRemoval::removeWorkerFolder(work);
    profileLock.reset();
    quit(0);
}
