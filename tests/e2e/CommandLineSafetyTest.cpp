// What a command line may write: log and results file never on a file of the run, slide ranges
// with an open end, log lines that a name or path cannot break or forge.
#include "E2eSupport.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace e2e;

namespace {

// Every file below folder with a digest of its bytes, for "nothing changed" checks.
QMap<QString, QString> snapshot(const QString &folder)
{
    QMap<QString, QString> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        files.insert(QDir(folder).relativeFilePath(f),
                     QString::fromLatin1(QCryptographicHash::hash(qvtest::readFile(f), QCryptographicHash::Sha1).toHex()));
    }
    return files;
}

class CommandLineSafety : public ::testing::Test
{
protected:
    QTemporaryDir tmp;
    QString path(const QString &rel) const { return tmp.filePath(rel); }
    bool deckAt(const QString &rel) const
    {
        return copy(demo("Quarterly Review.pptx"), path(rel)); // 4 slides
    }
    ProgramRun run(const QStringList &args) const { return runIn(tmp.path(), args); }
    // Writes a job file of the given rows (cells joined by TAB, each row ended by TAB CR LF).
    bool writeJob(const QString &rel, const QList<QStringList> &rows) const
    {
        QByteArray bytes;
        for (const QStringList &cells : rows)
            bytes += cells.join('\t').toUtf8() + "\t\r\n";
        return qvtest::writeFile(path(rel), bytes);
    }
    bool hardLink(const QString &from, const QString &to) const
    {
        return ::link(QFile::encodeName(path(from)).constData(), QFile::encodeName(path(to)).constData()) == 0;
    }
};

} // namespace

TEST_F(CommandLineSafety, LogAndResultsFilesNeverNameAFileOfTheRun)
{
    ASSERT_TRUE(deckAt("in/deck.pptx"));
    ASSERT_TRUE(deckAt("in/sub/deep.pptx"));
    ASSERT_TRUE(qvtest::writeFile(path("in/bad.pptx"), "PK\x03\x04 not a presentation"));
    ASSERT_TRUE(qvtest::writeFile(path("out/t.pdf"), "%PDF-1.4 an earlier output"));
    ASSERT_TRUE(qvtest::writeFile(path("r.txt"), "an earlier log\r\n"));
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), ",0,0\t1\tC\t" + path("in/deck.pptx").toUtf8() + "\t3\tppt\t" +
                                                       path("new/deck.pdf").toUtf8() + "\t32\tpdf\t\t\r\n"));
    ASSERT_TRUE(QFile::link(tmp.path(), path("link")));
    const QMap<QString, QString> before = snapshot(tmp.path());

    struct Case
    {
        QStringList args;
        const char *says;
    };
    const QString logSays = "The log file (/L) names a file that this run reads or writes:";
    const QString resultsSays = "The results file (/B) names a file that this run reads or writes:";
    const QStringList single = {"/S", path("in/deck.pptx"), "/T", path("new/deck.pdf"), "/C", "32"};
    const QStringList folder = {"/S", path("in/*.pptx"), "/T", path("new/*.pdf"), "/C", "32"};
    const QList<Case> cases = {
        {single + QStringList{"/L", path("in/deck.pptx")}, "L"},                   // the original
        {single + QStringList{"/L", "./in/../in//deck.pptx"}, "L"},                // another spelling
        {single + QStringList{"/L", path("link/in/deck.pptx")}, "L"},              // through a linked folder
        {single + QStringList{"/L", path("new/deck.pdf")}, "L"},                   // the target
        {{"/S", path("in/deck.pptx"), "/T", path("out/t.pdf"), "/C", "32", "/L", path("out/t.pdf")}, "L"},
        {{"/S", path("in/deck.pptx"), "/T", path("new/d.png"), "/C", "18", "/L", path("new/d_2.png")}, "L"},
        {{"/S", path("in/bad.pptx"), "/T", path("new/bad.pdf"), "/C", "32", "/B", path("in/bad.pptx")}, "B"},
        {single + QStringList{"/L", path("r.txt"), "/B", path("link/r.txt")}, "B"}, // each other
        {folder + QStringList{"/L", path("new/run.pdf")}, "L"},                    // the targets' pattern
        {folder + QStringList{"/B", path("in/list.PPTX")}, "B"},                   // the originals' pattern
        {folder + QStringList{"/R", "/L", path("in/sub/notes.pptx")}, "L"},        // below, with sub-folders
        {folder + QStringList{"/R", "/L", path("new/sub/deep.pdf")}, "L"},
        {{"/S", path("in/*.pptx"), "/G", "/C", "32", "/L", path("in/run.pdf")}, "L"}, // targets beside originals
        {{"/J", path("job.qvj"), "/L", path("job.qvj")}, "L"},                    // the job file itself
        {{"/J", path("job.qvj"), "/L", path("in/deck.pptx")}, "L"},                // a task's original
        {{"/J", path("job.qvj"), "/B", path("link/new/deck.pdf")}, "B"},          // a task's target
    };
    for (const Case &c : cases) {
        const ProgramRun r = run(c.args);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, 2) << line;
        EXPECT_EQ(r.err.count('\n'), 1) << line << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("Missing required or invalid command line argument(s): " +
                                     (QString(c.says) == "L" ? logSays : resultsSays)))
            << line << "\n" << r.err.toStdString();
        EXPECT_EQ(snapshot(tmp.path()), before) << line;
        EXPECT_FALSE(QFileInfo::exists(path("new"))) << line;
    }

    // Beside the targets or the originals, a log and a results file of other extensions are fine.
    const ProgramRun ok = run(folder + QStringList{"/L", path("new/run.log"), "/B", path("in/redo.qvj")});
    EXPECT_EQ(ok.exitCode, 1) << ok.err.toStdString(); // bad.pptx fails
    EXPECT_EQ(pdfPages(path("new/deck.pdf")), 4);
    const QStringList lines = logLines(path("new/run.log"));
    ASSERT_EQ(lines.size(), 4) << lines.join('|').toStdString();
    EXPECT_TRUE(lines[2].endsWith(" - " + path("in/bad.pptx"))) << lines[2].toStdString();
    EXPECT_TRUE(qvtest::readFile(path("in/redo.qvj")).contains(path("in/bad.pptx").toUtf8()));

    const ProgramRun job = run({"/J", path("job.qvj"), "/L", path("new/job.log"), "/B", path("new/job.qvj")});
    EXPECT_EQ(job.exitCode, 0) << job.err.toStdString();
    EXPECT_TRUE(logLines(path("new/job.log")).contains("Conversion Successful"));
}

TEST_F(CommandLineSafety, SlideZeroLeavesTheRangeOpenAndHugeOrNegativeNumbersAreRefused)
{
    ASSERT_TRUE(deckAt("in/q.pptx"));
    ProgramRun r = run({"/S", path("in/q.pptx"), "/T", path("png/q.png"), "/C", "18", "/Y", "2", "/Z", "0"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(path("png")).entryList(QDir::Files, QDir::Name), QStringList({"q_2.png", "q_3.png", "q_4.png"}));

    r = run({"/S", path("in/q.pptx"), "/T", path("pdf/first.pdf"), "/C", "32", "/Y0", "/Z", "2"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(path("pdf/first.pdf")), 2);
    r = run({"/S", path("in/q.pptx"), "/T", path("pdf/all.pdf"), "/C", "32", "/Y", "0", "/Z0"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(path("pdf/all.pdf")), 4);

    const QList<QStringList> refused = {{"/Y", "99999999999"}, {"/Z", "99999999999999999999999999999"},
                                        {"/Y", "2", "/Z", "-1"}, {"/C", "99999999999"}, {"/F", "-99999999999"},
                                        {"/C", "32", "/C", "4294967328"}, {"/C", "32", "/C", "1e400"},
                                        {"/Z", "1.5E+999"}, {"/F", "-2e308"}};
    for (const QStringList &range : refused) {
        r = run(QStringList{"/S", path("in/q.pptx"), "/T", path("new/q.pdf"), "/C", "32"} + range);
        EXPECT_EQ(r.exitCode, 2) << range.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        const QString why = range.contains("-1")   ? "slide numbers start at 1"
                            : range.contains("/C") ? "too large for its switch: /C"
                            : range.contains("/F") ? "too large for its switch: /F"
                                                   : "the slide number is too large";
        EXPECT_TRUE(r.err.contains(why)) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path("new")));
    }
    // A number that fits, glued or not, still converts; an earlier huge one is overwritten.
    r = run({"/S", path("in/q.pptx"), "/T", path("pdf/glued.pdf"), "/C", "99999999999", "/C32"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(path("pdf/glued.pdf")), 4);
}

TEST_F(CommandLineSafety, AnArgumentThatIsNoTextInTheSystemsEncodingIsRefusedAndWritesNothing)
{
    // The user's file whose name holds U+FFFD, and a target named by a byte that is no UTF-8:
    // reading the byte as U+FFFD would write over that file.
    ASSERT_TRUE(deckAt("in/q.pptx"));
    const QString replaced = path("out/r") + QChar(0xFFFD) + ".pdf";
    ASSERT_TRUE(qvtest::writeFile(replaced, "the user's file"));
    const QMap<QString, QString> before = snapshot(tmp.path());
    const QString script = QStringLiteral("cd \"$1\" && exec \"$0\" /S in/q.pptx /T \"out/r$(printf '\\351').pdf\" /C 32 "
                                          "/L \"out/x$(printf '\\377').log\"");
    const ProgramRun r = runProgram({"-c", script, program(), tmp.path()}, 600000, "/bin/sh");
    EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("not valid text in the system's character encoding (/T)")) << r.err.toStdString();
    EXPECT_EQ(snapshot(tmp.path()), before);
    // With a log of sound text the refusal is logged as the others are, after the header.
    const QString logged = QStringLiteral("cd \"$1\" && exec \"$0\" /S in/q.pptx /T \"out/r$(printf '\\351').pdf\" /C 32 "
                                          "/L out/run.log");
    ASSERT_TRUE(QDir().mkpath(path("out")));
    EXPECT_EQ(runProgram({"-c", logged, program(), tmp.path()}, 600000, "/bin/sh").exitCode, 2);
    const QStringList lines = logLines(path("out/run.log"));
    ASSERT_EQ(lines.size(), 4) << lines.join('|').toStdString();
    EXPECT_TRUE(lines[0].startsWith("-----"));
    EXPECT_TRUE(lines[2].endsWith("not valid text in the system's character encoding (/T)")) << lines[2].toStdString();
    // Text the line ignores may be anything: before the first switch, an unknown letter's value,
    // a /T that a later one replaces, a /T that /G leaves unused.
    const QString ignored = QStringLiteral("cd \"$1\" && exec \"$0\" \"$(printf 'x\\377')\" /S in/q.pptx /T \"o$(printf '\\351')\" "
                                           "/T out/ignored.pdf /C 32 /K \"$(printf '\\351')\" /L out/ok.log");
    const ProgramRun runs = runProgram({"-c", ignored, program(), tmp.path()}, 600000, "/bin/sh");
    EXPECT_EQ(runs.exitCode, 0) << runs.err.toStdString();
    EXPECT_EQ(pdfPages(path("out/ignored.pdf")), 4);
    EXPECT_TRUE(logLines(path("out/ok.log")).contains("Conversion Successful"));
    const QString byG = QStringLiteral("cd \"$1\" && exec \"$0\" /S \"in/*.pptx\" /G /T \"o$(printf '\\351')\" /C 32");
    EXPECT_EQ(runProgram({"-c", byG, program(), tmp.path()}, 600000, "/bin/sh").exitCode, 0);
    EXPECT_EQ(pdfPages(path("in/q.pdf")), 4);

    // The same name given as the valid text it is still reaches that file.
    const ProgramRun ok = run({"/S", path("in/q.pptx"), "/T", replaced, "/C", "32"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    EXPECT_EQ(pdfPages(replaced), 4);

    // Names beyond ASCII convert under a locale without UTF-8 and under one that is not installed.
    const QString name = QStringLiteral("Prüfung 日本 🎉");
    ASSERT_TRUE(deckAt("in/" + name + ".pptx"));
    for (const QString locale : {"LC_ALL=C", "LANG=xx_YY.UTF-8"}) {
        const QString pdf = path("out/" + name + " " + locale + ".pdf");
        const QString script = "unset LC_ALL LC_CTYPE; export " + locale + "; exec \"$0\" /S \"$1\" /T \"$2\" /C 32";
        const ProgramRun conv = runProgram({"-c", script, program(), path("in/" + name + ".pptx"), pdf}, 600000, "/bin/sh");
        EXPECT_EQ(conv.exitCode, 0) << locale.toStdString() << conv.err.toStdString();
        EXPECT_EQ(pdfPages(pdf), 4) << locale.toStdString();
    }
}

TEST_F(CommandLineSafety, UnderAnyUmaskWhatTheProgramKeepsIsPrivateAndOutputsKeepTheUmask)
{
    ASSERT_TRUE(deckAt("in/q.pptx"));
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + "/quorvane";
    const QString settings = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Ornwell, Inc/Quorvane";
    // Left open to all by an earlier start: tightened.
    for (const QString &folder : {cache, settings}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    }
    // The work folder of a worker that has ended and waits to be reaped (a zombie) goes too.
    const pid_t zombie = ::fork();
    if (zombie == 0)
        ::_exit(0);
    ASSERT_TRUE(waitFor([&] { return processGone(zombie); }));
    const QString work = cache + QStringLiteral("/work-%1").arg(zombie);
    ASSERT_TRUE(QDir().mkpath(work));

    const mode_t mask = ::umask(0);
    const ProgramRun r = run({"/S", path("in/q.pptx"), "/T", path("out/q.pdf"), "/C", "32", "/L", path("out/run.log")});
    ::umask(mask);
    ::waitpid(zombie, nullptr, 0);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(work));
    auto mode = [](const QString &p) {
        struct stat st {};
        ::lstat(QFile::encodeName(p).constData(), &st);
        return st.st_mode & 07777;
    };
    for (const auto &[file, want] : {std::pair{path("out"), 0777u}, {path("out/q.pdf"), 0666u}, {path("out/run.log"), 0666u},
                                     {cache, 0700u}, {settings, 0755u}}) // the settings folder only loses write rights
        EXPECT_EQ(mode(file), want) << file.toStdString();
    int entries = 0;
    for (QDirIterator it(cache, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
         it.hasNext(); ++entries) {
        const QString entry = it.next();
        EXPECT_EQ(it.fileInfo().isSymLink() ? 0u : mode(entry) & 022, 0u) << entry.toStdString();
    }
    EXPECT_GT(entries, 20); // the office's profile

    // Another user's settings folder is neither read nor written, and the run says so.
    if (::getuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString foreign = path("cfg/Ornwell, Inc/Quorvane");
    ASSERT_TRUE(QDir().mkpath(foreign));
    ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("cfg")));
    const ProgramRun other = run({"/S", path("in/q.pptx"), "/T", path("out/q2.pdf"), "/C", "32"});
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    EXPECT_EQ(other.exitCode, 0) << other.err.toStdString();
    EXPECT_TRUE(other.err.contains("The settings folder belongs to another user")) << other.err.toStdString();
    EXPECT_TRUE(QDir(foreign).isEmpty());
}

TEST_F(CommandLineSafety, LogLinesEscapeControlCharactersWhereverTheyComeFrom)
{
    // A refused original: its path is quoted by the validation reason, in the log and, shown
    // with /V where there is no display, on standard output.
    const QString forged = path("x\nConversion Successful\ny.pptx");
    ProgramRun r = run({"/S", forged, "/T", path("out/x.pdf"), "/C", "32", "/V", "/L", path("a.log")});
    EXPECT_EQ(r.exitCode, 2);
    QStringList lines = logLines(path("a.log"));
    ASSERT_EQ(lines.size(), 6) << lines.join('|').toStdString();
    EXPECT_EQ(lines.mid(2, 3), QStringList({"Original File", path("x\\nConversion Successful\\ny.pptx"), "does not exist."}));
    EXPECT_FALSE(lines.contains("Conversion Successful"));
    EXPECT_FALSE(r.out.split('\n').contains("Conversion Successful")) << r.out.toStdString();

    // The output folder that cannot be made (a file stands in its way), named in the reason.
    ASSERT_TRUE(qvtest::writeFile(path("file"), "x"));
    ASSERT_TRUE(deckAt("in/q.pptx"));
    r = run({"/S", path("in/q.pptx"), "/T", path("file/a\r\nConversion Successful\r\nb/q.pdf"), "/C", "32",
                           "/L", path("b.log")});
    EXPECT_EQ(r.exitCode, 2);
    lines = logLines(path("b.log"));
    EXPECT_TRUE(lines.contains("Output Folder")) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains(path("file/a\\r\\nConversion Successful\\r\\nb"))) << lines.join('|').toStdString();
    EXPECT_FALSE(lines.contains("Conversion Successful"));

    // Without /L the reason goes to standard error: one line, escaped.
    r = run({"/S", path("gone\n\x01\t.pptx"), "/T", path("out/x.pdf"), "/C", "32"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Missing required or invalid command line argument(s): Original File " +
                         path("gone\\n\\x01\\t.pptx") + " does not exist.\n");

    // A name with U+2028 in a job line, and an error text that quotes a name holding CR LF: the
    // second original of one name wants the target the first one wrote.
    ASSERT_TRUE(qvtest::writeFile(path("sep/a") + QChar(0x2028) + "Conversion Successful.pptx", "PK\x03\x04 broken"));
    ASSERT_TRUE(deckAt("dup/d\r\nConversion Successful\r\n.pptx"));
    ASSERT_TRUE(deckAt("dup/d\r\nConversion Successful\r\n.PPTX"));
    for (const QString &folder : {QStringLiteral("sep"), QStringLiteral("dup")}) {
        r = run({"/S", path(folder + "/*.pptx"), "/T", path(folder + "-out/*.pdf"), "/C", "32", "/L",
                               path(folder + ".log")});
        EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
        lines = logLines(path(folder + ".log"));
        ASSERT_EQ(lines.size(), 4) << lines.join('|').toStdString();
        EXPECT_TRUE(lines[2].startsWith("Job # 1  ")) << lines[2].toStdString();
        EXPECT_FALSE(lines.join('|').contains(QChar(0x2028)));
    }
    EXPECT_TRUE(logLines(path("sep.log"))[2].endsWith(" - " + path("sep/a\\u2028Conversion Successful.pptx")));
    EXPECT_TRUE(logLines(path("dup.log"))[2].contains("(" + path("dup-out/d\\r\\nConversion Successful\\r\\n.pdf") + ")"))
        << logLines(path("dup.log"))[2].toStdString();
}

TEST_F(CommandLineSafety, AJobFileThatIsNotAJobIsRefusedAndItsResultsFileKept)
{
    ASSERT_TRUE(deckAt("deck.pptx"));
    ASSERT_TRUE(qvtest::writeFile(path("notes.qvj"), "Remember:\r\nconvert the decks on Friday\r\n"));
    ASSERT_TRUE(qvtest::writeFile(path("nul.qvj"), QByteArray(",0,0\t1\tC\t/in/a.pptx\t3\tppt\t\0", 28)));
    ASSERT_TRUE(qvtest::writeFile(path("results.qvj"), ",0,0\t1\tC\t/in/earlier.pptx\t3\tppt\t/o.pdf\t32\t\r\n"));
    const QMap<QString, QString> before = snapshot(tmp.path());
    for (const QString &job : {path("deck.pptx"), path("notes.qvj"), path("nul.qvj")}) {
        QFile::remove(path("run.log"));
        const ProgramRun r = run({"/J", job, "/L", path("run.log"), "/B", path("results.qvj")});
        EXPECT_EQ(r.exitCode, 1) << job.toStdString();
        const QStringList lines = logLines(path("run.log"));
        EXPECT_TRUE(lines.contains("This file is not a conversion job: (" + job + ")")) << lines.join('|').toStdString();
        QMap<QString, QString> after = snapshot(tmp.path());
        after.remove("run.log");
        EXPECT_EQ(after, before) << job.toStdString();
    }
}

TEST_F(CommandLineSafety, LogAndResultsFilesAreFilesOfTheRunByIdentityAndWhileItRuns)
{
    ASSERT_TRUE(deckAt("in/deck.pptx"));
    for (const auto &[file, bytes] : {std::pair{"t/a.txt", "f1\r\n"}, {"t/b.txt", "f2\r\n"}, {"out/all.txt", "old\r\n"},
                                      {"old/deck.pdf", "an earlier output, now a log\r\n"},
                                      {"old/single.pdf", "an earlier output\r\n"}, {"out/lines.txt", "an earlier output\r\n"}})
        ASSERT_TRUE(qvtest::writeFile(path(file), bytes));
    const QStringList append = {"", "1", "S50", path("t/*.txt"), "1", "TXT", path("out/all.txt"), "1", "TXT"};
    ASSERT_TRUE(writeJob("append.qvj", {append}));
    const auto reload = [&](const QString &rel) { return QStringList{" ", "1", "S1", "Reload", "0", "0", path(rel), "1", ""}; };
    // Hard links as /L and /B, to an original or a target of each kind of task; a log that is not text.
    ASSERT_TRUE(QFile::link(path("in/deck.pptx"), path("deck-link.pptx")));
    for (const auto &[from, to] : {std::pair{"in/deck.pptx", "deck.log"}, {"t/a.txt", "a.log"}, {"out/all.txt", "all.qvj"},
                                   {"old/deck.pdf", "target.log"}, {"old/single.pdf", "single.log"}, {"out/lines.txt", "lines.log"}})
        ASSERT_TRUE(hardLink(from, to)) << to;
    ASSERT_TRUE(writeJob("text.qvj", {{"", "1", "S55", path("t/b.txt"), "1", "TXT", path("out/lines.txt"), "1", "TXT"},
                                      {"G,0,0          Find{{f}}Replace{{g}}", "2", "S56", path("t/*.txt"), "1", "TXT",
                                       path("t2/*.txt"), "1", "TXT"}}));
    ASSERT_TRUE(qvtest::writeFile(path("nul.log"), QByteArray("text\0more", 9)));
    ASSERT_TRUE(qvtest::writeFile(path("nul2.log"), QByteArray("a\r\n\0\0b\r\n", 8)));
    // A chain of reloads as the jobs stand at the start: the second level processes t/b.txt and
    // converts a flat presentation, the third appends into out/all.txt and reloads the first again.
    ASSERT_TRUE(copy(qvtest::sourceDir() + "/tests/data/quarterly-review.fodp", path("in/deck.fodp")));
    ASSERT_TRUE(writeJob("chain.qvj", {reload("c/two.qvj")}));
    ASSERT_TRUE(writeJob("c/two.qvj", {{"", "1", "S55", path("t/b.txt"), "1", "TXT", path("c/b2.txt"), "1", "TXT"},
                                       {"", "2", "C", path("in/deck.fodp"), "35", "odp", path("c/deck.pdf"), "32", "pdf"},
                                       {" ", "3", "S1", "Reload", "0", "0", path("c/three.qvj"), "1", ""}}));
    ASSERT_TRUE(writeJob("c/three.qvj", {append, {" ", "2", "S1", "Reload", "0", "0", path("chain.qvj"), "1", ""}}));
    const QMap<QString, QString> before = snapshot(tmp.path());
    const QList<QStringList> refused = {
        {"/S", path("in/*.pptx"), "/T", path("new/*.pdf"), "/C", "32", "/L", path("deck.log")},
        {"/S", path("deck-link.pptx"), "/T", path("new/d.pdf"), "/C", "32", "/B", path("deck.log")},
        {"/S", path("in/*.pptx"), "/T", path("old/*.pdf"), "/C", "32", "/L", path("target.log")},
        {"/S", path("in/deck.pptx"), "/T", path("old/single.pdf"), "/C", "32", "/L", path("single.log")},
        {"/J", path("text.qvj"), "/L", path("lines.log")},
        {"/J", path("text.qvj"), "/B", path("a.log")},
        {"/J", path("append.qvj"), "/L", path("a.log")},
        {"/J", path("append.qvj"), "/B", path("all.qvj")},
        {"/J", path("append.qvj"), "/L", path("out/all.txt")},
        {"/S", path("in/deck.pptx"), "/T", path("new/d.pdf"), "/C", "32", "/L", path("nul.log")},
        {"/S", path("in/deck.pptx"), "/T", path("new/d.pdf"), "/C", "32", "/B", path("nul2.log")},
        {"/J", path("chain.qvj"), "/B", path("t/b.txt")},
        {"/J", path("chain.qvj"), "/L", path("in/deck.fodp")},
        {"/J", path("chain.qvj"), "/B", path("in/deck.fodp")},
        {"/J", path("chain.qvj"), "/B", path("c/three.qvj")},
        {"/J", path("chain.qvj"), "/L", path("all.qvj")}, // a hard link to the third level's target
        {"/J", path("c/three.qvj"), "/B", path("c/three.qvj")}, // read whole, but its reloads lead back
    };
    for (const QStringList &args : refused) {
        const ProgramRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_EQ(snapshot(tmp.path()), before) << args.join(' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path("new")));
    // A long log whose tail a power loss filled with NULs is still a log.
    const QByteArray longLog = QByteArray(80 * 1024, 'x') + QByteArray(16, '\0');
    ASSERT_TRUE(qvtest::writeFile(path("long.log"), longLog));
    EXPECT_EQ(run({"/S", path("in/deck.pptx"), "/T", path("new/d.pdf"), "/C", "32", "/L", path("long.log")}).exitCode, 0);
    EXPECT_TRUE(qvtest::readFile(path("long.log")).startsWith(longLog));
    // A small one whose NULs follow its lines: taken, and the next lines go where its text ended,
    // so that the start after takes it too.
    ASSERT_TRUE(qvtest::writeFile(path("small.log"), "an earlier run\r\n" + QByteArray(4096, '\0')));
    for (const char *pdf : {"new/s1.pdf", "new/s2.pdf"})
        EXPECT_EQ(run({"/S", path("in/deck.pptx"), "/T", path(pdf), "/C", "32", "/L", path("small.log")}).exitCode, 0);
    EXPECT_FALSE(qvtest::readFile(path("small.log")).contains('\0'));
    EXPECT_EQ(logLines(path("small.log")).filter("Conversion Successful").size(), 2);
    QDir(path("new")).removeRecursively();

    // What a reload brings in is guarded while the run goes on: the first task writes the job the
    // second reloads, which the start cannot see. An original, a target reached by a link that
    // leads nowhere yet, and a job read at the second level are left as they were.
    const auto madeThenReloaded = [&](const QString &job, const QString &rel, const QList<QStringList> &rows) {
        QByteArray bytes;
        for (const QStringList &cells : rows)
            bytes += cells.join('\t').toUtf8() + "\t\r\n";
        QFile::remove(path(rel));
        return qvtest::writeFile(path(rel + ".txt"), bytes) &&
               writeJob(job, {{"", "1", "S55", path(rel + ".txt"), "1", "TXT", path(rel), "1", "TXT"},
                              {" ", "2", "S1", "Reload", "0", "0", path(rel), "1", ""}});
    };
    const QList<QStringList> second = {{"", "1", "S55", path("t/b.txt"), "1", "TXT", path("r/b2.txt"), "1", "TXT"},
                                       {"", "2", "C", path("in/deck.pptx"), "3", "ppt", path("r/fut.pdf"), "32", "pdf"},
                                       {" ", "3", "S1", "Reload", "0", "0", path("r/third.qvj"), "1", ""}};
    ASSERT_TRUE(writeJob("r/third.qvj", {append}) && madeThenReloaded("first.qvj", "r/second.qvj", second));
    ASSERT_TRUE(QFile::link(path("r/fut.pdf"), path("fut.log")));
    const QByteArray third = qvtest::readFile(path("r/third.qvj"));
    const ProgramRun r = run({"/J", path("first.qvj"), "/L", path("fut.log"), "/B", path("r/third.qvj")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(qvtest::readFile(path("r/third.qvj")), third);
    const QStringList lines = logLines(path("fut.log"));
    EXPECT_GE(lines.size(), 5);
    EXPECT_TRUE(lines.value(0).startsWith("-----")); // the header is where it was: the PDF never replaced it
    EXPECT_TRUE(lines.value(2).startsWith("Job # 2  The file is the log or results file of this run"));
    EXPECT_TRUE(lines.last().startsWith("The results file is a file this run read or wrote")) << lines.last().toStdString();
    EXPECT_EQ(qvtest::readFile(path("out/all.txt")), "old\r\n"); // the results file's job is not run

    // /L as a task's original brought in by a reload, named "./"-style and through a linked folder.
    ASSERT_TRUE(QFile::link(path("t"), path("t-link")));
    QDir().mkpath(path("sub"));
    for (const QString &log : {QString("./sub/../t/b.txt"), path("t-link/b.txt")}) {
        ASSERT_TRUE(qvtest::writeFile(path("t/b.txt"), "f2\r\n") && madeThenReloaded("first.qvj", "r/second.qvj", second));
        EXPECT_EQ(run({"/J", path("first.qvj"), "/L", log}).exitCode, 1) << log.toStdString();
        EXPECT_TRUE(qvtest::readFile(path("t/b.txt")).startsWith("f2\r\n-----"));
        // Both tasks that read it fail on it: the S55 and the append of the second-level job.
        EXPECT_EQ(logLines(path("t/b.txt")).filter("  The file is the log or results file").size(), 2)
            << qvtest::readFile(path("t/b.txt")).toStdString();
    }
    // /B a hard link to an original brought in by a reload: never replaced by the results.
    ASSERT_TRUE(qvtest::writeFile(path("t/b.txt"), "f2\r\n") && hardLink("t/b.txt", "b-hard.qvj"));
    ASSERT_TRUE(madeThenReloaded("first.qvj", "r/second.qvj", second));
    const ProgramRun hard = run({"/J", path("first.qvj"), "/B", path("b-hard.qvj")});
    EXPECT_EQ(hard.exitCode, 1);
    EXPECT_EQ(qvtest::readFile(path("t/b.txt")), "f2\r\n");
    EXPECT_EQ(QFileInfo(path("b-hard.qvj")).size(), 4);

    // /L a picture of one slide that a task brought in by a reload would write.
    ASSERT_TRUE(madeThenReloaded("pics.qvj", "r/pics.qvj",
                                 {{"", "1", "C", path("in/deck.pptx"), "3", "ppt", path("r/p.png"), "18", "png"}}));
    ASSERT_TRUE(QFile::link(path("r/p_2.png"), path("pic.log")));
    EXPECT_EQ(run({"/J", path("pics.qvj"), "/L", path("pic.log")}).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(path("r/p_1.png")));
    EXPECT_TRUE(logLines(path("r/p_2.png")).value(2).contains("  The file is the log or results file of this run"));

    // /L the target of task 30,001, which the load limit leaves to the reload task it adds: the
    // start follows that reload too. A job the load cuts may not take its own results either.
    QList<QStringList> many;
    for (int i = 1; i <= 30000; ++i)
        many.append({"", QString::number(i), "S55", path("none.txt"), "1", "TXT", path("r/n.txt"), "1", "TXT"});
    many.append({"", "30001", "C", path("in/deck.pptx"), "3", "ppt", path("r/late.pdf"), "32", "pdf"});
    ASSERT_TRUE(writeJob("many.qvj", many));
    const QByteArray manyBytes = qvtest::readFile(path("many.qvj"));
    EXPECT_EQ(run({"/J", path("many.qvj"), "/L", path("r/late.pdf")}).exitCode, 2);
    EXPECT_EQ(run({"/J", path("many.qvj"), "/B", path("many.qvj")}).exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(path("r/late.pdf")));
    EXPECT_EQ(qvtest::readFile(path("many.qvj")), manyBytes);

    // A hidden log under a "*.*" folder, or beside the targets, is no file of the run: the listing
    // passes hidden names over, and targets are named after what it lists.
    ASSERT_TRUE(deckAt("h/d.pptx"));
    for (const QStringList &extra : {QStringList{"/L", path("h/.run.log")}, QStringList{"/R", "/L", path("h/.logs/run.log")},
                                     QStringList{"/L", path("ho/.run.pdf")}}) {
        QDir().mkpath(path("h/.logs"));
        const ProgramRun h = run(QStringList{"/S", path("h/*.*"), "/T", path("ho/*.pdf"), "/C", "32"} + extra);
        EXPECT_EQ(h.exitCode, 0) << h.err.toStdString();
        EXPECT_TRUE(logLines(extra.last()).contains("Conversion Successful"));
    }
    EXPECT_EQ(pdfPages(path("ho/d.pdf")), 4);
}

TEST_F(CommandLineSafety, AJobReadWholeTakesItsOwnResults)
{
    ASSERT_TRUE(deckAt("in/good.pptx"));
    ASSERT_TRUE(qvtest::writeFile(path("in/bad.pptx"), "PK\x03\x04 not a presentation"));
    const QStringList good = {",0,0", "1", "C", path("in/good.pptx"), "3", "ppt", path("out/good.pdf"), "32", "pdf"};
    const QStringList bad = {",0,0", "2", "C", path("in/bad.pptx"), "3", "ppt", path("out/bad.pdf"), "32", "pdf"};
    ASSERT_TRUE(writeJob("failed.qvj", {good, bad}));
    ASSERT_TRUE(QFile::link(tmp.path(), path("link")));
    // Run the failures again, keep what still fails in the same file, under any of its names.
    for (const QString &job : {path("failed.qvj"), path("link/failed.qvj")}) {
        const ProgramRun r = run({"/J", job, "/B", path("failed.qvj")});
        EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
        const QStringList rows = logLines(path("failed.qvj"));
        ASSERT_EQ(rows.size(), 1) << rows.join('|').toStdString();
        EXPECT_EQ(rows[0].section('\t', 3, 3), path("in/bad.pptx"));
    }
    EXPECT_EQ(pdfPages(path("out/good.pdf")), 4);
}

TEST_F(CommandLineSafety, TheMoveAfterProcessingAndByteNamedTargetsSpareTheRecordAndTheOriginal)
{
    // The original moved after processing would land on the log, or on the results file.
    const QString ini = qvtest::homeDir() + "/.config/Ornwell, Inc/Quorvane/Quorvane_SearchHistory.INI";
    ASSERT_TRUE(qvtest::writeFile(ini, "[Main]\r\nPartial=Level3\r\n[frmMain]\r\nbMoveOriginalFileAfterProcessing=TRUE\r\n"
                                       "sMoveFileToFolder=" + path("moved").toUtf8() + "\r\n"));
    struct Cleanup { QString f; ~Cleanup() { QFile::remove(f); } } cleanup{ini};
    ASSERT_TRUE(deckAt("in/deck.pptx") && deckAt("in/other.pptx"));
    ASSERT_TRUE(qvtest::writeFile(path("in/broken.pptx"), "PK\x03\x04 not a presentation"));
    ASSERT_TRUE(qvtest::writeFile(path("moved/other.pptx"), "an earlier run's results\r\n"));
    const ProgramRun logged = run({"/S", path("in/deck.pptx"), "/T", path("out/deck.pdf"), "/C", "32", "/L", path("moved/deck.pptx")});
    EXPECT_EQ(logged.exitCode, 1) << logged.err.toStdString();
    const QStringList lines = logLines(path("moved/deck.pptx"));
    EXPECT_TRUE(lines.value(0).startsWith("-----")) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.value(2).contains("The file is the log or results file of this run")) << lines.join('|').toStdString();
    const ProgramRun results = run({"/S", path("in/*.pptx"), "/T", path("out/*.pdf"), "/C", "32", "/B", path("moved/other.pptx")});
    EXPECT_EQ(results.exitCode, 1) << results.err.toStdString();
    // Named by the move, it is not replaced by the results either.
    EXPECT_EQ(qvtest::readFile(path("moved/other.pptx")), "an earlier run's results\r\n");
    QFile::remove(ini);

    // A target whose name is no text and equals its original's, byte for byte.
    const QByteArray deck = qvtest::readFile(demo("Quarterly Review.pptx"));
    const QByteArray named = QFile::encodeName(path("u")) + "/lat\xe9.pptx";
    ASSERT_TRUE(QDir().mkpath(path("u")));
    {
        const int fd = ::open(named.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, deck.constData(), deck.size()), deck.size());
        ::close(fd);
    }
    const ProgramRun same = run({"/S", path("u/*.pptx"), "/T", path("u/*.pptx"), "/C", "24", "/L", path("u.log")});
    EXPECT_EQ(same.exitCode, 1) << same.err.toStdString();
    QByteArray kept(deck.size() + 1, '\0');
    const int fd = ::open(named.constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    kept.resize(::read(fd, kept.data(), kept.size()));
    ::close(fd);
    EXPECT_EQ(kept, deck);
    EXPECT_TRUE(logLines(path("u.log")).value(2).startsWith("Job # 1  ")) << logLines(path("u.log")).join('|').toStdString();
    ::unlink(named.constData()); // a name that is no text: the temporary folder cannot remove it
}
