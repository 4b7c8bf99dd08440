// Converts files through the conversion control, the way a job run does, and reports the
// time taken and, on request, the worker's resident memory as the conversions go on.
//
//   quorvane-convert-bench [--type N] [--out DIR] [--memory] [--repeat N] [--rss-every K] FILE...
//   quorvane-convert-bench --pool-size      (prints the number of workers a folder task uses)
#include "converter/ConversionControl.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

long residentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int type = 32;
    QString outDir = QStringLiteral(".");
    bool speed = true;
    int repeat = 1;
    int rssEvery = 0;
    QStringList files;
    if (args.value(0) == QLatin1String("--pool-size")) {
        std::printf("%d\n", ConversionControl().poolSize());
        return 0;
    }
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--type") && i + 1 < args.size())
            type = args.at(++i).toInt();
        else if (a == QLatin1String("--out") && i + 1 < args.size())
            outDir = args.at(++i);
        else if (a == QLatin1String("--memory"))
            speed = false;
        else if (a == QLatin1String("--repeat") && i + 1 < args.size())
            repeat = qMax(1, args.at(++i).toInt());
        else if (a == QLatin1String("--rss-every") && i + 1 < args.size())
            rssEvery = args.at(++i).toInt();
        else
            files << a;
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: quorvane-convert-bench [--type N] [--out DIR] [--memory] [--repeat N] [--rss-every K] FILE...\n");
        return 2;
    }
    bool bWildcard = false;
    ConversionControl control;
    const QString ext = control.typeExtension(bWildcard, type);
    control.setOptimizeForSpeed(speed);
    control.setTargetFileType(type);

    QTextStream out(stdout);
    QElapsedTimer timer;
    timer.start();
    int done = 0;
    int failures = 0;
    for (int r = 0; r < repeat; ++r) {
        for (const QString &f : files) {
            control.setOriginalFile(QFileInfo(f).absoluteFilePath());
            control.setTargetFile(QFileInfo(outDir).absoluteFilePath() + u'/' + QFileInfo(f).completeBaseName()
                                  + u'.' + ext);
            if (control.convert() != 0) {
                ++failures;
                out << "failed: " << f << ": " << control.lastMessage() << " " << control.lastDetail() << Qt::endl;
            }
            ++done;
            if (rssEvery > 0 && done % rssEvery == 0) {
                const qint64 pid = control.workerProcessId();
                out << "rss after " << done << " conversions: ";
                if (pid > 0)
                    out << residentKb(pid) << " kB (worker " << pid << ")" << Qt::endl;
                else
                    out << "worker just replaced" << Qt::endl;
            }
        }
    }
    const qint64 ms = timer.elapsed();
    out << "converted " << done << " files in " << ms << " ms (" << failures << " failed)" << Qt::endl;
    control.shutDown();
    return failures == 0 ? 0 : 1;
}
