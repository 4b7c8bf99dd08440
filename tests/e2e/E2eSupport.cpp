#include "E2eSupport.h"

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace e2e {

QString demo(const QString &name) { return qvtest::sourceDir() + QStringLiteral("/data/Demo Data/") + name; }

bool copy(const QString &from, const QString &to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    return QFile::copy(from, to);
}

QString program() { return qvtest::binDir() + QStringLiteral("/quorvane"); }

QProcessEnvironment headless()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

void defaultSignals(QProcess &p) { p.setChildProcessModifier(defaultStopSignals); }

namespace {

ProgramRun run(const QStringList &args, int timeoutMs, const QString &file, const QString &folder)
{
    QProcess p;
    p.setProcessEnvironment(headless());
    defaultSignals(p);
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(file.isEmpty() ? program() : file, args);
    EXPECT_TRUE(p.waitForStarted());
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "the run did not end";
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

ProgramRun runProgram(const QStringList &args, int timeoutMs, const QString &program)
{
    return run(args, timeoutMs, program, QString());
}

ProgramRun runIn(const QString &folder, const QStringList &args) { return run(args, 600000, QString(), folder); }

int pdfPages(const QByteArray &path)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(path.constData());
        return static_cast<int>(pdf.getAllPages().size());
    } catch (...) {
        return -1;
    }
}

int pdfPages(const QString &path) { return pdfPages(QFile::encodeName(path)); }

QStringList logLines(const QString &path)
{
    QStringList lines = QString::fromUtf8(qvtest::readFile(path)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QThread::msleep(10);
    return done();
}

void defaultStopSignals()
{
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        ::signal(s, SIG_DFL);
}

qint64 workerOf(qint64 parent)
{
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray stat = qvtest::readFile("/proc/" + entry + "/stat");
        const int close = stat.lastIndexOf(')');
        if (close < 0 || !stat.contains("(quorvane-office)"))
            continue;
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (fields.size() > 1 && fields[0] != "Z" && fields[1].toLongLong() == parent)
            return entry.toLongLong();
    }
    return 0;
}

bool processGone(qint64 pid)
{
    const QByteArray stat = qvtest::readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(')');
    return stat.isEmpty() || (close > 0 && stat.mid(close + 2, 1) == "Z");
}

} // namespace e2e
