#pragma once
// Helpers of the whole-program tests: running the built program without a display, the demo
// decks, the log and results files it writes, the processes it leaves.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace e2e {

// A demo presentation of the source tree (path below "data/Demo Data").
QString demo(const QString &name);
// Copies a file, creating the folder it goes to.
bool copy(const QString &from, const QString &to);

// The built program, and the environment of a run without a display.
QString program();
QProcessEnvironment headless();
// A program the test sends signals to takes them as a program started from a terminal does,
// whatever the test process inherited (started in the background, it ignores SIGINT).
void defaultSignals(QProcess &p);

struct ProgramRun
{
    int exitCode = -1; // -1: did not end normally
    QString out;
    QString err;
};
// Runs the program (the built one unless named) with arguments, without a display, in the
// test's private HOME; a run that does not end in time is killed and fails the test.
ProgramRun runProgram(const QStringList &args, int timeoutMs = 600000, const QString &program = QString());
// The same, with folder as the working folder.
ProgramRun runIn(const QString &folder, const QStringList &args);

// Pages of a PDF, -1 when it cannot be read.
int pdfPages(const QByteArray &path);
int pdfPages(const QString &path);
// The lines of a log or results file (CR LF ends each).
QStringList logLines(const QString &path);

// Polls done every 10 ms until it holds or ms have passed; whether it holds.
bool waitFor(const std::function<bool()> &done, int ms = 60000);
// For a child-process modifier: the stop signals as a terminal's foreground job gets them,
// whatever the test was started with (`./test.sh &` ignores SIGINT, nohup SIGHUP).
void defaultStopSignals();
// Process id of the office worker of a program, 0 while it has none.
qint64 workerOf(qint64 parent);
bool processGone(qint64 pid);

} // namespace e2e
