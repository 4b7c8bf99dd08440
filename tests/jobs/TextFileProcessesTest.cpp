// The text-file special processes (append, remove empty lines, search and replace) on real
// text, RTF and HTML files, through the session's two text controls.
#include "jobs/AppendTarget.h"
#include "jobs/JobSession.h"
#include "jobs/TextFileProcesses.h"
#include "jobs/clsConversionOptions.h"
#include "platform/AtomicFile.h"
#include "platform/LeftoverRemoval.h"
#include "platform/StagedNames.h"
#include "textcontrol/RtfReader.h"
#include "textcontrol/TextControl.h"

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <csignal>
#include <cstddef>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Plain text and picture count of an RTF file, read by a fresh control.
QString rtfText(const QString &path, int *pictures = nullptr)
{
    TextControl tc;
    if (tc.Load(path, 0, 5) != 0)
        return QStringLiteral("<unreadable>");
    if (pictures)
        *pictures = int(tc.Text().count(QChar::ObjectReplacementCharacter));
    return tc.Text();
}

QByteArray pngHex()
{
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(Qt::red);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes.toHex();
}

// From here on this process may not make files without a name, as on FAT through FUSE: such an
// openat fails with EOPNOTSUPP. False when the kernel refused the filter.
bool refuseUnnamedFiles()
{
    constexpr __u32 unnamed = O_TMPFILE & ~O_DIRECTORY;
    struct sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 4),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, args[2])),
        BPF_STMT(BPF_ALU | BPF_AND | BPF_K, unnamed),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, unnamed, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    struct sock_fprog program {static_cast<unsigned short>(std::size(filter)), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

clsConversionOptions task(const QString &original, int originalType, const QString &target, int targetType)
{
    clsConversionOptions o;
    o.sOriginalFile = original;
    o.lOriginalFileType = originalType;
    o.sTargetFile = target;
    o.lTargetFileType = targetType;
    return o;
}

} // namespace

TEST(TextDecodeCharacterCodes, CodesAndOddInput)
{
    const QChar m(0x00A9);
    EXPECT_EQ(DecodeCharacterCodes(QString()), QString());
    EXPECT_EQ(DecodeCharacterCodes(QStringLiteral("plain")), QStringLiteral("plain"));
    EXPECT_EQ(DecodeCharacterCodes(QStringLiteral("x") + m + "65" + m + "y"), QStringLiteral("xAy"));
    EXPECT_EQ(DecodeCharacterCodes(QStringLiteral("a") + m + "13" + m + m + "10" + m + "b"), QStringLiteral("a\r\nb"));
    EXPECT_EQ(DecodeCharacterCodes(m + QStringLiteral("128") + m), QStringLiteral("€")); // Windows-1252
    EXPECT_EQ(DecodeCharacterCodes(m + QStringLiteral("8364") + m), QStringLiteral("€"));
    // Not a code, an unclosed mark, out-of-range: kept as written, never a failure.
    EXPECT_EQ(DecodeCharacterCodes(QStringLiteral("a") + m + "xy" + m + "b"), QStringLiteral("a") + m + "xy" + m + "b");
    EXPECT_EQ(DecodeCharacterCodes(QStringLiteral("a") + m + "66"), QStringLiteral("a") + m + "66");
    EXPECT_EQ(DecodeCharacterCodes(m + QStringLiteral("99999999999") + m), m + QStringLiteral("99999999999") + m);
    EXPECT_EQ(DecodeCharacterCodes(QString(m) + m), QString(m) + m);
}

TEST(TextAppend, RtfOntoMissingTargetThenAgainWithPictures)
{
    QTemporaryDir dir;
    RecordingStatusPanels panels;
    JobSession session;
    session.setPanels(&panels);
    const QString a = dir.filePath(QStringLiteral("a.rtf"));
    ASSERT_TRUE(qvtest::writeFile(a, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\qc{\\b Bold} line \\u8364?\\par "
           "{\\pict\\pngblip " + pngHex() + "}\\par}"));
    const QString b = dir.filePath(QStringLiteral("out/sub/b.rtf"));
    clsConversionOptions o = task(a, 5, b, 5);
    EXPECT_EQ(ConcatenateFiles(session, o), 0);
    int pictures = 0;
    EXPECT_EQ(rtfText(b, &pictures), rtfText(a));
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(panels.panelText(StatusPanel::Progress), QStringLiteral(" 100 Percent Complete "));

    EXPECT_EQ(ConcatenateFiles(session, o), 0);
    const QString twice = rtfText(b, &pictures);
    EXPECT_EQ(twice.count(QStringLiteral("Bold line €")), 2);
    EXPECT_EQ(pictures, 2);
    // Formatting travels with the text.
    TextControl check;
    ASSERT_EQ(check.Load(b, 0, 5), 0);
    check.setSelStart(int(check.Text().lastIndexOf(QStringLiteral("Bold"))));
    check.setSelLength(4);
    EXPECT_EQ(check.FontBold(), 1);
    EXPECT_EQ(check.Alignment(), 2);
}

TEST(TextAppend, SameFileRefusedThroughAnySpelling)
{
    QTemporaryDir dir;
    JobSession session;
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(qvtest::writeFile(a, "one\r\n"));
    QFile::link(a, dir.filePath(QStringLiteral("link.txt")));
    for (const QString &target : {a, dir.path() + QStringLiteral("/./a.txt"), dir.filePath(QStringLiteral("link.txt"))}) {
        for (int type : {1, 2}) {
            clsConversionOptions o = task(a, type, target, type);
            EXPECT_EQ(ConcatenateFiles(session, o), -6) << target.toStdString();
        }
    }
    EXPECT_EQ(qvtest::readFile(a), QByteArray("one\r\n"));
}

TEST(TextAppend, PlainAndHtmlFiles)
{
    QTemporaryDir dir;
    JobSession session;
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    const QString b = dir.filePath(QStringLiteral("b.txt"));
    ASSERT_TRUE(qvtest::writeFile(a, "more\r\n"));
    ASSERT_TRUE(qvtest::writeFile(b, "first\r\n"));
    clsConversionOptions o = task(a, 1, b, 1);
    EXPECT_EQ(ConcatenateFiles(session, o), 0);
    EXPECT_EQ(qvtest::readFile(b), QByteArray("first\r\nmore\r\n"));
    o.sOriginalFile = dir.filePath(QStringLiteral("missing.txt"));
    EXPECT_EQ(ConcatenateFiles(session, o), -3);

    const QString h1 = dir.filePath(QStringLiteral("one.htm"));
    const QString h2 = dir.filePath(QStringLiteral("two.htm"));
    ASSERT_TRUE(qvtest::writeFile(h1, "<html><body><p>Alpha <b>beta</b></p></body></html>"));
    ASSERT_TRUE(qvtest::writeFile(h2, "<html><body><p>Gamma</p></body></html>"));
    clsConversionOptions h = task(h1, 4, h2, 4);
    EXPECT_EQ(ConcatenateFiles(session, h), 0);
    TextControl check;
    ASSERT_EQ(check.Load(h2, 0, 4), 0);
    EXPECT_TRUE(check.Text().startsWith(QStringLiteral("Gamma")));
    EXPECT_TRUE(check.Text().contains(QStringLiteral("Alpha beta")));
    check.setSelStart(int(check.Text().indexOf(QStringLiteral("beta"))));
    check.setSelLength(4);
    EXPECT_EQ(check.FontBold(), 1);
}

TEST(TextRemoveEmptyLines, BlankLinesGoLastTabLineStays)
{
    QTemporaryDir dir;
    JobSession session;
    // Through the controls (type 6): a line of blanks and tabs goes, a last line made of a
    // tab stays; the file keeps its LF line ends and its encoding.
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    const QString t = dir.filePath(QStringLiteral("t.txt"));
    ASSERT_TRUE(qvtest::writeFile(a, "first\n \t \n\n\x0b\nsecond caf\xc3\xa9\n\t"));
    clsConversionOptions o = task(a, 6, t, 6);
    EXPECT_EQ(DeleteEmptyLines(session, o), 0);
    EXPECT_EQ(qvtest::readFile(t), QByteArray("first\nsecond caf\xc3\xa9\n\t"));

    // Plain type 1 through the plain-text tool.
    clsConversionOptions p = task(a, 1, t, 1);
    EXPECT_EQ(DeleteEmptyLines(session, p), 0);
    EXPECT_EQ(qvtest::readFile(t), QByteArray("first\nsecond caf\xc3\xa9\n"));

    // RTF keeps each line's formatting.
    const QString r = dir.filePath(QStringLiteral("r.rtf"));
    ASSERT_TRUE(qvtest::writeFile(r, "{\\rtf1\\ansi\\pard\\qc centred\\par\\pard \\par \\tab \\par\\pard\\qr{\\i right}\\par}"));
    const QString rt = dir.filePath(QStringLiteral("rt.rtf"));
    clsConversionOptions q = task(r, 5, rt, 5);
    EXPECT_EQ(DeleteEmptyLines(session, q), 0);
    TextControl check;
    ASSERT_EQ(check.Load(rt, 0, 5), 0);
    EXPECT_EQ(check.Text(), QStringLiteral("centred\nright\n"));
    check.setSelStart(0);
    EXPECT_EQ(check.Alignment(), 2);
    check.setSelStart(int(check.Text().indexOf(QStringLiteral("right"))));
    check.setSelLength(5);
    EXPECT_EQ(check.Alignment(), 1);
    EXPECT_EQ(check.FontItalic(), 1);

    o.sOriginalFile = dir.filePath(QStringLiteral("none.rtf"));
    o.lOriginalFileType = 5;
    EXPECT_EQ(DeleteEmptyLines(session, o), -3);
}

TEST(TextSearchAndReplace, BackwardsWithoutEndlessLoopAndCodes)
{
    QTemporaryDir dir;
    RecordingStatusPanels panels;
    JobSession session;
    session.setPanels(&panels);
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    const QString t = dir.filePath(QStringLiteral("t.txt"));
    ASSERT_TRUE(qvtest::writeFile(a, "ab ab\r\nAB abab\r\n"));
    clsConversionOptions o = task(a, 1, t, 1);
    o.sFindString = QStringLiteral("ab");
    o.sReplaceString = QStringLiteral("abab");
    o.bCaseSensitive = true;
    EXPECT_EQ(SearchAndReplaceInFile(session, o), 0);
    EXPECT_EQ(qvtest::readFile(t), QByteArray("abab abab\r\nAB abababab\r\n"));
    EXPECT_EQ(panels.panelText(StatusPanel::Progress), QStringLiteral(" 100 Percent Complete "));

    o.bCaseSensitive = false;
    o.sReplaceString = QStringLiteral("x");
    EXPECT_EQ(SearchAndReplaceInFile(session, o), 0);
    EXPECT_EQ(qvtest::readFile(t), QByteArray("x x\r\nx xx\r\n"));
    ASSERT_TRUE(qvtest::writeFile(a, "abab"));
    EXPECT_EQ(SearchAndReplaceInFile(session, o), 0);
    EXPECT_EQ(qvtest::readFile(t), QByteArray("xx"));
    ASSERT_TRUE(qvtest::writeFile(a, "ab ab\r\nAB abab\r\n"));

    // Character codes: line ends found and replaced by a character code.
    const QChar m(0x00A9);
    o.sFindString = m + QStringLiteral("13") + m + m + QStringLiteral("10") + m + QStringLiteral("AB");
    o.sReplaceString = m + QStringLiteral("124") + m;
    EXPECT_EQ(SearchAndReplaceInFile(session, o), 0);
    EXPECT_EQ(qvtest::readFile(t), QByteArray("ab ab| abab\r\n"));

    // Many occurrences (progress every 20) in an RTF file, formatting kept around them.
    const QString r = dir.filePath(QStringLiteral("r.rtf"));
    ASSERT_TRUE(qvtest::writeFile(r, "{\\rtf1\\ansi{\\b " + QByteArray("cat ").repeated(500) + "}\\par}"));
    const QString rt = dir.filePath(QStringLiteral("rt.rtf"));
    clsConversionOptions c = task(r, 5, rt, 5);
    c.sFindString = QStringLiteral("cat");
    c.sReplaceString = QStringLiteral("dog");
    EXPECT_EQ(SearchAndReplaceInFile(session, c), 0);
    TextControl check;
    ASSERT_EQ(check.Load(rt, 0, 5), 0);
    EXPECT_EQ(check.Text().count(QStringLiteral("dog")), 500);
    EXPECT_FALSE(check.Text().contains(QStringLiteral("cat")));
    check.setSelStart(1000);
    check.setSelLength(3);
    EXPECT_EQ(check.FontBold(), 1);

    // An empty original or an empty find text: 0 and no target.
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    ASSERT_TRUE(qvtest::writeFile(empty, ""));
    const QString none = dir.filePath(QStringLiteral("none.txt"));
    clsConversionOptions e = task(empty, 1, none, 1);
    e.sFindString = QStringLiteral("a");
    EXPECT_EQ(SearchAndReplaceInFile(session, e), 0);
    EXPECT_FALSE(QFileInfo::exists(none));
    e.sOriginalFile = a;
    e.sFindString.clear();
    EXPECT_EQ(SearchAndReplaceInFile(session, e), 0);
    EXPECT_FALSE(QFileInfo::exists(none));
    e.sOriginalFile = dir.filePath(QStringLiteral("gone.txt"));
    e.sFindString = QStringLiteral("a");
    EXPECT_EQ(SearchAndReplaceInFile(session, e), -3);

    // HTML in, HTML out.
    const QString h = dir.filePath(QStringLiteral("p.htm"));
    ASSERT_TRUE(qvtest::writeFile(h, "<html><body><p>Hello <i>World</i></p></body></html>"));
    const QString ht = dir.filePath(QStringLiteral("q.htm"));
    clsConversionOptions hh = task(h, 4, ht, 4);
    hh.sFindString = QStringLiteral("world");
    hh.sReplaceString = QStringLiteral("Moon");
    hh.bCaseSensitive = false;
    EXPECT_EQ(SearchAndReplaceInFile(session, hh), 0);
    ASSERT_EQ(check.Load(ht, 0, 4), 0);
    EXPECT_EQ(check.Text(), QStringLiteral("Hello Moon"));
    check.setSelStart(6);
    check.setSelLength(4);
    EXPECT_EQ(check.FontItalic(), 1);
}

TEST(TextAppend, UnreadableTargetFailsAndStaysUntouched)
{
    QTemporaryDir dir;
    JobSession session;
    const QString a = dir.filePath(QStringLiteral("a.rtf"));
    const QString b = dir.filePath(QStringLiteral("b.rtf"));
    ASSERT_TRUE(qvtest::writeFile(a, "{\\rtf1 fine\\par}"));
    ASSERT_TRUE(qvtest::writeFile(b, "{\\rtf1 broken {"));
    clsConversionOptions o = task(a, 5, b, 5);
    EXPECT_EQ(ConcatenateFiles(session, o), -2); // the output control's load error counts
    EXPECT_EQ(qvtest::readFile(b), QByteArray("{\\rtf1 broken {"));
}

TEST(TextSearchAndReplace, PdfTargetCarriesNoPasswordOfAnEarlierPdfRoad)
{
    QTemporaryDir dir;
    JobSession session;
    TextControl *a = session.TXTextControl1();
    a->setOutputOption(12, QStringLiteral("left over"));
    a->setOutputOption(11, QStringLiteral("from before"));
    const QString src = dir.filePath(QStringLiteral("s.rtf"));
    ASSERT_TRUE(qvtest::writeFile(src, "{\\rtf1 old text\\par}"));
    const QString pdf = dir.filePath(QStringLiteral("s.pdf"));
    clsConversionOptions o = task(src, 5, pdf, 12);
    o.sFindString = QStringLiteral("old");
    o.sReplaceString = QStringLiteral("new");
    EXPECT_EQ(SearchAndReplaceInFile(session, o), 0);
    const QByteArray bytes = qvtest::readFile(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_FALSE(bytes.contains("/Encrypt"));
}

// A text output is written under a staged name: a writer killed half-way leaves no visible file
// and the old target whole, and the next text process into that folder removes what it left.
TEST(TextRemoveEmptyLines, AKilledWriterLeavesAStagedNameTheNextRunSweeps)
{
    QTemporaryDir dir;
    const QString t = dir.filePath(QStringLiteral("t.txt"));
    ASSERT_TRUE(qvtest::writeFile(t, "old"));
    const pid_t child = ::fork();
    if (child == 0) {
        // Past the size limit the kernel ends the process in the middle of its write.
        struct rlimit small {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &small);
        WriteFileAtomically(t, QByteArray(100000, 'x'));
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    const auto everything = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    const QStringList left = QDir(dir.path()).entryList(everything, QDir::Name);
    ASSERT_EQ(left.size(), 2) << left.join(u' ').toStdString();
    const std::optional<StagedNames::Origin> o = StagedNames::originOf(left.first());
    ASSERT_TRUE(o && o->pid == child && o->tail == QStringLiteral("t.txt")) << left.first().toStdString();
    EXPECT_EQ(qvtest::readFile(t), "old");

    JobSession session;
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(qvtest::writeFile(a, "one\n\ntwo\n"));
    clsConversionOptions p = task(a, 1, t, 1);
    p.lSpecialProcess = spRemoveEmptyLines;
    EXPECT_EQ(session.PerformSpecialProcess(p), 0);
    EXPECT_EQ(qvtest::readFile(t), "one\ntwo\n");
    EXPECT_EQ(QDir(dir.path()).entryList(everything, QDir::Name), QStringList({"a.txt", "t.txt"}));
}

// The copy an append over a pattern fills is made under its staged name, also where files
// without a name cannot be made: killed half-way, it leaves nothing that a sweep does not remove.
TEST(TextAppend, AStagedCopyKilledHalfWayLeavesOnlyItsStagedName)
{
    QTemporaryDir dir;
    const QString t = dir.filePath(QStringLiteral("all.txt"));
    const QByteArray old(100000, 'x');
    ASSERT_TRUE(qvtest::writeFile(t, old));
    const pid_t child = ::fork();
    if (child == 0) {
        if (!refuseUnnamedFiles())
            ::_exit(2);
        struct rlimit small {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &small);
        StagedAppendTarget target(t);
        QStringList made;
        target.path(made);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "no seccomp filter here";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    const auto everything = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    const QStringList left = QDir(dir.path()).entryList(everything, QDir::Name);
    ASSERT_EQ(left.size(), 2) << left.join(u' ').toStdString();
    const std::optional<StagedNames::Origin> o = StagedNames::originOf(left.first());
    EXPECT_TRUE(o && o->pid == child && o->tail == QStringLiteral("all.txt")) << left.join(u' ').toStdString();
    LeftoverRemoval::sweep(dir.path());
    EXPECT_EQ(QDir(dir.path()).entryList(everything), QStringList{"all.txt"});
    EXPECT_EQ(qvtest::readFile(t), old);
}
